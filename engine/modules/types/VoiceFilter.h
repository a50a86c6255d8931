// The voice filter (type 4): a one-pole high-pass or a resonant four-pole low-pass cascade per voice.
#pragma once

#include <cstdint>

#include "engine/modules/ModuleFramework.h"

namespace corvex {

// Any other form writes silence.
namespace VoiceFilterForm {
constexpr int32_t HighPass = 0;
constexpr int32_t LowPassCascade = 2;
} // namespace VoiceFilterForm

// Input numbers as the connection list wires both filter slots: the mixer (or the filter before)
// on 0, envelope, LFO and key follow on 1, the routers' "input 2" on 2, the noise source on 3.
// Parameter 11: the curves, the output stage and the input gain. The low-pass slot's slope switches
// between the first two; the high-pass slot starts narrow and its slope writes the exponential model
// or 5, which, like any other word, keeps the stage and gain it had.
namespace VoiceFilterModel {
constexpr int32_t LowPass12dB = 0;         // the cascade's second stage, input gain 1.1
constexpr int32_t LowPass24dB = 1;         // its fourth stage, input gain 1.0
constexpr int32_t HighPassExponential = 4; // cutoff 5 Hz up along one exponential
constexpr int32_t HighPassNarrow = 6;      // cutoff 3 Hz to 2.9 kHz along its own points
} // namespace VoiceFilterModel

namespace VoiceFilterInput {
constexpr int Audio = 0;
constexpr int Cutoff = 1;    // block-rate, semitones
constexpr int Resonance = 2; // block-rate, scales the resonance by (1 + sum)
constexpr int AudioRateModulation = 3;
constexpr int Count = 4;
} // namespace VoiceFilterInput

// Init sets every field behind the port, so a reused pool item carries nothing of an earlier voice.
struct VoiceFilterModule {
    ModuleHead head;
    PortEntry ports[1];
    float cutoffSlow; // Hz, first smoothing stage
    float cutoffFast; // Hz, second smoothing stage
    float resonanceSmooth;
    float previousCoefficient; // the last block's high-pass g or cascade k
    float previousTuning;      // the last block's resonance tuning factor
    double stage[4];
    double previousFourth;
    double feedback;
    double previousQuarterInput; // the high-pass pre-filter's last input
    double highPassLow;
    // The cascade's k and tuning with the held cutoff and the rate they were worked out for: a cutoff
    // that holds still, as under a sustained note, costs no polynomials.
    double cascadeCutoff;
    double cascadeRate;
    double cascadeCoefficientHeld;
    double cascadeTuningHeld;
};

// Cutoff and resonance keep their words so that a new format can evaluate them again.
struct VoiceFilterParams {
    int32_t format; // parameter 3; the point curves apply only to format 8
    int32_t model;  // parameter 11, a VoiceFilterModel
    int32_t form;   // parameter 17, whole-block load only
    int32_t cutoffWord;
    int32_t resonanceWord;
    float cutoffHz;
    float resonance;
    float inputGain; // parameter 13, linear
    float secondStageWeight;
    float fourthStageWeight;
    // Stored for the echo only; the sound never reads them.
    float spare9;
    float spare10;
    int32_t spare12;
    int32_t spare14;
    int32_t spare15;
    int32_t spare16;
};

void initVoiceFilter(void* module, EngineContext* context);
void processVoiceFilter(void* module, const ConnectionDescriptor* descriptors, const PortEntry* const* sources,
                        const uint32_t* counts);
// The same block for several voices of one slot at once: their per-sample loops run side by side in
// vector lanes, each voice's result the same as processVoiceFilter's. The voices share the slot's
// connection records (descriptors, counts); sources[v] are voice v's bindings of those records.
void processVoiceFilters(void* const* modules, int count, const ConnectionDescriptor* descriptors,
                         const PortEntry* const* const* sources, const uint32_t* counts);
void loadVoiceFilterBlock(const uint16_t* data, int wordCount, ParameterRecord* record, EngineContext* context);
void setVoiceFilterParameter(int16_t value, int parameter, float* echoValue, int* echoCode, ParameterRecord* record,
                             EngineContext* context);

inline constexpr ModuleOps kVoiceFilterOps{initVoiceFilter, processVoiceFilter, loadVoiceFilterBlock,
                                           setVoiceFilterParameter};

} // namespace corvex
