// The connection list keeps each record's modulation scale in step with its edits, and a sum read
// under the list's table answers what the record's words say, even for a record changed behind the
// list's back.
#include <gtest/gtest.h>

#include <cstdint>

#include "engine/modules/ConnectionManager.h"
#include "engine/modules/ModulationScales.h"
#include "engine/modules/ModulationSum.h"

namespace corvex {
namespace {

constexpr int kFilterSlot = 5;
constexpr int kCutoffInput = 1;

constexpr uint16_t selector(int rangeNumber, int curve) { return uint16_t((rangeNumber << 4) | curve); }

class ModulationScales : public ::testing::Test {
protected:
    void SetUp() override {
        manager.attach(list, &count);
        // Two sources into the filter's cutoff input: 0.5 at 48 semitones straight, and 0.5 through
        // curve 2 at 24, whose point at 3/6 is 0.25.
        const ConnectionRecord records[] = {
            packConnection(0, kCutoffInput, 0, 29, 0, kFilterSlot, 8192, selector(3, 0)),
            packConnection(0, kCutoffInput, 0, 30, 0, kFilterSlot, 8192, selector(10, 2)),
        };
        ASSERT_TRUE(manager.assign(records, 2));
        for (PortEntry& p : sources) {
            p.word = 0; // value ports
            p.value = 1.0f;
        }
    }

    float scaleOf(int record) const { return manager.modulationScales().scales[record].scale; }

    // The cutoff input's sum with both sources at 1.0, under the list's table or none.
    float cutoffSum(bool underTable) {
        const auto* d = reinterpret_cast<const ConnectionDescriptor*>(manager.records());
        const PortEntry* bound[2] = {&sources[0], &sources[1]};
        const uint32_t counts[2] = {0, 2};
        float out[2];
        if (!underTable) {
            sumBlockModulation(d, bound, counts, 2, out);
            return out[kCutoffInput];
        }
        ScopedModulationScales scope(manager.modulationScales());
        sumBlockModulation(d, bound, counts, 2, out);
        return out[kCutoffInput];
    }

    ConnectionRecord list[kMaxConnections];
    uint16_t count = 0;
    ModuleManager manager;
    PortEntry sources[2];
};

TEST_F(ModulationScales, FollowEveryEditOfTheList) {
    EXPECT_FLOAT_EQ(scaleOf(0), 24.0f);
    EXPECT_FLOAT_EQ(scaleOf(1), 6.0f);
    EXPECT_FLOAT_EQ(cutoffSum(true), 30.0f);

    struct Edit {
        const char* what;
        void (*apply)(ModuleManager&);
        float first, second; // the two scales after the edit
    };
    const Edit edits[] = {
        {"amount", [](ModuleManager& m) { m.setConnectionAmount(0, 16384); }, 48.0f, 6.0f},
        {"second value", [](ModuleManager& m) { m.setConnectionAmount2(1, selector(5, 0)); }, 48.0f, 50.0f},
        {"whole record",
         [](ModuleManager& m) { m.setConnection(1, packConnection(0, kCutoffInput, 0, 30, 0, kFilterSlot, 4096, selector(1, 0))); },
         48.0f, 1.75f},
        {"record inserted ahead",
         [](ModuleManager& m) { m.addConnection(7, 0, 0, kFilterSlot, 0, 16384, selector(0, 0), 0); }, 1.0f, 48.0f},
        {"record removed", [](ModuleManager& m) { m.removeConnectionAt(0); }, 48.0f, 1.75f},
    };
    for (const Edit& e : edits) {
        SCOPED_TRACE(e.what);
        e.apply(manager);
        EXPECT_FLOAT_EQ(scaleOf(0), e.first);
        EXPECT_FLOAT_EQ(scaleOf(1), e.second);
    }
}

TEST_F(ModulationScales, ARecordChangedBehindTheListIsScaledFromItsOwnWords) {
    list[0].amount = 16384; // not through the manager: its table still holds the old scale
    EXPECT_FLOAT_EQ(scaleOf(0), 24.0f);
    EXPECT_FLOAT_EQ(cutoffSum(true), 54.0f);
    EXPECT_FLOAT_EQ(cutoffSum(false), 54.0f);
}

} // namespace
} // namespace corvex
