// The module slot table and the lookup from (group, type, instance) to a slot.
#include <gtest/gtest.h>

#include "engine/modules/ModuleSlots.h"

namespace corvex {
namespace {

TEST(ModuleSlots, EverySlotIsFoundByItsOwnNames) {
    for (int slot = 0; slot < kModuleSlotCount; ++slot) {
        const ModuleSlot& s = kModuleSlots[static_cast<size_t>(slot)];
        EXPECT_EQ(moduleSlotIndex(s.instance, s.group, s.type), slot) << slot;
    }
}

TEST(ModuleSlots, LookupEdgeCases) {
    struct Case {
        int instance, group, type, slot;
    };
    const Case cases[] = {
        {1, 0, 7, -1},   // type 7 has one instance only
        {2, 2, 49, 37},  // third effect slot
        {0, 1, 50, 28},  // the connection list
        {0, 255, 46, 33}, // stored kernel-global blocks carry group byte 255
        {0, 1, 46, -1},  // the key-range module is not per part
        {3, 2, 49, -1},  // past the last effect slot
        {0, 0, 5, -1},   // a type with no slot
        {-1, 0, 3, -1},
        {200, 0, 3, -1},
        {0, 7, 61, 40},
    };
    for (const Case& c : cases)
        EXPECT_EQ(moduleSlotIndex(c.instance, c.group, c.type), c.slot) << c.instance << "," << c.group << "," << c.type;
}

TEST(ModuleSlots, PartBlocksAreContiguousAndInputsTotal201) {
    int at = 0, inputs = 0;
    for (int slot = 0; slot < kPartSlotCount; ++slot) {
        EXPECT_EQ(kModuleSlots[static_cast<size_t>(slot)].blockAt, at) << slot;
        at += kModuleSlots[static_cast<size_t>(slot)].blockWords;
    }
    EXPECT_EQ(at, 1322);
    for (const auto& s : kModuleSlots) inputs += s.inputs;
    EXPECT_EQ(inputs, 201);
}

} // namespace
} // namespace corvex
