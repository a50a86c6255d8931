// The oscillator's waveform generators: stepped rings, differentiated parabolas, sines and the sync pulse.
#pragma once

#include <cstdint>

#include "engine/dsp/OscillatorLanes.h"
#include "engine/modules/BlockBufferStore.h"

namespace corvex {

struct COscillator;

constexpr int kRingSize = 64;
constexpr int kRingMask = kRingSize - 1;
// The reader trails the writer by one block, so every step has reached a sample before it is read.
constexpr int kRingLatency = kBlockFrames;

// A generator writes a block at `write`; the port fill reads the block before it at `read`.
struct DelayRing {
    float data[kRingSize];
    int32_t read;
    int32_t write;
};

// One differentiated-parabola sawtooth: its phase (0 .. 1) and the last squared value.
struct ParabolaState {
    float phase;
    float previous;
};

// Two cascades of first-order allpass sections whose sum halves the rate of a twice-rate signal.
struct HalfBandDecimator {
    float a[5]; // the first cascade's input, then each section's output, from the last pair
    float b[4];

    float process(float first, float second);
    // Moves every state by the same constant, as if that much less had always come in; the
    // output moves by twice the constant (both cascades pass a constant unchanged).
    void shift(float amount);
    void clear();
};

// What one block's generators share. In the block-rate path only frequency[0] is meaningful and
// the generators glide to it from the previous block's frequency themselves.
struct OscillatorBlock {
    float rate;
    float inverseRate;
    bool audioRate;
    const float* sync; // the sync source's 32 samples; null plays unsynced
    float frequency[kBlockFrames];
};

// Adds a band-limited step of the given height to the current ring slot and the 30 before it,
// positioned `offset` sixty-fourths of a sample after the discontinuity.
void insertStep(float* ring, int current, float offset, float amplitude);

// The share of the faint ramp mixed under the sine and the triangle: all of it below 5 kHz, none
// above, with a smooth knee between.
float addedRampShare(float frequency);

// sin(x) for any x of a phase accumulator (|x| below a few thousand), to float precision.
float fastSine(float x);

// The sawtooth ring (read back negated), the pulse ring, the square ring of the block-rate triangle.
void generateSawtooth(COscillator& m, const OscillatorBlock& block);
void generatePulse(COscillator& m, const OscillatorBlock& block);
void generateSquare(COscillator& m, const OscillatorBlock& block);
// One block of the sine straight into `out`.
void generateSine(COscillator& m, const OscillatorBlock& block, float* out);
// Zero except at each wrap, where it holds how far past the wrap the sample lies, in 1/64 samples.
// Only the samples that differ from the block before are written.
void generateSyncOutput(COscillator& m, const OscillatorBlock& block, float* out);

// Which sawtooth loop a block plays (a synced one runs a voice at a time); the steps that take a
// block's lane from the oscillator and give its result back are in OscillatorLaneSteps.h.
enum class SawtoothLoop { Other, Stepped, Parabola };

// A sync sample resets the receiving oscillator when it is any number but 0 (a NaN names no
// position and resets nothing); the position it names is kept within one sample.
inline bool isSyncReset(float s) { return s != 0.0f && s == s; }
inline float syncOffset(float s) {
    const float x = s < 0.0f ? -s : s;
    return x < 64.0f ? x : 64.0f;
}

} // namespace corvex
