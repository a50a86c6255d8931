#include "engine/program/ProgramSender.h"

#include <cstddef>

#include "engine/kernel/SoftwareKernel.h"
#include "engine/modules/ModuleSlots.h"

namespace corvex {

void ProgramSender::post(const KernelMessage& message) { kernel_.postMessage(message); }

void ProgramSender::sendBlock(int section, int slot) {
    const ProgramImage::Block b = image_.block(section, slot);
    if (b.words == nullptr || b.length < 3) return;
    if (b.length > 3 && b.words[3] == kBlockUnused) return; // a block not in use is never sent
    const ModuleSlot& s = kModuleSlots[static_cast<size_t>(slot)];
    post(KernelMessage::makeModuleData(section, s.type, s.group, s.instance, b.words, b.length));
}

void ProgramSender::storeWord(int section, int slot, int storageWord, int messageWord, uint16_t value) {
    const ProgramImage::Block b = image_.block(section, slot);
    if (b.words == nullptr || storageWord < 3 || storageWord >= b.length) return;
    b.words[storageWord] = value;
    const ModuleSlot& s = kModuleSlots[static_cast<size_t>(slot)];
    post(KernelMessage::makeParameterSet(section, s.type, s.group, s.instance, messageWord, value));
}

} // namespace corvex
