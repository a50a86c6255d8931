// The stereo reverb (type 29): a pre-delay into an eight-line feedback delay network with damped
// feedback and slowly wandering output taps, hosted by a master effect slot.
#pragma once

#include <cstdint>

#include "engine/modules/ModuleFramework.h"

namespace corvex {

constexpr int kReverbLines = 8;
// The lines are as long in time at every rate: the longest, 4127 samples at 44.1 kHz plus its tap's
// wandering, needs more than 16384 slots at 192 kHz.
constexpr int kReverbLineLength = 32768;
constexpr int kReverbPreDelayLength = 96000; // 200 ms at 480 kHz: the longest pre-delay at any usual rate

// The lines come last, behind everything a block reads often. No init clears them (3.6 megabytes of
// writes in one block, on the audio thread): each counter says how many slots have been written since
// init, and a slot beyond it reads as silence, exactly as a cleared one would.
struct ReverbModule {
    ModuleHead head;
    PortEntry ports[2];
    int32_t lineWrite;    // all eight lines advance together
    int32_t lineWritten;  // up to kReverbLineLength
    int32_t inputWrite;   // both pre-delay lines advance together
    int32_t inputWritten; // up to kReverbPreDelayLength
    // Samples left until each line draws a new tap offset: a count-down per line in place of a sample
    // counter taken modulo the periods, which would overflow after a day and divide eight times a sample.
    int32_t redrawIn[kReverbLines];
    uint32_t random; // kept across init: each new reverb wanders on from where the last one stopped
    float preDelay;  // smoothed, in samples
    double target[kReverbLines];
    double offset[kReverbLines];
    double allpass[kReverbLines];
    double x1[kReverbLines], x2[kReverbLines], y1[kReverbLines], y2[kReverbLines];
    double lowPass[kReverbLines];
    double lines[kReverbLines][kReverbLineLength];
    double input[2][kReverbPreDelayLength];
};

struct ReverbParams {
    float feedback;      // g, 0.95 of the size, from either path
    float sizeCompanion; // sent with the size; kept and echoed, never heard
    float highDamping;   // Hz
    float highDampingCompanion;
    float lowDamping; // Hz
    float preDelay;   // ms
    float mix;
    int32_t spread; // non-zero: the two halves of the network feed the two sides
    float outputGain; // linear
    int32_t bypass;   // 1 forces the mix to 0
};

// The conversions of the setter and the loader, over x = word / 16384.
float reverbFeedback(float x);
float reverbHighDamping(float x);
float reverbLowDamping(float x);
float reverbPreDelay(float x);

void initReverb(void* module, EngineContext* context);
void processReverb(void* module, const ConnectionDescriptor* descriptors, const PortEntry* const* sources,
                   const uint32_t* counts);
void loadReverbBlock(const uint16_t* data, int wordCount, ParameterRecord* record, EngineContext* context);
void setReverbParameter(int16_t value, int parameter, float* echoValue, int* echoCode, ParameterRecord* record,
                        EngineContext* context);

inline constexpr ModuleOps kReverbOps{initReverb, processReverb, loadReverbBlock, setReverbParameter};

} // namespace corvex
