// The part's LFO (type 8): three block-rate waves from one phase, free or tempo-locked, with a fade after each trigger.
#pragma once

#include <cstdint>

#include "engine/modules/ModuleFramework.h"

namespace corvex {

constexpr int kLfoOutputs = 3;

// Wave selectors of the three outputs; 4, negatives other than Off and values above 5 repeat the
// wave computed last in the block.
namespace LfoWave {
constexpr int32_t Off = -1;
constexpr int32_t FallingSaw = 0;
constexpr int32_t Square = 1;
constexpr int32_t Sine = 2;
constexpr int32_t Triangle = 3;
constexpr int32_t SampleAndHold = 5;
} // namespace LfoWave

// Inputs: 0 trigger (and m0), 1..3 m1..m3 (m2 sweeps the rate), 5 the sample-and-hold source.
namespace LfoInput {
constexpr int Trigger = 0;
constexpr int RateSweep = 2;
constexpr int SampleSource = 5;
constexpr int Count = 6;
} // namespace LfoInput

// The lamp reports on the editor's LFO light every this many blocks.
constexpr uint32_t kLfoLampBlocks = 51;

struct LfoModule {
    ModuleHead head;
    PortEntry ports[kLfoOutputs];
    uint32_t phase;
    float level;     // the fade, 0 .. 1
    float slope;     // fade step per block
    float elapsedMs; // since the trigger, until the rise starts
    uint32_t sampleCounter;
    float held;      // the sample-and-hold value
    uint32_t lampCounter;
    float lastRate;  // Hz, after sweep and limits
    uint8_t fadeStarted;
};

struct LfoParams {
    int32_t model;
    float rateHz;
    float syncCode;
    uint32_t holdPeriod; // samples between sample-and-hold refreshes
    float spareValue;    // parameter 10
    float sync;          // nonzero locks the rate to the tempo
    float spareWord;     // parameter 12
    float delayMs;
    float riseMs;
    float freeRunning;   // 0 restarts the phase on each trigger
    int32_t selector[kLfoOutputs];
};

void initLfo(void* module, EngineContext* context);
void processLfo(void* module, const ConnectionDescriptor* descriptors, const PortEntry* const* sources,
                const uint32_t* counts);
void loadLfoBlock(const uint16_t* data, int wordCount, ParameterRecord* record, EngineContext* context);
void setLfoParameter(int16_t value, int parameter, float* echoValue, int* echoCode, ParameterRecord* record,
                     EngineContext* context);

inline constexpr ModuleOps kLfoOps{initLfo, processLfo, loadLfoBlock, setLfoParameter};

} // namespace corvex
