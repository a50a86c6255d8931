// The per-voice ADSR envelope (type 6): one block-rate level per block from exponential segments.
#pragma once

#include <cstdint>

#include "engine/modules/ModuleFramework.h"

namespace corvex {

// Stage codes kept in bits 0..2 of the stage word (bits 3..5 hold the previous block's stage).
namespace EnvelopeStage {
constexpr uint32_t Attack = 0;
constexpr uint32_t Decay = 1;
constexpr uint32_t Sustain = 2;
constexpr uint32_t Release = 3;
constexpr uint32_t Finished = 4;
} // namespace EnvelopeStage

// The stage state lives behind the port so that a rebuilt module list (a second init with the
// marker already set) carries a sounding envelope on where it was.
struct EnvelopeModule {
    ModuleHead head;
    PortEntry ports[1]; // value port: the level, once per block
    float ratio;
    float elapsed;      // samples spent in the current stage
    float releaseStart; // the level the release falls from
    float base;         // release output, and the level a new attack rises from
    int32_t marker;
    float decayOutput;
    float lastOutput;   // before polarity
    uint32_t stageWord;
    // The last per-block step and what it was worked out from: a stage keeps its length for many
    // blocks, and the power is the dearest part of a block.
    float stepTarget;
    float stepLength;
    float step;
};

// Times in milliseconds and levels as the loader and setter convert them; fields that the sound
// never reads are kept so that a block survives a load unchanged.
struct EnvelopeParams {
    int32_t model;
    float attackMs;
    float spareTimeMs; // parameter 9
    float decayMs;
    float releaseMs;
    float spareLevels[3]; // parameters 12..14
    float sustain;
    int32_t spareWords[4]; // parameters 16..19
    float spareValue;      // parameter 20
    int32_t polarity;      // nonzero inverts the published level
};

// The only curve model that carries tables; the loader always selects it.
constexpr int32_t kEnvelopeCurveModel = 8;
constexpr int32_t kEnvelopeStateMarker = 923824;

void initEnvelope(void* module, EngineContext* context);
void processEnvelope(void* module, const ConnectionDescriptor* descriptors, const PortEntry* const* sources,
                     const uint32_t* counts);
// The envelopes of several voices of one slot, which share its connections; each runs as it runs alone.
void processEnvelopes(void* const* modules, int count, const ConnectionDescriptor* descriptors,
                      const PortEntry* const* const* sources, const uint32_t* counts);
void loadEnvelopeBlock(const uint16_t* data, int wordCount, ParameterRecord* record, EngineContext* context);
void setEnvelopeParameter(int16_t value, int parameter, float* echoValue, int* echoCode, ParameterRecord* record,
                          EngineContext* context);

inline constexpr ModuleOps kEnvelopeOps{initEnvelope, processEnvelope, loadEnvelopeBlock, setEnvelopeParameter};

} // namespace corvex
