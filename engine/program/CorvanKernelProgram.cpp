#include "engine/program/CorvanKernelProgram.h"

#include <algorithm>

#include "engine/program/InitialProgram.h"

namespace corvex {

namespace {

// A normalised value becomes a 14-bit word by truncation; values outside what a word holds are clamped.
uint16_t toWord(float v) {
    if (!(v > 0.0f)) return 0;
    const float scaled = v * 16384.0f;
    return scaled >= 65535.0f ? 65535 : static_cast<uint16_t>(scaled);
}

} // namespace

CorvanKernelProgram::CorvanKernelProgram(SoftwareKernel& kernel)
    : sender_(kernel, image_), connections_(image_, sender_), streams_(image_, connections_), multi_(image_, sender_) {}

void CorvanKernelProgram::initialise() {
    image_.setBlockState(kBlockStateBuilt);
    for (int layer = 0; layer < kPartCount; ++layer)
        for (int slot = 0; slot < kPartSlotCount; ++slot) image_.writeModuleBlock(slot, layer, kBlockStateBuilt);
    connections_.clearAll();
    uint16_t* section0 = image_.area(0);
    buildGlobalSection(section0);
    applyInitialGlobalAdjustments(section0);
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
    writeInitialPartWords(image_.area(layer + 1));
}

void CorvanKernelProgram::sendPart(int section) {
    if (!ProgramImage::validPart(section)) return;
    loadInitConnections(section);
    for (int slot = 0; slot < kPartSlotCount; ++slot)
        if (slot != SlotIndex::ConnectionList) sendBlock(section, slot);
}

void CorvanKernelProgram::setParameter(int section, int slot, int wordIndex, float v) {
    setParameterWord(section, slot, wordIndex, -1, toWord(v));
}

void CorvanKernelProgram::setParameterWord(int section, int slot, int wordIndex, int alternateIndex,
                                           uint16_t value) {
    const int index = wordIndex >= 0 ? wordIndex : alternateIndex;
    sender_.storeWord(section, slot, index, index, value);
}

void CorvanKernelProgram::setParameterWordAs(int section, int slot, int storageWord, int messageWord,
                                             uint16_t value) {
    if (messageWord < 0 || messageWord > 255) return;
    sender_.storeWord(section, slot, storageWord, messageWord, value);
}

int16_t CorvanKernelProgram::getParameterWord(int section, int slot, int wordIndex) {
    const Block b = getBlock(section, slot);
    if (b.words == nullptr || wordIndex < 0 || wordIndex >= b.length) return 0;
    return static_cast<int16_t>(b.words[wordIndex]);
}

float CorvanKernelProgram::getParameter(int section, int slot, int wordIndex) {
    return static_cast<float>(getParameterWord(section, slot, wordIndex)) * (1.0f / 16384.0f);
}

bool CorvanKernelProgram::readPart(int section, WordInputStream& in) {
    if (section != 0 && !ProgramImage::validPart(section)) return false;
    ParsedStream parsed;
    const bool ok = streams_.parse(section, in, parsed);
    stopPart(section);
    if (ok) {
        std::copy(parsed.image.begin(), parsed.image.end(), image_.area(section));
        for (int slot : parsed.sentSlots) {
            if (slot == SlotIndex::ConnectionList)
                sendConnections(section, parsed.records, parsed.recordCount);
            else
                sendBlock(section, slot);
        }
    }
    // Restarted whatever happened: a failed read must not leave a layer silent.
    startPart(section);
    return ok;
}

bool CorvanKernelProgram::checkPart(int section, WordInputStream& in) const {
    if (section != 0 && !ProgramImage::validPart(section)) return false;
    ParsedStream parsed;
    return streams_.parse(section, in, parsed);
}

} // namespace corvex
