// The oscillator's waveform generators: stepped rings, differentiated parabolas, sines and the sync pulse.
#include "engine/modules/types/OscillatorGenerators.h"

#include <cmath>

#include "engine/dsp/BandLimitedStepTable.h"
#include "engine/dsp/ConversionCurves.h"
#include "engine/dsp/SampleGuards.h"
#include "engine/modules/types/Oscillator.h"
#include "engine/modules/types/OscillatorLaneSteps.h"

namespace corvex {

namespace {

constexpr float kInverseTwoPi = 0.159154943091895f;

constexpr int kStepSlots = 31; // the current sample and the 30 before it
// A step found up to two samples late still lands inside the table: its guard entries hold 1.0.
constexpr float kLatestStepOffset = 2.0f * BandLimitedStep::kPhases - 0.01f;

constexpr float kTicksPerSample = 64.0f;

constexpr float kParabolaPulseGain = 0.1125f; // a pulse 0.9 high from top to bottom

constexpr int kSyncedSineRingMask = 2 * kRingSize - 1;
constexpr float kSyncedSineGain = 0.004f;

constexpr float kAddedRampLevel = 0.03f;

// floor(x) without a library call, for the phases of these generators, which stay far inside
// the int range.
inline float floorOf(float x) {
    const float whole = float(int(x));
    return whole > x ? whole - 1.0f : whole;
}
inline float wrapUnit(float x) { return x - floorOf(x); }
// The same for x above -1, without a comparison, so that a loop of them runs four at a time.
inline float wrapAboveMinusOne(float x) {
    const float y = x + 1.0f;
    return y - float(int(y));
}

inline float squared(float x) { return x * x; }
inline float parabola(float phase) { return squared(2.0f * phase - 1.0f); }

inline float periodTicks(float rate, float frequency) { return float(int(rate / frequency * kTicksPerSample)); }

// The frequency of sample k: given per sample (audio rate) or glided from the previous block's.
struct Glide {
    Glide(const COscillator& m, const OscillatorBlock& b)
        : audioRate(b.audioRate), frequencies(b.frequency), start(m.previousFrequency),
          slope((b.frequency[0] - m.previousFrequency) * (1.0f / float(kBlockFrames))) {}

    float at(int k) const { return audioRate ? frequencies[k] : start + float(k) * slope; }
    bool steady() const { return !audioRate && slope == 0.0f; }

    bool audioRate;
    const float* frequencies;
    float start;
    float slope;
};

// Falling ramp into the ring with a step at every wrap and at every reset from the sync input. Without
// sync the ramp runs in steppedSawOneLane (block rate) or as a parabola (audio rate).
template <bool AudioRate>
void syncedSawtooth(COscillator& m, const OscillatorBlock& b) {
    const float inverseRate = b.inverseRate;
    const float rate = b.rate;
    const float* frequency = b.frequency;
    const float* sync = b.sync;
    const float blockTicks = m.period64;
    float f = m.previousFrequency;
    const float slope = (frequency[0] - f) * (1.0f / float(kBlockFrames));
    DelayRing& ring = m.sawRing;
    const int first = ring.write & kBlockFrames;
    float* out = blockSlots(ring);
    float phase = m.sawPhase;
    // In double, the scale gives back the constant itself at 44.1 kHz.
    const float offsetPerHertz = float(double(kSawOffsetPerHertz) * kSawOffsetRate / double(rate));
    for (int k = 0; k < kBlockFrames; ++k) {
        if (AudioRate) f = frequency[k];
        const float increment = f * inverseRate;
        phase -= increment;
        out[k] = phase - f * offsetPerHertz;
        const float s = sync[k];
        if (isSyncReset(s)) {
            // The slave restarts at the top when the master wrapped, and has fallen since then.
            const float offset = syncOffset(s);
            const float restarted = 0.5f - offset * increment * (1.0f / kTicksPerSample);
            insertStep(ring.data, first + k, offset, restarted - phase);
            phase = restarted;
        } else if (phase < -0.5f) {
            // A block-rate ramp measures its wraps with the block's period; otherwise the period of
            // this very sample places the step.
            const float ticks = AudioRate ? periodTicks(rate, f) : blockTicks;
            insertStep(ring.data, first + k, (-0.5f - phase) * ticks, 1.0f);
            phase += 1.0f;
        }
        if (!AudioRate) f += slope;
    }
    m.sawPhase = phase;
    ring.write = (first + kBlockFrames) & kRingMask;
}

// Steps and gains of the parabola generators: half a phase step per half sample, and the gain
// that turns the parabola's first difference back into a level.
void parabolaSteps(const OscillatorBlock& b, float gain, float* step, float* g) {
    for (int k = 0; k < kBlockFrames; ++k) {
        const float f = b.frequency[k];
        const float h = f * b.inverseRate * 0.5f;
        step[k] = 2.0f * h;
        g[k] = gain * b.rate / ((1.0f - h) * f);
    }
}

// A block of phases: the running sum is the only serial part; the wrap into 0 .. 1 and the
// parabola of each phase come after it, a sample at a time independent of the others. The sum
// starts inside 0 .. 1 and a width step takes off at most 1/32 a sample, so it stays above -1.
float parabolaBlock(float start, const float* step, float extra, float* q) {
    float sum = start;
    for (int k = 0; k < kBlockFrames; ++k) {
        sum += step[k] + extra;
        q[k] = sum;
    }
    for (int k = 0; k < kBlockFrames; ++k) q[k] = parabola(wrapAboveMinusOne(q[k]));
    return wrapUnit(sum);
}

// Two parabolic sawtooths a width apart: their difference is a pulse with no DC, high for the
// width's share of the period. The width glides from last block's to this block's.
void parabolaPulse(COscillator& m, const OscillatorBlock& b) {
    float step[kBlockFrames], g[kBlockFrames], p[kBlockFrames], q[kBlockFrames];
    parabolaSteps(b, kParabolaPulseGain, step, g);
    ParabolaState& first = m.parabola[0];
    ParabolaState& second = m.parabola[1];
    if (m.firstBlock) {
        second.phase = wrapUnit(first.phase + m.smoothedWidth + 0.5f * step[0]);
        second.previous = parabola(second.phase);
    }
    const float widthStep = (m.smoothedWidth - m.previousWidth) * (1.0f / float(kBlockFrames));
    const float pPrevious = first.previous, qPrevious = second.previous;
    first.phase = parabolaBlock(first.phase, step, 0.0f, p);
    second.phase = parabolaBlock(second.phase, step, widthStep, q);
    float* out = blockSlots(m.pulseRing);
    out[0] = ((p[0] - pPrevious) - (q[0] - qPrevious)) * g[0];
    for (int k = 1; k < kBlockFrames; ++k) out[k] = ((p[k] - p[k - 1]) - (q[k] - q[k - 1])) * g[k];
    first.previous = p[kBlockFrames - 1];
    second.previous = q[kBlockFrames - 1];
    m.pulseRing.write = ((m.pulseRing.write & kBlockFrames) + kBlockFrames) & kRingMask;
}

// +-0.5 from a counter in sixty-fourths of a sample, with a step at each edge. An edge found
// late keeps its offset within `latest` sixty-fourths; a counter left more than a period behind
// by a sudden rise in frequency starts the next period instead of firing an edge every sample.
void steppedPulse(COscillator& m, const OscillatorBlock& b, DelayRing& ring, float& levelState, float& counterState,
                  float width, float latest) {
    const Glide glide(m, b);
    const float rate = b.rate;
    const float* sync = b.sync;
    float ticks = periodTicks(rate, glide.at(0));
    const bool steady = glide.steady();
    const int first = ring.write & kBlockFrames;
    float* out = blockSlots(ring);
    float level = levelState;
    float counter = counterState;
    for (int k = 0; k < kBlockFrames; ++k) {
        if (!steady && k > 0) ticks = periodTicks(rate, glide.at(k));
        counter += kTicksPerSample;
        out[k] = level;
        const float s = sync ? sync[k] : 0.0f;
        if (isSyncReset(s)) {
            const float offset = syncOffset(s);
            counter = offset;
            if (level < 0.0f) {
                level = 0.5f;
                insertStep(ring.data, first + k, offset, 1.0f);
            }
        } else {
            const float threshold = level > 0.0f ? width * ticks : ticks;
            if (counter >= threshold) {
                float offset = counter - threshold;
                if (offset > latest) offset = std::fmod(offset, latest);
                counter += (level - 0.5f) * ticks;
                if (level < 0.0f && counter >= ticks) counter = std::fmod(counter, ticks);
                level = -level;
                insertStep(ring.data, first + k, offset, 2.0f * level);
            }
        }
    }
    levelState = level;
    counterState = counter;
    ring.write = (first + kBlockFrames) & kRingMask;
}

// Audio-rate pitch with sync: a whole-number counter that restarts at every edge and reset.
void countedPulse(COscillator& m, const OscillatorBlock& b) {
    const float width = m.smoothedWidth;
    float level = m.pulseLevel;
    const float stored = m.pulseCounter;
    int32_t counter = (stored > 0.0f && stored < 1.0e9f) ? int32_t(stored) : 0;
    auto threshold = [&](float f) {
        return int32_t((level > 0.0f ? width : 1.0f - width) * periodTicks(b.rate, f));
    };
    int32_t limit = threshold(b.frequency[0]);
    DelayRing& ring = m.pulseRing;
    int w = ring.write;
    for (int k = 0; k < kBlockFrames; ++k) {
        counter += int32_t(kTicksPerSample);
        ring.data[w] = level;
        const float s = b.sync ? b.sync[k] : 0.0f;
        if (isSyncReset(s)) {
            counter = 0;
            if (level < 0.0f) {
                level = 0.5f;
                insertStep(ring.data, w, syncOffset(s), 1.0f);
            }
            limit = threshold(b.frequency[k]);
        } else if (counter > limit) {
            int32_t offset = counter - limit;
            if (offset > 64) offset = (offset - 1) % 64 + 1;
            level = -level;
            counter = offset;
            insertStep(ring.data, w, float(offset), 2.0f * level);
            limit = threshold(b.frequency[k]);
        }
        w = (w + 1) & kRingMask;
    }
    m.pulseLevel = level;
    m.pulseCounter = float(counter);
    ring.write = w;
}

// Per sample in the audio-rate path; with sync it has nothing to restart, so it runs on.
void directSine(COscillator& m, const OscillatorBlock& b, float* out) {
    float phase = m.sinePhase;
    const float scale = kTwoPiFloat * b.inverseRate;
    for (int k = 0; k < kBlockFrames; ++k) {
        out[k] = fastSine(phase);
        phase += scale * b.frequency[k];
        if (phase > kTwoPiFloat) phase = wrapUnit(phase * kInverseTwoPi) * kTwoPiFloat;
    }
    m.sinePhase = phase;
}

// Two-term recursion from exact values at the start of every block, a faint ramp under it and a
// soft saturation over both.
void recursiveSine(COscillator& m, const OscillatorBlock& b, float* out) {
    const float f = b.frequency[0];
    const double w = 2.0 * double(kPiFloat) * double(f) * double(b.inverseRate);
    double phase = m.sinePhase;
    float y1 = float(std::sin(phase - w));
    float y2 = float(std::sin(phase - 2.0 * w));
    if (phase > 2.0 * double(kPiFloat)) phase = std::fmod(phase, 2.0 * double(kPiFloat));
    const float twoCos = float(2.0 * std::cos(w));
    const float rampLevel = kAddedRampLevel * addedRampShare(f);
    const float increment = f * b.inverseRate;
    float ramp = m.sineRamp;
    for (int k = 0; k < kBlockFrames; ++k) {
        const float y = twoCos * y1 - y2;
        y2 = y1;
        y1 = y;
        ramp -= increment;
        if (ramp < -0.5f) ramp += 1.0f;
        out[k] = float(tanhApprox6(double(0.5f * y + ramp * rampLevel)));
    }
    m.sinePhase = float(phase + double(kBlockFrames) * w);
    m.sineRamp = ramp;
    m.sineRampIncrement = increment;
}

// With sync in the block-rate path: the running sum of a twice-rate sine is continuous across a
// reset (only its slope jumps), so the reset aliases little; the decimator brings it back to
// the rate and the tracker takes out the drift the sum picks up.
void syncedSine(COscillator& m, const OscillatorBlock& b, float* out) {
    const float halfStep = kPiFloat * b.frequency[0] * b.inverseRate;
    float phase = m.sinePhase;
    float sum = m.syncedSineSum;
    int w = m.syncedSineWrite;
    for (int j = 0; j < 2 * kBlockFrames; ++j) {
        const float s = b.sync[j >> 1];
        // A reset less than half a sample back lands on the first half step, else on the second.
        if (isSyncReset(s) && (syncOffset(s) < 32.0f) == ((j & 1) == 0)) phase = 0.0f;
        m.syncedSineRing[w] = kSyncedSineGain * sum;
        w = (w + 1) & kSyncedSineRingMask;
        sum += fastSine(phase);
        phase += halfStep;
        if (phase > kTwoPiFloat) phase -= kTwoPiFloat;
    }
    const float c = m.trackerCoefficient;
    float tracker = m.syncedSineTracker;
    int r = m.syncedSineRead;
    for (int k = 0; k < kBlockFrames; ++k) {
        const float first = m.syncedSineRing[r];
        const float second = m.syncedSineRing[(r + 1) & kSyncedSineRingMask];
        r = (r + 2) & kSyncedSineRingMask;
        const float y = m.decimator.process(first, second);
        tracker = (1.0f - c) * y + c * tracker;
        out[k] = y - tracker;
    }
    // Each partial cycle between resets leaves the sum a little higher; moving the sum and every
    // state fed from it by the same amount keeps the output as it is and the float precision.
    if (std::fabs(sum) > 1024.0f) {
        const float shift = kSyncedSineGain * sum;
        m.decimator.shift(shift);
        tracker -= 2.0f * shift;
        sum = 0.0f;
    }
    m.sinePhase = phase;
    m.syncedSineSum = sum;
    m.syncedSineTracker = tracker;
    m.syncedSineWrite = w;
    m.syncedSineRead = r;
}

} // namespace

float HalfBandDecimator::process(float first, float second) {
    static constexpr float kA[4] = {0.0457281f, 0.332501f, 0.663202f, 0.933856f};
    static constexpr float kB[3] = {0.168088f, 0.504486f, 0.803781f};
    float x = first;
    for (int i = 0; i < 4; ++i) {
        const float y = kA[i] * (x - a[i + 1]) + a[i];
        a[i] = x;
        x = y;
    }
    a[4] = x;
    const float resultA = x;
    x = second;
    for (int i = 0; i < 3; ++i) {
        const float y = kB[i] * (x - b[i + 1]) + b[i];
        b[i] = x;
        x = y;
    }
    b[3] = x;
    return resultA + x;
}

void HalfBandDecimator::shift(float amount) {
    for (float& s : a) s -= amount;
    for (float& s : b) s -= amount;
}

void HalfBandDecimator::clear() {
    for (float& s : a) s = 0.0f;
    for (float& s : b) s = 0.0f;
}

namespace {

// One stretch of a step's points into the ring, where the ring does not wrap: a vector at a time.
void addStepPoints(float* __restrict ring, const float* __restrict a, const float* __restrict b, float fraction,
                   float amplitude, int count) {
    for (int k = 0; k < count; ++k) ring[k] += amplitude * (a[k] + fraction * (b[k] - a[k]));
}

} // namespace

void insertStep(float* ring, int current, float offset, float amplitude) {
    static_assert(kStepSlots <= BandLimitedStep::kRowLength, "a row holds every point of a step");
    static_assert(int(kLatestStepOffset) + 1 < BandLimitedStep::kRows, "every offset has its rows");
    if (!(offset > 0.0f)) offset = 0.0f;
    if (offset > kLatestStepOffset) offset = kLatestStepOffset;
    const int j = int(offset);
    const float fraction = offset - float(j);
    const float* a = bandLimitedStepRow(j);
    const float* b = bandLimitedStepRow(j + 1);
    const int slot = (current - (kStepSlots - 1)) & kRingMask;
    const int before = kRingSize - slot < kStepSlots ? kRingSize - slot : kStepSlots;
    addStepPoints(ring + slot, a, b, fraction, amplitude, before);
    addStepPoints(ring, a + before, b + before, fraction, amplitude, kStepSlots - before);
}

float fastSine(float x) {
    x -= kTwoPiFloat * floorOf(x * kInverseTwoPi);
    if (x > kPiFloat) x -= kTwoPiFloat;
    // Folded into the quarter where the odd series to x^11 stays within float precision.
    if (x > kHalfPiFloat)
        x = kPiFloat - x;
    else if (x < -kHalfPiFloat)
        x = -kPiFloat - x;
    const float x2 = x * x;
    return x * (1.0f + x2 * (-1.0f / 6.0f +
                             x2 * (1.0f / 120.0f +
                                   x2 * (-1.0f / 5040.0f + x2 * (1.0f / 362880.0f - x2 * (1.0f / 39916800.0f))))));
}

float addedRampShare(float frequency) {
    // Past 200 Hz from the knee the curve is 0 or 1 to within a millionth: no division needed.
    const float u = (frequency - 5000.0f) * 0.1f;
    if (u <= -20.0f) return 1.0f;
    if (u >= 20.0f) return 0.0f;
    return float((1.0 - tanhApprox5(double(u))) * 0.5);
}

void generateSawtooth(COscillator& m, const OscillatorBlock& b) {
    switch (sawtoothLoopOf(b)) {
    case SawtoothLoop::Stepped: {
        SteppedSawLane lane;
        takeSteppedSaw(m, b, lane);
        steppedSawOneLane(lane);
        finishSteppedSaw(m, lane);
        return;
    }
    case SawtoothLoop::Parabola: {
        ParabolaSawLane lane;
        takeParabolaSaw(m, b, lane);
        parabolaSawOneLane(lane);
        finishParabolaSaw(m, lane);
        return;
    }
    case SawtoothLoop::Other: break;
    }
    if (b.audioRate)
        syncedSawtooth<true>(m, b);
    else
        syncedSawtooth<false>(m, b);
}

void generatePulse(COscillator& m, const OscillatorBlock& b) {
    if (!b.audioRate)
        steppedPulse(m, b, m.pulseRing, m.pulseLevel, m.pulseCounter, m.smoothedWidth,
                     b.sync ? kTicksPerSample : 2.0f * kTicksPerSample);
    else if (b.sync == nullptr)
        parabolaPulse(m, b);
    else
        countedPulse(m, b);
}

void generateSquare(COscillator& m, const OscillatorBlock& b) {
    OscillatorBlock unsynced = b;
    unsynced.sync = nullptr;
    steppedPulse(m, unsynced, m.squareRing, m.squareLevel, m.squareCounter, 0.5f, kTicksPerSample);
}

void generateSine(COscillator& m, const OscillatorBlock& b, float* out) {
    if (b.audioRate)
        directSine(m, b, out);
    else if (b.sync != nullptr)
        syncedSine(m, b, out);
    else
        recursiveSine(m, b, out);
}

void generateSyncOutput(COscillator& m, const OscillatorBlock& b, float* out) {
    SyncLane lane;
    takeSync(m, b, out, lane);
    syncOneLane(lane);
    finishSync(m, lane);
}

} // namespace corvex
