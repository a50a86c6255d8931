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
    {MultiRow::Volume, "Volume", "Volume"},
    {MultiRow::Balance, "Balance", "Balance"},
    {MultiRow::MasterTune, "MasTune", "Master Tune"},
    {MultiRow::Detune, "MasDTune", "Detune"},
    {MultiRow::UpperHold, "UHhold", "Hold"},
    {MultiRow::LowerHold, "LHold", "Hold"},
    {MultiRow::NotePriority, "PlPrio", "PlPrio"},
    {MultiRow::UnisonVoices, "UniVPN", "UniVPN"},
    {MultiRow::PitchWheel, "PWheel", "Pitch Wheel"},
    {MultiRow::Polyphony, "Polyphon", "Polyphon"},
    {MultiRow::ReferenceTone, "A440on", "A440on"},
};

constexpr RowName kPlayModeNames[] = {
    {MultiRow::KeyMode, "MultiMod", ""},
    {MultiRow::SplitKey, "SplitKey", ""},
    {MultiRow::PolyMode, "PolyMod", ""},
    {MultiRow::ArpeggioMode, "ArpegMod", ""},
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
int otherHoldRow(int layer) { return layer == 0 ? MultiRow::LowerHold : MultiRow::UpperHold; }

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
    case MultiRow::Volume: program_.setScaledWord(v); break;
    case MultiRow::Balance: program_.setLayerBalance(v); break;
    case MultiRow::MasterTune: program_.kernel().setTuning((v - 0.5f) * kTuningSpan + kTuningCentre); break;
    case MultiRow::Detune: program_.kernel().setDetune(v); break;
    case MultiRow::UpperHold: setHold(0, v); break;
    case MultiRow::LowerHold: setHold(1, v); break;
    case MultiRow::NotePriority:
        setAssignParameters(program_.polyphony(), ParameterMapping::quantise(kPriorities, v), program_.unisonVoices());
        break;
    case MultiRow::UnisonVoices:
        setAssignParameters(program_.polyphony(), program_.notePriority(),
                            ParameterMapping::quantise(kUnisonChoices, v) + kLowestUnison);
        break;
    case MultiRow::PitchWheel: program_.setBend(v); break;
    case MultiRow::Polyphony:
        setAssignParameters(ParameterMapping::quantise(kPolyphonyChoices, v) + kLowestPolyphony,
                            program_.notePriority(), program_.unisonVoices());
        break;
    case MultiRow::ReferenceTone: program_.kernel().setTestTone(v > 0.5f); break;
    default: break;
    }
}

float CorvanMultiParamsMapper::getValue(int index) {
    switch (index) {
    case MultiRow::Volume: return program_.getScaledWord();
    case MultiRow::Balance: return program_.getLayerBalance();
    case MultiRow::MasterTune: return (program_.kernel().getTuning() - kTuningCentre) / kTuningSpan + 0.5f;
    // The kernel keeps only the linear amount, which passes 1.0 above 0 dB: a knob wants its position.
    case MultiRow::Detune: return detuneSettingOf(program_.kernel().getDetune());
    case MultiRow::UpperHold: return onOffValue(program_.getHold(0));
    case MultiRow::LowerHold: return onOffValue(program_.getHold(1));
    case MultiRow::NotePriority: return ParameterMapping::stepToValue(program_.notePriority(), kPriorities);
    case MultiRow::UnisonVoices:
        return ParameterMapping::stepToValue(program_.unisonVoices() - kLowestUnison, kUnisonChoices);
    case MultiRow::PitchWheel: return program_.getBend();
    case MultiRow::Polyphony:
        return ParameterMapping::stepToValue(program_.polyphony() - kLowestPolyphony, kPolyphonyChoices);
    case MultiRow::ReferenceTone: return program_.kernel().getTestTone() ? 0.75f : 0.25f;
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
    if (index == MultiRow::MasterTune) return formatText("%.2f Hz", (value - 0.5f) * kTuningSpan + kTuningCentre);
    if (index == MultiRow::PitchWheel) return formatText("%+d%%", static_cast<int>((value - 0.5f) * 200.0f));
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
    case MultiRow::KeyMode:
        program_.setKeyMode(ParameterMapping::quantise(kKeyModes, value));
        askToReread(MultiRow::PolyMode);
        break;
    case MultiRow::SplitKey:
        // Outside Split the key waits in the kernel program: setting Split later applies it.
        program_.setSplitKey(ParameterMapping::quantise(kSplitKeys, value));
        if (program_.getKeyMode() == CorvanKernelProgram::Split) program_.setSplitPoint();
        break;
    case MultiRow::PolyMode: {
        const int mode = ParameterMapping::quantise(kPolyModes, value);
        program_.setVoiceAssignMode(mode);
        if (mode > 0) program_.setArpeggiatorMode(0);
        program_.applyVoiceAssign();
        askToReread(MultiRow::ArpeggioMode);
        break;
    }
    case MultiRow::ArpeggioMode: {
        const int mode = ParameterMapping::quantise(kArpeggioModes, value);
        program_.setArpeggiatorMode(mode);
        // In Split the arpeggio takes the Lower layer and the Upper one keeps its poly mode.
        if (mode > 0 && program_.getKeyMode() != CorvanKernelProgram::Split) program_.setVoiceAssignMode(0);
        program_.applyVoiceAssign();
        askToReread(MultiRow::PolyMode);
        break;
    }
    default: break;
    }
}

float PlayModeMapper::getValue(int index) {
    switch (index) {
    case MultiRow::KeyMode: return ParameterMapping::stepToValue(program_.getKeyMode(), kKeyModes);
    case MultiRow::SplitKey: return ParameterMapping::stepToValue(program_.getSplitKey(), kSplitKeys);
    case MultiRow::PolyMode: return ParameterMapping::stepToValue(program_.getVoiceAssignMode(), kPolyModes);
    case MultiRow::ArpeggioMode: return ParameterMapping::stepToValue(program_.getArpeggiatorMode(), kArpeggioModes);
    default: return kUseCachedValue;
    }
}

std::string PlayModeMapper::getName(int index) const {
    const RowName* r = findRow(kPlayModeNames, index);
    return r ? r->key : std::string();
}

} // namespace corvex
