// The oscillator's loops for one voice, and the vector set built for this processor's baseline.
#include "engine/dsp/OscillatorLanes.h"

#include "engine/dsp/OscillatorLaneLoops.h"

namespace corvex {

// Built with its own instruction-set flags in OscillatorLanesAvx2.cpp; null where that file is empty.
const OscillatorLaneKernels* avx2OscillatorLaneKernels();
// Likewise OscillatorLanesAvx512.cpp.
const OscillatorLaneKernels* avx512OscillatorLaneKernels();

// The loops keep the lane's fields in locals: a store through `out` could, for all the compiler
// knows, land in the lane itself.
void steppedSawOneLane(SteppedSawLane& lane) {
    float* const out = lane.out;
    const float inverseRate = lane.inverseRate, lift = lane.offsetPerHertz, slope = lane.slope, rate = lane.rate;
    float f = lane.frequency;
    float phase = lane.phase;
    int steps = 0;
    for (int k = 0; k < kFrames; ++k) {
        phase -= f * inverseRate;
        out[k] = phase - f * lift;
        if (phase < -0.5f) {
            // The period of this very sample places the step.
            const float ticks = lanePeriodTicks(rate, f);
            lane.stepAt[steps] = int8_t(k);
            lane.stepOffset[steps++] = (-0.5f - phase) * ticks;
            phase += 1.0f;
        }
        f += slope;
    }
    lane.steps = steps;
    lane.phase = phase;
}

// In three passes, so that the first and the last run several samples at a time: only the running sum
// of the phase is serial.
void parabolaSawOneLane(ParabolaSawLane& lane) {
    const float* const frequency = lane.frequency;
    float* const out = lane.out;
    const float inverseRate = lane.inverseRate;
    const float gainRate = kLaneSawGain * lane.rate;
    float step[kFrames], gain[kFrames], sums[kFrames]; // the sums become their parabolas
    for (int k = 0; k < kFrames; ++k) {
        // Half a phase step per half sample; the gain turns the parabola's difference back into a level.
        const float f = frequency[k];
        const float h = f * inverseRate * 0.5f;
        step[k] = 2.0f * h + 0.0f;
        gain[k] = gainRate / ((1.0f - h) * f);
    }
    // Starts inside 0 .. 1 and only grows, so one whole added before the cut keeps it positive.
    float sum = lane.phase;
    for (int k = 0; k < kFrames; ++k) sums[k] = sum += step[k];
    for (int k = 0; k < kFrames; ++k) {
        const float y = sums[k] + 1.0f;
        const float p = 2.0f * (y - float(int(y))) - 1.0f;
        sums[k] = p * p;
    }
    out[0] = (sums[0] - lane.previous) * gain[0];
    for (int k = 1; k < kFrames; ++k) out[k] = (sums[k] - sums[k - 1]) * gain[k];
    lane.previous = sums[kFrames - 1];
    const float whole = float(int(sum));
    lane.phase = sum - (whole > sum ? whole - 1.0f : whole);
}

void syncOneLane(SyncLane& lane) {
    clearWritten(lane);
    const float* const frequency = lane.frequency;
    const float inverseRate = lane.inverseRate, increment = lane.increment;
    float phase = lane.phase;
    uint32_t wraps = 0;
    float wrapped[kFrames];
    for (int k = 0; k < kFrames; ++k) {
        phase -= frequency ? frequency[k] * inverseRate : increment;
        if (phase < -0.5f) {
            wraps |= 1u << k;
            wrapped[k] = phase;
            phase += 1.0f;
        }
    }
    for (; wraps != 0; wraps &= wraps - 1) {
        const int k = __builtin_ctz(wraps);
        writeWrap(lane, k, wrapped[k]);
    }
    lane.phase = phase;
}

void toneOneLane(ToneLane& lane) {
    float* const io = lane.io;
    float low1[kFrames], low2[kFrames];
    lowPassLanes(lane.coefficient[0], lane.state[0], io, low1);
    lowPassLanes(lane.coefficient[1], lane.state[1], io, low2);
    for (int k = 0; k < kFrames; ++k) io[k] = toneOf(io[k], low1[k], low2[k]);
}

namespace {

void steppedSawEach(SteppedSawLane* lanes, int count) {
    for (int i = 0; i < count; ++i) steppedSawOneLane(lanes[i]);
}
void parabolaSawEach(ParabolaSawLane* lanes, int count) {
    for (int i = 0; i < count; ++i) parabolaSawOneLane(lanes[i]);
}
void syncEach(SyncLane* lanes, int count) {
    for (int i = 0; i < count; ++i) syncOneLane(lanes[i]);
}
void toneEach(ToneLane* lanes, int count) {
    for (int i = 0; i < count; ++i) toneOneLane(lanes[i]);
}

constexpr OscillatorLaneKernels kOneByOne{steppedSawEach, parabolaSawEach, syncEach, toneEach,
                                          "one voice at a time"};

#if defined(__GNUC__)
// Four floats: the width every x86-64 processor has (SSE2); elsewhere the compiler makes do.
typedef float Float4 __attribute__((vector_size(16)));
typedef int32_t Int4 __attribute__((vector_size(16)));

constexpr OscillatorLaneGroups<SteppedSawLane, 4, 4> kSteppedSawGroups{
    {steppedSawGroup<Float4, Int4, 4, 1>, steppedSawGroup<Float4, Int4, 4, 2>, steppedSawGroup<Float4, Int4, 4, 3>,
     steppedSawGroup<Float4, Int4, 4, 4>},
    steppedSawOneLane};
constexpr OscillatorLaneGroups<ParabolaSawLane, 4, 4> kParabolaSawGroups{
    {parabolaSawGroup<Float4, Int4, 4, 1>, parabolaSawGroup<Float4, Int4, 4, 2>,
     parabolaSawGroup<Float4, Int4, 4, 3>, parabolaSawGroup<Float4, Int4, 4, 4>},
    parabolaSawOneLane};
constexpr OscillatorLaneGroups<SyncLane, 4, 4> kSyncGroups{
    {syncGroup<Float4, Int4, 4, 1>, syncGroup<Float4, Int4, 4, 2>, syncGroup<Float4, Int4, 4, 3>, syncGroup<Float4, Int4, 4, 4>},
    syncOneLane};

void steppedSawBaseline(SteppedSawLane* lanes, int count) { runOscillatorGroups(kSteppedSawGroups, lanes, count); }
void parabolaSawBaseline(ParabolaSawLane* lanes, int count) { runOscillatorGroups(kParabolaSawGroups, lanes, count); }
constexpr OscillatorLaneGroups<ToneLane, 4, 4> kToneGroups{
    {toneGroup<Float4, Int4, 4, 1>, toneGroup<Float4, Int4, 4, 2>, toneGroup<Float4, Int4, 4, 3>,
     toneGroup<Float4, Int4, 4, 4>},
    toneOneLane};

void syncBaseline(SyncLane* lanes, int count) { runOscillatorGroups(kSyncGroups, lanes, count); }
void toneBaseline(ToneLane* lanes, int count) { runOscillatorGroups(kToneGroups, lanes, count); }
constexpr OscillatorLaneKernels kBaseline{steppedSawBaseline, parabolaSawBaseline, syncBaseline, toneBaseline,
                                          "four-lane vectors"};
#else
constexpr OscillatorLaneKernels kBaseline = kOneByOne;
#endif

} // namespace

int availableOscillatorLaneKernels(const OscillatorLaneKernels** out, int capacity) {
    int n = 0;
    if (n < capacity) out[n++] = &kBaseline;
    if (const OscillatorLaneKernels* wide = avx2OscillatorLaneKernels(); wide != nullptr && n < capacity)
        out[n++] = wide;
    if (const OscillatorLaneKernels* widest = avx512OscillatorLaneKernels(); widest != nullptr && n < capacity)
        out[n++] = widest;
    if (n < capacity) out[n++] = &kOneByOne;
    return n;
}

const OscillatorLaneKernels& oscillatorLaneKernels() {
    static const OscillatorLaneKernels* chosen = [] {
        if (const OscillatorLaneKernels* widest = avx512OscillatorLaneKernels(); widest != nullptr) return widest;
        const OscillatorLaneKernels* wide = avx2OscillatorLaneKernels();
        return wide != nullptr ? wide : &kBaseline;
    }();
    return *chosen;
}

} // namespace corvex
