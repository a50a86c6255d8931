// The part's noise source (type 44): five outputs, each picking a looped recording or a generator.
#pragma once

#include <cstdint>

#include "engine/modules/ModuleFramework.h"

namespace corvex {

constexpr int kNoiseOutputs = 5;

// Output selectors; any other value leaves the output unwritten.
namespace NoiseSelector {
constexpr int32_t Off = -1;
constexpr int32_t FirstRecording = 0;
constexpr int32_t SecondRecording = 1;
constexpr int32_t White = 2;
constexpr int32_t DitheredJitter = 3;
} // namespace NoiseSelector

// Positions and generators belong to the instance: two outputs on one source share them, so the
// second reads on where the first stopped.
struct NoiseSourceModule {
    ModuleHead head;
    PortEntry ports[kNoiseOutputs];
    uint32_t firstPosition;
    uint32_t secondPosition;
    uint32_t shortPosition;
    uint32_t whiteState;
    uint32_t ditherState;
};

struct NoiseSourceParams {
    int32_t dataFormat; // the recordings are chosen only while this is 8
    float level[kNoiseOutputs];
    // Per-rate loop lengths as the table selection records them; playback wraps at the fixed
    // loop points of NoiseTables.h instead.
    int32_t loopLength[3];
    int32_t selector[kNoiseOutputs];
    const float* table[3]; // first long, second long, short
};

// Points the record at the recordings of the engine's rate family; any other rate keeps the last choice.
void selectNoiseTables(NoiseSourceParams& params, const EngineContext& context);

void initNoiseSource(void* module, EngineContext* context);
void processNoiseSource(void* module, const ConnectionDescriptor* descriptors, const PortEntry* const* sources,
                        const uint32_t* counts);
void loadNoiseSourceBlock(const uint16_t* data, int wordCount, ParameterRecord* record, EngineContext* context);
void setNoiseSourceParameter(int16_t value, int parameter, float* echoValue, int* echoCode, ParameterRecord* record,
                             EngineContext* context);

inline constexpr ModuleOps kNoiseSourceOps{initNoiseSource, processNoiseSource, loadNoiseSourceBlock,
                                           setNoiseSourceParameter};

} // namespace corvex
