// The oscillator's steps around the loops that run across voices: a block's lane taken from the
// oscillator, and its result given back. They run for every voice of every block, so they are
// inline, in the run's own loops.
#pragma once

#include <cmath>

#include "engine/modules/types/Oscillator.h"

namespace corvex {

// The stepped sawtooth's band-limited steps land about 28 samples ahead of its wraps, which lifts
// its mean by that many phase increments. The offset is kept per hertz at 44.1 kHz, where it was
// measured; other rates scale it by 44100 / rate, so that it follows the increment.
constexpr float kSawOffsetPerHertz = 0.000641091f;
constexpr double kSawOffsetRate = 44100.0;

// The 32 slots a generator writes this block. The writer starts every block on a multiple of 32,
// so they lie in one piece.
inline float* blockSlots(DelayRing& ring) { return ring.data + (ring.write & kBlockFrames); }

inline SawtoothLoop sawtoothLoopOf(const OscillatorBlock& b) {
    if (b.sync != nullptr) return SawtoothLoop::Other;
    return b.audioRate ? SawtoothLoop::Parabola : SawtoothLoop::Stepped;
}

inline void takeSteppedSaw(COscillator& m, const OscillatorBlock& b, SteppedSawLane& l) {
    l.out = blockSlots(m.sawRing);
    l.phase = m.sawPhase;
    l.frequency = m.previousFrequency;
    l.slope = (b.frequency[0] - m.previousFrequency) * (1.0f / float(kBlockFrames));
    l.rate = b.rate;
    l.inverseRate = b.inverseRate;
    // In double, the scale gives back the constant itself at 44.1 kHz.
    l.offsetPerHertz = float(double(kSawOffsetPerHertz) * kSawOffsetRate / double(b.rate));
    l.steps = 0;
}

inline void finishSteppedSaw(COscillator& m, const SteppedSawLane& l) {
    DelayRing& ring = m.sawRing;
    const int first = ring.write & kBlockFrames;
    for (int i = 0; i < l.steps; ++i) insertStep(ring.data, first + l.stepAt[i], l.stepOffset[i], 1.0f);
    m.sawPhase = l.phase;
    ring.write = (first + kBlockFrames) & kRingMask;
}

inline void takeParabolaSaw(COscillator& m, const OscillatorBlock& b, ParabolaSawLane& l) {
    l.frequency = b.frequency;
    l.out = blockSlots(m.sawRing);
    l.rate = b.rate;
    l.inverseRate = b.inverseRate;
    l.phase = m.parabola[0].phase;
    l.previous = m.parabola[0].previous;
}

inline void finishParabolaSaw(COscillator& m, const ParabolaSawLane& l) {
    m.parabola[0] = {l.phase, l.previous};
    m.sawRing.write = ((m.sawRing.write & kBlockFrames) + kBlockFrames) & kRingMask;
}

inline void takeSync(COscillator& m, const OscillatorBlock& b, float* out, SyncLane& l) {
    l.frequency = b.audioRate ? b.frequency : nullptr;
    l.out = out;
    // Only a block this oscillator wrote itself is known to be zero but at its wraps.
    l.written = (out != nullptr && out == m.syncBuffer) ? m.syncWritten : ~0u;
    l.increment = m.increment;
    l.ticks = m.period64;
    l.rate = b.rate;
    l.inverseRate = b.inverseRate;
    l.phase = m.syncPhase;
}

inline void finishSync(COscillator& m, const SyncLane& l) {
    m.syncPhase = l.phase;
    m.syncBuffer = l.out;
    m.syncWritten = l.written;
}

// Nobody reads the sync output this block: its per-sample loop is skipped, but its phase runs on, so a reader
// that connects later finds the master's cycle where it would have been.
inline void advanceSyncPhase(COscillator& m, const OscillatorBlock& b) {
    float step = 0.0f;
    if (!b.audioRate) {
        step = m.increment * float(kBlockFrames);
    } else {
        for (int k = 0; k < kBlockFrames; ++k) step += b.frequency[k] * b.inverseRate;
    }
    float phase = m.syncPhase - step;
    if (phase < -0.5f) phase += std::ceil(-0.5f - phase);
    if (std::isfinite(phase)) m.syncPhase = phase;
    m.syncBuffer = nullptr;
}

} // namespace corvex
