// The stereo master phaser (type 40): two six-stage linear allpass chains, each swept by its own LFO, with a cross mix.
#pragma once

#include <cstdint>

#include "engine/modules/ModuleFramework.h"
#include "engine/modules/types/PhaserStages.h"

namespace corvex {

struct PhaserMasterModule {
    ModuleHead head;
    PortEntry ports[3]; // 0 left, 1 right; 2 carries nothing
    uint32_t phase[2];
    PhaserStage stages[2][kPhaserStages];
    double lastOutput[2];
};

struct PhaserMasterParams {
    float spare7;
    float feedback[2]; // held within -1 .. 1
    float centre[2];   // Hz
    float depth[2];
    int32_t wave[2]; // 0..3
    float rateHz[2];
    float rateCode[2];
    float spare18;
    int32_t spare19;
    int32_t tempoSync; // both LFOs
    int32_t cross;     // 0 or 1
    float spare23;
    float spare24;
    float mix;
    int32_t spare26;
    int32_t spare27;
    float level; // linear
    int32_t bypass; // 1 forces the mix to 0
};

// The free LFO rate of a normalised rate value, in Hz.
float masterPhaserRate(int word);

void initPhaserMaster(void* module, EngineContext* context);
void processPhaserMaster(void* module, const ConnectionDescriptor* descriptors, const PortEntry* const* sources,
                         const uint32_t* counts);
void loadPhaserMasterBlock(const uint16_t* data, int wordCount, ParameterRecord* record, EngineContext* context);
void setPhaserMasterParameter(int16_t value, int parameter, float* echoValue, int* echoCode, ParameterRecord* record,
                              EngineContext* context);

inline constexpr ModuleOps kPhaserMasterOps{initPhaserMaster, processPhaserMaster, loadPhaserMasterBlock,
                                            setPhaserMasterParameter};

} // namespace corvex
