// The voice output stage (type 7): the voice's amplifier, which adds the voice into its part's bus.
#pragma once

#include <cstdint>

#include "engine/modules/ModuleFramework.h"

namespace corvex {

// Same leading fields as Type7ModuleHead, which the voice render uses to hand over the bus pair.
struct VoiceOutputModule {
    ModuleHead head;
    float* leftBus;
    float* rightBus;
    PortEntry ports[3]; // never written: nothing reads the stage but the bus
    float previousGain;
    int32_t started;
};

// Only the level gain reaches the sound; the other words are kept for the echo.
struct VoiceOutputParams {
    int32_t stateWord; // parameter 3
    float levelGain;   // parameter 7, linear
    int32_t spare8;
    float spare9;
    int32_t spare10;
};

void initVoiceOutput(void* module, EngineContext* context);
void processVoiceOutput(void* module, const ConnectionDescriptor* descriptors, const PortEntry* const* sources,
                        const uint32_t* counts);
// The stages of several voices of one slot, in order: each adds into its bus what it adds alone.
void processVoiceOutputs(void* const* modules, int count, const ConnectionDescriptor* descriptors,
                         const PortEntry* const* const* sources, const uint32_t* counts);
void loadVoiceOutputBlock(const uint16_t* data, int wordCount, ParameterRecord* record, EngineContext* context);
void setVoiceOutputParameter(int16_t value, int parameter, float* echoValue, int* echoCode, ParameterRecord* record,
                             EngineContext* context);

inline constexpr ModuleOps kVoiceOutputOps{initVoiceOutput, processVoiceOutput, loadVoiceOutputBlock,
                                           setVoiceOutputParameter};

} // namespace corvex
