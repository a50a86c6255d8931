#include "instrument/params/WordMappers.h"

#include "engine/program/CorvanKernelProgram.h"
#include "instrument/params/ParameterIndex.h"
#include "instrument/params/ParameterMapping.h"

namespace corvex {

namespace {

constexpr int kLfoSlot = 23, kLfoRateWord = 8;
constexpr int kLfoDelaySlot = 30, kLfoRiseWord = 7;

// Oscillator 2's low-frequency switch and the voice set-up word that follows it.
constexpr int kOscillator2Slot = 3, kLowFrequencyWord = 17;
constexpr int kVoiceSetupSlot = 26, kVoiceSetupLowFrequencyWord = 13;

constexpr int kMixerSlot = 9, kMixerFirstWord = 7, kMixerSecondWord = 8;

// The words of the two slopes (12 dB, 24 dB) by filter slot: the high-pass has its own pair.
struct SlopeWords {
    int slot;
    int words[2];
};
constexpr SlopeWords kSlopeWords[] = {{4, {4, 5}}, {5, {0, 1}}};
constexpr int kSlopeWord = 11;

// Portamento time in the voice-control block of each part; the switch reaches every kernel part that a
// layer may play (the third is never started, so its word is kept but unheard).
constexpr int kVoiceControlSlot = 1, kPortamentoWord = 20;
constexpr int kUpperPart = 1, kLowerPart = 2, kLastPortamentoPart = 3;

constexpr int kSwitchSteps = 2;
constexpr int kPortamentoSteps = 3;
constexpr const char* kPortamentoNames[kPortamentoSteps] = {"On", "Off", "Up"};

const SlopeWords& slopeWordsOf(int slot) {
    for (const SlopeWords& s : kSlopeWords)
        if (s.slot == slot) return s;
    return kSlopeWords[1];
}

} // namespace

ParameterMapperNormal::ParameterMapperNormal(std::string key, std::string longName, CorvanKernelProgram& program,
                                             int part, int slot, int word)
    : ParameterMapper(std::move(key), std::move(longName), false), program_(program), slot_(slot), word_(word),
      part_(part) {}

void ParameterMapperNormal::setValue(int, float value) { program_.setParameter(part_, slot_, word_, value); }

float ParameterMapperNormal::getValue(int) { return program_.getParameter(part_, slot_, word_); }

LfoRateMapper::LfoRateMapper(std::string key, std::string longName, CorvanKernelProgram& program, int part)
    : ParameterMapperNormal(std::move(key), std::move(longName), program, part, kLfoSlot, kLfoRateWord) {}

LfoRiseTimeMapper::LfoRiseTimeMapper(std::string key, std::string longName, CorvanKernelProgram& program)
    : ParameterMapperNormal(key, longName, program, kUpperPart, kLfoDelaySlot, kLfoRiseWord),
      lower_(key, longName, program, kLowerPart, kLfoDelaySlot, kLfoRiseWord) {}

void LfoRiseTimeMapper::setValue(int index, float value) {
    ParameterMapperNormal::setValue(index, value);
    lower_.setValue(index, value);
}

Vco2LowFreq::Vco2LowFreq(std::string key, std::string longName, CorvanKernelProgram& program, int part)
    : ParameterMapper(std::move(key), std::move(longName), true), program_(program), part_(part) {}

void Vco2LowFreq::setValue(int, float value) {
    const int on = ParameterMapping::quantise(kSwitchSteps, value);
    program_.setParameterWord(part_, kOscillator2Slot, kLowFrequencyWord, -1, static_cast<uint16_t>(on));
    program_.setParameterWord(part_, kVoiceSetupSlot, kVoiceSetupLowFrequencyWord, -1, on != 0 ? 1 : 0);
}

float Vco2LowFreq::getValue(int) {
    // The oscillator takes any word but 0 as on, whatever a stored program put there.
    const bool on = program_.getParameterWord(part_, kOscillator2Slot, kLowFrequencyWord) != 0;
    return ParameterMapping::stepToValue(on ? 1 : 0, kSwitchSteps);
}

std::string Vco2LowFreq::getText(int, float value) const {
    return ParameterMapping::quantise(kSwitchSteps, value) == 1 ? "On" : "Off";
}

ParameterMapperPanAmount::ParameterMapperPanAmount(std::string key, std::string longName,
                                                   CorvanKernelProgram& program, int part)
    : ParameterMapper(std::move(key), std::move(longName), true), program_(program), part_(part) {}

void ParameterMapperPanAmount::setValue(int, float value) {
    const float first = value < 0.5f ? 1.0f : 2.0f * (1.0f - value);
    const float second = value < 0.5f ? 2.0f * value : 1.0f;
    program_.setParameter(part_, kMixerSlot, kMixerFirstWord, first);
    program_.setParameter(part_, kMixerSlot, kMixerSecondWord, second);
}

float ParameterMapperPanAmount::getValue(int) {
    const float first = program_.getParameter(part_, kMixerSlot, kMixerFirstWord);
    const float second = program_.getParameter(part_, kMixerSlot, kMixerSecondWord);
    // The side at full level tells which half of the range the balance is in.
    if (first == 1.0f) return second * 0.5f;
    return (1.0f - first) * 0.5f + 0.5f;
}

ParameterMapperIncrementFilterSlope::ParameterMapperIncrementFilterSlope(std::string key, std::string longName,
                                                                         CorvanKernelProgram& program,
                                                                         ParameterMapping& table, int part, int slot)
    : ParameterMapper(std::move(key), std::move(longName), true), slot_(slot), part_(part), table_(table),
      program_(program), words_{slopeWordsOf(slot).words[0], slopeWordsOf(slot).words[1]} {}

void ParameterMapperIncrementFilterSlope::setValue(int, float value) {
    const int slope = ParameterMapping::quantise(kSwitchSteps, value);
    program_.setParameterWord(part_, slot_, kSlopeWord, -1, static_cast<uint16_t>(words_[slope]));
    table_.pushCachedValue(ParameterIndex::unfold(ParameterIndex::kResonance, part_ - 1));
}

float ParameterMapperIncrementFilterSlope::getValue(int) {
    return program_.getParameterWord(part_, slot_, kSlopeWord) == words_[0] ? 0.0f : 1.0f;
}

std::string ParameterMapperIncrementFilterSlope::getText(int, float value) const {
    return ParameterMapping::quantise(kSwitchSteps, value) == 1 ? "24dB" : "12dB";
}

ParameterMapperPortamentoAmount::ParameterMapperPortamentoAmount(std::string key, std::string longName,
                                                                 CorvanKernelProgram& program)
    : ParameterMapper(std::move(key), std::move(longName), true), program_(program) {}

void ParameterMapperPortamentoAmount::setValue(int, float value) {
    switch (mode_) {
    case Up:
        program_.setParameter(kUpperPart, kVoiceControlSlot, kPortamentoWord, value);
        break;
    case On:
        program_.setParameter(kUpperPart, kVoiceControlSlot, kPortamentoWord, value);
        program_.setParameter(kLowerPart, kVoiceControlSlot, kPortamentoWord, value);
        break;
    default:
        break;
    }
}

ParameterMapperPortamentoIncrement::ParameterMapperPortamentoIncrement(
    std::string key, std::string longName, CorvanKernelProgram& program, ParameterMapping& table,
    std::shared_ptr<ParameterMapperPortamentoAmount> amount, int amountIndex)
    : ParameterMapper(std::move(key), std::move(longName), true), amount_(std::move(amount)), table_(table),
      amountIndex_(amountIndex), program_(program) {}

void ParameterMapperPortamentoIncrement::setValue(int, float value) {
    const int mode = ParameterMapping::quantise(kPortamentoSteps, value);
    amount_->setMode(mode);
    switch (mode) {
    case ParameterMapperPortamentoAmount::Up:
        program_.setParameter(kUpperPart, kVoiceControlSlot, kPortamentoWord, table_.getParameter(amountIndex_));
        program_.setParameterWord(kLowerPart, kVoiceControlSlot, kPortamentoWord, -1, 0);
        break;
    case ParameterMapperPortamentoAmount::Off:
        for (int part = kUpperPart; part <= kLastPortamentoPart; ++part)
            program_.setParameterWord(part, kVoiceControlSlot, kPortamentoWord, -1, 0);
        break;
    default:
        for (int part = kUpperPart; part <= kLastPortamentoPart; ++part)
            program_.setParameter(part, kVoiceControlSlot, kPortamentoWord, table_.getParameter(amountIndex_));
        break;
    }
}

std::string ParameterMapperPortamentoIncrement::getText(int, float value) const {
    // The text splits the knob at its quarters, not at the thirds the steps use: the switch's positions
    // sit at the step centres, where both agree. The quarters themselves read as the step they set.
    if (value <= 0.25f) return kPortamentoNames[ParameterMapperPortamentoAmount::On];
    if (value < 0.75f) return kPortamentoNames[ParameterMapperPortamentoAmount::Off];
    return kPortamentoNames[ParameterMapperPortamentoAmount::Up];
}

} // namespace corvex
