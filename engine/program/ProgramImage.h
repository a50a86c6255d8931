// The message thread's copy of the kernel program's words: section 0 with the kernel-global blocks and
// the four part areas, and where each slot's block lies in them.
#pragma once

#include <cstdint>

#include "engine/modules/ConnectionRecord.h"
#include "engine/program/ModuleBlocks.h"

namespace corvex {

class ProgramImage {
public:
    static constexpr int kPartCount = 4;
    static constexpr int kConnectionListAt = 910; // count word, then 96 records of four words

    struct Block {
        uint16_t* words = nullptr;
        int length = 0;
    };
    struct ConstBlock {
        const uint16_t* words = nullptr;
        int length = 0;
    };

    static bool validPart(int section) { return section >= 1 && section <= kPartCount; }
    static int sectionWords(int section) { return section == 0 ? kGlobalSectionWords : kPartAreaWords; }

    // Section 0 lends the kernel-global blocks, sections 1..4 the parts' blocks of slots 0..31 but the
    // connection list, which is no block here. Any other slot has an empty block.
    Block block(int section, int slot);
    ConstBlock block(int section, int slot) const;

    // Section 0 or a part area; null for any other section.
    uint16_t* area(int section);
    const uint16_t* area(int section) const;

    // A kernel-global block of section 0, whole.
    uint16_t* globalBlock(int slot);
    const uint16_t* globalBlock(int slot) const;

    // Where a part keeps its connection list: the count word, and the records after it.
    uint16_t* connectionCountWord(int section) { return area(section) + kConnectionListAt; }
    ConnectionRecord* connectionRecords(int section) {
        return reinterpret_cast<ConnectionRecord*>(connectionCountWord(section) + 1);
    }

    // Rebuilds a part slot's block from its type's defaults in the area of layer 0..3, marked with the state.
    void writeModuleBlock(int slot, int layer, int state);

    // The state built blocks are marked with; a stored block rebuilt from defaults takes it too. Until
    // the program is built it is -1, which a block word reads as unused.
    int blockState() const { return blockState_; }
    void setBlockState(int state) { blockState_ = state; }

private:
    struct Span {
        int at = -1;
        int length = 0;
    };
    Span find(int section, int slot) const;

    uint16_t section0_[kGlobalSectionWords] = {};
    uint16_t parts_[kPartCount][kPartAreaWords] = {};
    int blockState_ = -1;
};

} // namespace corvex
