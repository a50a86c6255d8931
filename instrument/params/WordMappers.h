// Mappers that write kernel parameter words: a continuous value in one word, and the controls whose words
// follow a small rule of their own (oscillator balance, filter slope, low-frequency switch, portamento).
#pragma once

#include <memory>
#include <string>

#include "instrument/params/ParameterMapper.h"

namespace corvex {

class CorvanKernelProgram;
class ParameterMapping;

// A normalised value in one word, in 14-bit fixed point. Its value is read back from the kernel program.
class ParameterMapperNormal : public ParameterMapper {
public:
    ParameterMapperNormal(std::string key, std::string longName, CorvanKernelProgram& program, int part, int slot,
                          int word);

    void setValue(int index, float value) override;
    float getValue(int index) override;
    bool isMapperFor(int slot, int word) const override { return slot == slot_ && word == word_; }

protected:
    CorvanKernelProgram& program_;
    int slot_;
    int word_;
    int part_;
};

// The LFO's rate word; the sync switch sends it again when it changes what the word means.
class LfoRateMapper : public ParameterMapperNormal {
public:
    LfoRateMapper(std::string key, std::string longName, CorvanKernelProgram& program, int part);
};

// One global control for the LFO delay of both layers: Upper's word is the one read back.
class LfoRiseTimeMapper : public ParameterMapperNormal {
public:
    LfoRiseTimeMapper(std::string key, std::string longName, CorvanKernelProgram& program);

    void setValue(int index, float value) override;

private:
    ParameterMapperNormal lower_;
};

// Oscillator 2's low-frequency mode, which also switches the voice set-up word that goes with it.
class Vco2LowFreq : public ParameterMapper {
public:
    Vco2LowFreq(std::string key, std::string longName, CorvanKernelProgram& program, int part);

    void setValue(int index, float value) override;
    float getValue(int index) override;
    std::string getText(int index, float value) const override;

private:
    CorvanKernelProgram& program_;
    int part_;
};

// The balance of the two oscillators in the mixer: the centre plays both at full level, either side
// fades the other oscillator out.
class ParameterMapperPanAmount : public ParameterMapper {
public:
    ParameterMapperPanAmount(std::string key, std::string longName, CorvanKernelProgram& program, int part);

    void setValue(int index, float value) override;
    float getValue(int index) override;

private:
    CorvanKernelProgram& program_;
    int part_;
};

// 12 or 24 dB per octave. The resonance is sent again: its scale differs between the two models.
class ParameterMapperIncrementFilterSlope : public ParameterMapper {
public:
    ParameterMapperIncrementFilterSlope(std::string key, std::string longName, CorvanKernelProgram& program,
                                        ParameterMapping& table, int part, int slot);

    void setValue(int index, float value) override;
    float getValue(int index) override;
    std::string getText(int index, float value) const override;

private:
    int slot_;
    int part_;
    ParameterMapping& table_;
    CorvanKernelProgram& program_;
    int words_[2];
};

// The global portamento time. Where it goes depends on the switch's mode, which the switch keeps here.
class ParameterMapperPortamentoAmount : public ParameterMapper {
public:
    ParameterMapperPortamentoAmount(std::string key, std::string longName, CorvanKernelProgram& program);

    void setValue(int index, float value) override;
    // The time is not read back from the kernel: the cached value stands.
    float getValue(int) override { return kUseCachedValue; }

    enum Mode { On = 0, Off = 1, Up = 2 };
    void setMode(int mode) { mode_ = mode; }
    int mode() const { return mode_; }

private:
    CorvanKernelProgram& program_;
    int mode_ = On;
};

// The global portamento switch: on for every part, off, or on for the Upper layer only.
class ParameterMapperPortamentoIncrement : public ParameterMapper {
public:
    ParameterMapperPortamentoIncrement(std::string key, std::string longName, CorvanKernelProgram& program,
                                       ParameterMapping& table, std::shared_ptr<ParameterMapperPortamentoAmount> amount,
                                       int amountIndex);

    void setValue(int index, float value) override;
    // The switch is never read back from the kernel.
    float getValue(int) override { return 0.0f; }
    std::string getText(int index, float value) const override;

private:
    std::shared_ptr<ParameterMapperPortamentoAmount> amount_;
    ParameterMapping& table_;
    int amountIndex_;
    CorvanKernelProgram& program_;
};

} // namespace corvex
