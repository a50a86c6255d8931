#include "engine/program/ProgramImage.h"

#include <algorithm>
#include <cstddef>

#include "engine/modules/ModuleSlots.h"

namespace corvex {

namespace {
const ModuleSlot& slotInfo(int slot) { return kModuleSlots[static_cast<size_t>(slot)]; }
} // namespace

ProgramImage::Span ProgramImage::find(int section, int slot) const {
    if (section == 0) {
        switch (slot) {
        case 32: case 33: case 34: case 35: case 36: case 37: case 40:
            return {slotInfo(slot).blockAt, slotInfo(slot).blockWords};
        default:
            return {};
        }
    }
    if (!validPart(section) || slot < 0 || slot >= kPartSlotCount || slot == SlotIndex::ConnectionList) return {};
    const int at = slotInfo(slot).blockAt;
    // The stored length word is trusted only as far as the slot's room.
    return {at, std::min<int>(parts_[section - 1][at + 2], slotInfo(slot).blockWords)};
}

ProgramImage::Block ProgramImage::block(int section, int slot) {
    const Span s = find(section, slot);
    if (s.at < 0) return {};
    return {area(section) + s.at, s.length};
}

ProgramImage::ConstBlock ProgramImage::block(int section, int slot) const {
    const Span s = find(section, slot);
    if (s.at < 0) return {};
    return {area(section) + s.at, s.length};
}

uint16_t* ProgramImage::area(int section) {
    if (section == 0) return section0_;
    return validPart(section) ? parts_[section - 1] : nullptr;
}

const uint16_t* ProgramImage::area(int section) const {
    if (section == 0) return section0_;
    return validPart(section) ? parts_[section - 1] : nullptr;
}

uint16_t* ProgramImage::globalBlock(int slot) { return section0_ + slotInfo(slot).blockAt; }

const uint16_t* ProgramImage::globalBlock(int slot) const { return section0_ + slotInfo(slot).blockAt; }

void ProgramImage::writeModuleBlock(int slot, int layer, int state) {
    if (slot < 0 || slot >= kPartSlotCount || slot == SlotIndex::ConnectionList || layer < 0 || layer >= kPartCount)
        return;
    const ModuleSlot& s = slotInfo(slot);
    uint16_t* block = parts_[layer] + s.blockAt;
    std::fill(block, block + s.blockWords, uint16_t{0});
    block[0] = static_cast<uint16_t>(0x200 + s.group);
    block[1] = static_cast<uint16_t>((s.type << 8) | s.instance);
    block[2] = static_cast<uint16_t>(s.blockWords);
    if (defaultBlockLength(s.type) <= s.blockWords) moduleBlockDefaults(block, s.type, s.group, s.instance);
    block[2] = static_cast<uint16_t>(s.blockWords);
    if (s.blockWords > 3) block[3] = static_cast<uint16_t>(state);
    block[0] = static_cast<uint16_t>(0x200 + s.group);
}

} // namespace corvex
