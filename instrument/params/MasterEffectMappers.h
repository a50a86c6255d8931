// The two stereo master-effect slots after the layer mix. One selector per slot serves the slot's 26 rows:
// the effect choice, and parameter rows whose meaning belongs to the effect the slot hosts.
#pragma once

#include <array>
#include <memory>
#include <string>

#include "instrument/params/ParameterIndex.h"
#include "instrument/params/ParameterMapper.h"

namespace corvex {

class CorvanKernelProgram;
class ParameterMapping;

// One row of a hosted effect: the effect parameters it drives (the second, when present, gets the same
// word and is never read), its step count (0 for a continuous value) and what the editor is told of it.
struct FxParameter {
    int row;              // the row in the first slot's numbering
    const char* longName;
    int parameters[2];    // -1: none
    int steps;
    bool discrete;
    bool readable;        // false: the kernel is not asked, the cached value stands
};

// The rows of one hosted effect. A row the effect does not list is ignored, reads the cached value and
// has no long name.
class FxMapper : public ParameterMapper {
public:
    // The second slot's rows onto the first's: the rows of both slots share one meaning.
    static int foldIndex(int index);
    // A row in the first slot's numbering to effect slot 0's or 1's own.
    static int unfoldIndex(int row, int effectSlot);

    void setValue(int index, float value) override;
    float getValue(int index) override;
    std::string getLongName(int index) const override;
    bool isDiscrete(int index) const override;
    std::string getText(int index, float value) const override;

protected:
    FxMapper(CorvanKernelProgram& program, int effectSlot, const FxParameter* parameters, int count);

private:
    const FxParameter* find(int index) const;
    void store(int parameter, uint16_t word);
    int read(int parameter) const;

    CorvanKernelProgram& program_;
    int moduleSlot_;
    const FxParameter* parameters_;
    int count_;
};

// "No Effect": the slot's rows do nothing and read their cached values.
class FxBypassMapper : public FxMapper {
public:
    FxBypassMapper(CorvanKernelProgram& program, int effectSlot);
};

class FxChorusMapper : public FxMapper {
public:
    FxChorusMapper(CorvanKernelProgram& program, int effectSlot);
};

class FxDelayMapper : public FxMapper {
public:
    FxDelayMapper(CorvanKernelProgram& program, int effectSlot);
};

class FxReverbMapper : public FxMapper {
public:
    FxReverbMapper(CorvanKernelProgram& program, int effectSlot);
};

class FxPhaserMapper : public FxMapper {
public:
    FxPhaserMapper(CorvanKernelProgram& program, int effectSlot);
};

// The choice of a master-effect slot and the forwarding of every other row to the chosen effect.
// Choosing another effect rebuilds the slot with that effect's defaults; choosing the one the slot
// already holds keeps its settings (a reload or a morph sets the choice again without meaning to clear).
class FxSelectorMapper : public ParameterMapper {
public:
    enum Choice { Bypass = 0, Chorus, Delay, Reverb, Phaser, ChoiceCount };

    static constexpr int kChoiceRow = ParameterIndex::kMasterEffectType[0];
    // The slot's rows in the first slot's numbering: the parameter rows of the first global block, then the
    // choice and the extras of the third.
    static constexpr int kFirstParameterRow = 189, kLastParameterRow = 199;
    static constexpr int kFirstExtraRow = 980, kLastExtraRow = 993;

    FxSelectorMapper(ParameterMapping& table, CorvanKernelProgram& program, int effectSlot);

    void setValue(int index, float value) override;
    float getValue(int index) override;
    std::string getName(int index) const override;
    std::string getLongName(int index) const override;
    bool isDiscrete(int index) const override;
    std::string getText(int index, float value) const override;

    // The effect the slot holds in the kernel program: a loaded multi may have changed it behind the
    // selector's back, so every call asks rather than trusting a remembered choice.
    int choice() const;

private:
    void announceNewMeanings();
    FxMapper& current() const { return *effects_[static_cast<size_t>(choice())]; }

    ParameterMapping& table_;
    CorvanKernelProgram& program_;
    int effectSlot_;
    std::array<std::unique_ptr<FxMapper>, ChoiceCount> effects_;
};

} // namespace corvex
