// The insert phaser (type 38): six saturating allpass stages swept by one LFO, the output taken after 1..6 of them.
#pragma once

#include <cstdint>

#include "engine/modules/ModuleFramework.h"
#include "engine/modules/types/PhaserStages.h"

namespace corvex {

// Input numbers as the effect chain and the modulation rows wire them.
namespace PhaserInsertInput {
constexpr int Audio = 0;
constexpr int Rate = 2;
constexpr int Centre = 3;
constexpr int Feedback = 4;
constexpr int Depth = 5;
constexpr int Count = 6;
} // namespace PhaserInsertInput

struct PhaserInsertModule {
    ModuleHead head;
    PortEntry ports[3]; // only port 0 carries sound
    uint32_t phase;
    // Smoothed once a block from 0, so a new voice's sweep glides up from the floor.
    float rate;
    float depth;
    float centre;
    float swept;
    PhaserStage stages[kPhaserStages];
    double lastOutput;
};

struct PhaserInsertParams {
    int32_t stages; // the output is taken after this stage, 1..6
    float feedback;
    float centre; // Hz
    float depth;
    float rateHz;
    float rateCode;
    int32_t spare12;
    float mix;
    int32_t wave; // 0..3
    int32_t spare15;
    int32_t spare16;
    int32_t tempoSync;
    float level; // linear
    int32_t bypass; // 1 forces the mix to 0
};

// The free LFO rate of a normalised rate value, in Hz.
float insertPhaserRate(int word);

void initPhaserInsert(void* module, EngineContext* context);
void processPhaserInsert(void* module, const ConnectionDescriptor* descriptors, const PortEntry* const* sources,
                         const uint32_t* counts);
// The same block for several voices of one slot at once, their stages side by side in vector lanes;
// each voice's result is the one processPhaserInsert gives. The voices share the slot's connection
// records (descriptors, counts); sources[v] are voice v's bindings of those records.
void processPhaserInserts(void* const* modules, int count, const ConnectionDescriptor* descriptors,
                          const PortEntry* const* const* sources, const uint32_t* counts);
void loadPhaserInsertBlock(const uint16_t* data, int wordCount, ParameterRecord* record, EngineContext* context);
void setPhaserInsertParameter(int16_t value, int parameter, float* echoValue, int* echoCode, ParameterRecord* record,
                              EngineContext* context);

inline constexpr ModuleOps kPhaserInsertOps{initPhaserInsert, processPhaserInsert, loadPhaserInsertBlock,
                                            setPhaserInsertParameter};

} // namespace corvex
