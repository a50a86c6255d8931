// The messenger: echoes and highlights reach the listeners of their index only once the message loop runs,
// duplicates and removal behave, listeners may change the registrations while they are being called, and a
// GUI message's payload is freed exactly once, delivered or not.
#include "widgets/MVParameterMessenger.h"

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "EditorFixture.h"

namespace corvex {
namespace {

// The message loop delivers in posting order, so once a value for this index has arrived, everything posted
// before it has been delivered too.
constexpr int kSentinelIndex = 999;

struct Sentinel : MVParameterListener {
    bool arrived = false;
    void parameterChanged(int, float) override { arrived = true; }
    void highlightChanged(int, float) override {}
};

void deliverEverythingPosted(MVParameterMessenger& messenger) {
    Sentinel sentinel;
    messenger.addParameterListener(kSentinelIndex, &sentinel);
    messenger.postParameterChanged(kSentinelIndex, 0.0f);
    ASSERT_TRUE(pumpUntil([&] { return sentinel.arrived; }));
    messenger.removeParameterListener(kSentinelIndex, &sentinel);
}

TEST(ParameterMessenger, PostedValuesReachTheirIndexLaterInPostingOrder) {
    MVParameterMessenger messenger;
    RecordingListener five, six;
    messenger.addParameterListener(5, &five);
    messenger.addParameterListener(6, &six);

    messenger.postParameterChanged(5, 0.123456789f);
    messenger.postParameterChanged(5, 1.0f);
    messenger.postParameterChanged(6, 0.5f);
    messenger.postParameterChanged(7, 0.25f); // nobody listens: dropped quietly
    EXPECT_TRUE(five.calls.empty()) << "a poster must have returned before any listener runs";

    deliverEverythingPosted(messenger);
    ASSERT_EQ(five.calls.size(), 2u);
    EXPECT_FALSE(five.calls[0].highlight);
    EXPECT_EQ(five.calls[0].index, 5);
    EXPECT_EQ(five.calls[0].value, 0.123456789f) << "the value travels bit for bit";
    EXPECT_EQ(five.calls[1].value, 1.0f);
    ASSERT_EQ(six.calls.size(), 1u);
    EXPECT_EQ(six.calls[0].value, 0.5f);
}

TEST(ParameterMessenger, AnIndexFromOneHundredThousandUpIsAHighlight) {
    MVParameterMessenger messenger;
    RecordingListener eleven;
    messenger.addParameterListener(11, &eleven);

    messenger.postParameterChanged(100011, 2.0f);
    messenger.dispatchParameterChanged(100000 + 11, 3.0f);

    deliverEverythingPosted(messenger);
    ASSERT_EQ(eleven.calls.size(), 2u);
    for (const RecordingListener::Call& call : eleven.calls) {
        EXPECT_TRUE(call.highlight);
        EXPECT_EQ(call.index, 11);
    }
    EXPECT_EQ(eleven.calls[0].value, 3.0f) << "dispatch is synchronous, the post comes later";
    EXPECT_EQ(eleven.calls[1].value, 2.0f);
}

TEST(ParameterMessenger, ATwiceRegisteredListenerHearsTwiceAndOneRemovalTakesBoth) {
    MVParameterMessenger messenger;
    RecordingListener twice, other;
    messenger.addParameterListener(3, &twice);
    messenger.addParameterListener(3, &other);
    messenger.addParameterListener(3, &twice);
    messenger.addParameterListener(4, &twice);

    messenger.dispatchParameterChanged(3, 0.5f);
    EXPECT_EQ(twice.valueCalls(), 2);
    EXPECT_EQ(other.valueCalls(), 1);

    messenger.removeParameterListener(3, &twice);
    messenger.dispatchParameterChanged(3, 0.5f);
    EXPECT_EQ(twice.valueCalls(), 2);
    EXPECT_EQ(other.valueCalls(), 2) << "removal takes only the pair asked for";
    messenger.dispatchParameterChanged(4, 0.5f);
    EXPECT_EQ(twice.valueCalls(), 3) << "the same listener on another index stays";
}

// A listener that does something to the messenger from inside its call.
struct ActingListener : MVParameterListener {
    std::string name;
    std::vector<std::string>* log = nullptr;
    std::function<void()> action;
    bool* destroyed = nullptr;
    ~ActingListener() override {
        if (destroyed != nullptr) *destroyed = true;
    }
    void parameterChanged(int index, float) override {
        log->push_back(name + std::to_string(index));
        if (action) action();
    }
    void highlightChanged(int, float) override {}
};

TEST(ParameterMessenger, AListenerRemovedAndDeletedDuringDispatchIsNeverCalled) {
    MVParameterMessenger messenger;
    std::vector<std::string> log;
    bool secondDestroyed = false;
    ActingListener first;
    auto second = std::make_unique<ActingListener>();
    first.name = "a";
    first.log = &log;
    second->name = "b";
    second->log = &log;
    second->destroyed = &secondDestroyed;
    first.action = [&] {
        messenger.removeParameterListener(1, second.get());
        second.reset();
    };
    messenger.addParameterListener(1, &first);
    messenger.addParameterListener(1, second.get());

    messenger.dispatchParameterChanged(1, 0.5f);
    EXPECT_TRUE(secondDestroyed);
    EXPECT_EQ(log, std::vector<std::string>({"a1"}));
}

TEST(ParameterMessenger, ListenersMayRemoveThemselvesAddOthersAndDispatchAgain) {
    MVParameterMessenger messenger;
    std::vector<std::string> log;
    ActingListener once, late, nested, onTwo;
    for (auto* l : {&once, &late, &nested, &onTwo}) l->log = &log;
    once.name = "once";
    late.name = "late";
    nested.name = "nested";
    onTwo.name = "two";
    once.action = [&] {
        messenger.removeParameterListener(1, &once);
        messenger.addParameterListener(1, &late);
    };
    bool dispatched = false;
    nested.action = [&] {
        if (dispatched) return;
        dispatched = true;
        messenger.dispatchParameterChanged(2, 0.5f);
        messenger.dispatchParameterChanged(1, 0.5f);
    };
    messenger.addParameterListener(1, &once);
    messenger.addParameterListener(1, &nested);
    messenger.addParameterListener(2, &onTwo);

    messenger.dispatchParameterChanged(1, 0.5f);
    // The inner dispatch of 1 sees the registrations as they are then: "once" gone, "late" there.
    EXPECT_EQ(log, std::vector<std::string>({"once1", "nested1", "two2", "nested1", "late1"}));

    log.clear();
    messenger.dispatchParameterChanged(1, 0.5f);
    EXPECT_EQ(log, std::vector<std::string>({"nested1", "late1"})) << "the listener added during a walk stays";
}

// A payload that counts how often it is freed.
struct CountedPayload {
    explicit CountedPayload(int& frees) : frees(frees) {}
    ~CountedPayload() { ++frees; }
    int& frees;
    int content = 42;
};

struct PayloadListener : MVGuiMessageListener {
    std::vector<int> contents; // -1 for a null payload
    void guiMessageReceived(int, const std::shared_ptr<const void>& payload) override {
        contents.push_back(payload ? static_cast<const CountedPayload*>(payload.get())->content : -1);
    }
};

TEST(ParameterMessenger, AGuiMessagePayloadIsFreedOnceAfterEveryListenerHadIt) {
    int frees = 0;
    MVParameterMessenger messenger;
    PayloadListener first, second, otherId;
    messenger.addGuiMessageListener(0, &first);
    messenger.addGuiMessageListener(0, &second);
    messenger.addGuiMessageListener(1, &otherId);

    messenger.postGuiMessage(0, std::make_shared<const CountedPayload>(frees));
    messenger.postGuiMessage(0, nullptr);
    EXPECT_EQ(frees, 0) << "the message owns the payload until it is delivered";
    deliverEverythingPosted(messenger);

    EXPECT_EQ(first.contents, std::vector<int>({42, -1}));
    EXPECT_EQ(second.contents, std::vector<int>({42, -1}));
    EXPECT_TRUE(otherId.contents.empty());
    EXPECT_EQ(frees, 1);
}

TEST(ParameterMessenger, AnUndeliveredPayloadIsFreedOnceWithItsMessage) {
    int frees = 0;
    PayloadListener listener;
    {
        MVParameterMessenger messenger;
        messenger.addGuiMessageListener(0, &listener);
        messenger.postGuiMessage(0, std::make_shared<const CountedPayload>(frees));
        messenger.postParameterChanged(0, 1.0f);
    }
    // The queue still holds the messages; running it must drop them without calling anyone.
    MVParameterMessenger later;
    deliverEverythingPosted(later);
    EXPECT_TRUE(listener.contents.empty());
    EXPECT_EQ(frees, 1);
}

} // namespace
} // namespace corvex
