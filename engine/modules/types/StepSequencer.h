// The part's step sequencer (type 41): up to three tracks over a pattern of up to 32 steps, clocked by
// its own rate or the song tempo, with swing, five play modes, glide and accents, at block rate.
#pragma once

#include <cstdint>

#include "engine/modules/ModuleFramework.h"

namespace corvex {

constexpr int kSequencerTracks = 3;
constexpr int kSequencerSteps = 32;
constexpr int kSequencerOutputsPerTrack = 4;
constexpr int kSequencerOutputs = kSequencerTracks * kSequencerOutputsPerTrack;
// 512 phase units make one step; the phase is kept in these units so that swing and modulation
// stretch one step without touching the next.
constexpr float kSequencerStepPhase = 512.0f;

// Output k of track t is port 4t + k.
namespace SequencerOutput {
constexpr int Raw = 0;
constexpr int Pitch = 1;
constexpr int Accent = 2;
constexpr int Gate = 3;
} // namespace SequencerOutput

namespace SequencerMode {
constexpr uint32_t None = 0;
constexpr uint32_t Forward = 1;
constexpr uint32_t Backward = 2;
constexpr uint32_t BackAndForth = 3;
constexpr uint32_t Random = 4;
} // namespace SequencerMode

// The module-wide switches and step numbers share one word, as the block loader packs them.
namespace SequencerFlag {
constexpr uint32_t ReportSteps = 1u << 0;
constexpr int FirstStepShift = 1;
constexpr int LastStepShift = 6;
constexpr int ModeShift = 11;
constexpr uint32_t FollowTempo = 1u << 15;
constexpr uint32_t RestartOnStart = 1u << 16;
constexpr uint32_t StopClears = 1u << 17;
constexpr int TrackCountShift = 18;
} // namespace SequencerFlag

struct SequencerTrackParams {
    int32_t enabled;
    float range; // pitch steps at full value
    float glideMs;
    float attackMs;
    float level;
    float decayMs;
    uint32_t accentMask; // bit n: step n
    uint32_t glideMask;
    uint32_t gateMask;
    float value[kSequencerSteps]; // -1 .. 1
};

struct StepSequencerParams {
    uint32_t flags;
    float freeRate; // beats per minute
    float stepsPerBeat;
    float swing;
    SequencerTrackParams track[kSequencerTracks];

    int firstStep() const { return int((flags >> SequencerFlag::FirstStepShift) & 31u); }
    int lastStep() const { return int((flags >> SequencerFlag::LastStepShift) & 31u); }
    uint32_t mode() const { return (flags >> SequencerFlag::ModeShift) & 15u; }
    bool has(uint32_t flag) const { return (flags & flag) != 0; }
};

struct SequencerTrackState {
    float previousRaw;
    float quantised;
    float previousQuantised;
    int32_t glide;       // the step being left had its glide bit
    int32_t accentStage; // 0 idle, 1 attack, 2 decay
    float accentTime;    // ms
    float accentRate;    // curve points per ms
    float glideRate;     // curve points per ms
};

struct StepSequencerModule {
    ModuleHead head;
    PortEntry ports[kSequencerOutputs]; // value ports; the gate ports carry integers
    uint8_t currentStep;
    uint8_t previousStep;
    uint8_t running;
    uint8_t upward;
    uint8_t longSwing; // the step now playing takes the long share of the swing
    float phase;       // phase units since the current step began
    float sinceStep;   // ms since the current step began
    SequencerTrackState track[kSequencerTracks];
};

// Milliseconds over 0 .. 1 in twelve spans: the glide and accent times.
float sequencerTimeCurve(float x);

void initStepSequencer(void* module, EngineContext* context);
void processStepSequencer(void* module, const ConnectionDescriptor* descriptors, const PortEntry* const* sources,
                          const uint32_t* counts);
void loadStepSequencerBlock(const uint16_t* data, int wordCount, ParameterRecord* record, EngineContext* context);
void setStepSequencerParameter(int16_t value, int parameter, float* echoValue, int* echoCode, ParameterRecord* record,
                               EngineContext* context);

inline constexpr ModuleOps kStepSequencerOps{initStepSequencer, processStepSequencer, loadStepSequencerBlock,
                                             setStepSequencerParameter};

} // namespace corvex
