// Per-sample loops of the voice modules for many voices at once, one voice per vector lane.
#pragma once

#include "engine/dsp/HalfBandTaps.h"

namespace corvex {

constexpr int kLaneBlockFrames = 32;

// The voice filter's loops also say whether their block stayed in range: every sample below this by
// magnitude (no float lies between it and 1e30, so the test is the same in float and double) and
// every state below kLoudest; NaN is out of range.
constexpr float kLoudestHealthySample = 1e30f;

// One voice's cascade block: everything the per-sample loop reads, and the states it carries on.
// The loop runs the very operations of the one-voice loop in the same order, so each lane's result
// equals the one-voice result bit for bit.
struct CascadeLane {
    const float* audio;      // 32 samples, before the input gain
    const float* modulation; // 32 samples of the audio-rate coefficient term
    float* out;              // 32 samples
    double coefficient;      // this block's k, reached at the block's end
    double previousCoefficient;
    double tuning; // this block's resonance tuning, reached at the block's end
    double previousTuning;
    double resonance;
    double gain;
    double secondWeight;
    double fourthWeight;
    double highestCoefficient;
    // Stages 1..4, the averaged feedback and the last fourth stage: read at the start, written back
    // flushed of denormal-range values.
    double state[6];
    bool healthy; // written: the block and the states stayed in range
};

// One voice's high-pass block.
struct HighPassLane {
    const float* audio;
    float* out;
    double coefficient; // at the first sample
    double step;        // added after every sample
    double before;      // the pre-filter's last input, written back flushed
    double low;         // written back flushed
    bool healthy;       // written: the block and the states stayed in range
};

constexpr int kPhaserLaneStages = 6;

// One voice's insert phaser block: saturating allpass stages in series, the output taken after one
// of them and fed back, through a saturation, into the first.
struct PhaserLane {
    const float* in;
    float* out;
    double inputGain; // the connection's amount
    double firstGain; // the first stage's step
    double gain;      // every later stage's step
    double feedback;
    double wet;
    double level;
    int taken; // the stage the output follows, 0 .. kPhaserLaneStages - 1
    double state[kPhaserLaneStages];
    double previousInput[kPhaserLaneStages];
    double lastOutput;
};

// A driven sample is held here: no real signal comes near it, and a broken one (NaN, infinity, a
// runaway source) can then overflow neither the states nor the arithmetic after the shapers.
constexpr float kLoudestDriven = 1e9f;

// One voice's oversampled saturator block: driven input, a high-pass, two half-band stages to four
// times the rate, four saturations summed, a high-pass, the mix.
struct DistortionLane {
    float scaled[kLaneBlockFrames]; // the input, held and scaled by the connection's amount
    float* out;
    float driven; // the modulated drive
    float offset; // the symmetry
    float dry;
    float wetMix;
    float output;
    double drive; // the unmodulated drive, into the saturations
    double pole;
    double input; // 1 - pole
    double inputHighPass;
    double outputHighPass;
    // The half-band stages' newest real samples, oldest first: read at the start, written back.
    double firstWindow[kHalfBandHistory];
    double secondWindow[kHalfBandHistory];
};

constexpr int kChorusLaneLines = 4;
constexpr int kChorusLaneLength = 8192;

// One voice's chorus block: four delay lines read by swept allpass taps and written with the input
// less their own feedback tap. The lines stay the voice's own; a lane reads and writes only them.
struct ChorusLane {
    float in[kLaneBlockFrames];
    float* out;
    float* lines; // kChorusLaneLines lines of kChorusLaneLength samples, one after another
    double mix;
    double gain;
    double feedback;
    double taps[kChorusLaneLines];  // the fixed part of each tap's delay
    double reach[kChorusLaneLines]; // how far each tap's sweep moves it
    int tapSetting;                 // taps summed, less one; any other value leaves the wet signal silent
    float feedbackDelay;
    // The two sine sweeps' recurrences, as the block starts.
    double sweepLast[2];
    double sweepBeforeLast[2];
    double sweepTwoCos[2];
    // Read at the start, written back.
    int writeIndex[kChorusLaneLines];
    int written[kChorusLaneLines]; // samples written, up to the length; older ones read as silence
    double previousRead[kChorusLaneLines];
};

// The loops over `count` lanes (any count; they are run in vector groups internally).
struct FilterLaneKernels {
    void (*cascade)(CascadeLane* lanes, int count);
    void (*highPass)(HighPassLane* lanes, int count);
    void (*phaser)(PhaserLane* lanes, int count);
    void (*distortion)(DistortionLane* lanes, int count);
    void (*chorus)(ChorusLane* lanes, int count);
    const char* name;
};

// The widest set this processor runs; chosen once, at the first call.
const FilterLaneKernels& filterLaneKernels();
// Every set this processor can run (the baseline first), for comparing them.
int availableFilterLaneKernels(const FilterLaneKernels** out, int capacity);

// The one-voice loops the lanes must equal: also the fallback where no vector set is built.
void cascadeOneLane(CascadeLane& lane);
void highPassOneLane(HighPassLane& lane);
void phaserOneLane(PhaserLane& lane);
void distortionOneLane(DistortionLane& lane);
void chorusOneLane(ChorusLane& lane);

} // namespace corvex
