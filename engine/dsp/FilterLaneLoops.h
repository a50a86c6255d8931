// The per-sample filter loops written once over a lane type: a plain double for one voice, a vector
// of doubles for several. Included by the files that build each instruction set; everything here is
// internal to the including file.
#pragma once

#include "engine/dsp/FilterLanes.h"
#include "engine/dsp/LaneShuffles.h"
#include "engine/dsp/SampleGuards.h"
#include "engine/dsp/ChorusFlangerLines.h"

namespace corvex {
namespace {

constexpr double kLaneQuarter = 0.25;
constexpr double kLanePreFilterNow = 0.7692307829856873;
constexpr double kLanePreFilterBefore = 0.23076923191547394;

// The operations the loops need, for one double and for a vector of them. The vector forms give
// the same answer as the scalar ones in every lane, NaN included: `a > b ? a : b` is written out
// rather than taken from an instruction whose NaN rule might differ.
template <typename M, typename D>
D laneSelect(M mask, D a, D b) {
    return mask ? a : b;
}

template <typename D>
D laneSplat(double v) {
    return D{} + v;
}

template <typename D>
D heldWithinLane(D v, D lowest, D highest) {
    const D low = laneSelect(v > lowest, v, lowest); // NaN lands on the lowest
    return laneSelect(low < highest, low, highest);
}

// Anything below the flush level is silence; a float could not hold more than the loudest.
template <typename D>
D toSampleLane(D y) {
    const D loud = laneSplat<D>(kLoudest);
    const D clamped = laneSelect(y > loud, loud, laneSelect(y < -loud, -loud, y));
    const D quiet = laneSplat<D>(kFlushBelow);
    return laneSelect((y > -quiet) & (y < quiet), D{}, clamped);
}

// A mask of the lanes whose value is out of range, NaN included: what the voice filter's loops
// report of their blocks.
template <typename V, typename T>
auto outOfRangeLane(V v, T loudest) {
    return ~((v < loudest) & (v > -loudest));
}

template <typename D>
D flushedLane(D v, double below = kFlushBelow) {
    const D quiet = laneSplat<D>(below);
    return laneSelect((v > -quiet) & (v < quiet), D{}, v);
}

// Sample n of lane i moves to element i % W of vector i / W of row n, and back. Where a vector holds
// four or eight floats, that many lanes' samples go through a square transpose in registers: moving
// samples one at a time costs more than the high-pass's own arithmetic.
template <typename F, int W>
constexpr bool kSquareLanes = (W == 4 || W == 8) && sizeof(F) == W * sizeof(float);

template <typename F, int W, int K, typename Source>
void lanesToRows(F (&rows)[kLaneBlockFrames][K], Source source) {
    if constexpr (kSquareLanes<F, W>) {
        for (int j = 0; j < K; ++j)
            for (int n = 0; n < kLaneBlockFrames; n += W) {
                F v[W];
                for (int e = 0; e < W; ++e) v[e] = loadFloats<F>(source(W * j + e) + n);
                transposeSquare<F, W>(v);
                for (int r = 0; r < W; ++r) rows[n + r][j] = v[r];
            }
    } else {
        for (int n = 0; n < kLaneBlockFrames; ++n)
            for (int i = 0; i < W * K; ++i) rows[n][i / W][i % W] = source(i)[n];
    }
}

template <typename F, int W, int K, typename Sink>
void rowsToLanes(const F (&rows)[kLaneBlockFrames][K], Sink sink) {
    if constexpr (kSquareLanes<F, W>) {
        for (int j = 0; j < K; ++j)
            for (int n = 0; n < kLaneBlockFrames; n += W) {
                F v[W];
                for (int r = 0; r < W; ++r) v[r] = rows[n + r][j];
                transposeSquare<F, W>(v);
                for (int e = 0; e < W; ++e) storeFloats<F>(sink(W * j + e) + n, v[e]);
            }
    } else {
        for (int i = 0; i < W * K; ++i)
            for (int n = 0; n < kLaneBlockFrames; ++n) sink(i)[n] = rows[n][i / W][i % W];
    }
}

// One group is K vectors of W lanes each (N = W x K voices). The vectors are of the processor's own
// width, so the compiler keeps every operation whole; K of them side by side give the processor
// independent chains to overlap, as each cascade sample waits on the one before.
template <typename D, typename F, int W, int K>
void cascadeGroup(CascadeLane* lanes) {
    constexpr int N = W * K;
    alignas(64) F audio[kLaneBlockFrames][K];
    alignas(64) F modulation[kLaneBlockFrames][K];
    alignas(64) F out[kLaneBlockFrames][K];
    lanesToRows<F, W, K>(audio, [lanes](int i) { return lanes[i].audio; });
    lanesToRows<F, W, K>(modulation, [lanes](int i) { return lanes[i].modulation; });
    D k[K], kOld[K], h[K], hOld[K], resonance[K], gain[K], w2[K], w4[K], highest[K];
    D s1[K], s2[K], s3[K], s4[K], fb[K], s4Before[K];
    decltype(F{} < F{}) loudSamples[K] = {};
    decltype(D{} < D{}) loudStates[K];
    for (int i = 0; i < N; ++i) {
        const CascadeLane& l = lanes[i];
        const int j = i / W, e = i % W;
        k[j][e] = l.coefficient;
        kOld[j][e] = l.previousCoefficient;
        h[j][e] = l.tuning;
        hOld[j][e] = l.previousTuning;
        resonance[j][e] = l.resonance;
        gain[j][e] = l.gain;
        w2[j][e] = l.secondWeight;
        w4[j][e] = l.fourthWeight;
        highest[j][e] = l.highestCoefficient;
        s1[j][e] = l.state[0];
        s2[j][e] = l.state[1];
        s3[j][e] = l.state[2];
        s4[j][e] = l.state[3];
        fb[j][e] = l.state[4];
        s4Before[j][e] = l.state[5];
    }
    const D zero{};
    const D half = laneSplat<D>(0.5);
    const D one = laneSplat<D>(1.0);
    for (int n = 0; n < kLaneBlockFrames; ++n) {
        const D t = laneSplat<D>(double(n) * (1.0 / kLaneBlockFrames));
        D c[K], loop[K], x[K], keep[K], sum[K];
        for (int j = 0; j < K; ++j) {
            c[j] = heldWithinLane(t * k[j] + (one - t) * kOld[j] + __builtin_convertvector(modulation[n][j], D), zero,
                                  highest[j]);
            loop[j] = resonance[j] * (t * h[j] + (one - t) * hOld[j]);
            x[j] = gain[j] * __builtin_convertvector(audio[n][j], D);
            keep[j] = one - c[j];
            sum[j] = zero;
        }
        for (int pass = 0; pass < 2; ++pass) {
            for (int j = 0; j < K; ++j) {
                const D v = x[j] - loop[j] * fb[j];
                s1[j] = c[j] * v + keep[j] * s1[j];
                s2[j] = c[j] * s1[j] + keep[j] * s2[j];
                s3[j] = c[j] * s2[j] + keep[j] * s3[j];
                s4[j] = c[j] * s3[j] + keep[j] * s4[j];
                fb[j] = half * s4[j] + half * s4Before[j];
                s4Before[j] = s4[j];
                sum[j] += w2[j] * s2[j] + w4[j] * s4[j];
            }
        }
        for (int j = 0; j < K; ++j) {
            out[n][j] = __builtin_convertvector(toSampleLane(half * sum[j]), F);
            loudSamples[j] |= outOfRangeLane(out[n][j], kLoudestHealthySample);
        }
    }
    const D loudest = laneSplat<D>(kLoudest);
    for (int j = 0; j < K; ++j) {
        loudStates[j] = outOfRangeLane(s1[j], loudest) | outOfRangeLane(s2[j], loudest) |
                        outOfRangeLane(s3[j], loudest) | outOfRangeLane(s4[j], loudest) |
                        outOfRangeLane(fb[j], loudest) | outOfRangeLane(s4Before[j], loudest);
        s1[j] = flushedLane(s1[j]);
        s2[j] = flushedLane(s2[j]);
        s3[j] = flushedLane(s3[j]);
        s4[j] = flushedLane(s4[j]);
        fb[j] = flushedLane(fb[j]);
        s4Before[j] = flushedLane(s4Before[j]);
    }
    for (int i = 0; i < N; ++i) {
        CascadeLane& l = lanes[i];
        const int j = i / W, e = i % W;
        l.state[0] = s1[j][e];
        l.state[1] = s2[j][e];
        l.state[2] = s3[j][e];
        l.state[3] = s4[j][e];
        l.state[4] = fb[j][e];
        l.state[5] = s4Before[j][e];
        l.healthy = loudSamples[j][e] == 0 && loudStates[j][e] == 0;
    }
    rowsToLanes<F, W, K>(out, [lanes](int i) { return lanes[i].out; });
}

template <typename D, typename F, int W, int K>
void highPassGroup(HighPassLane* lanes) {
    constexpr int N = W * K;
    alignas(64) F audio[kLaneBlockFrames][K];
    alignas(64) F out[kLaneBlockFrames][K];
    lanesToRows<F, W, K>(audio, [lanes](int i) { return lanes[i].audio; });
    D gc[K], step[K], before[K], low[K];
    decltype(F{} < F{}) loudSamples[K] = {};
    for (int i = 0; i < N; ++i) {
        const int j = i / W, e = i % W;
        gc[j][e] = lanes[i].coefficient;
        step[j][e] = lanes[i].step;
        before[j][e] = lanes[i].before;
        low[j][e] = lanes[i].low;
    }
    const D quarter = laneSplat<D>(kLaneQuarter);
    const D now = laneSplat<D>(kLanePreFilterNow);
    const D earlier = laneSplat<D>(kLanePreFilterBefore);
    for (int n = 0; n < kLaneBlockFrames; ++n) {
        for (int j = 0; j < K; ++j) {
            const D q = quarter * __builtin_convertvector(audio[n][j], D);
            const D p = now * q + earlier * before[j];
            before[j] = q;
            low[j] += (p - low[j]) * gc[j];
            out[n][j] = __builtin_convertvector(toSampleLane(q - low[j]), F);
            loudSamples[j] |= outOfRangeLane(out[n][j], kLoudestHealthySample);
            gc[j] += step[j];
        }
    }
    const D loudest = laneSplat<D>(kLoudest);
    decltype(D{} < D{}) loudStates[K];
    for (int j = 0; j < K; ++j) {
        loudStates[j] = outOfRangeLane(before[j], loudest) | outOfRangeLane(low[j], loudest);
        before[j] = flushedLane(before[j]);
        low[j] = flushedLane(low[j]);
    }
    for (int i = 0; i < N; ++i) {
        const int j = i / W, e = i % W;
        lanes[i].before = before[j][e];
        lanes[i].low = low[j][e];
        lanes[i].healthy = loudSamples[j][e] == 0 && loudStates[j][e] == 0;
    }
    rowsToLanes<F, W, K>(out, [lanes](int i) { return lanes[i].out; });
}

// |v| by its bits, as std::fabs takes it: the sign of a zero or a NaN is dropped alike.
template <typename D>
D absLane(D v) {
    using M = decltype(v < v);
    return (D)((M)v & (M{} + 0x7FFFFFFFFFFFFFFFLL));
}

// tanhApprox6, lane by lane, in its own order of operations.
template <typename D>
D tanhLane(D x) {
    const D y = laneSplat<D>(2.0) * absLane(x);
    const D e6PlusOne =
        y * (((((y / 720.0 + 1.0 / 120.0) * y + 1.0 / 24.0) * y + 1.0 / 6.0) * y + 0.5) * y + 1.0) + 2.0;
    const D magnitude = laneSplat<D>(1.0) - laneSplat<D>(2.0) / e6PlusOne;
    return laneSelect(x < 0.0, -magnitude, magnitude);
}


// toSample, lane by lane: a NaN leaves as silence.
template <typename D>
D guardedSampleLane(D y) {
    const D loud = laneSplat<D>(kLoudest);
    const D zero{};
    const D pinned = laneSelect(y > zero, loud, laneSelect(y < zero, -loud, zero));
    return flushedLane(laneSelect(absLane(y) < loud, y, pinned));
}

template <typename D, typename F, int W, int K>
void phaserGroup(PhaserLane* lanes) {
    constexpr int N = W * K;
    constexpr int S = kPhaserLaneStages;
    alignas(64) F in[kLaneBlockFrames][K];
    alignas(64) F out[kLaneBlockFrames][K];
    lanesToRows<F, W, K>(in, [lanes](int i) { return lanes[i].in; });
    D inputGain[K], firstGain[K], gain[K], feedback[K], dry[K], wet[K], level[K], taken[K], last[K];
    D state[S][K], previous[S][K];
    for (int i = 0; i < N; ++i) {
        const PhaserLane& l = lanes[i];
        const int j = i / W, e = i % W;
        inputGain[j][e] = l.inputGain;
        firstGain[j][e] = l.firstGain;
        gain[j][e] = l.gain;
        feedback[j][e] = l.feedback;
        dry[j][e] = 1.0 - l.wet;
        wet[j][e] = l.wet;
        level[j][e] = l.level;
        taken[j][e] = double(l.taken);
        last[j][e] = l.lastOutput;
        for (int s = 0; s < S; ++s) {
            state[s][j][e] = l.state[s];
            previous[s][j][e] = l.previousInput[s];
        }
    }
    const D zero{};
    const D finite = laneSplat<D>(1.7976931348623157e308);
    const D towards = laneSplat<D>(-2.0 / 3.0);
    for (int n = 0; n < kLaneBlockFrames; ++n) {
        D x[K], y[K], o[K];
        for (int j = 0; j < K; ++j) {
            x[j] = inputGain[j] * __builtin_convertvector(in[n][j], D);
            x[j] = laneSelect(absLane(x[j]) <= finite, x[j], zero);
            y[j] = x[j];
        }
        for (int s = 0; s < S; ++s) {
            for (int j = 0; j < K; ++j) {
                const D step = s == 0 ? firstGain[j] : gain[j];
                state[s][j] = flushedLane(tanhLane((y[j] + previous[s][j] + state[s][j]) * towards) * step + state[s][j]);
                previous[s][j] = y[j];
                y[j] = y[j] + state[s][j];
                if (s == 0) y[j] = y[j] - tanhLane(feedback[j] * last[j]);
                o[j] = s == 0 ? y[j] : laneSelect(taken[j] == double(s), y[j], o[j]);
            }
        }
        for (int j = 0; j < K; ++j) {
            last[j] = flushedLane(o[j]);
            out[n][j] = __builtin_convertvector(guardedSampleLane((x[j] * dry[j] + last[j] * wet[j]) * level[j]), F);
        }
    }
    for (int i = 0; i < N; ++i) {
        PhaserLane& l = lanes[i];
        const int j = i / W, e = i % W;
        l.lastOutput = last[j][e];
        for (int s = 0; s < S; ++s) {
            l.state[s] = state[s][j][e];
            l.previousInput[s] = previous[s][j][e];
        }
    }
    rowsToLanes<F, W, K>(out, [lanes](int i) { return lanes[i].out; });
}

// The float forms the distortion's sample path needs.
template <typename F>
F floatSplat(float v) {
    return F{} + v;
}

template <typename F>
F flushedFloatLane(F v) {
    const F quiet = floatSplat<F>(kFlushBelowFloat);
    return laneSelect((v > -quiet) & (v < quiet), F{}, v);
}

template <typename F>
F heldDrivenLane(F v) {
    const F loud = floatSplat<F>(kLoudestDriven);
    const F held = laneSelect(v > loud, loud, laneSelect(v < -loud, -loud, v));
    return laneSelect(v != v, F{}, held);
}

// tanhApprox5, lane by lane, in its own order of operations.
template <typename D>
D tanhFifthLane(D x) {
    const D y = laneSplat<D>(2.0) * absLane(x);
    const double c5 = double(1.0f / 120.0f);
    const double c4 = double(1.0f / 24.0f);
    const double c3 = double(1.0f / 6.0f);
    const D e5PlusOne = y * ((((y * c5 + c4) * y + c3) * y + 0.5) * y + 1.0) + 2.0;
    const D magnitude = laneSplat<D>(1.0) - laneSplat<D>(2.0) / e5PlusOne;
    return laneSelect(x < 0.0, -magnitude, magnitude);
}

template <typename D>
void halfBandLane(const D* window, D& afterSample, D& afterZero) {
    D even{}, odd{};
    for (int m = 0; m < kHalfBandHistory; ++m) {
        even += kEvenTaps[size_t(m)] * window[m];
        odd += kOddTaps[size_t(m)] * window[m];
    }
    afterSample = even;
    afterZero = odd;
}

template <typename D, typename F, int W, int K>
void distortionGroup(DistortionLane* lanes) {
    constexpr int N = W * K;
    constexpr int H = kHalfBandHistory;
    constexpr int B = kLaneBlockFrames;
    alignas(64) F scaled[B][K];
    alignas(64) F out[B][K];
    // Per group, each stage's samples in a line behind its window, as in the one-voice loop.
    D first[K][H + B], second[K][H + 2 * B];
    F driven[K], offset[K], dry[K], wetMix[K], output[K];
    D a[K], b[K], k[K], h1[K], h2[K];
    for (int i = 0; i < N; ++i) {
        const DistortionLane& l = lanes[i];
        const int j = i / W, e = i % W;
        for (int n = 0; n < B; ++n) scaled[n][j][e] = l.scaled[n];
        driven[j][e] = l.driven;
        offset[j][e] = l.offset;
        dry[j][e] = l.dry;
        wetMix[j][e] = l.wetMix;
        output[j][e] = l.output;
        a[j][e] = l.pole;
        b[j][e] = l.input;
        k[j][e] = l.drive;
        h1[j][e] = l.inputHighPass;
        h2[j][e] = l.outputHighPass;
        for (int m = 0; m < H; ++m) {
            first[j][m][e] = l.firstWindow[m];
            second[j][m][e] = l.secondWindow[m];
        }
    }
    for (int n = 0; n < B; ++n) {
        for (int j = 0; j < K; ++j) {
            const D x = __builtin_convertvector(heldDrivenLane(scaled[n][j] * driven[j] - offset[j]), D);
            h1[j] = a[j] * h1[j] + b[j] * x;
            D y1, y2, z1, z2, z3, z4;
            first[j][H + n] = x - h1[j];
            halfBandLane(first[j] + n + 1, y1, y2);
            second[j][H + 2 * n] = y1;
            halfBandLane(second[j] + 2 * n + 1, z1, z2);
            second[j][H + 2 * n + 1] = y2;
            halfBandLane(second[j] + 2 * n + 2, z3, z4);
            const D v = tanhFifthLane(k[j] * z1) + tanhFifthLane(k[j] * z2) + tanhFifthLane(k[j] * z3) +
                        tanhFifthLane(k[j] * z4);
            h2[j] = a[j] * h2[j] + b[j] * v;
            const F y = flushedFloatLane(__builtin_convertvector(v - h2[j], F));
            out[n][j] = flushedFloatLane((scaled[n][j] * dry[j] + y * wetMix[j]) * output[j]);
        }
    }
    for (int i = 0; i < N; ++i) {
        DistortionLane& l = lanes[i];
        const int j = i / W, e = i % W;
        for (int n = 0; n < B; ++n) l.out[n] = out[n][j][e];
        for (int m = 0; m < H; ++m) {
            l.firstWindow[m] = first[j][B + m][e];
            l.secondWindow[m] = second[j][2 * B + m][e];
        }
        // Cut at the float flush level, as the one-voice loop cuts them.
        l.inputHighPass = flushedLane(h1[j], double(kFlushBelowFloat))[e];
        l.outputHighPass = flushedLane(h2[j], double(kFlushBelowFloat))[e];
    }
}

// The chorus's arithmetic runs across the lanes; each lane's reads and writes of its own lines stay
// one voice at a time, in the order the one-voice loop makes them.
template <typename D, typename F, int W, int K>
void chorusGroup(ChorusLane* lanes) {
    constexpr int N = W * K;
    constexpr int L = kChorusLaneLines;
    constexpr int32_t kLast = kChorusLaneLength - 1;
    using I = decltype(F{} < F{}); // W whole numbers of 32 bits
    alignas(64) F in[kLaneBlockFrames][K];
    alignas(64) F out[kLaneBlockFrames][K];
    lanesToRows<F, W, K>(in, [lanes](int i) -> const float* { return lanes[i].in; });
    D mix[K], gain[K], g[K], setting[K], taps[L][K], reach[L][K], previous[L][K];
    D last[2][K], beforeLast[2][K], twoCos[2][K];
    for (int i = 0; i < N; ++i) {
        const ChorusLane& l = lanes[i];
        const int j = i / W, e = i % W;
        mix[j][e] = l.mix;
        gain[j][e] = l.gain;
        g[j][e] = l.feedback;
        setting[j][e] = double(l.tapSetting);
        for (int line = 0; line < L; ++line) {
            taps[line][j][e] = l.taps[line];
            reach[line][j][e] = l.reach[line];
            previous[line][j][e] = l.previousRead[line];
        }
        for (int s = 0; s < 2; ++s) {
            last[s][j][e] = l.sweepLast[s];
            beforeLast[s][j][e] = l.sweepBeforeLast[s];
            twoCos[s][j][e] = l.sweepTwoCos[s];
        }
    }
    const D zero{};
    const D shortest = laneSplat<D>(1.0);
    const D longest = laneSplat<D>(double(kLast));
    for (int n = 0; n < kLaneBlockFrames; ++n) {
        // Zeroed only to quiet GCC's uninitialised-use warning at -O1: line 0 sets both before any read.
        D x[K], sum[K] = {}, wet[K] = {};
        for (int j = 0; j < K; ++j) {
            for (int s = 0; s < 2; ++s) {
                const D y = twoCos[s][j] * last[s][j] - beforeLast[s][j];
                beforeLast[s][j] = last[s][j];
                last[s][j] = y;
            }
            x[j] = __builtin_convertvector(in[n][j], D);
        }
        for (int line = 0; line < L; ++line) {
            D allpass[K], newer[K], older[K], fed[K];
            I whole[K];
            for (int j = 0; j < K; ++j) {
                D delay = taps[line][j] + reach[line][j] * (1.0 + 0.5 * last[line % 2][j]);
                delay = laneSelect(delay >= shortest, delay, shortest); // NaN lands on the shortest
                delay = laneSelect(delay > longest, longest, delay);
                whole[j] = __builtin_convertvector(delay, I);
                allpass[j] = 1.0 - (delay - __builtin_convertvector(whole[j], D));
            }
            for (int i = 0; i < N; ++i) {
                const ChorusLane& l = lanes[i];
                const int j = i / W, e = i % W;
                const float* samples = l.lines + line * kChorusLaneLength;
                const int32_t w = l.writeIndex[line], written = l.written[line];
                int32_t at = w - whole[j][e];
                if (at < 0) at += kChorusLaneLength;
                const int32_t before = at == 0 ? kLast : at - 1;
                const int32_t q = chorusFeedbackIndex(w, l.feedbackDelay);
                newer[j][e] = at < written ? double(samples[at]) : 0.0;
                older[j][e] = before < written ? double(samples[before]) : 0.0;
                fed[j][e] = q < written ? double(samples[q]) : 0.0;
            }
            F put[K];
            for (int j = 0; j < K; ++j) {
                const D t = flushedLane(allpass[j] * newer[j] + older[j] - allpass[j] * previous[line][j]);
                previous[line][j] = t;
                // The taps add up in line order; the wet signal stops after the ones the setting names.
                sum[j] = line == 0 ? t : sum[j] + t;
                wet[j] = laneSelect(setting[j] == double(line), sum[j], line == 0 ? zero : wet[j]);
                const D v = flushedLane(g[j] * fed[j]);
                put[j] = __builtin_convertvector(guardedSampleLane(x[j] - g[j] * v), F);
            }
            for (int i = 0; i < N; ++i) {
                ChorusLane& l = lanes[i];
                float* samples = l.lines + line * kChorusLaneLength;
                int32_t& w = l.writeIndex[line];
                samples[w] = put[i / W][i % W];
                w = (w + 1) & kLast;
                if (l.written[line] < kChorusLaneLength) ++l.written[line];
            }
        }
        for (int j = 0; j < K; ++j)
            out[n][j] = __builtin_convertvector(
                guardedSampleLane(gain[j] * ((1.0 - mix[j]) * x[j] + mix[j] * wet[j])), F);
    }
    for (int i = 0; i < N; ++i) {
        ChorusLane& l = lanes[i];
        const int j = i / W, e = i % W;
        for (int line = 0; line < L; ++line) l.previousRead[line] = previous[line][j][e];
    }
    rowsToLanes<F, W, K>(out, [lanes](int i) { return lanes[i].out; });
}

// The vector types the sets' groups are made of (GCC and clang vector extensions).
typedef double LaneDouble2 __attribute__((vector_size(16)));
typedef float LaneFloat2 __attribute__((vector_size(8)));
typedef double LaneDouble4 __attribute__((vector_size(32)));
typedef float LaneFloat4 __attribute__((vector_size(16)));

// The one-voice loops as the last group of every set.
inline void cascadeOne(CascadeLane* lane) { cascadeOneLane(*lane); }
inline void highPassOne(HighPassLane* lane) { highPassOneLane(*lane); }
inline void phaserOne(PhaserLane* lane) { phaserOneLane(*lane); }
inline void distortionOne(DistortionLane* lane) { distortionOneLane(*lane); }
inline void chorusOne(ChorusLane* lane) { chorusOneLane(*lane); }

// The widest groups while they last, then narrower ones for the rest: a lane of a group that has
// no voice of its own would cost as much as one that has. Group sizes fall by halves down to one.
template <typename Lane, int Widest>
struct LaneGroups {
    void (*group[8])(Lane*); // group[g] takes Widest >> g lanes; the one-lane loop ends the list
};

template <typename Lane, int Widest>
void runInGroups(const LaneGroups<Lane, Widest>& groups, Lane* lanes, int count) {
    int i = 0;
    for (; count - i >= Widest; i += Widest) groups.group[0](lanes + i);
    for (int g = 1, size = Widest / 2; size >= 1; ++g, size /= 2) {
        if (count - i >= size) {
            groups.group[g](lanes + i);
            i += size;
        }
    }
}

// For loops whose every sample waits on a long chain (a division in each saturation), a group of
// one vector costs about what a group of two or four does: the voices left over after the widest
// groups run in one group wide enough for all of them, its spare lanes copies of the last voice
// writing into a scratch block.
template <typename Lane, int Widest>
void runInPaddedGroups(const LaneGroups<Lane, Widest>& groups, Lane* lanes, int count) {
    int i = 0;
    for (; count - i >= Widest; i += Widest) groups.group[0](lanes + i);
    const int rest = count - i;
    if (rest == 0) return;
    int g = 0, size = Widest;
    while (size / 2 >= rest) {
        size /= 2;
        ++g;
    }
    if (size == rest) {
        groups.group[g](lanes + i);
        return;
    }
    Lane padded[Widest];
    alignas(64) float scratch[kLaneBlockFrames];
    for (int k = 0; k < size; ++k) {
        padded[k] = lanes[i + (k < rest ? k : rest - 1)];
        if (k >= rest) padded[k].out = scratch;
    }
    groups.group[g](padded);
    for (int k = 0; k < rest; ++k) lanes[i + k] = padded[k];
}

} // namespace
} // namespace corvex
