// The choice of what sits between two points of a voice's path, and the insert-effect chains built on it.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "instrument/params/EffectLineMappers.h"
#include "instrument/params/ParameterMapper.h"

namespace corvex {

class CorvanKernelProgram;
class ParameterMapping;

// A point of the voice path between two modules: a source end is an output, a destination end an input.
// Each choice is either the direct connection between the ends or one module put in between; the choice
// in use is whatever the part's connections hold, so a loaded program is followed without being told.
class ModuleSelectorMapper : public ParameterMapper {
public:
    struct End {
        int slot, port;
    };
    // A module slot of -1 is the direct connection.
    struct Choice {
        int slot, inputPort, outputPort;
    };

    ModuleSelectorMapper(CorvanKernelProgram& program, int part, End source, End destination,
                         std::vector<Choice> choices);

    // Puts the chosen module in the path.
    void setValue(int index, float value) override;
    // The choice the connections hold, as a value.
    float getValue(int index) override;

    int choiceCount() const { return static_cast<int>(choices_.size()); }
    int choiceOf(float value) const;
    bool isConnected(int choice) const;

protected:
    void connectChoice(int choice);
    void disconnectChoice(int choice);
    // Leaves the path alone when the choice is in it already; otherwise takes out whatever else is in it,
    // whole or in part, and puts the choice in.
    void selectByValue(float value);
    float connectedChoiceValue() const;

    CorvanKernelProgram& program_;
    int part_;

private:
    End source_, destination_;
    std::vector<Choice> choices_;
};

// One insert-effect chain of one layer: the effect in the chain's place in the voice path and, through
// the effect's line mapper, what every other row of the chain means. It serves all 117 rows of its chain.
class EffectSelectorMapper : public ModuleSelectorMapper {
public:
    enum Effect { NoEffect, ChorusFlanger, Distortion, ParamEQ, Phaser, RingMod, kEffectCount };

    // Chain 0 sits between the oscillator mixer and the high-pass filter, chain 1 between the low-pass
    // filter and the amplifier.
    static constexpr End kChainSources[2] = {{9, 0}, {5, 0}};
    static constexpr End kChainDestinations[2] = {{4, 0}, {8, 0}};

    EffectSelectorMapper(int layer, ParameterMapping& table, CorvanKernelProgram& program, int chain);
    ~EffectSelectorMapper() override;

    void setValue(int index, float value) override;
    float getValue(int index) override;
    std::string getName(int index) const override;
    std::string getLongName(int index) const override;
    bool isDiscrete(int index) const override;
    std::string getText(int index, float value) const override;
    // The chain's connections name the effect a loaded layer brought.
    void followLoad(int index) override;

    int currentChoice() const { return current_; }
    EffectLineMapper* lineMapper(int choice) const;

private:
    // Every row of the chain is to be read again: its meaning changed with the effect.
    void markRowsForReading();

    ParameterMapping& table_;
    int layer_;
    int chain_;
    int current_ = NoEffect;
    std::array<std::unique_ptr<EffectLineMapper>, kEffectCount> lines_;
};

} // namespace corvex
