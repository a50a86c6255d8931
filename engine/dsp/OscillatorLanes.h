// Per-sample loops of the voice oscillator for many voices at once, one voice per vector lane.
#pragma once

#include <cstdint>

namespace corvex {

constexpr int kOscillatorLaneFrames = 32;

// One voice's block-rate sawtooth without sync: a falling ramp whose frequency glides from the last
// block's to this one's, with a band-limited step at each wrap. The loop writes the ramp and leaves
// the steps as a list for the oscillator to add, oldest first: a step only adds to the slot of its
// own sample and to slots before it, all written already, so adding them after the block gives each
// slot the very sums it would get step by step.
struct SteppedSawLane {
    float* out; // 32 samples
    float phase; // read at the start, written back
    float frequency; // at the first sample
    float slope;     // added after every sample
    float rate;
    float inverseRate;
    float offsetPerHertz; // the ramp's lift per hertz
    int32_t steps;
    int8_t stepAt[kOscillatorLaneFrames];       // the sample each step lands on
    float stepOffset[kOscillatorLaneFrames];    // sixty-fourths of a sample after its wrap
};

// One voice's audio-rate sawtooth without sync: the first difference of a parabola of the phase, a
// ramp whose wrap aliases far less than a naive ramp's; a gain undoes the difference's scale.
struct ParabolaSawLane {
    const float* frequency; // 32 samples
    float* out;             // 32 samples
    float rate;
    float inverseRate;
    float phase;    // 0 .. 1, read at the start, written back
    float previous; // the last squared value, likewise
};

// One voice's sync output: zero but at each wrap of its phase, where it holds how far past the wrap
// the sample lies. The phase runs every sample, but only the samples that change are written: the
// wraps of the block before go back to zero and this block's wraps take their values. With out null
// only the phase moves on, exactly as it would with out written.
struct SyncLane {
    const float* frequency; // audio rate: 32 samples; null: the block rate's steady increment
    float* out;
    uint32_t written; // in: the samples of out that may not be zero; back: the wraps written this block
    float increment;
    float ticks; // the block rate's period, in sixty-fourths of a sample
    float rate;
    float inverseRate;
    float phase; // read at the start, written back
};

// One voice's fixed colour on the audio-rate path's output: two one-pole low-passes y = c y + (1 - c) x
// of the block, the first added and the second taken away. Four samples share one step of each
// feedback chain (the state reaches four samples ahead through c^4).
struct ToneLane {
    float* io; // 32 samples, coloured in place
    float coefficient[2];
    float state[2]; // read at the start, written back
};

// The loops over `count` lanes (any count; they run in vector groups internally).
struct OscillatorLaneKernels {
    void (*steppedSaw)(SteppedSawLane* lanes, int count);
    void (*parabolaSaw)(ParabolaSawLane* lanes, int count);
    void (*sync)(SyncLane* lanes, int count);
    void (*tone)(ToneLane* lanes, int count);
    const char* name;
};

// The widest set this processor runs; chosen once, at the first call.
const OscillatorLaneKernels& oscillatorLaneKernels();
// Every set this processor can run (the baseline first), for comparing them.
int availableOscillatorLaneKernels(const OscillatorLaneKernels** out, int capacity);

// The one-voice loops the lanes must equal: the oscillator's own for a voice alone.
void steppedSawOneLane(SteppedSawLane& lane);
void parabolaSawOneLane(ParabolaSawLane& lane);
void syncOneLane(SyncLane& lane);
void toneOneLane(ToneLane& lane);

} // namespace corvex
