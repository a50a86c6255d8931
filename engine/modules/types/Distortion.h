// The insert distortion (type 32): seven shaper modes, a damped feedback path, symmetry, mix and output.
#pragma once

#include <cstdint>

#include "engine/modules/ModuleFramework.h"
#include "engine/modules/types/DistortionInterpolator.h"

namespace corvex {

// Input numbers as the effect chain and the modulation rows wire them.
namespace DistortionInput {
constexpr int Audio = 0;
constexpr int Unread = 1; // its connections only ask output 1 to hold a buffer
constexpr int Drive = 2;
constexpr int Feedback = 3;
constexpr int Count = 4;
} // namespace DistortionInput

constexpr int kDistortionModes = 7; // any other mode word writes silence

struct DistortionModule {
    ModuleHead head;
    PortEntry ports[2];
    // Recomputed at the start of every block before anything reads them, so init leaves them alone.
    float driveNow;    // drive times (1 + drive modulation)
    float feedbackNow; // feedback times (1 + feedback modulation)
    // Cleared by init, so a reused pool item carries nothing of an earlier voice.
    float feedbackState;
    HalfBandInterpolator firstStage;
    HalfBandInterpolator secondStage;
    double highPassPole;  // 10^(-160 / rate)
    double highPassInput; // 1 - pole
    double inputHighPass;
    double outputHighPass;
};

struct DistortionParams {
    int32_t mode;
    // The drive keeps its word so that a mode changed on its own evaluates it through the new mode's curve.
    int32_t driveWord;
    float drive;
    float feedback;
    float spare10; // stored for the echo; the sound never reads it
    float damping;
    int32_t quality;
    int32_t spare13; // stored for the echo; the sound never reads it
    float mix;
    float symmetry;
    float wetValue; // parameter 16 as set; mode 6 plays it, the other modes their own wet gain
    float wetGain;
    float outputGain;
    float outputDecibels;
    int32_t bypass; // 1 = only the dry path (modes 4 and 6 play on regardless)
};

// The drive of a parameter word under a mode's curve.
float distortionDrive(int32_t mode, int word);
// The wet gain a mode plays, given parameter 16's value.
float distortionWetGain(int32_t mode, float wetValue);
// The soft clipper of mode 2: linear to 1/3, a parabola to 2/3, then +-1.
float distortionSoftClip(float u);
// Mode 5's inverting exponential shaper: -0.01 p for small p, held within +-0.01.
double distortionExponential(double p);

void initDistortion(void* module, EngineContext* context);
void processDistortion(void* module, const ConnectionDescriptor* descriptors, const PortEntry* const* sources,
                       const uint32_t* counts);
// The same block for several voices of one slot at once: the oversampled saturator's loops run
// side by side in vector lanes, each voice's result the one processDistortion gives. The voices
// share the slot's connection records (descriptors, counts); sources[v] are voice v's bindings.
void processDistortions(void* const* modules, int count, const ConnectionDescriptor* descriptors,
                        const PortEntry* const* const* sources, const uint32_t* counts);
void loadDistortionBlock(const uint16_t* data, int wordCount, ParameterRecord* record, EngineContext* context);
void setDistortionParameter(int16_t value, int parameter, float* echoValue, int* echoCode, ParameterRecord* record,
                            EngineContext* context);

inline constexpr ModuleOps kDistortionOps{initDistortion, processDistortion, loadDistortionBlock,
                                          setDistortionParameter};

} // namespace corvex
