// Default program blocks of every module type, the effect slot blocks and the kernel-global section image.
#pragma once

#include <cstdint>

namespace corvex {

constexpr int kGlobalSectionWords = 217; // section 0: key range, runner, three effect slots, global, value source
constexpr int kPartAreaWords = 1322;     // sections 1..4: the blocks of slots 0..31
constexpr int kEffectSlotWords = 40;
constexpr int kEffectInnerAt = 10;        // the hosted effect's own block starts here inside an effect slot
constexpr int kEffectSelectorCount = 5;   // 0 bypass, 1..4 the four hosted effects
constexpr uint16_t kBlockStateBuilt = 8;  // block state the program writes once its blocks are built
constexpr uint16_t kBlockUnused = 65535;  // block state of a block that is neither stored nor sent

// The kernel-global blocks a multi consists of, in the order they are sent and stored.
constexpr int kMultiBlockSlots[] = {33, 34, 35, 36, 37, 40};

// Words of the type's default block; 0 for codes that have no builder.
int defaultBlockLength(int type);

// Writes the default block of the type (header, zeros, non-zero defaults) into defaultBlockLength(type)
// words; writes nothing for a code without a builder.
void moduleBlockDefaults(uint16_t* block, int type, int group, int instance);

// The 40-word effect slot block hosting the selector's effect with its defaults. A selector outside
// 0..4 is built as 0 (bypass): a stored or mapped value we cannot host must still leave a playable block.
void buildEffectSlotBlock(uint16_t* block40, int effectIndex, int selector);

// The selector of the hosted effect, taken from the inner block's type; word 7 may be stale, so it is not read.
int effectSelectorOfBlock(const uint16_t* block40);

// Replaces the hosted effect by the initial program's bypass block and clears the rest of the slot.
void writeBypassInnerBlock(uint16_t* block40, int effectIndex);

// Section 0 as the program builds it before the initial adjustments; every word is written.
void buildGlobalSection(uint16_t* section0);

// The initial program's changes to section 0: parts 1 and 2 present over the whole keyboard, the runner's
// levels, the global block's start values and all three effect slots bypassed.
void applyInitialGlobalAdjustments(uint16_t* section0);

} // namespace corvex
