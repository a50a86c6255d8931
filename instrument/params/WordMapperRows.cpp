// Rows of plain parameter words and of the mappers that only write words.
#include <memory>
#include <string>

#include "instrument/params/CorvanParameters.h"
#include "instrument/params/DiscreteMappers.h"
#include "instrument/params/ParameterRows.h"
#include "instrument/params/WordMappers.h"

namespace corvex {

namespace {

enum class Word {
    Normal,
    Discrete,
    LfoRate,
    Vco1Range,
    Vco1Wave,
    Vco2Wave,
    LfoWave,
    LfoSync,
    Vco2LowFreq,
    PanAmount,
    FilterSlope,
};

// One row: Upper index (or the global index), key without the layer letter, long name, mapper, and for
// the mappers that take them the module slot, parameter word and step count (0 where the mapper has its own).
struct WordRow {
    int index;
    const char* name;
    const char* longName;
    Word kind;
    int slot, word, steps;
};

constexpr WordRow kLayerRows[] = {
    {0, "LfoRate", "LFO Rate", Word::LfoRate, 0, 0, 0},
    {1, "LfoDeca", "LFO Delay", Word::Normal, 29, 7, 0},
    {2, "Osc1Rng", "Osc 1 Coarse", Word::Vco1Range, 2, 7, 4},
    {3, "Osc2Rng", "Oscillator 2 coarse", Word::Normal, 3, 10, 0},
    {4, "Osc2FiT", "Oscillator 2 fine tune", Word::Normal, 3, 9, 0},
    {5, "Osc2Syn", "Oscillator 2 sync", Word::Discrete, 3, 11, 2},
    {10, "OscMix", "Oscillator Mixer", Word::PanAmount, 0, 0, 0},
    {11, "HpfCut", "HPF cutoff", Word::Normal, 4, 7, 0},
    {12, "LpfCut", "Cutoff", Word::Normal, 5, 7, 0},
    {13, "LpfRes", "Resonance", Word::Normal, 5, 8, 0},
    {14, "LpfSlop", "Filter slope", Word::FilterSlope, 5, 0, 0},
    {21, "Env1Att", "Env 1 Attack", Word::Normal, 7, 8, 0},
    {22, "Env1Dec", "Env 1 Decay", Word::Normal, 7, 10, 0},
    {23, "Env1Sus", "Env 1 Sustain", Word::Normal, 7, 15, 0},
    {24, "Env1Rel", "Env 1 Release", Word::Normal, 7, 11, 0},
    {25, "Env2Att", "Env 2 Attack", Word::Normal, 6, 8, 0},
    {26, "Env2Dec", "Env 2 Decay", Word::Normal, 6, 10, 0},
    {27, "Env2Sus", "Env 2 Sustain", Word::Normal, 6, 15, 0},
    {28, "Env2Rel", "Env 2 Release", Word::Normal, 6, 11, 0},
    {29, "QorRat1", "Quorbit Lfo1 Rate", Word::Normal, 25, 11, 0},
    {30, "QorRat2", "Quorbit Lfo2 Rate", Word::Normal, 25, 12, 0},
    {31, "QorRat3", "Quorbit Lfo3 Rate", Word::Normal, 25, 13, 0},
    {32, "QorAng", "Quorbit Angle", Word::Normal, 25, 20, 0},
    {39, "SeqRate", "Sequencer Rate", Word::Normal, 24, 9, 0},
    {40, "SeqAccA", "Sequencer Accent Attack", Word::Normal, 24, 20, 0},
    {41, "SeqAccD", "Sequencer Accent Decay", Word::Normal, 24, 22, 0},
    {42, "SeqAccL", "Sequencer Accent Level", Word::Normal, 24, 21, 0},
    {43, "SeqGlid", "Sequencer Smooth", Word::Normal, 24, 19, 0},
    {44, "SeqSwng", "Sequence Swing", Word::Normal, 24, 13, 0},
    {211, "LfoWave", "LFO Wave Shape", Word::LfoWave, 23, 16, 4},
    {212, "LfoSync", "LFO Sync", Word::LfoSync, 23, 11, 2},
    {213, "Osc1Wav", "Oscillator 1 Wave Shape", Word::Vco1Wave, 2, 12, 4},
    {214, "Osc2Wav", "Oscillator 2 Wave Shape", Word::Vco2Wave, 3, 12, 4},
    {215, "Osc2CoT", "Oscillator 2 Low Freq", Word::Vco2LowFreq, 0, 0, 0},
    {219, "Env1Pol", "Envelope 1 polarity", Word::Discrete, 7, 21, 2},
    {439, "QorFree", "Quorbit Free Running", Word::Discrete, 25, 22, 2},
    {440, "QorSync", "Quorbit Midi Sync", Word::Discrete, 25, 21, 2},
    {579, "SeqMode", "Sequencer Mode", Word::Discrete, 24, 14, 5},
    {580, "SeqSync", "Sequencer Synchro", Word::Discrete, 24, 15, 2},
    {581, "SeqQ", "Sequencer Time Quantize", Word::Discrete, 24, 10, 129},
    {582, "SeqLen", "Sequence Length", Word::Discrete, 24, 12, 32},
    {596, "VeloY0", "Velocity Curve Y0", Word::Normal, 1, 31, 0},
    {597, "VeloX1", "Velocity Curve X1", Word::Normal, 1, 32, 0},
    {598, "VeloY1", "Velocity Curve Y1", Word::Normal, 1, 33, 0},
    {599, "VeloY2", "Velocity Curve Y2", Word::Normal, 1, 34, 0},
    {606, "AfterY0", "Aftertouch Curve Y0", Word::Normal, 1, 35, 0},
    {607, "AfterX1", "Aftertouch Curve X1", Word::Normal, 1, 36, 0},
    {608, "AfterY1", "Aftertouch Curve Y1", Word::Normal, 1, 37, 0},
    {609, "AfterY2", "Aftertouch Curve Y2", Word::Normal, 1, 38, 0},
};

// Runs of numbered rows, n = 1..count: row first + n - 1 writes word firstWord + n - 1. The key is the layer
// letter, the stem and n right-aligned in `width` characters; the long name is the key, or when a long stem
// is given, that stem and n - 1.
struct NumberedRows {
    int firstIndex, count;
    const char* stem;
    int width;
    const char* longStem;
    Word kind;
    int slot, firstWord, steps;
};

constexpr NumberedRows kNumberedLayerRows[] = {
    {441, 3, "QorSha", 1, nullptr, Word::Discrete, 25, 8, 4},
    {450, 32, "SeqS", 2, "Step ", Word::Normal, 24, 119, 0},
    {514, 32, "SeqG", 2, nullptr, Word::Discrete, 24, 55, 2},
    {546, 32, "SeqA", 2, nullptr, Word::Discrete, 24, 23, 2},
};

// Global rows address the kernel-global section.
constexpr int kGlobalSection = 0;
constexpr WordRow kGlobalRows[] = {
    {186, "ArpRate", "ArpRate", Word::Normal, 40, 13, 0},
    {233, "ArpSync", "ArpSync", Word::Discrete, 40, 14, 2},
    {975, "ArpRange", "ArpRange", Word::Discrete, 40, 11, 4},
};

struct GlobalRow {
    int index;
    const char* key;
    const char* longName;
};
constexpr GlobalRow kLfoRiseTimeRow = {246, "LfoRiseT", "LFO Rise Time"};
constexpr GlobalRow kPortamentoSwitchRow = {247, "PortSw", "Portamento Switch"};
constexpr GlobalRow kPortamentoAmountRow = {248, "Port", "Portamento"};

std::shared_ptr<ParameterMapper> makeMapper(CorvanParameters& table, Word kind, const std::string& key,
                                            const std::string& longName, int part, int slot, int word, int steps) {
    CorvanKernelProgram& program = table.program();
    switch (kind) {
    case Word::Normal:
        return std::make_shared<ParameterMapperNormal>(key, longName, program, part, slot, word);
    case Word::Discrete:
        return std::make_shared<ParameterMapperDiscrete>(key, longName, program, part, slot, word, steps);
    case Word::LfoRate:
        return std::make_shared<LfoRateMapper>(key, longName, program, part);
    case Word::Vco1Range:
        return std::make_shared<Vco1Range>(key, longName, program, part, slot, word);
    case Word::Vco1Wave:
        return std::make_shared<Vco1WaveMapper>(key, longName, program, table, part, slot, word);
    case Word::Vco2Wave:
        return std::make_shared<Vco2WaveMapper>(key, longName, program, part, slot, word);
    case Word::LfoWave:
        return std::make_shared<LfoWaveMapper>(key, longName, program, part, slot, word);
    case Word::LfoSync:
        return std::make_shared<LfoSyncMapper>(key, longName, program, table, part, slot, word);
    case Word::Vco2LowFreq:
        return std::make_shared<Vco2LowFreq>(key, longName, program, part);
    case Word::PanAmount:
        return std::make_shared<ParameterMapperPanAmount>(key, longName, program, part);
    case Word::FilterSlope:
        return std::make_shared<ParameterMapperIncrementFilterSlope>(key, longName, program, table, part, slot);
    }
    return nullptr;
}

} // namespace

void addWordRows(CorvanParameters& table, int layer) {
    const int part = ParameterIndex::partOfLayer(layer);
    for (const WordRow& r : kLayerRows) {
        const std::string key = layerKey(layer, r.name);
        table.placeLayerMapper(r.index, layer, makeMapper(table, r.kind, key, r.longName, part, r.slot, r.word, r.steps));
    }
    for (const NumberedRows& run : kNumberedLayerRows) {
        for (int n = 1; n <= run.count; ++n) {
            const std::string key = layerKey(layer, formatText("%s%*d", run.stem, run.width, n));
            const std::string longName = run.longStem ? formatText("%s%d", run.longStem, n - 1) : key;
            table.placeLayerMapper(run.firstIndex + n - 1, layer,
                                   makeMapper(table, run.kind, key, longName, part, run.slot, run.firstWord + n - 1,
                                              run.steps));
        }
    }
}

void addGlobalWordRows(CorvanParameters& table) {
    for (const WordRow& r : kGlobalRows)
        table.placeGlobalMapper(r.index,
                                makeMapper(table, r.kind, r.name, r.longName, kGlobalSection, r.slot, r.word, r.steps));

    CorvanKernelProgram& program = table.program();
    table.placeGlobalMapper(kLfoRiseTimeRow.index, std::make_shared<LfoRiseTimeMapper>(
                                                       kLfoRiseTimeRow.key, kLfoRiseTimeRow.longName, program));

    // The switch hands its mode to the amount, so the amount is made first.
    auto amount = std::make_shared<ParameterMapperPortamentoAmount>(kPortamentoAmountRow.key,
                                                                    kPortamentoAmountRow.longName, program);
    table.placeGlobalMapper(kPortamentoSwitchRow.index,
                            std::make_shared<ParameterMapperPortamentoIncrement>(
                                kPortamentoSwitchRow.key, kPortamentoSwitchRow.longName, program, table, amount,
                                kPortamentoAmountRow.index));
    table.placeGlobalMapper(kPortamentoAmountRow.index, amount);
}

} // namespace corvex
