// The insert ring modulator (type 13): the signal times an inner sine, or times a second signal.
#pragma once

#include <cstdint>

#include "engine/modules/ModuleFramework.h"

namespace corvex {

// Input numbers as the effect chain and the modulation rows wire them.
namespace RingModulatorInput {
constexpr int Unread = 0; // the effect row feeds it so the voice keeps the module; nothing reads it
constexpr int Signal = 1;
constexpr int Second = 2; // with a connection here the two signals multiply and the sine rests
constexpr int Frequency = 3;
constexpr int Offset = 4;
constexpr int Spare = 5; // summed, read by nothing
constexpr int Count = 6;
} // namespace RingModulatorInput

struct RingModulatorModule {
    ModuleHead head;
    PortEntry ports[1];
    double sine;   // the oscillator's other state, 1.0 at init
    double cosine; // the carrier, 0.0 at init
    double highPassPole;  // 10^(-208 / rate): a corner near 76 Hz at every rate
    double highPassInput; // 1 - pole
    double lowPass;       // what the high-pass takes away
    float frequency; // the block's Hz and offset, after modulation
    float offset;
};

struct RingModulatorParams {
    int32_t mode;    // parameter 3: kept and echoed, read by nothing
    int32_t spare14; // kept and echoed, read by nothing
    float frequency;
    float offset;
    float mix;
    float outputGain;
    float outputDecibels;
    int32_t bypass; // 1 silences the inner-sine path's wet share
};

void initRingModulator(void* module, EngineContext* context);
void processRingModulator(void* module, const ConnectionDescriptor* descriptors, const PortEntry* const* sources,
                          const uint32_t* counts);
void loadRingModulatorBlock(const uint16_t* data, int wordCount, ParameterRecord* record, EngineContext* context);
void setRingModulatorParameter(int16_t value, int parameter, float* echoValue, int* echoCode,
                               ParameterRecord* record, EngineContext* context);

inline constexpr ModuleOps kRingModulatorOps{initRingModulator, processRingModulator, loadRingModulatorBlock,
                                             setRingModulatorParameter};

} // namespace corvex
