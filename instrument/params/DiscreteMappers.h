// Stepped parameters held in one kernel word: each step writes an integer of its own, not a fraction.
#pragma once

#include <string>
#include <vector>

#include "instrument/params/ParameterMapper.h"

namespace corvex {

class CorvanKernelProgram;
class ParameterMapping;

// The words a stepped parameter writes, one per step, and the names its steps show (null: the numbers).
struct DiscreteSteps {
    int count;
    const int* words;
    const char* const* names;
};

class ParameterMapperDiscrete : public ParameterMapper {
public:
    // Step i writes the word i.
    ParameterMapperDiscrete(std::string key, std::string longName, CorvanKernelProgram& program, int part, int slot,
                            int word, int steps);

    void setValue(int index, float value) override;
    // The step whose word the kernel program holds; a word of no step leaves the table's cached value.
    float getValue(int index) override;
    // Two steps read as a switch; more steps show the word itself, unless the steps have names.
    std::string getText(int index, float value) const override;
    bool isMapperFor(int slot, int word) const override { return slot == slot_ && word == word_; }

    int stepCount() const { return static_cast<int>(words_.size()); }

protected:
    ParameterMapperDiscrete(std::string key, std::string longName, CorvanKernelProgram& program, int part, int slot,
                            int word, const DiscreteSteps& steps);

    CorvanKernelProgram& program_;
    int slot_;
    int word_;
    int part_;

private:
    std::vector<int> words_;
    const char* const* names_ = nullptr;
};

// Oscillator 1's wave. Rectangle and Square write the same word; only the pulse-width routing tells them
// apart, so choosing either has the layer's pulse-width rows applied again.
class Vco1WaveMapper : public ParameterMapperDiscrete {
public:
    Vco1WaveMapper(std::string key, std::string longName, CorvanKernelProgram& program, ParameterMapping& table,
                   int part, int slot, int word);

    void setValue(int index, float value) override;
    // The shared pulse word answers the cached value, which remembers Rectangle from Square.
    float getValue(int index) override;

private:
    ParameterMapping& table_;
};

class Vco1Range : public ParameterMapperDiscrete {
public:
    Vco1Range(std::string key, std::string longName, CorvanKernelProgram& program, int part, int slot, int word);
};

class Vco2WaveMapper : public ParameterMapperDiscrete {
public:
    Vco2WaveMapper(std::string key, std::string longName, CorvanKernelProgram& program, int part, int slot, int word);
};

class LfoWaveMapper : public ParameterMapperDiscrete {
public:
    LfoWaveMapper(std::string key, std::string longName, CorvanKernelProgram& program, int part, int slot, int word);
};

// The LFO's tempo sync: the rate word means something else under each state, so the rate is sent again.
class LfoSyncMapper : public ParameterMapperDiscrete {
public:
    LfoSyncMapper(std::string key, std::string longName, CorvanKernelProgram& program, ParameterMapping& table,
                  int part, int slot, int word);

    void setValue(int index, float value) override;

private:
    ParameterMapping& table_;
};

} // namespace corvex
