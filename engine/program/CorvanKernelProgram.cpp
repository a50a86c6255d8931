#include "engine/program/CorvanKernelProgram.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/kernel/SoftwareKernel.h"
#include "engine/program/InitialProgram.h"

namespace corvex {

namespace {


const ModuleSlot& slotInfo(int slot) { return kModuleSlots[static_cast<size_t>(slot)]; }

// A normalised value becomes a 14-bit word by truncation; values outside what a word holds are clamped.
uint16_t toWord(float v) {
    if (!(v > 0.0f)) return 0;
    const float scaled = v * 16384.0f;
    return scaled >= 65535.0f ? 65535 : static_cast<uint16_t>(scaled);
}

} // namespace

CorvanKernelProgram::CorvanKernelProgram(SoftwareKernel& kernel) : kernel_(kernel) {
    for (int p = 0; p < kPartCount; ++p)
        managers_[p].attach(reinterpret_cast<ConnectionRecord*>(&parts_[p][kConnectionListAt + 1]),
                            &parts_[p][kConnectionListAt]);
}

void CorvanKernelProgram::post(const KernelMessage& message) { kernel_.postMessage(message); }

void CorvanKernelProgram::initialise() {
    blockState_ = kBlockStateBuilt;
    for (int layer = 0; layer < kPartCount; ++layer) {
        for (int slot = 0; slot < kPartSlotCount; ++slot) writeModuleBlock(slot, layer, blockState_);
        managers_[layer].assign(nullptr, 0);
    }
    buildGlobalSection(section0_);
    applyInitialGlobalAdjustments(section0_);
    loadInitPart(0);
    loadInitPart(1);
    stopPart(1);
    sendPart(1);
    sendPart(2);
    for (int slot : kMultiBlockSlots) sendBlock(0, slot);
    startPart(1);
    enablePart(1);
    disablePart(2);
}

void CorvanKernelProgram::loadInitPart(int layer) {
    if (layer < 0 || layer >= kPartCount) return;
    writeInitialPartWords(parts_[layer]);
}

void CorvanKernelProgram::sendPart(int section) {
    if (!validPart(section)) return;
    loadInitConnections(section);
    for (int slot = 0; slot < kPartSlotCount; ++slot)
        if (slot != SlotIndex::ConnectionList) sendBlock(section, slot);
}

void CorvanKernelProgram::loadInitConnections(int section) {
    if (!validPart(section)) return;
    // The table holds the list in its final sorted order, ties included; sorting it again would
    // reorder connections of equal key, and the last connection into an input is the one that counts.
    ConnectionRecord records[kMaxConnections];
    int n = 0;
    for (const InitialConnection& c : kInitialConnections)
        records[n++] = packConnection(0, c.destinationPort, 0, c.sourceSlot, c.sourcePort, c.destinationSlot,
                                      c.amount, c.second);
    sendConnections(section, records, n);
}

CorvanKernelProgram::Block CorvanKernelProgram::getBlock(int section, int slot) {
    Block b;
    if (section == 0) {
        switch (slot) {
        case 32: case 33: case 34: case 35: case 36: case 37: case 40:
            b.words = section0_ + slotInfo(slot).blockAt;
            b.length = slotInfo(slot).blockWords;
            break;
        default:
            break;
        }
        return b;
    }
    if (!validPart(section) || slot < 0 || slot >= kPartSlotCount || slot == SlotIndex::ConnectionList) return b;
    b.words = partArea(section) + slotInfo(slot).blockAt;
    // The stored length word is trusted only as far as the slot's room.
    b.length = std::min<int>(b.words[2], slotInfo(slot).blockWords);
    return b;
}

const uint16_t* CorvanKernelProgram::sectionImage(int section) const {
    if (section == 0) return section0_;
    return validPart(section) ? parts_[section - 1] : nullptr;
}

void CorvanKernelProgram::writeModuleBlock(int slot, int layer, int state) {
    if (slot < 0 || slot >= kPartSlotCount || slot == SlotIndex::ConnectionList || layer < 0 || layer >= kPartCount) return;
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

void CorvanKernelProgram::setParameter(int section, int slot, int wordIndex, float v) {
    setParameterWord(section, slot, wordIndex, -1, toWord(v));
}

int16_t CorvanKernelProgram::getParameterWord(int section, int slot, int wordIndex) {
    const Block b = getBlock(section, slot);
    if (b.words == nullptr || wordIndex < 0 || wordIndex >= b.length) return 0;
    return static_cast<int16_t>(b.words[wordIndex]);
}

float CorvanKernelProgram::getParameter(int section, int slot, int wordIndex) {
    return static_cast<float>(getParameterWord(section, slot, wordIndex)) * (1.0f / 16384.0f);
}

void CorvanKernelProgram::setParameterWord(int section, int slot, int wordIndex, int alternateIndex,
                                           uint16_t value) {
    const int index = wordIndex >= 0 ? wordIndex : alternateIndex;
    Block b = getBlock(section, slot);
    if (b.words == nullptr || index < 3 || index >= b.length) return;
    b.words[index] = value;
    const ModuleSlot& s = slotInfo(slot);
    post(KernelMessage::makeParameterSet(section, s.type, s.group, s.instance, index, value));
}

void CorvanKernelProgram::setParameterWordAs(int section, int slot, int storageWord, int messageWord,
                                             uint16_t value) {
    Block b = getBlock(section, slot);
    if (b.words == nullptr || storageWord < 3 || storageWord >= b.length || messageWord < 0 || messageWord > 255)
        return;
    b.words[storageWord] = value;
    const ModuleSlot& s = slotInfo(slot);
    post(KernelMessage::makeParameterSet(section, s.type, s.group, s.instance, messageWord, value));
}

int CorvanKernelProgram::findConnection(int section, int sourceSlot, int sourcePort, int kind, int destinationSlot,
                                        int destinationPort) const {
    if (!validPart(section)) return -1;
    return managers_[section - 1].find(sourceSlot, sourcePort, kind, destinationSlot, destinationPort);
}

int16_t CorvanKernelProgram::getConnectionAmount(int section, int sourceSlot, int sourcePort, int kind,
                                                 int destinationSlot, int destinationPort) const {
    const int i = findConnection(section, sourceSlot, sourcePort, kind, destinationSlot, destinationPort);
    return i < 0 ? 0 : static_cast<int16_t>(managers_[section - 1].record(i).amount);
}

const ConnectionManager* CorvanKernelProgram::connections(int section) const {
    return validPart(section) ? &managers_[section - 1] : nullptr;
}

int CorvanKernelProgram::setConnectionAmount(int section, int sourceSlot, int sourcePort, int kind,
                                             int destinationSlot, int destinationPort, uint16_t amount) {
    const int i = findConnection(section, sourceSlot, sourcePort, kind, destinationSlot, destinationPort);
    if (i < 0) return -1;
    managers_[section - 1].setConnectionAmount(i, amount);
    post(KernelMessage::makeConnectionAmount(section, i, amount));
    return i;
}

int CorvanKernelProgram::connect(int section, int sourceSlot, int sourcePort, int kind, int destinationSlot,
                                 int destinationPort, uint16_t amount, uint16_t second) {
    if (!validPart(section)) return -1;
    const int existing = findConnection(section, sourceSlot, sourcePort, kind, destinationSlot, destinationPort);
    if (existing >= 0) return existing;
    ConnectionManager& m = managers_[section - 1];
    const int i = m.addConnection(sourceSlot, sourcePort, kind, destinationSlot, destinationPort, amount, second, 0);
    if (i < 0) return i;
    uint16_t words[kExternalConnectionWords];
    encodeConnection(m.record(i), words);
    post(KernelMessage::makeAddConnection(section, i, words));
    return i;
}

int CorvanKernelProgram::setDoubleConnection(int section, int sourceSlotA, int sourcePortA, int sourceSlotB,
                                             int sourcePortB, int kind, int destinationSlot, int destinationPort,
                                             uint16_t amount, uint16_t second, int mode) {
    if (!validPart(section)) return -1;
    ConnectionManager& m = managers_[section - 1];
    const int i = m.addDoubleConnection(sourceSlotA, sourcePortA, sourceSlotB, sourcePortB, kind, destinationSlot,
                                        destinationPort, amount, second, mode);
    if (i < 0) return i;
    uint16_t words[kExternalConnectionWords];
    encodeConnection(m.record(i), words);
    post(KernelMessage::makeReplaceConnection(section, i, words));
    return i;
}

int CorvanKernelProgram::disconnect(int section, int sourceSlot, int sourcePort, int kind, int destinationSlot,
                                    int destinationPort) {
    if (!validPart(section)) return -1;
    const int i = managers_[section - 1].removeConnection(sourceSlot, sourcePort, kind, destinationSlot,
                                                          destinationPort);
    if (i >= 0) post(KernelMessage::makeRemoveConnection(section, i));
    return i;
}

void CorvanKernelProgram::sendBlock(int section, int slot) {
    Block b = getBlock(section, slot);
    if (b.words == nullptr || b.length < 3) return;
    if (b.length > 3 && b.words[3] == kBlockUnused) return; // a block not in use is never sent
    const ModuleSlot& s = slotInfo(slot);
    post(KernelMessage::makeModuleData(section, s.type, s.group, s.instance, b.words, b.length));
}

void CorvanKernelProgram::sendConnections(int section, const ConnectionRecord* records, int count) {
    if (!validPart(section)) return;
    count = std::clamp(count, 0, kMaxConnections);
    // The records may be the list itself, which the chunks rewrite as they arrive.
    ConnectionRecord copy[kMaxConnections];
    std::copy(records, records + count, copy);
    ConnectionManager& m = managers_[section - 1];
    const int chunkSize = KernelMessage::kMaxRecordsPerListMessage;
    int chunk = 0;
    for (int first = 0; first < count || chunk == 0; first += chunkSize, ++chunk) {
        const int n = std::min(chunkSize, count - first);
        uint16_t words[kMaxConnections * kExternalConnectionWords];
        for (int r = 0; r < n; ++r) encodeConnection(copy[first + r], words + kExternalConnectionWords * r);
        const KernelMessage message =
            KernelMessage::makeConnectionList(section, chunk, first + n >= count, words, n);
        m.setConnections(message.words + 2, n);
        post(message);
    }
}

} // namespace corvex
