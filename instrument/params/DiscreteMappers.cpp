#include "instrument/params/DiscreteMappers.h"

#include <numeric>

#include "engine/program/CorvanKernelProgram.h"
#include "instrument/params/ParameterMapping.h"

namespace corvex {

namespace {

// Oscillator 1: a triangle is its own word; Rectangle and Square share the pulse word.
constexpr int kVco1WaveWords[] = {3, 0, 1, 1};
constexpr const char* kVco1WaveNames[] = {"Triangle", "Saw", "Rectangle", "Square"};
constexpr int kVco1Triangle = 0, kVco1Saw = 1, kVco1Rectangle = 2, kVco1Square = 3;

// Octave offsets: the first step is an octave down.
constexpr int kVco1RangeWords[] = {-1, 0, 1, 2};
constexpr const char* kVco1RangeNames[] = {"16'", "8'", "4'", "2'"};

// Oscillator 2's last step plays the noise source through its pass-through input.
constexpr int kVco2WaveWords[] = {2, 0, 1, 5};
constexpr const char* kVco2WaveNames[] = {"Sine", "Saw", "Rectangle", "Noise"};

constexpr int kLfoWaveWords[] = {2, 0, 1, 5};
constexpr const char* kLfoWaveNames[] = {"Sine", "Saw", "Square", "Noise"};

constexpr int kSyncSteps = 2;

template <size_t N>
constexpr DiscreteSteps steps(const int (&words)[N], const char* const (&names)[N]) {
    return {static_cast<int>(N), words, names};
}

// The pulse-width rows of a layer (Upper numbering): the source mode, then its amount.
constexpr int kPulseWidthModeRow = 217;
constexpr int kPulseWidthAmountRow = 8;
constexpr int kLfoRateRow = 0;

int layerOfPart(int part) { return part - 1; }

} // namespace

ParameterMapperDiscrete::ParameterMapperDiscrete(std::string key, std::string longName, CorvanKernelProgram& program,
                                                 int part, int slot, int word, int steps)
    : ParameterMapper(std::move(key), std::move(longName), true), program_(program), slot_(slot), word_(word),
      part_(part), words_(static_cast<size_t>(steps > 0 ? steps : 1)) {
    std::iota(words_.begin(), words_.end(), 0);
}

ParameterMapperDiscrete::ParameterMapperDiscrete(std::string key, std::string longName, CorvanKernelProgram& program,
                                                 int part, int slot, int word, const DiscreteSteps& steps)
    : ParameterMapper(std::move(key), std::move(longName), true), program_(program), slot_(slot), word_(word),
      part_(part), words_(steps.words, steps.words + steps.count), names_(steps.names) {}

void ParameterMapperDiscrete::setValue(int, float value) {
    const int step = ParameterMapping::quantise(stepCount(), value);
    // The step's integer goes out as a raw word: -1 becomes 65535.
    program_.setParameterWord(part_, slot_, word_, -1, static_cast<uint16_t>(words_[static_cast<size_t>(step)]));
}

float ParameterMapperDiscrete::getValue(int) {
    const int word = program_.getParameterWord(part_, slot_, word_);
    for (int step = 0; step < stepCount(); ++step)
        if (words_[static_cast<size_t>(step)] == word) return ParameterMapping::stepToValue(step, stepCount());
    return kUseCachedValue;
}

std::string ParameterMapperDiscrete::getText(int, float value) const {
    const int step = ParameterMapping::quantise(stepCount(), value);
    if (names_ != nullptr) return names_[step];
    const int word = words_[static_cast<size_t>(step)];
    if (stepCount() == 2) return word != 0 ? "On" : "Off";
    return formatText("%d", word);
}

Vco1WaveMapper::Vco1WaveMapper(std::string key, std::string longName, CorvanKernelProgram& program,
                               ParameterMapping& table, int part, int slot, int word)
    : ParameterMapperDiscrete(std::move(key), std::move(longName), program, part, slot, word,
                              steps(kVco1WaveWords, kVco1WaveNames)),
      table_(table) {}

void Vco1WaveMapper::setValue(int index, float value) {
    ParameterMapperDiscrete::setValue(index, value);
    const int step = ParameterMapping::quantise(stepCount(), value);
    if (step != kVco1Rectangle && step != kVco1Square) return;
    // The pulse-width mapper asks the table for this wave, and the table can only answer from the cache
    // (the word is the same for both): the cache must hold the new choice before the rows are pushed.
    table_.storeCachedValue(index, value);
    table_.pushCachedValue(ParameterIndex::unfold(kPulseWidthModeRow, layerOfPart(part_)));
    table_.pushCachedValue(ParameterIndex::unfold(kPulseWidthAmountRow, layerOfPart(part_)));
}

float Vco1WaveMapper::getValue(int) {
    switch (program_.getParameterWord(part_, slot_, word_)) {
    case kVco1WaveWords[kVco1Saw]:
        return ParameterMapping::stepToValue(kVco1Saw, stepCount());
    case kVco1WaveWords[kVco1Triangle]:
        return ParameterMapping::stepToValue(kVco1Triangle, stepCount());
    default:
        return kUseCachedValue;
    }
}

Vco1Range::Vco1Range(std::string key, std::string longName, CorvanKernelProgram& program, int part, int slot, int word)
    : ParameterMapperDiscrete(std::move(key), std::move(longName), program, part, slot, word,
                              steps(kVco1RangeWords, kVco1RangeNames)) {}

Vco2WaveMapper::Vco2WaveMapper(std::string key, std::string longName, CorvanKernelProgram& program, int part, int slot,
                               int word)
    : ParameterMapperDiscrete(std::move(key), std::move(longName), program, part, slot, word,
                              steps(kVco2WaveWords, kVco2WaveNames)) {}

LfoWaveMapper::LfoWaveMapper(std::string key, std::string longName, CorvanKernelProgram& program, int part, int slot,
                             int word)
    : ParameterMapperDiscrete(std::move(key), std::move(longName), program, part, slot, word,
                              steps(kLfoWaveWords, kLfoWaveNames)) {}

LfoSyncMapper::LfoSyncMapper(std::string key, std::string longName, CorvanKernelProgram& program,
                             ParameterMapping& table, int part, int slot, int word)
    : ParameterMapperDiscrete(std::move(key), std::move(longName), program, part, slot, word, kSyncSteps),
      table_(table) {}

void LfoSyncMapper::setValue(int index, float value) {
    ParameterMapperDiscrete::setValue(index, value);
    table_.pushCachedValue(ParameterIndex::unfold(kLfoRateRow, layerOfPart(part_)));
}

} // namespace corvex
