#include "instrument/params/MultiMappers.h"

#include <algorithm>
#include <cmath>

#include "engine/kernel/SoftwareKernel.h"
#include "engine/program/CorvanKernelProgram.h"
#include "instrument/params/ParameterMapping.h"

namespace corvex {

namespace {

struct RowName {
    int index;
    const char* key;
    const char* longName;
};

constexpr RowName kMultiNames[] = {
    {ParameterIndex::kVolume, "Volume", "Volume"},
    {ParameterIndex::kBalance, "Balance", "Balance"},
    {ParameterIndex::kMasterTune, "MasTune", "Master Tune"},
    {ParameterIndex::kDetune, "MasDTune", "Detune"},
    {ParameterIndex::kUpperHold, "UHhold", "Hold"},
    {ParameterIndex::kLowerHold, "LHold", "Hold"},
    {ParameterIndex::kNotePriority, "PlPrio", "PlPrio"},
    {ParameterIndex::kUnisonVoices, "UniVPN", "UniVPN"},
    {ParameterIndex::kPitchWheel, "PWheel", "Pitch Wheel"},
    {ParameterIndex::kPolyphony, "Polyphon", "Polyphon"},
    {ParameterIndex::kReferenceTone, "A440on", "A440on"},
};

constexpr RowName kPlayModeNames[] = {
    {ParameterIndex::kKeyMode, "MultiMod", ""},
    {ParameterIndex::kSplitKey, "SplitKey", ""},
    {ParameterIndex::kPolyMode, "PolyMod", ""},
    {ParameterIndex::kArpeggioMode, "ArpegMod", ""},
};

template <size_t N>
const RowName* findRow(const RowName (&rows)[N], int index) {
    for (const RowName& r : rows)
        if (r.index == index) return &r;
    return nullptr;
}

// Master tuning spans 13 Hz either side of 440.
constexpr float kTuningCentre = 440.0f;
constexpr float kTuningSpan = 26.0f;

constexpr int kPriorities = 3;
constexpr int kUnisonChoices = 3; // 2, 3 or 4 voices a note
constexpr int kLowestUnison = 2;
constexpr int kPolyphonyChoices = 31; // 2..32 voices
constexpr int kLowestPolyphony = 2;
constexpr int kKeyModes = 3;
constexpr int kSplitKeys = 128;
constexpr int kPolyModes = 5;
constexpr int kArpeggioModes = 5; // 0 is off

// The kernel's detune level curve, a decibel line per range of the setting; read backwards to turn the
// kernel's linear amount into the knob's position.
struct LevelSegment {
    float from, slope, offset;
};
constexpr LevelSegment kDetuneCurve[] = {{0.0f, 400.0f, -100.0f}, {0.05f, 151.11111f, -87.55556f}, {0.5f, 48.0f, -36.0f}};

float clampUnit(float v) { return std::clamp(v, 0.0f, 1.0f); }
float onOffValue(bool on) { return on ? 0.75f : 0.25f; }
int otherHoldRow(int layer) { return layer == 0 ? ParameterIndex::kLowerHold : ParameterIndex::kUpperHold; }

} // namespace

CorvanMultiParamsMapper::CorvanMultiParamsMapper(CorvanKernelProgram& program, ParameterMapping& table)
    : ParameterMapper("", "", true), program_(program), table_(table) {}

float CorvanMultiParamsMapper::detuneSettingOf(float amount) {
    if (!(amount > 0.0f)) return 0.0f;
    const double db = 20.0 * std::log10(static_cast<double>(amount));
    for (int s = static_cast<int>(std::size(kDetuneCurve)) - 1; s >= 0; --s) {
        const LevelSegment& seg = kDetuneCurve[s];
        const double start = static_cast<double>(seg.slope) * seg.from + seg.offset;
        if (db >= start || s == 0) return clampUnit(static_cast<float>((db - seg.offset) / seg.slope));
    }
    return 0.0f;
}

void CorvanMultiParamsMapper::setHold(int layer, float value) {
    const bool on = value > 0.5f;
    program_.setHold(layer, on);
    // Only Dual stacks both layers on the same keys; in Whole and Split a pedal holds its own layer.
    // The kernel program's key mode is asked rather than the key-mode row's cache, which a loaded
    // multi may not have rewritten.
    if (program_.getKeyMode() != CorvanKernelProgram::Dual) return;
    program_.setHold(1 - layer, on);
    table_.setValue(otherHoldRow(layer), value);
}

void CorvanMultiParamsMapper::setAssignParameters(int polyphony, int priority, int unison) {
    program_.setAssignParameters(polyphony, priority, unison);
    program_.applyVoiceAssign();
}

void CorvanMultiParamsMapper::setValue(int index, float value) {
    if (std::isnan(value)) return;
    const float v = clampUnit(value);
    switch (index) {
    case ParameterIndex::kVolume: program_.setScaledWord(v); break;
    case ParameterIndex::kBalance: program_.setLayerBalance(v); break;
    case ParameterIndex::kMasterTune: program_.kernel().setTuning((v - 0.5f) * kTuningSpan + kTuningCentre); break;
    case ParameterIndex::kDetune: program_.kernel().setDetune(v); break;
    case ParameterIndex::kUpperHold: setHold(0, v); break;
    case ParameterIndex::kLowerHold: setHold(1, v); break;
    case ParameterIndex::kNotePriority:
        setAssignParameters(program_.polyphony(), ParameterMapping::quantise(kPriorities, v), program_.unisonVoices());
        break;
    case ParameterIndex::kUnisonVoices:
        setAssignParameters(program_.polyphony(), program_.notePriority(),
                            ParameterMapping::quantise(kUnisonChoices, v) + kLowestUnison);
        break;
    case ParameterIndex::kPitchWheel: program_.setBend(v); break;
    case ParameterIndex::kPolyphony:
        setAssignParameters(ParameterMapping::quantise(kPolyphonyChoices, v) + kLowestPolyphony,
                            program_.notePriority(), program_.unisonVoices());
        break;
    case ParameterIndex::kReferenceTone: program_.kernel().setTestTone(v > 0.5f); break;
    default: break;
    }
}

float CorvanMultiParamsMapper::getValue(int index) {
    switch (index) {
    case ParameterIndex::kVolume: return program_.getScaledWord();
    case ParameterIndex::kBalance: return program_.getLayerBalance();
    case ParameterIndex::kMasterTune: return (program_.kernel().getTuning() - kTuningCentre) / kTuningSpan + 0.5f;
    // The kernel keeps only the linear amount, which passes 1.0 above 0 dB: a knob wants its position.
    case ParameterIndex::kDetune: return detuneSettingOf(program_.kernel().getDetune());
    case ParameterIndex::kUpperHold: return onOffValue(program_.getHold(0));
    case ParameterIndex::kLowerHold: return onOffValue(program_.getHold(1));
    case ParameterIndex::kNotePriority: return ParameterMapping::stepToValue(program_.notePriority(), kPriorities);
    case ParameterIndex::kUnisonVoices:
        return ParameterMapping::stepToValue(program_.unisonVoices() - kLowestUnison, kUnisonChoices);
    case ParameterIndex::kPitchWheel: return program_.getBend();
    case ParameterIndex::kPolyphony:
        return ParameterMapping::stepToValue(program_.polyphony() - kLowestPolyphony, kPolyphonyChoices);
    case ParameterIndex::kReferenceTone: return program_.kernel().getTestTone() ? 0.75f : 0.25f;
    default: return kUseCachedValue;
    }
}

std::string CorvanMultiParamsMapper::getName(int index) const {
    const RowName* r = findRow(kMultiNames, index);
    return r ? r->key : std::string();
}

std::string CorvanMultiParamsMapper::getLongName(int index) const {
    const RowName* r = findRow(kMultiNames, index);
    return r ? r->longName : std::string();
}

std::string CorvanMultiParamsMapper::getText(int index, float value) const {
    if (index == ParameterIndex::kMasterTune)
        return formatText("%.2f Hz", (value - 0.5f) * kTuningSpan + kTuningCentre);
    if (index == ParameterIndex::kPitchWheel) return formatText("%+d%%", static_cast<int>((value - 0.5f) * 200.0f));
    return ParameterMapper::getText(index, value);
}

PlayModeMapper::PlayModeMapper(CorvanKernelProgram& program, ParameterMapping& table)
    : ParameterMapper("", "", true), program_(program), table_(table) {}

// Listeners hear -1.0, their cue to read the row again; the cache then takes the row's read-back, so
// the signal is never kept (or saved) as if it were the row's value.
void PlayModeMapper::askToReread(int index) {
    table_.setValue(index, kUseCachedValue);
    table_.storeCachedValue(index, getValue(index));
}

void PlayModeMapper::setValue(int index, float value) {
    if (std::isnan(value)) return;
    switch (index) {
    case ParameterIndex::kKeyMode:
        program_.setKeyMode(ParameterMapping::quantise(kKeyModes, value));
        askToReread(ParameterIndex::kPolyMode);
        break;
    case ParameterIndex::kSplitKey:
        // Outside Split the key waits in the kernel program: setting Split later applies it.
        program_.setSplitKey(ParameterMapping::quantise(kSplitKeys, value));
        if (program_.getKeyMode() == CorvanKernelProgram::Split) program_.setSplitPoint();
        break;
    case ParameterIndex::kPolyMode: {
        const int mode = ParameterMapping::quantise(kPolyModes, value);
        program_.setVoiceAssignMode(mode);
        if (mode > 0) program_.setArpeggiatorMode(0);
        program_.applyVoiceAssign();
        askToReread(ParameterIndex::kArpeggioMode);
        break;
    }
    case ParameterIndex::kArpeggioMode: {
        const int mode = ParameterMapping::quantise(kArpeggioModes, value);
        program_.setArpeggiatorMode(mode);
        // In Split the arpeggio takes the Lower layer and the Upper one keeps its poly mode.
        if (mode > 0 && program_.getKeyMode() != CorvanKernelProgram::Split) program_.setVoiceAssignMode(0);
        program_.applyVoiceAssign();
        askToReread(ParameterIndex::kPolyMode);
        break;
    }
    default: break;
    }
}

float PlayModeMapper::getValue(int index) {
    switch (index) {
    case ParameterIndex::kKeyMode: return ParameterMapping::stepToValue(program_.getKeyMode(), kKeyModes);
    case ParameterIndex::kSplitKey: return ParameterMapping::stepToValue(program_.getSplitKey(), kSplitKeys);
    case ParameterIndex::kPolyMode: return ParameterMapping::stepToValue(program_.getVoiceAssignMode(), kPolyModes);
    case ParameterIndex::kArpeggioMode:
        return ParameterMapping::stepToValue(program_.getArpeggiatorMode(), kArpeggioModes);
    default: return kUseCachedValue;
    }
}

std::string PlayModeMapper::getName(int index) const {
    const RowName* r = findRow(kPlayModeNames, index);
    return r ? r->key : std::string();
}

} // namespace corvex
