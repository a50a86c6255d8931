// The stereo delay (type 28, "St. Delay"): two long lines with damped, soft-clipped feedback and cross-feed.
#pragma once

#include <cstdint>

#include "engine/modules/ModuleFramework.h"

namespace corvex {

// Sixteen seconds at 44.1 kHz; a length past it is held just inside.
constexpr int32_t kDelayLineLength = 705600;
// The interpolation reads the slots `length` and `length + 1` back, both older than the one being written.
constexpr double kShortestDelay = 1.0;
constexpr double kLongestDelay = double(kDelayLineLength - 2);

struct DelayChannel {
    int32_t writeIndex;
    // Samples written since init, up to the line length. Older slots still hold whatever an earlier
    // delay left in this pool item and read as silence: no init clears 5.6 MB on the audio thread.
    int32_t written;
    double length; // glides towards the block's target, in samples
    double previousRead;
    double low;  // damping filter
    double band;
    double cross; // what this channel feeds into the other's line
};

// The lines come last, behind everything the block reads often. They keep single-precision samples
// (the pool holds five of these); the interpolation, the filter and the clipper run in double.
struct DelayModule {
    ModuleHead head;
    PortEntry ports[2]; // output 0 carries channel 1, output 1 channel 0
    DelayChannel channels[2];
    float lines[2][kDelayLineLength];
};

struct DelayParams {
    float freeTime[2]; // samples at 44.1 kHz
    float syncCode[2];
    float feedback[2];
    float cross[2]; // cross-feed gain into the other channel's line
    int32_t spare13;   // kept and echoed; the sound never reads it
    float cutoff;      // damping, Hz
    float spare15;     // kept and echoed; the sound never reads it
    int32_t link;      // non-zero: channel 0's words set channel 1 too
    float mix;
    float sync; // non-zero: the lengths follow the tempo
    float outputGain; // linear
    int32_t bypass;   // 1 forces the mix to 0
};

// The free time of a parameter word, in samples at 44.1 kHz.
float delayFreeTime(int word);

// The length a channel aims at in samples at the running rate, held inside the line: the tempo-synced
// length when sync is on and a tempo runs, the free time otherwise.
double delayTargetLength(const DelayParams& p, int channel, const EngineContext& context);

void initDelay(void* module, EngineContext* context);
void processDelay(void* module, const ConnectionDescriptor* descriptors, const PortEntry* const* sources,
                  const uint32_t* counts);
void loadDelayBlock(const uint16_t* data, int wordCount, ParameterRecord* record, EngineContext* context);
void setDelayParameter(int16_t value, int parameter, float* echoValue, int* echoCode, ParameterRecord* record,
                       EngineContext* context);

inline constexpr ModuleOps kDelayOps{initDelay, processDelay, loadDelayBlock, setDelayParameter};

} // namespace corvex
