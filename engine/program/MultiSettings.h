// The multi (patch-level) settings of the kernel program: key modes and split, volume and layer balance,
// bend, hold, voice assignment and the effect slots' types.
#pragma once

#include <cstdint>

#include "engine/modules/ModuleSlots.h"
#include "engine/program/ProgramImage.h"
#include "engine/program/ProgramSender.h"

namespace corvex {

class MultiSettings {
public:
    enum KeyMode { Whole = 0, Dual = 1, Split = 2 };

    MultiSettings(ProgramImage& image, ProgramSender& sender) : image_(image), sender_(sender) {}
    MultiSettings(const MultiSettings&) = delete;
    MultiSettings& operator=(const MultiSettings&) = delete;

    void setKeyMode(int mode);
    int keyMode() const { return keyMode_; }
    void setSplitKey(int key) { splitKey_ = key; }
    int splitKey() const { return splitKey_; }
    void setSplitPoint();

    void setVolume(float v);
    float volume() const;
    void setLayerBalance(float v);
    float layerBalance() const;
    void setBend(float v);
    float bend() const { return bend_; }
    void setHold(int layer, bool on);
    bool hold(int layer) const { return (layer == 0 || layer == 1) && hold_[layer] != 0; }

    void applyVoiceAssign();
    void setPartAssignMode(int layer, int mode);
    void setVoiceAssignMode(int mode) { voiceAssignMode_ = mode; }
    int voiceAssignMode() const { return voiceAssignMode_; }
    void setArpeggiatorMode(int mode) { arpeggiatorMode_ = mode; }
    int arpeggiatorMode() const { return arpeggiatorMode_; }
    void setAssignParameters(int polyphony, int priority, int unison);
    int polyphony() const { return polyphony_; }
    int notePriority() const { return notePriority_; }
    int unisonVoices() const { return unisonVoices_; }

    void setEffectType(int effectIndex, int selector);
    int effectType(int effectIndex) const;

private:
    void setPartKeys(int part, int low, int high);
    void placeLayers(int mode);
    uint16_t* runnerBlock() { return image_.globalBlock(SlotIndex::Runner); }
    const uint16_t* runnerBlock() const { return image_.globalBlock(SlotIndex::Runner); }

    ProgramImage& image_;
    ProgramSender& sender_;

    int keyMode_ = Whole;
    int voiceAssignMode_ = 3;
    int arpeggiatorMode_ = 0;
    int polyphony_ = 32;
    int notePriority_ = 2;
    int unisonVoices_ = 2;
    int splitKey_ = 60;
    float bend_ = 0.5f;
    uint8_t hold_[2] = {0, 0};
};

} // namespace corvex
