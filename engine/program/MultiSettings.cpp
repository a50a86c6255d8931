#include "engine/program/MultiSettings.h"

#include <algorithm>
#include <cstddef>

#include "engine/kernel/SoftwareKernel.h"

namespace corvex {

namespace {
constexpr int kLayerLevelWords[2] = {7, 11};
constexpr int kVolumeWord = 28;
constexpr int kKeyRangeGroupAt = 7;
constexpr int kKeyRangeGroupWords = 10;
} // namespace

// A range with no key in 0..127 (a split at key 0 leaves the lower layer none) is stored as low 1,
// high 0: the kernel's low <= note <= high test then admits no note, where clamping the ends into
// 0..127 would have given the layer a key of its own.
void MultiSettings::setPartKeys(int part, int low, int high) {
    low = std::max(low, 0);
    high = std::min(high, 127);
    const bool empty = low > high;
    uint16_t* group = image_.globalBlock(SlotIndex::KeyRange) + kKeyRangeGroupAt + kKeyRangeGroupWords * (part - 1);
    group[8] = static_cast<uint16_t>(empty ? 1 : low);
    group[9] = static_cast<uint16_t>(empty ? 0 : high);
}

// The layers are silenced while their key ranges change, and those the mode plays are let in again.
void MultiSettings::placeLayers(int mode) {
    sender_.disablePart(1);
    sender_.disablePart(2);
    if (mode == Split) {
        setPartKeys(1, splitKey_, 127);
        setPartKeys(2, 0, splitKey_ - 1);
    } else {
        setPartKeys(1, 0, 127);
        if (mode == Dual) setPartKeys(2, 0, 127);
    }
    sender_.sendBlock(0, SlotIndex::KeyRange);
    sender_.enablePart(1);
    if (mode != Whole) sender_.enablePart(2);
}

// Whole and Dual leave the split key alone: switching back to Split finds the key the user chose.
void MultiSettings::setKeyMode(int mode) {
    keyMode_ = std::clamp(mode, 0, 2);
    placeLayers(keyMode_);
    if (keyMode_ == Split && voiceAssignMode_ == 0) voiceAssignMode_ = 3;
    if (arpeggiatorMode_ != 0 && keyMode_ != Split) voiceAssignMode_ = 0;
    applyVoiceAssign();
}

void MultiSettings::setSplitPoint() { placeLayers(Split); }

void MultiSettings::setVolume(float v) {
    runnerBlock()[kVolumeWord] = static_cast<uint16_t>(std::clamp(v, 0.0f, 1.0f) * 16384.0f);
    sender_.sendBlock(0, SlotIndex::Runner);
}

float MultiSettings::volume() const { return runnerBlock()[kVolumeWord] / 16384.0f; }

void MultiSettings::setLayerBalance(float v) {
    v = std::clamp(v, 0.0f, 1.0f);
    const float first = v < 0.5f ? 2.0f * v : 1.0f;
    const float second = v < 0.5f ? 1.0f : 2.0f * (1.0f - v);
    runnerBlock()[kLayerLevelWords[0]] = static_cast<uint16_t>(first * 16384.0f);
    runnerBlock()[kLayerLevelWords[1]] = static_cast<uint16_t>(second * 16384.0f);
    sender_.sendBlock(0, SlotIndex::Runner);
}

float MultiSettings::layerBalance() const {
    const float first = runnerBlock()[kLayerLevelWords[0]] / 16384.0f;
    const float second = runnerBlock()[kLayerLevelWords[1]] / 16384.0f;
    return first < 1.0f ? 0.5f * first : 1.0f - 0.5f * second;
}

void MultiSettings::setBend(float v) {
    bend_ = std::clamp(v, 0.0f, 1.0f);
    sender_.kernel().postPitchBend(2.0f * bend_ - 1.0f);
}

void MultiSettings::setHold(int layer, bool on) {
    if (layer != 0 && layer != 1) return;
    hold_[layer] = on ? 1 : 0;
    const int value = !on ? 0 : (voiceAssignMode_ == 0 || voiceAssignMode_ == 4) ? 2 : 1;
    sender_.kernel().setHold(layer, value);
}

void MultiSettings::setAssignParameters(int polyphony, int priority, int unison) {
    polyphony_ = std::clamp(polyphony, 2, 32);
    notePriority_ = std::clamp(priority, 0, 2);
    unisonVoices_ = std::clamp(unison, 2, 4);
}

void MultiSettings::applyVoiceAssign() {
    const int arp = arpeggiatorMode_;
    const bool firstTakesArp = arp > 0 && keyMode_ != Split;
    const bool secondTakesArp = arp > 0 && keyMode_ != Whole;
    if ((firstTakesArp || secondTakesArp) && arp >= 1)
        sender_.storeWord(0, SlotIndex::GlobalBlock, 10, 10, static_cast<uint16_t>(arp - 1));
    setPartAssignMode(0, firstTakesArp ? 0 : voiceAssignMode_);
    sender_.storeWord(0, SlotIndex::GlobalBlock, 7, 7, firstTakesArp ? 1 : 0);
    setPartAssignMode(1, secondTakesArp ? 0 : voiceAssignMode_);
    sender_.storeWord(0, SlotIndex::GlobalBlock, 8, 8, secondTakesArp ? 1 : 0);
    sender_.sendBlock(0, SlotIndex::KeyRange);
    for (int layer = 0; layer < 2; ++layer)
        if (hold_[layer]) setHold(layer, true);
}

void MultiSettings::setPartAssignMode(int layer, int mode) {
    if (layer < 0 || layer >= ProgramImage::kPartCount) return;
    uint16_t* block = image_.block(layer + 1, SlotIndex::VoiceSetup).words;
    struct Words {
        int w3, w15, w17;
    };
    Words w{0, 1, polyphony_};
    switch (mode) {
    case 1: w = {notePriority_ + 4, 1, 1}; break;
    case 2: w = {1, unisonVoices_, polyphony_}; break;
    case 4: w = {1, 1, polyphony_}; break;
    default: break; // modes 0 and 3
    }
    block[3] = static_cast<uint16_t>(w.w3);
    block[15] = static_cast<uint16_t>(w.w15);
    block[17] = static_cast<uint16_t>(w.w17);
    sender_.post(KernelMessage::makeControlChange(layer));
    sender_.sendBlock(layer + 1, SlotIndex::VoiceSetup);
}

void MultiSettings::setEffectType(int effectIndex, int selector) {
    if (effectIndex < 0 || effectIndex >= SlotIndex::EffectCount) return;
    uint16_t* block = image_.globalBlock(SlotIndex::FirstEffect + effectIndex);
    buildEffectSlotBlock(block, effectIndex, selector);
    block[3] = kBlockStateBuilt;
    sender_.sendBlock(0, SlotIndex::FirstEffect + effectIndex);
}

int MultiSettings::effectType(int effectIndex) const {
    if (effectIndex < 0 || effectIndex >= SlotIndex::EffectCount) return 0;
    return effectSelectorOfBlock(image_.globalBlock(SlotIndex::FirstEffect + effectIndex));
}

} // namespace corvex
