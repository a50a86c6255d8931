// The voice's input mixer (type 9): up to five signals, each with its own level of up to +20 dB.
#pragma once

#include <cstdint>

#include "engine/modules/ModuleFramework.h"

namespace corvex {

constexpr int kMixerInputs = 5;

struct InputMixerModule {
    ModuleHead head;
    PortEntry ports[1];
    float spare[kMixerInputs]; // zeroed at init; the mix reads none of it
};

struct InputMixerParams {
    int32_t mode; // parameter 3: kept and echoed, read by nothing
    float level[kMixerInputs]; // parameters 7..11 as word / 16384
};

// Linear gain of a level: unity at 10/19, +20 dB at 1.0.
float mixerLevelGain(float level);

void initInputMixer(void* module, EngineContext* context);
void processInputMixer(void* module, const ConnectionDescriptor* descriptors, const PortEntry* const* sources,
                       const uint32_t* counts);
// The mixers of several voices of one slot, which share the slot's connections; each voice mixes
// exactly what it mixes alone.
void processInputMixers(void* const* modules, int count, const ConnectionDescriptor* descriptors,
                        const PortEntry* const* const* sources, const uint32_t* counts);
void loadInputMixerBlock(const uint16_t* data, int wordCount, ParameterRecord* record, EngineContext* context);
void setInputMixerParameter(int16_t value, int parameter, float* echoValue, int* echoCode, ParameterRecord* record,
                            EngineContext* context);

inline constexpr ModuleOps kInputMixerOps{initInputMixer, processInputMixer, loadInputMixerBlock,
                                          setInputMixerParameter};

} // namespace corvex
