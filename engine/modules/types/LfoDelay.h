// The LFO delay (type 59): fades a block-rate modulation value in after each key, and out on release.
#pragma once

#include <cstdint>

#include "engine/modules/ModuleFramework.h"

namespace corvex {

namespace LfoDelayStage {
constexpr int32_t Idle = 0;
constexpr int32_t Holding = 1;
constexpr int32_t Rising = 2;
constexpr int32_t Full = 3;
constexpr int32_t Falling = 4;
} // namespace LfoDelayStage

// Inputs: 0 the value to fade, 1 the gate.
namespace LfoDelayInput {
constexpr int Value = 0;
constexpr int Gate = 1;
constexpr int Count = 2;
} // namespace LfoDelayInput

struct LfoDelayModule {
    ModuleHead head;
    PortEntry ports[1]; // value port: the faded value
    int32_t stage;
    float level;     // 0 .. 1
    float counterMs; // time spent holding
};

struct LfoDelayParams {
    float holdMs; // a third of the delay time
    float riseMs; // the other two thirds
    float fallMs;
    float spareValue;         // parameter 9
    int32_t fadeOutOnRelease; // nonzero: a release fades the value out
    int32_t spareWord;        // parameter 11
};

void initLfoDelay(void* module, EngineContext* context);
void processLfoDelay(void* module, const ConnectionDescriptor* descriptors, const PortEntry* const* sources,
                     const uint32_t* counts);
void loadLfoDelayBlock(const uint16_t* data, int wordCount, ParameterRecord* record, EngineContext* context);
void setLfoDelayParameter(int16_t value, int parameter, float* echoValue, int* echoCode, ParameterRecord* record,
                          EngineContext* context);

inline constexpr ModuleOps kLfoDelayOps{initLfoDelay, processLfoDelay, loadLfoDelayBlock, setLfoDelayParameter};

} // namespace corvex
