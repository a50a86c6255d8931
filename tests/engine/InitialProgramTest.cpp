// The initial part program's block words and its connection list.
#include <gtest/gtest.h>

#include <array>
#include <set>
#include <tuple>

#include "engine/modules/ModuleSlots.h"
#include "engine/modules/ModuleTypes.h"
#include "engine/program/InitialProgram.h"
#include "engine/program/ModuleBlocks.h"

namespace corvex {
namespace {

constexpr uint16_t kSentinel = 0x5A5A;
constexpr int kConnectionListSlot = 28;

class InitialPart : public ::testing::Test {
protected:
    void SetUp() override {
        area.fill(kSentinel);
        writeInitialPartWords(area.data());
    }
    uint16_t word(int slot, int w) const {
        return area[static_cast<size_t>(kModuleSlots[static_cast<size_t>(slot)].blockAt + w)];
    }

    std::array<uint16_t, kPartAreaWords> area;
};

TEST_F(InitialPart, WritesEveryParameterWordButNoHeaderNorTheConnectionList) {
    for (int slot = 0; slot < kPartSlotCount; ++slot) {
        const ModuleSlot& s = kModuleSlots[static_cast<size_t>(slot)];
        for (int w = 0; w < s.blockWords; ++w) {
            const bool untouched = slot == kConnectionListSlot || w < 3;
            if (untouched)
                EXPECT_EQ(word(slot, w), kSentinel) << "slot " << slot << " word " << w;
            else
                EXPECT_NE(word(slot, w), kSentinel) << "slot " << slot << " word " << w;
        }
    }
}

TEST_F(InitialPart, TelltaleWords) {
    struct Case {
        int slot, word, value;
    };
    const Case cases[] = {
        {1, 7, 3440}, {8, 3, 1}, {2, 13, 65535}, {2, 7, 0}, {4, 7, 163}, {26, 16, 65535},
        {27, 17, 8},  {30, 10, 1}, {29, 10, 0}, {24, 118, 0}, {24, 151, 24}, {24, 152, 0}, {24, 287, 1},
        {24, 416, 0}, {25, 22, 0}, {20, 5, 65535}, {20, 4, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(word(c.slot, c.word), c.value) << "slot " << c.slot << " word " << c.word;
    for (int w = 119; w <= 150; ++w) EXPECT_EQ(word(24, w), 8192) << w;
}

TEST_F(InitialPart, BothInstancesAndAllValueSourcesStartAlike) {
    const std::pair<int, int> twins[] = {{0, 20}, {0, 21}, {0, 22}, {10, 11}, {12, 13}, {14, 15}, {16, 17}, {18, 19}};
    for (const auto& [a, b] : twins)
        for (int w = 3; w < kModuleSlots[static_cast<size_t>(a)].blockWords; ++w)
            EXPECT_EQ(word(a, w), word(b, w)) << a << "/" << b << " word " << w;
    // Instances that differ on purpose.
    EXPECT_NE(word(2, 9), word(3, 9));
    EXPECT_NE(word(6, 15), word(7, 15));
    EXPECT_NE(word(29, 10), word(30, 10));
}

TEST_F(InitialPart, EveryBlockButOneIsInUse) {
    for (int slot = 0; slot < kPartSlotCount; ++slot) {
        if (slot == kConnectionListSlot || kModuleSlots[static_cast<size_t>(slot)].blockWords <= 3) continue;
        EXPECT_EQ(word(slot, 3), slot == 8 ? 1 : 8) << slot;
    }
}

TEST(InitialConnections, LinkExistingPortsOfPartSlots) {
    for (int i = 0; i < kInitialConnectionCount; ++i) {
        const InitialConnection& c = kInitialConnections[i];
        ASSERT_LT(c.sourceSlot, kPartSlotCount) << i;
        ASSERT_LT(c.destinationSlot, kPartSlotCount) << i;
        EXPECT_NE(c.sourceSlot, kConnectionListSlot) << i;
        EXPECT_NE(c.destinationSlot, kConnectionListSlot) << i;
        const ModuleSlot& source = kModuleSlots[c.sourceSlot];
        const ModuleSlot& destination = kModuleSlots[c.destinationSlot];
        EXPECT_LT(c.sourcePort, kPortCountByType[source.type]) << i;
        EXPECT_LT(c.destinationPort, destination.inputs) << i;
    }
}

TEST(InitialConnections, SortedByDestinationInputWithoutDuplicates) {
    std::set<std::tuple<int, int, int, int>> seen;
    for (int i = 0; i < kInitialConnectionCount; ++i) {
        const InitialConnection& c = kInitialConnections[i];
        EXPECT_TRUE(seen.insert({c.sourceSlot, c.sourcePort, c.destinationSlot, c.destinationPort}).second) << i;
        if (i == 0) continue;
        const InitialConnection& p = kInitialConnections[i - 1];
        EXPECT_LE(std::make_pair(p.destinationSlot, p.destinationPort),
                  std::make_pair(c.destinationSlot, c.destinationPort))
            << i;
    }
}

TEST(InitialConnections, TelltaleRecords) {
    struct Case {
        int index, sourceSlot, sourcePort, destinationSlot, destinationPort, amount, second;
    };
    const Case cases[] = {
        {0, 0, 0, 1, 0, 16384, 0},   {1, 30, 0, 2, 0, 0, 114},   {9, 26, 0, 2, 5, 40960, 0},
        {24, 1, 0, 5, 1, 16384, 193}, {30, 29, 0, 8, 2, 0, 1},  {44, 25, 0, 31, 0, 16384, 0},
    };
    for (const Case& e : cases) {
        const InitialConnection& c = kInitialConnections[e.index];
        EXPECT_EQ(std::make_tuple(c.sourceSlot, c.sourcePort, c.destinationSlot, c.destinationPort, c.amount, c.second),
                  std::make_tuple(e.sourceSlot, e.sourcePort, e.destinationSlot, e.destinationPort, e.amount, e.second))
            << "record " << e.index;
    }
}

} // namespace
} // namespace corvex
