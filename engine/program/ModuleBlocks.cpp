// Default program blocks of every module type, the effect slot blocks and the kernel-global section image.
#include "engine/program/ModuleBlocks.h"

#include <array>
#include <cstddef>

#include "engine/modules/ModuleSlots.h"
#include "engine/modules/ModuleTypes.h"

namespace corvex {

namespace {

constexpr int kBuilderTypeCount = 62;

// 0: no builder; those codes' blocks are never built from defaults.
constexpr std::array<uint16_t, kBuilderTypeCount> kDefaultLengths = {
    8,  6,   39, 20, 18, 34, 22, 11, 19, 12, // 0..9
    13, 72,  22, 18, 10, 12, 7,  10, 10, 7,  // 10..19
    8,  22,  7,  13, 20, 19, 13, 5,  21, 17, // 20..29
    7,  15,  19, 15, 25, 16, 8,  5,  20, 17, // 30..39
    30, 417, 23, 12, 17, 0,  47, 7,  29, 0,  // 40..49
    0,  0,   0,  0,  34, 0,  0,  0,  7,  12, // 50..59
    12, 15,                                  // 60..61
};

struct DefaultWord {
    uint8_t type;
    uint16_t word;
    uint16_t value;
};

constexpr DefaultWord kDefaultWords[] = {
    {1, 5, 65535},
    {2, 29, 4080}, {2, 30, 1365}, {2, 32, 8192}, {2, 33, 8192}, {2, 34, 16384}, {2, 36, 8192}, {2, 37, 8192},
    {2, 38, 16384},
    {3, 8, 8000}, {3, 13, 1}, {3, 14, 2}, {3, 15, 3}, {3, 16, 1},
    {4, 7, 8000}, {4, 8, 4000}, {4, 9, 8000}, {4, 10, 8000},
    {6, 10, 2000}, {6, 11, 2000}, {6, 14, 8000}, {6, 15, 8000},
    {7, 7, 16256}, {7, 9, 8128},
    {48, 7, 16384}, {48, 8, 16384}, {48, 23, 16384}, {48, 24, 16384}, {48, 27, 16384}, {48, 28, 16384},
    {59, 10, 1},
    {60, 10, 1},
};

// Builders that leave word 3 at 0, so their default blocks count as in use; the key-range, runner and
// step-sequencer builders clear every word below their first default, word 3 included.
constexpr bool startsInUse(int type) {
    return type == 27 || type == 37 || type == ModuleType::StepSequencer || type == ModuleType::KeyRange ||
           type == ModuleType::GraphRunner;
}

// Types made of equal groups: the word at `offset` of each of `count` groups, `stride` words apart.
struct GroupDefault {
    uint8_t type;
    uint16_t first;
    uint16_t stride;
    uint8_t count;
    uint8_t offset;
    uint16_t value;
};

constexpr GroupDefault kGroupDefaults[] = {
    {41, 18, 133, 3, 0, 24},
    {41, 18, 133, 3, 3, 1},
    {46, 7, 10, 4, 2, 1},
    {46, 7, 10, 4, 3, 32},
    {46, 7, 10, 4, 4, 12000},
    {46, 7, 10, 4, 9, 127},
};

struct EffectKind {
    uint8_t innerType;
    uint8_t innerLength;
};

constexpr std::array<EffectKind, kEffectSelectorCount> kEffectKinds = {{
    {22, 7}, {24, 20}, {28, 21}, {29, 17}, {40, 30},
}};

// Runs of equal words, indexed by word of the 40-word slot block.
struct EffectDefault {
    uint8_t selector;
    uint8_t first;
    uint8_t last;
    uint16_t value;
};

constexpr EffectDefault kEffectDefaults[] = {
    {1, 18, 18, 11468}, {1, 19, 20, 9830}, {1, 21, 21, 2}, {1, 22, 22, 13107}, {1, 25, 25, 2},
    {1, 27, 27, 6553}, {1, 28, 28, 12288},
    {2, 17, 18, 11468}, {2, 19, 20, 9830}, {2, 24, 24, 14745}, {2, 25, 27, 8192}, {2, 29, 29, 12288},
    {3, 17, 17, 13107}, {3, 18, 18, 9830}, {3, 19, 20, 13107}, {3, 21, 21, 1638}, {3, 22, 22, 6553},
    {3, 23, 23, 3276}, {3, 24, 24, 1}, {3, 25, 25, 12288},
    {4, 17, 20, 8192}, {4, 21, 21, 2}, {4, 22, 25, 8192}, {4, 26, 26, 2}, {4, 27, 28, 8192}, {4, 33, 35, 8192},
    {4, 36, 36, 1}, {4, 38, 38, 12288},
};

constexpr bool defaultsFitTheirBlocks() {
    for (const DefaultWord& d : kDefaultWords)
        if (d.word < 4 || d.word >= kDefaultLengths[d.type]) return false;
    for (const GroupDefault& g : kGroupDefaults)
        if (g.first + (g.count - 1) * g.stride + g.offset >= kDefaultLengths[g.type]) return false;
    for (const EffectDefault& e : kEffectDefaults)
        if (e.first < kEffectInnerAt + 4 || e.last >= kEffectInnerAt + kEffectKinds[e.selector].innerLength)
            return false;
    return true;
}
static_assert(defaultsFitTheirBlocks(), "a default word lies outside its block");

// Slots of section 0, in image order.
constexpr int kEffectCount = 3;

// Kernel-global blocks keep this header word: its group byte 255 is how stored blocks find their slots.
constexpr uint16_t kGlobalHeader = 0x01FF;
constexpr uint16_t kEffectSlotHeader = 0x0102;
constexpr uint16_t kEffectInnerHeader = 0x0103;

constexpr int kKeyRangeGroupAt = 7;
constexpr int kKeyRangeGroupWords = 10;
constexpr std::array<uint16_t, kKeyRangeGroupWords> kPlayingPartGroup = {1, 0, 0, 8, 12288, 0, 0, 0, 0, 127};

uint16_t* slotBlock(uint16_t* section0, int slot) {
    return section0 + kModuleSlots[static_cast<size_t>(slot)].blockAt;
}

void writeDefaultsOfSlot(uint16_t* section0, int slot) {
    const ModuleSlot& s = kModuleSlots[static_cast<size_t>(slot)];
    moduleBlockDefaults(slotBlock(section0, slot), s.type, s.group, s.instance);
}

} // namespace

int defaultBlockLength(int type) {
    if (type < 0 || type >= kBuilderTypeCount) return 0;
    return kDefaultLengths[static_cast<size_t>(type)];
}

void moduleBlockDefaults(uint16_t* block, int type, int group, int instance) {
    const int length = defaultBlockLength(type);
    if (length == 0) return;
    block[0] = static_cast<uint16_t>(0x100 + group);
    block[1] = static_cast<uint16_t>((type << 8) | (instance & 0xFF));
    block[2] = static_cast<uint16_t>(length);
    block[3] = startsInUse(type) ? 0 : kBlockUnused;
    for (int w = 4; w < length; ++w) block[w] = 0;
    for (const DefaultWord& d : kDefaultWords)
        if (d.type == type) block[d.word] = d.value;
    for (const GroupDefault& g : kGroupDefaults)
        if (g.type == type)
            for (int k = 0; k < g.count; ++k) block[g.first + k * g.stride + g.offset] = g.value;
}

void buildEffectSlotBlock(uint16_t* block40, int effectIndex, int selector) {
    if (selector < 0 || selector >= kEffectSelectorCount) selector = 0;
    const EffectKind& kind = kEffectKinds[static_cast<size_t>(selector)];
    for (int w = 0; w < kEffectSlotWords; ++w) block40[w] = 0;
    block40[0] = kEffectSlotHeader;
    block40[1] = static_cast<uint16_t>(0x3100 + effectIndex);
    block40[2] = kEffectSlotWords;
    block40[3] = kBlockStateBuilt;
    block40[7] = static_cast<uint16_t>(selector);
    block40[8] = 1;
    uint16_t* inner = block40 + kEffectInnerAt;
    inner[0] = kEffectInnerHeader;
    inner[1] = static_cast<uint16_t>((kind.innerType << 8) | (effectIndex & 0xFF));
    inner[2] = kind.innerLength;
    inner[3] = kBlockUnused;
    for (const EffectDefault& e : kEffectDefaults)
        if (e.selector == selector)
            for (int w = e.first; w <= e.last; ++w) block40[w] = e.value;
}

int effectSelectorOfBlock(const uint16_t* block40) {
    const int innerType = block40[kEffectInnerAt + 1] >> 8;
    for (int s = 1; s < kEffectSelectorCount; ++s)
        if (kEffectKinds[static_cast<size_t>(s)].innerType == innerType) return s;
    return 0;
}

void writeBypassInnerBlock(uint16_t* block40, int effectIndex) {
    for (int w = kEffectInnerAt; w < kEffectSlotWords; ++w) block40[w] = 0;
    uint16_t* inner = block40 + kEffectInnerAt;
    inner[0] = kGlobalHeader;
    inner[1] = static_cast<uint16_t>((ModuleType::PassThrough << 8) | (effectIndex & 0xFF));
    inner[2] = kDefaultLengths[ModuleType::PassThrough];
    inner[3] = kBlockUnused;
}

void buildGlobalSection(uint16_t* section0) {
    for (int w = 0; w < kGlobalSectionWords; ++w) section0[w] = 0;

    for (int slot : {SlotIndex::KeyRange, SlotIndex::Runner}) {
        writeDefaultsOfSlot(section0, slot);
        uint16_t* block = slotBlock(section0, slot);
        block[0] = kGlobalHeader;
        block[3] = kBlockStateBuilt;
    }
    // Every effect slot starts out hosting effect 2 with its defaults, as after a change to that effect.
    for (int i = 0; i < kEffectCount; ++i) buildEffectSlotBlock(slotBlock(section0, SlotIndex::FirstEffect + i), i, 2);

    // The global block and the kernel's own value source: plain defaults marked in use. The value source
    // has no rule of its own for word 3; it takes the state every other built block has.
    for (int slot : {SlotIndex::GlobalBlock, SlotIndex::Transport}) {
        writeDefaultsOfSlot(section0, slot);
        slotBlock(section0, slot)[3] = kBlockStateBuilt;
    }
}

void applyInitialGlobalAdjustments(uint16_t* section0) {
    uint16_t* keyRange = slotBlock(section0, SlotIndex::KeyRange);
    for (int part = 0; part < 2; ++part)
        for (int w = 0; w < kKeyRangeGroupWords; ++w)
            keyRange[kKeyRangeGroupAt + part * kKeyRangeGroupWords + w] = kPlayingPartGroup[static_cast<size_t>(w)];

    uint16_t* runner = slotBlock(section0, SlotIndex::Runner);
    for (int w = 7; w <= 22; ++w) runner[w] = 0;
    for (int w : {7, 8, 11, 12, 23, 24, 27}) runner[w] = 16384;
    runner[25] = 0;
    runner[26] = 0;
    runner[28] = 8192;

    uint16_t* global = slotBlock(section0, SlotIndex::GlobalBlock);
    for (int w : {7, 8, 10, 11}) global[w] = 0;
    global[13] = 11468;

    for (int i = 0; i < kEffectCount; ++i) writeBypassInnerBlock(slotBlock(section0, SlotIndex::FirstEffect + i), i);
}

} // namespace corvex
