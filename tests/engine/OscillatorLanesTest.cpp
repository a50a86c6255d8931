// Every vector set of the oscillator lanes this processor can run computes, lane by lane, exactly what
// the one-voice loop computes: the same samples, steps, phases, states and written marks, bit for bit, for any
// number of lanes; and a sync output written only where it changes holds what a whole write holds.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "engine/dsp/OscillatorLanes.h"

namespace corvex {
namespace {

constexpr int kFrames = kOscillatorLaneFrames;
constexpr int kMostLanes = 37;
constexpr float kRates[] = {44100.0f, 48000.0f, 96000.0f, 22050.0f};

bool sameBits(const void* a, const void* b, size_t bytes) { return std::memcmp(a, b, bytes) == 0; }

struct LaneData {
    float frequency[kFrames];
    float out[kFrames];
};

// Frequencies from the lowest the oscillator plays to the highest share of the rate, so that some
// lanes wrap every other sample and some not at all; some lanes glide far within the block.
float frequencyOf(std::mt19937& rng, float rate) {
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    return 4.0f * std::pow(0.45f * rate / 4.0f, unit(rng));
}

void fillLane(std::mt19937& rng, int i, float rate, LaneData& d) {
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    const float centre = frequencyOf(rng, rate);
    for (int k = 0; k < kFrames; ++k) {
        // Audio-rate lanes: a noisy frequency around the centre, at times up to the highest.
        const float f = centre * (1.0f + 0.3f * (unit(rng) - 0.5f));
        d.frequency[k] = i % 5 == 4 ? 0.45f * rate : f;
        d.out[k] = -7.0f;
    }
}

SteppedSawLane steppedLane(std::mt19937& rng, int i, float rate, LaneData& d) {
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    SteppedSawLane l{};
    l.out = d.out;
    l.phase = i % 6 == 3 ? -0.4999f : unit(rng) - 0.5f;
    l.frequency = frequencyOf(rng, rate);
    l.slope = (frequencyOf(rng, rate) - l.frequency) / float(kFrames);
    l.rate = rate;
    l.inverseRate = 1.0f / rate;
    l.offsetPerHertz = 0.000641091f * 44100.0f / rate;
    l.steps = -1;
    if (i % 11 == 10) l.phase = std::numeric_limits<float>::quiet_NaN(); // a broken lane stays the lane's own
    return l;
}

ParabolaSawLane parabolaLane(std::mt19937& rng, float rate, LaneData& d) {
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    return {d.frequency, d.out, rate, 1.0f / rate, unit(rng), unit(rng)};
}

// Block-rate and audio-rate lanes mixed; outputs unread, whole, or holding last block's wraps.
SyncLane syncLane(std::mt19937& rng, int i, float rate, LaneData& d) {
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    SyncLane l{};
    const float f = frequencyOf(rng, rate);
    l.frequency = i % 2 ? d.frequency : nullptr;
    l.out = i % 4 == 3 ? nullptr : d.out;
    l.written = i % 3 == 0 ? ~0u : 0x80001021u;
    l.increment = f / rate;
    l.ticks = std::trunc(rate / f * 64.0f);
    l.rate = rate;
    l.inverseRate = 1.0f / rate;
    l.phase = unit(rng) - 0.5f;
    return l;
}

std::vector<const OscillatorLaneKernels*> kernelSets() {
    const OscillatorLaneKernels* sets[8];
    const int n = availableOscillatorLaneKernels(sets, 8);
    return std::vector<const OscillatorLaneKernels*>(sets, sets + n);
}

TEST(OscillatorLanes, EverySetMatchesTheOneVoiceLoopBitForBit) {
    const auto sets = kernelSets();
    ASSERT_GE(sets.size(), 2u) << "at least the baseline set and the one-voice fallback";
    EXPECT_STREQ(sets.back()->name, "one voice at a time");
    for (const OscillatorLaneKernels* set : sets) {
        SCOPED_TRACE(set->name);
        for (int count = 1; count <= kMostLanes; ++count) {
            SCOPED_TRACE(count);
            std::mt19937 rng(unsigned(500 + count));
            const float rate = kRates[count % 4];
            std::vector<LaneData> expected(count), actual(count);
            for (int i = 0; i < count; ++i) {
                fillLane(rng, i, rate, expected[i]);
                actual[i] = expected[i];
            }

            std::vector<SteppedSawLane> one(count), many(count);
            for (int i = 0; i < count; ++i) {
                one[i] = steppedLane(rng, i, rate, expected[i]);
                many[i] = one[i];
                many[i].out = actual[i].out;
            }
            for (int i = 0; i < count; ++i) steppedSawOneLane(one[i]);
            set->steppedSaw(many.data(), count);
            for (int i = 0; i < count; ++i) {
                const SteppedSawLane &a = one[i], &b = many[i];
                ASSERT_TRUE(sameBits(expected[i].out, actual[i].out, sizeof(expected[i].out))) << "stepped " << i;
                ASSERT_TRUE(sameBits(&a.phase, &b.phase, sizeof(float))) << "stepped " << i;
                ASSERT_EQ(a.steps, b.steps) << "stepped " << i;
                ASSERT_TRUE(sameBits(a.stepAt, b.stepAt, size_t(a.steps))) << "stepped " << i;
                ASSERT_TRUE(sameBits(a.stepOffset, b.stepOffset, sizeof(float) * size_t(a.steps))) << "stepped " << i;
            }

            std::vector<ParabolaSawLane> oneP(count), manyP(count);
            for (int i = 0; i < count; ++i) {
                oneP[i] = parabolaLane(rng, rate, expected[i]);
                manyP[i] = oneP[i];
                manyP[i].frequency = actual[i].frequency;
                manyP[i].out = actual[i].out;
            }
            for (int i = 0; i < count; ++i) parabolaSawOneLane(oneP[i]);
            set->parabolaSaw(manyP.data(), count);
            for (int i = 0; i < count; ++i) {
                ASSERT_TRUE(sameBits(expected[i].out, actual[i].out, sizeof(expected[i].out))) << "parabola " << i;
                ASSERT_TRUE(sameBits(&oneP[i].phase, &manyP[i].phase, sizeof(float))) << "parabola " << i;
                ASSERT_TRUE(sameBits(&oneP[i].previous, &manyP[i].previous, sizeof(float))) << "parabola " << i;
            }

            std::vector<SyncLane> oneS(count), manyS(count);
            for (int i = 0; i < count; ++i) {
                oneS[i] = syncLane(rng, i, rate, expected[i]);
                manyS[i] = oneS[i];
                if (manyS[i].frequency) manyS[i].frequency = actual[i].frequency;
                if (manyS[i].out) manyS[i].out = actual[i].out;
            }
            for (int i = 0; i < count; ++i) syncOneLane(oneS[i]);
            set->sync(manyS.data(), count);
            for (int i = 0; i < count; ++i) {
                ASSERT_TRUE(sameBits(expected[i].out, actual[i].out, sizeof(expected[i].out))) << "sync " << i;
                ASSERT_TRUE(sameBits(&oneS[i].phase, &manyS[i].phase, sizeof(float))) << "sync " << i;
                ASSERT_EQ(oneS[i].written, manyS[i].written) << "sync " << i;
            }

            // The colour runs over the samples the lanes above left behind, in place.
            std::vector<ToneLane> oneT(count), manyT(count);
            for (int i = 0; i < count; ++i) {
                std::uniform_real_distribution<float> unit(0.0f, 1.0f);
                for (int k = 0; k < kFrames; ++k) expected[i].out[k] = actual[i].out[k] = unit(rng) - 0.5f;
                oneT[i] = {expected[i].out, {unit(rng), i % 3 ? unit(rng) : 0.0f}, {unit(rng), unit(rng) - 0.5f}};
                manyT[i] = oneT[i];
                manyT[i].io = actual[i].out;
            }
            for (int i = 0; i < count; ++i) toneOneLane(oneT[i]);
            set->tone(manyT.data(), count);
            for (int i = 0; i < count; ++i) {
                ASSERT_TRUE(sameBits(expected[i].out, actual[i].out, sizeof(expected[i].out))) << "tone " << i;
                ASSERT_TRUE(sameBits(oneT[i].state, manyT[i].state, sizeof(oneT[i].state))) << "tone " << i;
            }
        }
    }
}

// Block after block at rates that wrap often and seldom, the audio-rate path's wraps folded into one
// sample: a block written only where it changes equals the block written whole over anything.
TEST(OscillatorLanes, ASyncOutputWrittenWhereItChangesHoldsTheWholeBlock) {
    struct Case {
        float frequency;
        bool audioRate;
    };
    const Case cases[] = {{30.0f, false}, {1500.0f, false}, {19000.0f, false}, {700.0f, true}, {15000.0f, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.frequency);
        const float rate = 44100.0f;
        float frequency[kFrames];
        for (int k = 0; k < kFrames; ++k) frequency[k] = c.frequency * (1.0f + 0.01f * float(k % 3));
        float sparse[kFrames] = {};
        SyncLane kept{};
        kept.frequency = c.audioRate ? frequency : nullptr;
        kept.out = sparse;
        kept.written = 0;
        kept.increment = c.frequency / rate;
        kept.ticks = std::trunc(rate / c.frequency * 64.0f);
        kept.rate = rate;
        kept.inverseRate = 1.0f / rate;
        kept.phase = 0.3f;
        int wraps = 0;
        for (int block = 0; block < 40; ++block) {
            SyncLane whole = kept;
            float full[kFrames];
            for (float& v : full) v = std::numeric_limits<float>::quiet_NaN();
            whole.out = full;
            whole.written = ~0u;
            syncOneLane(whole);
            syncOneLane(kept);
            ASSERT_TRUE(sameBits(full, sparse, sizeof(full))) << "block " << block;
            ASSERT_EQ(whole.phase, kept.phase);
            for (float v : full) wraps += v != 0.0f ? 1 : 0;
        }
        EXPECT_GT(wraps, 0) << "the run must hold wraps for the comparison to mean anything";
    }
}

} // namespace
} // namespace corvex
