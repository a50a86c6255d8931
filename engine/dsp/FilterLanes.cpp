// The voice filter's loops for one voice, and the vector sets built for this processor's baseline.
#include "engine/dsp/FilterLanes.h"

#include <cmath>

#include "engine/dsp/ConversionCurves.h"
#include "engine/dsp/FilterLaneLoops.h"
#include "engine/dsp/SampleGuards.h"
#include "engine/dsp/ChorusFlangerLines.h"

namespace corvex {

// Built with its own instruction-set flags in FilterLanesAvx2.cpp; null where that file is empty.
const FilterLaneKernels* avx2FilterLaneKernels();
// Likewise FilterLanesAvx512.cpp.
const FilterLaneKernels* avx512FilterLaneKernels();

static_assert(double(kLoudestHealthySample) >= kLoudest, "the sample bound rounds up, never down");

namespace {

double heldWithin(double v, double lowest, double highest) {
    if (!(v > lowest)) return lowest; // NaN lands here too
    return v < highest ? v : highest;
}

float heldDriven(float v) {
    if (v != v) return 0.0f;
    return v > kLoudestDriven ? kLoudestDriven : (v < -kLoudestDriven ? -kLoudestDriven : v);
}

// The high-pass states are cut at the float flush level, a hair above the double one, as they always
// were: a state cut a little later would change the renders.
double flushedAtFloatFloor(double v) {
    return (v > -double(kFlushBelowFloat) && v < double(kFlushBelowFloat)) ? 0.0 : v;
}

// One half-band stage's two outputs for the window ending at its newest sample.
void halfBand(const double* window, double& afterSample, double& afterZero) {
    double even = 0.0, odd = 0.0;
    for (int m = 0; m < kHalfBandHistory; ++m) {
        even += kEvenTaps[size_t(m)] * window[m];
        odd += kOddTaps[size_t(m)] * window[m];
    }
    afterSample = even;
    afterZero = odd;
}

// The state follows -(2/3)(x + x_prev + s), saturated and scaled by the step; the output is x + s.
double saturatedStage(double& state, double& previousInput, double x, double gain) {
    state = tanhApprox6((x + previousInput + state) * (-2.0 / 3.0)) * gain + state;
    // A decaying state would otherwise sink into denormals once the voice falls silent.
    state = flushed(state);
    previousInput = x;
    return x + state;
}

bool blockInRange(const float* out) {
    int broken = 0;
    for (int n = 0; n < kLaneBlockFrames; ++n)
        broken |= int(!(out[n] < kLoudestHealthySample && out[n] > -kLoudestHealthySample));
    return broken == 0;
}

// Whether every state is in range, judged before the states are flushed.
template <int N>
bool settled(double (&states)[N]) {
    int broken = 0;
    for (double& s : states) {
        broken |= int(!withinRange(s));
        s = flushed(s);
    }
    return broken == 0;
}

} // namespace

void cascadeOneLane(CascadeLane& lane) {
    const double k = lane.coefficient;
    const double kOld = lane.previousCoefficient;
    const double h = lane.tuning;
    const double hOld = lane.previousTuning;
    const double resonance = lane.resonance;
    const double gain = lane.gain;
    const double w2 = lane.secondWeight;
    const double w4 = lane.fourthWeight;
    double s1 = lane.state[0], s2 = lane.state[1], s3 = lane.state[2], s4 = lane.state[3];
    double fb = lane.state[4];
    double s4Before = lane.state[5];
    for (int n = 0; n < kLaneBlockFrames; ++n) {
        const double t = double(n) * (1.0 / kLaneBlockFrames);
        const double c = heldWithin(t * k + (1.0 - t) * kOld + double(lane.modulation[n]), 0.0,
                                    lane.highestCoefficient);
        const double loop = resonance * (t * h + (1.0 - t) * hOld);
        const double x = gain * double(lane.audio[n]);
        // Each stage moves by c towards the one before: s + (in - s) c, written as
        // c in + (1 - c) s so that the previous pass's part is ready before the new input is.
        const double keep = 1.0 - c;
        double sum = 0.0;
        for (int pass = 0; pass < 2; ++pass) {
            const double v = x - loop * fb;
            s1 = c * v + keep * s1;
            s2 = c * s1 + keep * s2;
            s3 = c * s2 + keep * s3;
            s4 = c * s3 + keep * s4;
            fb = 0.5 * s4 + 0.5 * s4Before;
            s4Before = s4;
            sum += w2 * s2 + w4 * s4;
        }
        // The states are flushed once a block, but a high cutoff falls by more than thirty decades
        // within one: its samples would pass through the float's denormal range before the flush comes.
        lane.out[n] = clampedSample(0.5 * sum);
    }
    lane.state[0] = s1;
    lane.state[1] = s2;
    lane.state[2] = s3;
    lane.state[3] = s4;
    lane.state[4] = fb;
    lane.state[5] = s4Before;
    const bool inRange = blockInRange(lane.out);
    lane.healthy = settled(lane.state) && inRange;
}

void highPassOneLane(HighPassLane& lane) {
    double gc = lane.coefficient;
    double before = lane.before;
    double low = lane.low;
    for (int n = 0; n < kLaneBlockFrames; ++n) {
        const double q = kLaneQuarter * double(lane.audio[n]);
        const double p = kLanePreFilterNow * q + kLanePreFilterBefore * before;
        before = q;
        low += (p - low) * gc;
        lane.out[n] = clampedSample(q - low);
        gc += lane.step;
    }
    double states[2] = {before, low};
    const bool inRange = blockInRange(lane.out);
    lane.healthy = settled(states) && inRange;
    lane.before = states[0];
    lane.low = states[1];
}

void phaserOneLane(PhaserLane& lane) {
    for (int n = 0; n < kLaneBlockFrames; ++n) {
        double x = lane.inputGain * double(lane.in[n]);
        if (!std::isfinite(x)) x = 0.0; // a broken sample must not reach the stages
        double y[kPhaserLaneStages];
        y[0] = saturatedStage(lane.state[0], lane.previousInput[0], x, lane.firstGain) -
               tanhApprox6(lane.feedback * lane.lastOutput);
        for (int s = 1; s < kPhaserLaneStages; ++s)
            y[s] = saturatedStage(lane.state[s], lane.previousInput[s], y[s - 1], lane.gain);
        const double o = flushed(y[lane.taken]);
        lane.lastOutput = o;
        lane.out[n] = toSample((x * (1.0 - lane.wet) + o * lane.wet) * lane.level);
    }
}

void distortionOneLane(DistortionLane& lane) {
    // Each stage's samples in a line behind its window, so that every window lies in one piece.
    double first[kHalfBandHistory + kLaneBlockFrames];
    double second[kHalfBandHistory + 2 * kLaneBlockFrames];
    for (int m = 0; m < kHalfBandHistory; ++m) {
        first[m] = lane.firstWindow[m];
        second[m] = lane.secondWindow[m];
    }
    const double a = lane.pole, b = lane.input, k = lane.drive;
    double h1 = lane.inputHighPass, h2 = lane.outputHighPass;
    for (int n = 0; n < kLaneBlockFrames; ++n) {
        const double x = heldDriven(lane.scaled[n] * lane.driven - lane.offset);
        h1 = a * h1 + b * x;
        double y1, y2, z1, z2, z3, z4;
        first[kHalfBandHistory + n] = x - h1;
        halfBand(first + n + 1, y1, y2);
        second[kHalfBandHistory + 2 * n] = y1;
        halfBand(second + 2 * n + 1, z1, z2);
        second[kHalfBandHistory + 2 * n + 1] = y2;
        halfBand(second + 2 * n + 2, z3, z4);
        const double v = tanhApprox5(k * z1) + tanhApprox5(k * z2) + tanhApprox5(k * z3) + tanhApprox5(k * z4);
        h2 = a * h2 + b * v;
        const float y = flushed(float(v - h2));
        lane.out[n] = flushed((lane.scaled[n] * lane.dry + y * lane.wetMix) * lane.output);
    }
    for (int m = 0; m < kHalfBandHistory; ++m) {
        lane.firstWindow[m] = first[kLaneBlockFrames + m];
        lane.secondWindow[m] = second[2 * kLaneBlockFrames + m];
    }
    lane.inputHighPass = flushedAtFloatFloor(h1);
    lane.outputHighPass = flushedAtFloatFloor(h2);
}

void chorusOneLane(ChorusLane& lane) {
    static_assert(kChorusLaneLength == kChorusLineLength, "a lane's lines are the chorus's own");
    const double g = lane.feedback;
    for (int n = 0; n < kLaneBlockFrames; ++n) {
        double sweep[2];
        for (int s = 0; s < 2; ++s) {
            sweep[s] = lane.sweepTwoCos[s] * lane.sweepLast[s] - lane.sweepBeforeLast[s];
            lane.sweepBeforeLast[s] = lane.sweepLast[s];
            lane.sweepLast[s] = sweep[s];
        }
        const double x = lane.in[n];
        double sum = 0.0, wet = 0.0;
        for (int line = 0; line < kChorusLaneLines; ++line) {
            float* samples = lane.lines + line * kChorusLaneLength;
            const int32_t written = lane.written[line];
            // A slot not written since the voice began belongs to an earlier user and reads as silence.
            const auto held = [&](int32_t i) { return i < written ? double(samples[i]) : 0.0; };
            int32_t& w = lane.writeIndex[line];
            const ChorusTapPosition at =
                chorusTapPosition(w, lane.taps[line] + lane.reach[line] * (1.0 + 0.5 * sweep[line % 2]));
            const double t =
                flushed(at.allpass * held(at.newer) + held(at.older) - at.allpass * lane.previousRead[line]);
            lane.previousRead[line] = t;
            sum = line == 0 ? t : sum + t;
            if (lane.tapSetting == line) wet = sum;
            const double v = flushed(g * held(chorusFeedbackIndex(w, lane.feedbackDelay)));
            samples[w] = toSample(x - g * v); // held finite, and nothing denormal enters the line
            w = (w + 1) & (kChorusLaneLength - 1);
            if (lane.written[line] < kChorusLaneLength) ++lane.written[line];
        }
        lane.out[n] = toSample(lane.gain * ((1.0 - lane.mix) * x + lane.mix * wet));
    }
}

namespace {

void cascadeEach(CascadeLane* lanes, int count) {
    for (int i = 0; i < count; ++i) cascadeOneLane(lanes[i]);
}
void highPassEach(HighPassLane* lanes, int count) {
    for (int i = 0; i < count; ++i) highPassOneLane(lanes[i]);
}
void phaserEach(PhaserLane* lanes, int count) {
    for (int i = 0; i < count; ++i) phaserOneLane(lanes[i]);
}
void distortionEach(DistortionLane* lanes, int count) {
    for (int i = 0; i < count; ++i) distortionOneLane(lanes[i]);
}
void chorusEach(ChorusLane* lanes, int count) {
    for (int i = 0; i < count; ++i) chorusOneLane(lanes[i]);
}

constexpr FilterLaneKernels kOneByOne{cascadeEach, highPassEach, phaserEach, distortionEach, chorusEach,
                                      "one voice at a time"};

#if defined(__GNUC__)
// Two doubles: the width every x86-64 processor has (SSE2); elsewhere the compiler makes do.
constexpr LaneGroups<CascadeLane, 16> kCascadeGroups{
    {cascadeGroup<LaneDouble2, LaneFloat2, 2, 8>, cascadeGroup<LaneDouble2, LaneFloat2, 2, 4>,
     cascadeGroup<LaneDouble2, LaneFloat2, 2, 2>, cascadeGroup<LaneDouble2, LaneFloat2, 2, 1>, cascadeOne}};
constexpr LaneGroups<HighPassLane, 16> kHighPassGroups{
    {highPassGroup<LaneDouble2, LaneFloat2, 2, 8>, highPassGroup<LaneDouble2, LaneFloat2, 2, 4>,
     highPassGroup<LaneDouble2, LaneFloat2, 2, 2>, highPassGroup<LaneDouble2, LaneFloat2, 2, 1>, highPassOne}};
constexpr LaneGroups<PhaserLane, 16> kPhaserGroups{
    {phaserGroup<LaneDouble2, LaneFloat2, 2, 8>, phaserGroup<LaneDouble2, LaneFloat2, 2, 4>,
     phaserGroup<LaneDouble2, LaneFloat2, 2, 2>, phaserGroup<LaneDouble2, LaneFloat2, 2, 1>, phaserOne}};
constexpr LaneGroups<DistortionLane, 16> kDistortionGroups{
    {distortionGroup<LaneDouble2, LaneFloat2, 2, 8>, distortionGroup<LaneDouble2, LaneFloat2, 2, 4>,
     distortionGroup<LaneDouble2, LaneFloat2, 2, 2>, distortionGroup<LaneDouble2, LaneFloat2, 2, 1>, distortionOne}};
constexpr LaneGroups<ChorusLane, 16> kChorusGroups{
    {chorusGroup<LaneDouble2, LaneFloat2, 2, 8>, chorusGroup<LaneDouble2, LaneFloat2, 2, 4>,
     chorusGroup<LaneDouble2, LaneFloat2, 2, 2>, chorusGroup<LaneDouble2, LaneFloat2, 2, 1>, chorusOne}};

void cascadeBaseline(CascadeLane* lanes, int count) { runInGroups(kCascadeGroups, lanes, count); }
void highPassBaseline(HighPassLane* lanes, int count) { runInGroups(kHighPassGroups, lanes, count); }
void phaserBaseline(PhaserLane* lanes, int count) { runInPaddedGroups(kPhaserGroups, lanes, count); }
void distortionBaseline(DistortionLane* lanes, int count) { runInPaddedGroups(kDistortionGroups, lanes, count); }
// The chorus's lanes write their own lines, so a group never runs spare copies of a voice.
void chorusBaseline(ChorusLane* lanes, int count) { runInGroups(kChorusGroups, lanes, count); }
constexpr FilterLaneKernels kBaseline{cascadeBaseline, highPassBaseline, phaserBaseline, distortionBaseline,
                                      chorusBaseline, "two-lane vectors"};
#else
constexpr FilterLaneKernels kBaseline = kOneByOne;
#endif

} // namespace

int availableFilterLaneKernels(const FilterLaneKernels** out, int capacity) {
    int n = 0;
    if (n < capacity) out[n++] = &kBaseline;
    if (const FilterLaneKernels* wide = avx2FilterLaneKernels(); wide != nullptr && n < capacity) out[n++] = wide;
    if (const FilterLaneKernels* wide = avx512FilterLaneKernels(); wide != nullptr && n < capacity) out[n++] = wide;
    if (n < capacity) out[n++] = &kOneByOne;
    return n;
}

const FilterLaneKernels& filterLaneKernels() {
    static const FilterLaneKernels* chosen = [] {
        if (const FilterLaneKernels* widest = avx512FilterLaneKernels(); widest != nullptr) return widest;
        const FilterLaneKernels* wide = avx2FilterLaneKernels();
        return wide != nullptr ? wide : &kBaseline;
    }();
    return *chosen;
}

} // namespace corvex
