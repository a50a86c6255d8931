// What both phasers share: the swept allpass stage, its coefficient, and the block-rate LFO's rate and phase step.
#pragma once

#include <cmath>
#include <cstdint>

#include "engine/dsp/ConversionCurves.h"
#include "engine/dsp/OscillatorWaveTables.h"
#include "engine/dsp/SampleGuards.h"
#include "engine/dsp/TempoSync.h"

namespace corvex {

constexpr int kPhaserStages = 6;
constexpr int kPhaserWaves = OscillatorWaveTables::kShapeCount;

// Swept frequencies stay inside the range the series coefficient keeps every stage stable in.
constexpr float kPhaserLowestSweep = 10.0f;
constexpr float kPhaserHighestSweep = 16000.0f;

struct PhaserStage {
    double state;
    double previousInput;
};

// g = 1 - e^a with a = -2 pi f / rate, the exponential taken as its third-order series: cheap once a
// block, and close enough below 16 kHz.
inline double phaserCoefficient(double frequency, double rate) {
    const double a = -kTwoPi * frequency / rate;
    return 1.0 - (1.0 + a + a * a * 0.5 + a * a * a / 6.0);
}

// A wave word outside the four tables plays the nearest one rather than reading past them.
inline int32_t heldPhaserWave(int32_t wave) {
    return wave < 0 ? 0 : (wave >= kPhaserWaves ? kPhaserWaves - 1 : wave);
}

inline float phaserLfoValue(int32_t wave, uint32_t phase) {
    return OscillatorWaveTables::read(oscillatorWaveTables().wave(heldPhaserWave(wave)), phase);
}

// The LFO follows the tempo when synced, else its free rate.
inline float phaserLfoRate(int32_t tempoSync, float rateHz, float rateCode, float tempo) {
    return tempoSync != 0 ? tempoSyncFrequency(rateCode, tempo) : rateHz;
}

// The phase advance of one block for `cyclesPerBlock` of a cycle, rounded to the nearest step of the
// 32-bit phase and wrapped; a rate that is not a number leaves the LFO where it is.
inline uint32_t phaserPhaseStep(double cyclesPerBlock) {
    constexpr double kFullCycle = 4294967296.0;
    const double steps = std::nearbyint(cyclesPerBlock * kFullCycle);
    if (!std::isfinite(steps)) return 0u;
    const double wrapped = std::fmod(steps, kFullCycle);
    return uint32_t(int64_t(wrapped < 0.0 ? wrapped + kFullCycle : wrapped));
}

// The master phaser's stage: the state follows -(2/3)(x + x_prev + s) scaled by the coefficient; the
// output is x + s. The insert phaser's stages saturate that step and run in the voice lanes.
inline double phaserStageLinear(PhaserStage& st, double x, double gain) {
    st.state = (st.previousInput + x + st.state) * (-2.0 / 3.0) * gain + st.state;
    st.state = flushed(st.state);
    st.previousInput = x;
    return x + st.state;
}

} // namespace corvex
