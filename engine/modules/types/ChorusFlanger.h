// The chorus and flanger (type 24): short delay lines swept by sine LFOs, mono in a voice, stereo in a master slot.
#pragma once

#include <cstdint>

#include "engine/dsp/ChorusFlangerLines.h"
#include "engine/modules/ModuleFramework.h"

namespace corvex {

constexpr int kChorusLines = 8; // four per channel; the mono form uses the first four
constexpr int kChorusLfos = 4;

// The lines come last: everything the block reads often sits together ahead of a quarter megabyte
// of samples. The lines keep single-precision samples (68 instances of eight lines per kernel);
// the interpolation, the feedback and the sweeps run in double.
struct ChorusFlangerModule {
    ModuleHead head;
    PortEntry ports[2];
    int32_t writeIndex[kChorusLines];
    // Samples written since init, up to the line length. Older slots still hold whatever an earlier
    // voice left in this pool item and read as silence: no init or release ever clears the lines,
    // which would cost a quarter megabyte of writes per voice on the audio thread.
    int32_t written[kChorusLines];
    double previousRead[kChorusLines];     // the allpass's last output per line
    double previousFeedback[kChorusLines]; // stereo feedback filter: last tap and last output
    double filteredFeedback[kChorusLines];
    double phase[kChorusLfos];
    float smoothedDelay;
    float smoothedDepth;
    float smoothedSpread;
    float lines[kChorusLines][kChorusLineLength];
};

struct ChorusFlangerParams {
    int32_t tapSetting;  // summed taps minus one, 0..3 (mono form)
    float feedbackDelay; // samples at 44.1 kHz
    float rate;          // Hz
    float syncCode;
    float depth;
    int32_t spare11;   // kept and echoed; the sound never reads it
    float feedback;    // 0.9 x, within -0.9 .. 0.9
    float spread;
    int32_t spare14;   // kept and echoed; the sound never reads it
    int32_t sync;      // non-zero: the LFO follows the tempo
    float mix;
    float outputGain; // linear
    int32_t bypass;   // 1 forces the mix to 0
};

// The curves of the setter and the loader, over x = word / 16384.
float chorusDelayCurve(float x);
float chorusRateCurve(float x);

void initChorusFlanger(void* module, EngineContext* context);
void processChorusFlanger(void* module, const ConnectionDescriptor* descriptors, const PortEntry* const* sources,
                          const uint32_t* counts);
// The same block for several voices of one slot at once, the mono form's arithmetic side by side in
// vector lanes, each voice's result the one processChorusFlanger gives. The voices share the slot's
// connection records (descriptors, counts); sources[v] are voice v's bindings.
void processChorusFlangers(void* const* modules, int count, const ConnectionDescriptor* descriptors,
                           const PortEntry* const* const* sources, const uint32_t* counts);
void loadChorusFlangerBlock(const uint16_t* data, int wordCount, ParameterRecord* record, EngineContext* context);
void setChorusFlangerParameter(int16_t value, int parameter, float* echoValue, int* echoCode, ParameterRecord* record,
                               EngineContext* context);

inline constexpr ModuleOps kChorusFlangerOps{initChorusFlanger, processChorusFlanger, loadChorusFlangerBlock,
                                             setChorusFlangerParameter};

} // namespace corvex
