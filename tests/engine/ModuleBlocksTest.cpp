// Default program blocks, effect slot blocks and the kernel-global section image.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "engine/modules/ModuleSlots.h"
#include "engine/program/ModuleBlocks.h"

namespace corvex {
namespace {

constexpr uint16_t kSentinel = 0xBEEF;

std::vector<uint16_t> defaultBlock(int type, int group = 1, int instance = 0) {
    std::vector<uint16_t> block(static_cast<size_t>(defaultBlockLength(type)) + 8, kSentinel);
    moduleBlockDefaults(block.data(), type, group, instance);
    return block;
}

int nonZeroParameterWords(const std::vector<uint16_t>& block, int length) {
    int n = 0;
    for (int w = 4; w < length; ++w) n += block[static_cast<size_t>(w)] != 0;
    return n;
}

TEST(DefaultBlocks, LengthsByTypeCode) {
    const std::pair<int, int> cases[] = {
        {0, 8}, {1, 6}, {11, 72}, {27, 5}, {41, 417}, {46, 47}, {48, 29}, {54, 34}, {61, 15},
        {45, 0}, {49, 0}, {53, 0}, {55, 0}, {57, 0}, {62, 0}, {63, 0}, {-1, 0}, {64, 0},
    };
    for (const auto& [type, length] : cases) EXPECT_EQ(defaultBlockLength(type), length) << type;
}

TEST(DefaultBlocks, LengthsFitTheSlotsThatHoldThem) {
    for (int slot = 0; slot < kModuleSlotCount; ++slot) {
        const ModuleSlot& s = kModuleSlots[static_cast<size_t>(slot)];
        if (s.blockWords < 0 || defaultBlockLength(s.type) == 0) continue;
        EXPECT_EQ(defaultBlockLength(s.type), s.blockWords) << "slot " << slot;
    }
}

TEST(DefaultBlocks, EveryBuilderWritesItsHeaderAndStaysInsideItsLength) {
    for (int type = -2; type < 66; ++type) {
        const int length = defaultBlockLength(type);
        const std::vector<uint16_t> block = defaultBlock(type, 1, 2);
        for (size_t w = static_cast<size_t>(length); w < block.size(); ++w)
            ASSERT_EQ(block[w], kSentinel) << "type " << type << " wrote word " << w;
        if (length == 0) continue;
        EXPECT_EQ(block[0], 0x101) << type;
        EXPECT_EQ(block[1], (type << 8) | 2) << type;
        EXPECT_EQ(block[2], length) << type;
        const bool startsInUse = type == 27 || type == 37 || type == 41 || type == 46 || type == 48;
        EXPECT_EQ(block[3], startsInUse ? 0 : 65535) << type;
    }
}

TEST(DefaultBlocks, TypesWithoutDefaultsAreZeroPastTheHeader) {
    for (int type : {0, 5, 8, 22, 24, 28, 40, 42, 44, 54, 58, 61})
        EXPECT_EQ(nonZeroParameterWords(defaultBlock(type), defaultBlockLength(type)), 0) << type;
}

TEST(DefaultBlocks, TelltaleDefaults) {
    struct Case {
        int type, word, value;
    };
    const Case cases[] = {
        {1, 5, 65535}, {2, 30, 1365}, {2, 34, 16384}, {3, 15, 3}, {4, 8, 4000},
        {6, 14, 8000}, {7, 7, 16256}, {48, 28, 16384}, {59, 10, 1}, {60, 10, 1},
    };
    for (const Case& c : cases) EXPECT_EQ(defaultBlock(c.type)[static_cast<size_t>(c.word)], c.value) << c.type;
    EXPECT_EQ(nonZeroParameterWords(defaultBlock(2), 39), 8);
    const std::vector<uint16_t> runner = defaultBlock(48);
    for (size_t w = 3; w < 7; ++w) EXPECT_EQ(runner[w], 0) << w;
    EXPECT_EQ(nonZeroParameterWords(runner, 29), 6);
}

TEST(DefaultBlocks, StepSequencerHasThreeTracksOf133Words) {
    const std::vector<uint16_t> block = defaultBlock(41);
    ASSERT_EQ(block[2], 417);
    for (size_t w = 3; w < 18; ++w) EXPECT_EQ(block[w], 0) << w;
    for (size_t w : {18, 151, 284}) EXPECT_EQ(block[w], 24) << w;
    for (size_t w : {21, 154, 287}) EXPECT_EQ(block[w], 1) << w;
    EXPECT_EQ(nonZeroParameterWords(block, 417), 6);
}

TEST(DefaultBlocks, KeyRangeHasFourPartGroups) {
    const std::vector<uint16_t> block = defaultBlock(46, 2);
    const std::array<uint16_t, 10> group = {0, 0, 1, 32, 12000, 0, 0, 0, 0, 127};
    for (size_t w = 3; w < 7; ++w) EXPECT_EQ(block[w], 0) << w;
    for (size_t part = 0; part < 4; ++part)
        for (size_t i = 0; i < 10; ++i) EXPECT_EQ(block[7 + part * 10 + i], group[i]) << part << "/" << i;
}

struct EffectCase {
    int selector, innerType, innerLength, word, value;
};

// One telling default per selector, at its 40-word slot-block position.
const EffectCase kEffectCases[] = {
    {0, 22, 7, 17, 0}, {1, 24, 20, 28, 12288}, {2, 28, 21, 24, 14745}, {3, 29, 17, 21, 1638}, {4, 40, 30, 38, 12288},
};

TEST(EffectSlotBlock, EachSelectorHostsItsEffect) {
    for (const EffectCase& c : kEffectCases) {
        std::array<uint16_t, 40> block;
        block.fill(kSentinel);
        buildEffectSlotBlock(block.data(), 2, c.selector);
        const std::array<uint16_t, 10> head = {0x0102, 0x3102, 40, 8, 0, 0, 0, static_cast<uint16_t>(c.selector), 1, 0};
        for (size_t w = 0; w < 10; ++w) EXPECT_EQ(block[w], head[w]) << c.selector << " word " << w;
        EXPECT_EQ(block[10], 0x0103);
        EXPECT_EQ(block[11], (c.innerType << 8) | 2);
        EXPECT_EQ(block[12], c.innerLength);
        EXPECT_EQ(block[13], 65535);
        EXPECT_EQ(block[static_cast<size_t>(c.word)], c.value) << c.selector;
        for (size_t w = 10 + static_cast<size_t>(c.innerLength); w < 40; ++w)
            EXPECT_EQ(block[w], 0) << "selector " << c.selector << " word " << w << " lies past the inner block";
        EXPECT_EQ(effectSelectorOfBlock(block.data()), c.selector);
    }
}

TEST(EffectSlotBlock, SelectorComesFromTheInnerTypeNotWord7) {
    std::array<uint16_t, 40> block{};
    buildEffectSlotBlock(block.data(), 0, 3);
    block[7] = 1;
    EXPECT_EQ(effectSelectorOfBlock(block.data()), 3);

    buildEffectSlotBlock(block.data(), 0, 0);
    for (uint16_t stale : {0, 2, 4}) {
        block[7] = stale;
        EXPECT_EQ(effectSelectorOfBlock(block.data()), 0) << stale;
    }
    block[11] = 0x3000; // a type no effect uses
    EXPECT_EQ(effectSelectorOfBlock(block.data()), 0);
}

TEST(EffectSlotBlock, OutOfRangeSelectorBuildsTheBypass) {
    for (int selector : {-1, 5, 200}) {
        std::array<uint16_t, 40> block{};
        buildEffectSlotBlock(block.data(), 1, selector);
        EXPECT_EQ(block[7], 0) << selector;
        EXPECT_EQ(block[11], 0x1601) << selector;
        EXPECT_EQ(block[12], 7) << selector;
        EXPECT_EQ(effectSelectorOfBlock(block.data()), 0);
    }
}

TEST(EffectSlotBlock, BypassReplacesTheWholeInnerBlock) {
    std::array<uint16_t, 40> block{};
    buildEffectSlotBlock(block.data(), 1, 4); // the longest inner block
    const std::array<uint16_t, 40> before = block;
    writeBypassInnerBlock(block.data(), 1);
    for (size_t w = 0; w < 10; ++w) EXPECT_EQ(block[w], before[w]) << w;
    const std::array<uint16_t, 7> bypass = {0x01FF, 0x1601, 7, 65535, 0, 0, 0};
    for (size_t w = 0; w < 7; ++w) EXPECT_EQ(block[10 + w], bypass[w]) << w;
    for (size_t w = 17; w < 40; ++w) EXPECT_EQ(block[w], 0) << w;
    EXPECT_EQ(effectSelectorOfBlock(block.data()), 0);
}

class GlobalSection : public ::testing::Test {
protected:
    void SetUp() override {
        image.fill(kSentinel);
        buildGlobalSection(image.data());
    }
    const uint16_t* blockOf(int slot) const { return image.data() + kModuleSlots[static_cast<size_t>(slot)].blockAt; }
    uint16_t* blockOf(int slot) { return image.data() + kModuleSlots[static_cast<size_t>(slot)].blockAt; }

    std::array<uint16_t, kGlobalSectionWords> image;
};

TEST_F(GlobalSection, BlocksTileTheImageWithTheirHeaders) {
    struct Case {
        int slot, at;
        uint16_t header0, header1, length;
    };
    const Case cases[] = {
        {33, 0, 0x01FF, 0x2E00, 47},   {34, 47, 0x01FF, 0x3000, 29},  {35, 76, 0x0102, 0x3100, 40},
        {36, 116, 0x0102, 0x3101, 40}, {37, 156, 0x0102, 0x3102, 40}, {40, 196, 0x0102, 0x3D00, 15},
        {32, 211, 0x0102, 0x0100, 6},
    };
    int next = 0;
    for (const Case& c : cases) {
        ASSERT_EQ(c.at, next) << c.slot;
        const uint16_t* block = image.data() + c.at;
        EXPECT_EQ(block[0], c.header0) << c.slot;
        EXPECT_EQ(block[1], c.header1) << c.slot;
        EXPECT_EQ(block[2], c.length) << c.slot;
        EXPECT_EQ(block[3], 8) << c.slot;
        next += block[2];
    }
    EXPECT_EQ(next, kGlobalSectionWords);
    for (uint16_t word : image) EXPECT_NE(word, kSentinel);
}

TEST_F(GlobalSection, BlocksCarryTheirBuildersDefaults) {
    EXPECT_EQ(blockOf(33)[7 + 3 * 10 + 4], 12000); // part 4's level
    EXPECT_EQ(blockOf(33)[7 + 9], 127);
    EXPECT_EQ(blockOf(34)[27], 16384);
    EXPECT_EQ(blockOf(32)[5], 65535);
    for (int w = 4; w < 15; ++w) EXPECT_EQ(blockOf(40)[w], 0) << w;
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(blockOf(35 + i)[7], 2);
        EXPECT_EQ(blockOf(35 + i)[8], 1);
        EXPECT_EQ(effectSelectorOfBlock(blockOf(35 + i)), 2);
        EXPECT_EQ(blockOf(35 + i)[11], 0x1C00 + i);
        EXPECT_EQ(blockOf(35 + i)[17], 11468);
    }
}

TEST_F(GlobalSection, InitialAdjustments) {
    // Words the adjustments must clear, dirtied so a skipped clear shows.
    for (int w = 9; w <= 22; ++w) blockOf(34)[w] = 99;
    for (int w : {7, 8, 10, 11}) blockOf(40)[w] = 99;
    const std::array<uint16_t, kGlobalSectionWords> before = image;
    applyInitialGlobalAdjustments(image.data());

    const std::array<uint16_t, 10> playing = {1, 0, 0, 8, 12288, 0, 0, 0, 0, 127};
    const std::array<uint16_t, 10> silent = {0, 0, 1, 32, 12000, 0, 0, 0, 0, 127};
    for (int part = 0; part < 4; ++part)
        for (int i = 0; i < 10; ++i)
            EXPECT_EQ(blockOf(33)[7 + part * 10 + i], (part < 2 ? playing : silent)[static_cast<size_t>(i)])
                << "part " << part + 1 << " word " << i;

    const uint16_t* runner = blockOf(34);
    for (int w = 7; w <= 28; ++w) {
        const bool full = w == 7 || w == 8 || w == 11 || w == 12 || w == 23 || w == 24 || w == 27;
        EXPECT_EQ(runner[w], full ? 16384 : w == 28 ? 8192 : 0) << "runner word " << w;
    }

    const uint16_t* global = blockOf(40);
    for (int w : {7, 8, 10, 11}) EXPECT_EQ(global[w], 0) << w;
    EXPECT_EQ(global[13], 11468);

    for (int i = 0; i < 3; ++i) {
        const uint16_t* effect = blockOf(35 + i);
        EXPECT_EQ(effect[10], 0x01FF);
        EXPECT_EQ(effect[11], 0x1600 + i);
        EXPECT_EQ(effect[12], 7);
        EXPECT_EQ(effect[17], 0);
        EXPECT_EQ(effect[7], 2); // the last chosen selector stays; only the inner type tells what plays
        EXPECT_EQ(effectSelectorOfBlock(effect), 0);
    }

    // Headers and the value source block are not touched.
    for (int slot : {32, 33, 34, 35, 36, 37, 40})
        for (int w = 0; w < 4; ++w) EXPECT_EQ(blockOf(slot)[w], before[kModuleSlots[slot].blockAt + w]) << slot;
    for (int w = 0; w < 6; ++w) EXPECT_EQ(blockOf(32)[w], before[211 + w]);
}

} // namespace
} // namespace corvex
