// The oscillator's per-sample loops written once over a float vector type, K vectors of W lanes to a
// group. Included by the files that build each instruction set; everything here is internal to the
// including file. The rare events of a lane (a wrap) are worked out in scalar code with the one-voice
// loop's own operations, after the vector loop and in the order of their samples.
#pragma once

#include <cstdint>
#if defined(__AVX512F__)
#include <immintrin.h>
#endif

#include "engine/dsp/LaneShuffles.h"
#include "engine/dsp/OscillatorLanes.h"

namespace corvex {
namespace {

constexpr int kFrames = kOscillatorLaneFrames;
constexpr float kLaneTicksPerSample = 64.0f;
constexpr float kLaneSawGain = 0.125f; // a sawtooth of +-0.5

inline float lanePeriodTicks(float rate, float frequency) {
    return float(int(rate / frequency * kLaneTicksPerSample));
}

template <typename F>
F splat(float v) {
    return F{} + v;
}

// The lanes a comparison holds true, one bit each.
typedef int32_t LaneMask4 __attribute__((vector_size(16)));
typedef float LaneFloat4 __attribute__((vector_size(16)));
inline uint32_t laneBits(LaneMask4 mask) {
#if defined(__SSE__)
    return uint32_t(__builtin_ia32_movmskps(LaneFloat4(mask)));
#else
    return (mask[0] ? 1u : 0u) | (mask[1] ? 2u : 0u) | (mask[2] ? 4u : 0u) | (mask[3] ? 8u : 0u);
#endif
}
#if defined(__AVX__)
typedef int32_t LaneMask8 __attribute__((vector_size(32)));
typedef float LaneFloat8 __attribute__((vector_size(32)));
inline uint32_t laneBits(LaneMask8 mask) { return uint32_t(__builtin_ia32_movmskps256(LaneFloat8(mask))); }
#endif

// Lifts the lanes whose phase fell below `lowest` by `one` and tells which they were, one bit each.
template <typename F>
uint32_t wrapBelow(F& phase, F lowest, F one) {
    const auto wrap = phase < lowest;
    phase = wrap ? phase + one : phase;
    return laneBits(wrap);
}
#if defined(__AVX512F__)
// Sixteen lanes compare straight into a mask register, which both lifts the lanes and is their bits;
// a comparison into a vector would cost a move out to the mask and another back.
typedef float LaneFloat16 __attribute__((vector_size(64)));
inline uint32_t wrapBelow(LaneFloat16& phase, LaneFloat16 lowest, LaneFloat16 one) {
    const __mmask16 wrap = _mm512_cmp_ps_mask(__m512(phase), __m512(lowest), _CMP_LT_OQ);
    phase = LaneFloat16(_mm512_mask_add_ps(__m512(phase), wrap, __m512(phase), __m512(one)));
    return uint32_t(wrap);
}
#endif

// samples[k][j][e] = block[j * W + e][k]: each lane's 32 samples into sample-major vectors.
template <typename F, typename I, int W, int K>
void gatherBlocks(const float* const* blocks, F (*samples)[K]) {
    for (int j = 0; j < K; ++j)
        for (int k = 0; k < kFrames; k += W) {
            F v[W];
            for (int e = 0; e < W; ++e) v[e] = loadFloats<F>(blocks[j * W + e] + k);
            transposeSquare<F, W>(v);
            for (int r = 0; r < W; ++r) samples[k + r][j] = v[r];
        }
}

// The way back: block[j * W + e][k] = samples[k][j][e].
template <typename F, typename I, int W, int K>
void scatterBlocks(F (*samples)[K], float* const* blocks) {
    for (int j = 0; j < K; ++j)
        for (int k = 0; k < kFrames; k += W) {
            F v[W];
            for (int r = 0; r < W; ++r) v[r] = samples[k + r][j];
            transposeSquare<F, W>(v);
            for (int e = 0; e < W; ++e) storeFloats<F>(blocks[j * W + e] + k, v[e]);
        }
}

// The wraps are found in the vector loop and only noted there, a lane's bit and its phase; their
// scalar work comes after the loop, sample by sample, so that the loop itself never branches on them.
template <typename F, typename I, int W, int K>
void steppedSawGroup(SteppedSawLane* lanes) {
    constexpr int N = W * K;
    alignas(64) F out[kFrames][K];
    alignas(64) F wrapped[kFrames][K];   // the phase that wrapped
    alignas(64) F frequencies[kFrames][K];
    uint32_t wraps[kFrames][K];
    F f[K], slope[K], inverse[K], lift[K], phase[K];
    for (int i = 0; i < N; ++i) {
        SteppedSawLane& l = lanes[i];
        const int j = i / W, e = i % W;
        f[j][e] = l.frequency;
        slope[j][e] = l.slope;
        inverse[j][e] = l.inverseRate;
        lift[j][e] = l.offsetPerHertz;
        phase[j][e] = l.phase;
        l.steps = 0;
    }
    const F lowest = splat<F>(-0.5f);
    const F one = splat<F>(1.0f);
    for (int k = 0; k < kFrames; ++k) {
        for (int j = 0; j < K; ++j) {
            phase[j] -= f[j] * inverse[j];
            out[k][j] = phase[j] - f[j] * lift[j];
            wrapped[k][j] = phase[j];
            frequencies[k][j] = f[j];
            wraps[k][j] = wrapBelow(phase[j], lowest, one);
            f[j] += slope[j];
        }
    }
    for (int k = 0; k < kFrames; ++k) {
        for (int j = 0; j < K; ++j) {
            for (uint32_t bits = wraps[k][j]; bits != 0; bits &= bits - 1) {
                const int e = __builtin_ctz(bits);
                SteppedSawLane& l = lanes[j * W + e];
                // The period of this very sample places the step.
                const float ticks = lanePeriodTicks(l.rate, frequencies[k][j][e]);
                l.stepAt[l.steps] = int8_t(k);
                l.stepOffset[l.steps++] = (-0.5f - wrapped[k][j][e]) * ticks;
            }
        }
    }
    float* outs[N];
    for (int i = 0; i < N; ++i) {
        lanes[i].phase = phase[i / W][i % W];
        outs[i] = lanes[i].out;
    }
    scatterBlocks<F, I, W, K>(out, outs);
}

template <typename F, typename I, int W, int K>
void parabolaSawGroup(ParabolaSawLane* lanes) {
    constexpr int N = W * K;
    alignas(64) F frequency[kFrames][K];
    alignas(64) F out[kFrames][K];
    F inverse[K], gainRate[K], sum[K], previous[K];
    const float* frequencies[N];
    for (int i = 0; i < N; ++i) frequencies[i] = lanes[i].frequency;
    gatherBlocks<F, I, W, K>(frequencies, frequency);
    for (int i = 0; i < N; ++i) {
        const ParabolaSawLane& l = lanes[i];
        const int j = i / W, e = i % W;
        inverse[j][e] = l.inverseRate;
        gainRate[j][e] = kLaneSawGain * l.rate;
        sum[j][e] = l.phase;
        previous[j][e] = l.previous;
    }
    const F zero{};
    const F half = splat<F>(0.5f);
    const F one = splat<F>(1.0f);
    const F two = splat<F>(2.0f);
    for (int k = 0; k < kFrames; ++k) {
        for (int j = 0; j < K; ++j) {
            const F f = frequency[k][j];
            const F h = f * inverse[j] * half;
            const F g = gainRate[j] / ((one - h) * f);
            sum[j] += two * h + zero;
            const F y = sum[j] + one;
            const F p = two * (y - __builtin_convertvector(__builtin_convertvector(y, I), F)) - one;
            const F q = p * p;
            out[k][j] = (q - previous[j]) * g;
            previous[j] = q;
        }
    }
    float* outs[N];
    for (int i = 0; i < N; ++i) {
        ParabolaSawLane& l = lanes[i];
        const int j = i / W, e = i % W;
        const float s = sum[j][e];
        const float whole = float(int(s));
        l.phase = s - (whole > s ? whole - 1.0f : whole);
        l.previous = previous[j][e];
        outs[i] = l.out;
    }
    scatterBlocks<F, I, W, K>(out, outs);
}

// The value a sync output holds at a wrap that left the phase at `phase`.
inline float syncValue(const SyncLane& l, int k, float phase) {
    if (l.frequency == nullptr) return (-0.5f - phase) * l.ticks;
    float x = (-0.5f - phase) * lanePeriodTicks(l.rate, l.frequency[k]);
    // Kept within (0, 64]: a zero would read as no wrap at all.
    x -= kLaneTicksPerSample * float(int(x * (1.0f / kLaneTicksPerSample)));
    return x > 0.0f ? x : kLaneTicksPerSample;
}

// Clears the samples a lane's last block may have left non-zero, before this block's wraps are written.
inline void clearWritten(SyncLane& l) {
    if (l.out != nullptr)
        for (uint32_t marks = l.written; marks != 0; marks &= marks - 1) l.out[__builtin_ctz(marks)] = 0.0f;
    l.written = 0;
}

inline void writeWrap(SyncLane& l, int k, float phase) {
    if (l.out == nullptr) return;
    l.out[k] = syncValue(l, k, phase);
    l.written |= 1u << k;
}

template <typename F, typename I, int W, int K>
void syncGroup(SyncLane* lanes) {
    constexpr int N = W * K;
    alignas(64) F step[kFrames][K];
    alignas(64) F wrapped[kFrames][K];
    uint32_t wraps[kFrames][K];
    F phase[K], inverse[K], increment[K];
    I audioRate[K];
    const float* frequencies[N];
    alignas(64) const float steady[kFrames] = {};
    for (int i = 0; i < N; ++i) {
        SyncLane& l = lanes[i];
        const int j = i / W, e = i % W;
        frequencies[i] = l.frequency ? l.frequency : steady;
        audioRate[j][e] = l.frequency ? -1 : 0;
        inverse[j][e] = l.inverseRate;
        increment[j][e] = l.increment;
        phase[j][e] = l.phase;
        clearWritten(l);
    }
    // An audio-rate lane steps by its frequency times the inverse rate, a block-rate lane by its increment.
    gatherBlocks<F, I, W, K>(frequencies, step);
    for (int k = 0; k < kFrames; ++k)
        for (int j = 0; j < K; ++j) step[k][j] = audioRate[j] ? step[k][j] * inverse[j] : increment[j];
    const F lowest = splat<F>(-0.5f);
    const F one = splat<F>(1.0f);
    for (int k = 0; k < kFrames; ++k) {
        for (int j = 0; j < K; ++j) {
            phase[j] -= step[k][j];
            wrapped[k][j] = phase[j];
            wraps[k][j] = wrapBelow(phase[j], lowest, one);
        }
    }
    for (int k = 0; k < kFrames; ++k)
        for (int j = 0; j < K; ++j)
            for (uint32_t bits = wraps[k][j]; bits != 0; bits &= bits - 1) {
                const int e = __builtin_ctz(bits);
                writeWrap(lanes[j * W + e], k, wrapped[k][j][e]);
            }
    for (int i = 0; i < N; ++i) lanes[i].phase = phase[i / W][i % W];
}

// One low-pass over the block, for one float or a vector of them, in the one-voice loop's order.
template <typename F>
void lowPassLanes(F c, F& state, const F* x, F* y) {
    const F b = splat<F>(1.0f) - c;
    const F c2 = c * c, c3 = c2 * c, c4 = c2 * c2;
    F s = state;
    for (int k = 0; k < kFrames; k += 4) {
        const F u0 = b * x[k], u1 = b * x[k + 1], u2 = b * x[k + 2], u3 = b * x[k + 3];
        y[k] = c * s + u0;
        y[k + 1] = c2 * s + (c * u0 + u1);
        y[k + 2] = c3 * s + (c2 * u0 + c * u1 + u2);
        s = c4 * s + (c3 * u0 + c2 * u1 + c * u2 + u3);
        y[k + 3] = s;
    }
    state = s;
}

template <typename F>
F toneOf(F x, F low1, F low2) {
    return (splat<F>(0.68f) * low1 + splat<F>(0.9f) * (x - low2)) * splat<F>(-1.6f);
}

template <typename F, typename I, int W, int K>
void toneGroup(ToneLane* lanes) {
    constexpr int N = W * K;
    alignas(64) F io[kFrames][K];
    float* blocks[N];
    F c1[K], c2[K], s1[K], s2[K];
    for (int i = 0; i < N; ++i) {
        const ToneLane& l = lanes[i];
        const int j = i / W, e = i % W;
        blocks[i] = l.io;
        c1[j][e] = l.coefficient[0];
        c2[j][e] = l.coefficient[1];
        s1[j][e] = l.state[0];
        s2[j][e] = l.state[1];
    }
    gatherBlocks<F, I, W, K>(blocks, io);
    for (int j = 0; j < K; ++j) {
        F x[kFrames], low1[kFrames], low2[kFrames];
        for (int k = 0; k < kFrames; ++k) x[k] = io[k][j];
        lowPassLanes(c1[j], s1[j], x, low1);
        lowPassLanes(c2[j], s2[j], x, low2);
        for (int k = 0; k < kFrames; ++k) io[k][j] = toneOf(x[k], low1[k], low2[k]);
    }
    for (int i = 0; i < N; ++i) {
        lanes[i].state[0] = s1[i / W][i % W];
        lanes[i].state[1] = s2[i / W][i % W];
    }
    scatterBlocks<F, I, W, K>(io, blocks);
}

// A spare lane of a group copies the last voice and writes into scratch, never into a voice's block.
inline void spareLane(SteppedSawLane& l, float* scratch) { l.out = scratch; }
inline void spareLane(ParabolaSawLane& l, float* scratch) { l.out = scratch; }
inline void spareLane(SyncLane& l, float*) { l.out = nullptr; }
inline void spareLane(ToneLane& l, float* scratch) {
    for (int k = 0; k < kFrames; ++k) scratch[k] = l.io[k];
    l.io = scratch;
}

// group[K - 1] runs K vectors of W lanes; `one` runs a lone lane.
template <typename Lane, int W, int Widest>
struct OscillatorLaneGroups {
    void (*group[Widest])(Lane*);
    void (*one)(Lane&);
};

// The widest groups while they last; the rest in one group just wide enough, its spare lanes
// copies of the last voice. Every loop here is a few operations a sample, so a spare lane costs
// little, and a lone voice runs the one-voice loop.
template <typename Lane, int W, int Widest>
void runOscillatorGroups(const OscillatorLaneGroups<Lane, W, Widest>& groups, Lane* lanes, int count) {
    constexpr int full = W * Widest;
    int i = 0;
    for (; count - i >= full; i += full) groups.group[Widest - 1](lanes + i);
    const int rest = count - i;
    if (rest == 0) return;
    if (rest == 1) {
        groups.one(lanes[i]);
        return;
    }
    const int vectors = (rest + W - 1) / W;
    if (vectors * W == rest) {
        groups.group[vectors - 1](lanes + i);
        return;
    }
    Lane padded[full];
    alignas(64) float scratch[kFrames];
    for (int k = 0; k < vectors * W; ++k) {
        padded[k] = lanes[i + (k < rest ? k : rest - 1)];
        if (k >= rest) spareLane(padded[k], scratch);
    }
    groups.group[vectors - 1](padded);
    for (int k = 0; k < rest; ++k) lanes[i + k] = padded[k];
}

} // namespace
} // namespace corvex
