// The insert-effect line mappers: what each row of an effect chain means for the effect chosen in it.
#pragma once

#include <string>

#include "instrument/params/ParameterIndex.h"
#include "instrument/params/ParameterMapper.h"

namespace corvex {

class CorvanKernelProgram;
class ParameterMapping;

// The rows of an effect chain, in the form every chain of either layer folds to: chain 1 of the Upper
// layer. The selector's own row is the first of block C.
namespace EffectChain {

constexpr int kFirstRowA = 48, kLastRowA = 69;
constexpr int kSelectorRow = 249, kLastRowC = 343;
constexpr int kRowsA = kLastRowA - kFirstRowA + 1;  // 22
constexpr int kRowsC = kLastRowC - kSelectorRow + 1; // 95

// Any chain row of either layer to its folded form; other indices come out outside both ranges.
constexpr int fold(int index) {
    const int upper = ParameterIndex::foldToUpper(index);
    if (upper >= 70 && upper <= 91) return upper - kRowsA;
    if (upper >= 344 && upper <= 438) return upper - kRowsC;
    return upper;
}

// A folded row to the table row of chain `chain` (0 or 1) in layer `layer`.
constexpr int unfold(int folded, int chain, int layer) {
    return ParameterIndex::unfold(ParameterIndex::foldEffectIndex(chain, folded), layer);
}

constexpr bool isChainRow(int folded) {
    return (folded >= kFirstRowA && folded <= kLastRowA) || (folded >= kSelectorRow && folded <= kLastRowC);
}

} // namespace EffectChain

// What can modulate an effect input: an output of a module of the same part. Entry 0 is no source.
struct ModulationSource {
    const char* name;
    int slot, port;
};
constexpr int kModulationSourceCount = 10;
constexpr ModulationSource ModulationSourceNames[kModulationSourceCount] = {
    {"None", -1, -1},          {"Key Follow", 1, 0},       {"Envelope 1", 7, 0},  {"Envelope 2", 6, 0},
    {"Quorbit X Rotated", 25, 4}, {"Quorbit Y Rotated", 25, 5}, {"LFO", 29, 0},      {"Sequencer", 24, 0},
    {"Velocity", 1, 4},        {"Aftertouch", 1, 6},
};

// What one row of an effect drives in the effect's module.
enum class EffectDrive {
    Word,        // a continuous parameter word
    SteppedWord, // a parameter word of a few steps
    ModAmount,   // the amount of every modulation into one input of the module
    ModSource,   // which source modulates that input
};

struct EffectRow {
    int folded;
    const char* longName;
    EffectDrive drive;
    int target;       // the parameter word, or the module input of a modulation
    int steps;        // SteppedWord: how many steps
    int firstStep;    // SteppedWord: the word of the first step
    int pairedAmount; // ModSource: the folded row of the input's amount, pushed again after a change
    bool discrete;
};

// Builders that keep the effects' tables readable.
namespace EffectRows {
constexpr bool kDiscrete = true, kContinuous = false;
constexpr EffectRow word(int folded, const char* longName, int word, bool discrete) {
    return {folded, longName, EffectDrive::Word, word, 0, 0, 0, discrete};
}
constexpr EffectRow stepped(int folded, const char* longName, int word, int steps, bool discrete, int firstStep = 0) {
    return {folded, longName, EffectDrive::SteppedWord, word, steps, firstStep, 0, discrete};
}
constexpr EffectRow amount(int folded, const char* longName, int input) {
    return {folded, longName, EffectDrive::ModAmount, input, 0, 0, 0, kDiscrete};
}
constexpr EffectRow source(int folded, const char* longName, int input, int pairedAmount) {
    return {folded, longName, EffectDrive::ModSource, input, 0, 0, pairedAmount, kDiscrete};
}
} // namespace EffectRows

// One effect's meaning of a chain's rows. The effect keeps no value of its own: everything is read from
// and written to its module block and its modulation connections in the kernel program, so an effect
// chosen again shows what it was last given. Rows the effect does not list are ignored and read -1.0.
//
// The table's -1.0 marks a row to be read again (an effect change sets it); it is never a value, so a
// push of it changes nothing here.
class EffectLineMapper : public ParameterMapper {
public:
    EffectLineMapper(ParameterMapping& table, CorvanKernelProgram& program, int layer, int chain, int moduleSlot,
                     const EffectRow* rows, int rowCount);

    void setValue(int index, float value) override;
    float getValue(int index) override;
    std::string getLongName(int index) const override;
    bool isDiscrete(int index) const override;
    std::string getText(int index, float value) const override;

    // Called by the selector when its chain takes this effect in, and when it lets it go.
    virtual void onSelected() {}
    virtual void onDeselected() {}

    int moduleSlot() const { return moduleSlot_; }

protected:
    const EffectRow* findRow(int index) const;
    int part() const { return ParameterIndex::partOfLayer(layer_); }

    ParameterMapping& table_;
    CorvanKernelProgram& program_;
    int layer_;
    int chain_;
    int moduleSlot_;

private:
    bool modulated(int source, int input) const;
    void setModulationAmount(int input, float value);
    float modulationAmount(int input) const;
    void setModulationSource(const EffectRow& row, float value);
    float modulationSource(int input) const;

    const EffectRow* rows_;
    int rowCount_;
};

class EffectChorusFlangerMapper : public EffectLineMapper {
public:
    static constexpr int kModuleSlots[2] = {12, 13};
    EffectChorusFlangerMapper(ParameterMapping& table, CorvanKernelProgram& program, int layer, int chain);
    // The type row counts stages.
    std::string getText(int index, float value) const override;
};

class EffectDistoMapper : public EffectLineMapper {
public:
    static constexpr int kModuleSlots[2] = {14, 15};
    EffectDistoMapper(ParameterMapping& table, CorvanKernelProgram& program, int layer, int chain);
};

class EffectParamEQMapper : public EffectLineMapper {
public:
    static constexpr int kModuleSlots[2] = {16, 17};
    EffectParamEQMapper(ParameterMapping& table, CorvanKernelProgram& program, int layer, int chain);
};

class EffectPhaserMapper : public EffectLineMapper {
public:
    static constexpr int kModuleSlots[2] = {18, 19};
    EffectPhaserMapper(ParameterMapping& table, CorvanKernelProgram& program, int layer, int chain);
};

// The ring modulator takes the chain signal on its input 1; while it is in the chain its input 0 is fed
// too, from the output of slot 0, and that connection goes with it when it leaves.
class EffectRingModMapper : public EffectLineMapper {
public:
    static constexpr int kModuleSlots[2] = {10, 11};
    static constexpr int kFeedSlot = 0, kFeedPort = 0, kFeedInput = 0;
    EffectRingModMapper(ParameterMapping& table, CorvanKernelProgram& program, int layer, int chain);
    void onSelected() override;
    void onDeselected() override;
};

} // namespace corvex
