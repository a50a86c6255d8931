// The listeners of a filter manager: panels come and go while they are told of a change.
#include <gtest/gtest.h>

#include <vector>

#include "presets/PresetFilterListeners.h"

namespace corvex::testing {
namespace {

struct RemovingListener : MorvanePresetFilterManagerListener {
    explicit RemovingListener(PresetFilterListeners& listeners) : listeners(listeners) {}
    void presetFilterChanged(int id, int value, int value2, void* pointer) override {
        told.push_back({id, value, value2, pointer});
        for (MorvanePresetFilterManagerListener* gone : removes)
            listeners.remove(gone);
    }
    struct Told {
        int id, value, value2;
        void* pointer;
    };
    PresetFilterListeners& listeners;
    std::vector<MorvanePresetFilterManagerListener*> removes;
    std::vector<Told> told;
};

TEST(PresetFilterListeners, AListenerRemovedWhileOthersAreToldIsNotToldAfterwards) {
    PresetFilterListeners listeners;
    RemovingListener a(listeners), b(listeners), self(listeners);
    // Each of a and b removes the other: whichever comes first, the other must not be told.
    a.removes = {&b};
    b.removes = {&a};
    self.removes = {&self};
    for (RemovingListener* listener : {&a, &b, &self})
        listeners.add(listener);

    int payload = 0;
    listeners.tell(4, 1, 2, &payload);
    EXPECT_EQ(a.told.size() + b.told.size(), 1u);
    ASSERT_EQ(self.told.size(), 1u);
    EXPECT_EQ(self.told[0].id, 4);
    EXPECT_EQ(self.told[0].value, 1);
    EXPECT_EQ(self.told[0].value2, 2);
    EXPECT_EQ(self.told[0].pointer, &payload);

    listeners.tell(6, 0, 0, nullptr);
    EXPECT_EQ(self.told.size(), 1u) << "a listener that removed itself hears no more";
    EXPECT_EQ(a.told.size() + b.told.size(), 2u) << "the one left is still told";
}

TEST(PresetFilterListeners, NullIsIgnoredAndAListenerAddedTwiceIsToldOnce) {
    PresetFilterListeners listeners;
    RemovingListener listener(listeners);
    listeners.add(nullptr);
    listeners.add(&listener);
    listeners.add(&listener);
    listeners.tell(8, 0, 0, nullptr);
    EXPECT_EQ(listener.told.size(), 1u);
    listeners.remove(&listener);
    listeners.tell(8, 0, 0, nullptr);
    EXPECT_EQ(listener.told.size(), 1u);
}

} // namespace
} // namespace corvex::testing
