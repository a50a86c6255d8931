// The parametric equaliser (type 34): low shelf, two peaks and high shelf in series, mixed with the dry signal.
#pragma once

#include <cstdint>

#include "engine/modules/ModuleFramework.h"

namespace corvex {

// The ten band values in parameter order (parameters 7..16) and modulation-input order (inputs 2..11).
namespace EqValue {
constexpr int LowCutoff = 0;
constexpr int LowGain = 1;
constexpr int Peak1Frequency = 2;
constexpr int Peak1Gain = 3;
constexpr int Peak1Q = 4;
constexpr int Peak2Frequency = 5;
constexpr int Peak2Gain = 6;
constexpr int Peak2Q = 7;
constexpr int HighCutoff = 8;
constexpr int HighGain = 9;
constexpr int Count = 10;
} // namespace EqValue

constexpr int kEqSections = 4; // low shelf, peak 1, peak 2, high shelf
constexpr int kEqAudioInputs = 2; // input 1 is wired by some programs but never heard

struct EqHistory {
    double input1, input2, output1, output2;
};

struct ParametricEqModule {
    ModuleHead head;
    PortEntry ports[2];
    float current[EqValue::Count]; // Hz, dB and Q as the last block used them
    EqHistory history[kEqSections];
};

struct ParametricEqParams {
    float band[EqValue::Count]; // Hz, dB or Q by kind
    int32_t on[kEqSections];
    float mix;
    int32_t spare22;   // kept and echoed; the sound never reads it
    float outputGain;  // linear
    int32_t bypass;    // 1 forces the mix to 0
};

// The curves of the setter and the loader, over x = word / 16384.
float eqBandFrequency(float x);
float eqGainDecibels(float x);
float eqQ(float x);

void initParametricEq(void* module, EngineContext* context);
void processParametricEq(void* module, const ConnectionDescriptor* descriptors, const PortEntry* const* sources,
                         const uint32_t* counts);
void loadParametricEqBlock(const uint16_t* data, int wordCount, ParameterRecord* record, EngineContext* context);
void setParametricEqParameter(int16_t value, int parameter, float* echoValue, int* echoCode, ParameterRecord* record,
                              EngineContext* context);

inline constexpr ModuleOps kParametricEqOps{initParametricEq, processParametricEq, loadParametricEqBlock,
                                            setParametricEqParameter};

} // namespace corvex
