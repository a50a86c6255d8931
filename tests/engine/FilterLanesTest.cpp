// Every vector set of the voice lanes this processor can run computes, lane by lane, exactly what
// the one-voice loop computes: the same samples and the same states, bit for bit, for any number
// of lanes and for broken inputs too.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "engine/dsp/FilterLanes.h"

namespace corvex {
namespace {

constexpr int kFrames = kLaneBlockFrames;

// One lane's inputs and outputs, kept where the lane structures can point.
struct LaneData {
    float audio[kFrames];
    float modulation[kFrames];
    float out[kFrames];
};

bool sameBits(const void* a, const void* b, size_t bytes) { return std::memcmp(a, b, bytes) == 0; }

// Random but plausible lanes, with some lanes broken on purpose: NaN or huge samples, and an
// audio-rate term that drives the coefficient past both of its bounds.
void fillLane(std::mt19937& rng, int i, LaneData& d) {
    std::uniform_real_distribution<float> sample(-1.0f, 1.0f);
    for (int n = 0; n < kFrames; ++n) {
        d.audio[n] = sample(rng);
        d.modulation[n] = 0.05f * sample(rng);
        d.out[n] = -7.0f;
    }
    switch (i % 7) {
    case 3: d.audio[5] = std::numeric_limits<float>::quiet_NaN(); break;
    case 4: d.audio[9] = 3.0e38f; break;
    case 5:
        for (int n = 0; n < kFrames; ++n) d.modulation[n] = n < 16 ? 2.0f : -2.0f;
        break;
    default: break;
    }
}

CascadeLane cascadeLane(std::mt19937& rng, int i, LaneData& d) {
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    CascadeLane l{};
    l.audio = d.audio;
    l.modulation = d.modulation;
    l.out = d.out;
    l.coefficient = 0.9 * unit(rng);
    l.previousCoefficient = 0.9 * unit(rng);
    l.tuning = 1.0 + 0.1 * unit(rng);
    l.previousTuning = 1.0 + 0.1 * unit(rng);
    l.resonance = 3.5 * unit(rng);
    l.gain = 0.5 + unit(rng);
    l.secondWeight = i % 2 ? 1.0 : -2.0;
    l.fourthWeight = i % 2 ? 0.0 : 1.0;
    l.highestCoefficient = 0.95;
    for (double& s : l.state) s = unit(rng) - 0.5;
    return l;
}

HighPassLane highPassLane(std::mt19937& rng, LaneData& d) {
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    HighPassLane l{};
    l.audio = d.audio;
    l.out = d.out;
    l.coefficient = 0.5 * unit(rng);
    l.step = 0.001 * (unit(rng) - 0.5);
    l.before = unit(rng) - 0.5;
    l.low = unit(rng) - 0.5;
    return l;
}

// Every stage count; some lanes so loud that the input overflows or the output must be held, and
// states already under the flush level.
PhaserLane phaserLane(std::mt19937& rng, int i, LaneData& d) {
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    PhaserLane l{};
    l.in = d.audio;
    l.out = d.out;
    l.inputGain = i % 11 == 10 ? 1e300 : 0.5 + 1.5 * unit(rng);
    const double g = 0.9 * unit(rng);
    l.firstGain = 1.5 * g;
    l.gain = 1.35 * g;
    l.feedback = 2.0 * unit(rng) - 0.5;
    l.wet = i % 5 == 0 ? 0.0 : unit(rng);
    l.level = i % 7 == 6 ? 1e31 : 2.0 * unit(rng);
    l.taken = i % kPhaserLaneStages;
    for (int s = 0; s < kPhaserLaneStages; ++s) {
        l.state[s] = i % 9 == 8 ? 1e-31 : unit(rng) - 0.5;
        l.previousInput[s] = unit(rng) - 0.5;
    }
    l.lastOutput = unit(rng) - 0.5;
    return l;
}

// Drives from gentle to far past the saturations' knee, windows of any sample, and the inputs of
// fillLane, broken ones included.
DistortionLane distortionLane(std::mt19937& rng, int i, LaneData& d) {
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    DistortionLane l{};
    for (int n = 0; n < kFrames; ++n) l.scaled[n] = d.audio[n];
    l.out = d.out;
    l.driven = float(i % 4 == 3 ? 2e9 : 30.0 * unit(rng));
    l.offset = float(0.2 * unit(rng) - 0.1);
    l.dry = float(unit(rng));
    l.wetMix = float(unit(rng));
    l.output = float(2.0 * unit(rng));
    l.drive = 20.0 * unit(rng);
    l.pole = 0.99 + 0.01 * unit(rng);
    l.input = 1.0 - l.pole;
    l.inputHighPass = unit(rng) - 0.5;
    l.outputHighPass = i % 9 == 8 ? 1e-40 : unit(rng) - 0.5;
    for (int m = 0; m < kHalfBandHistory; ++m) {
        l.firstWindow[m] = unit(rng) - 0.5;
        l.secondWindow[m] = unit(rng) - 0.5;
    }
    return l;
}

// Lines partly written (older slots hold another voice's leftovers and must read as silence), write
// positions at and near the wrap, every tap setting and one that names none, sweeps that push a tap
// past either end of its line or to NaN, and the inputs of fillLane, broken ones included.
constexpr size_t kChorusSamples = size_t(kChorusLaneLines) * kChorusLaneLength;
constexpr int kMostLanes = 37;

// Every lane's lines, side by side: made once, since a block writes only 32 samples of each line,
// which the test puts back after each run.
std::vector<float>& chorusLines() {
    static std::vector<float> lines = [] {
        std::vector<float> l(kMostLanes * kChorusSamples);
        for (size_t k = 0; k < l.size(); ++k) l[k] = std::sin(0.01f * float(k));
        return l;
    }();
    return lines;
}

// The 32 samples of each line a block writes, from its write positions on.
using WrittenSlots = std::vector<float>;
WrittenSlots writtenSlots(const ChorusLane& l, const int (&from)[kChorusLaneLines]) {
    WrittenSlots slots;
    for (int line = 0; line < kChorusLaneLines; ++line)
        for (int n = 0; n < kFrames; ++n)
            slots.push_back(l.lines[line * kChorusLaneLength + ((from[line] + n) & (kChorusLaneLength - 1))]);
    return slots;
}
void putBack(ChorusLane& l, const int (&from)[kChorusLaneLines], const WrittenSlots& slots) {
    for (int line = 0, k = 0; line < kChorusLaneLines; ++line)
        for (int n = 0; n < kFrames; ++n)
            l.lines[line * kChorusLaneLength + ((from[line] + n) & (kChorusLaneLength - 1))] = slots[size_t(k++)];
}

// Lines partly written (older slots hold another voice's leftovers and must read as silence), write
// positions at and near the wrap, every tap setting and one that names none, sweeps that push a tap
// past either end of its line or to NaN, and the inputs of fillLane, broken ones included.
ChorusLane chorusLane(std::mt19937& rng, int i, LaneData& d) {
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    ChorusLane l{};
    for (int n = 0; n < kFrames; ++n) l.in[n] = d.audio[n];
    l.lines = chorusLines().data() + size_t(i) * kChorusSamples;
    l.out = d.out;
    l.mix = i % 5 == 0 ? 0.0 : unit(rng);
    l.gain = i % 7 == 6 ? 1e31 : 2.0 * unit(rng);
    l.feedback = 1.8 * unit(rng) - 0.9;
    const double depth = i % 6 == 5 ? 1e6 : 800.0 * unit(rng);
    for (int line = 0; line < kChorusLaneLines; ++line) {
        l.taps[line] = 5.0 + 2.0 * line * unit(rng);
        l.reach[line] = i % 13 == 12 && line == 1 ? std::nan("") : (line == 0 ? 0.5 : 0.6) * depth;
        const int start[] = {0, kChorusLaneLength - 5, int(unit(rng) * kChorusLaneLength), 17};
        l.writeIndex[line] = start[(i + line) % 4];
        l.written[line] = i % 3 == 0 ? kChorusLaneLength : int(unit(rng) * kChorusLaneLength);
        l.previousRead[line] = i % 9 == 8 ? 1e-31 : unit(rng) - 0.5;
    }
    l.tapSetting = i % 5;
    l.feedbackDelay = i % 4 == 0 ? 0.0f : float(unit(rng) * (kChorusLaneLength - 1));
    for (int s = 0; s < 2; ++s) {
        const double phase = 6.0 * unit(rng), step = 0.001 * unit(rng);
        l.sweepLast[s] = std::sin(phase - step);
        l.sweepBeforeLast[s] = std::sin(phase - 2.0 * step);
        l.sweepTwoCos[s] = 2.0 * std::cos(step);
    }
    return l;
}

std::vector<const FilterLaneKernels*> kernelSets() {
    const FilterLaneKernels* sets[8];
    const int n = availableFilterLaneKernels(sets, 8);
    return std::vector<const FilterLaneKernels*>(sets, sets + n);
}

TEST(FilterLanes, EverySetMatchesTheOneVoiceLoopBitForBit) {
    const auto sets = kernelSets();
    ASSERT_GE(sets.size(), 2u) << "at least the baseline set and the one-voice fallback";
    EXPECT_STREQ(sets.back()->name, "one voice at a time");
    const std::vector<float> pristineLines = chorusLines();
    // Counts that fill every group size, one by one and in mixtures, up to more than two widest groups.
    for (const FilterLaneKernels* set : sets) {
        SCOPED_TRACE(set->name);
        for (int count = 1; count <= kMostLanes; ++count) {
            SCOPED_TRACE(count);
            std::mt19937 rng(unsigned(1000 + count));
            std::vector<LaneData> expected(count), actual(count);
            std::vector<CascadeLane> one(count), many(count);
            std::vector<HighPassLane> oneHp(count), manyHp(count);
            for (int i = 0; i < count; ++i) {
                fillLane(rng, i, expected[i]);
                actual[i] = expected[i];
                one[i] = cascadeLane(rng, i, expected[i]);
                many[i] = one[i];
                many[i].audio = actual[i].audio;
                many[i].modulation = actual[i].modulation;
                many[i].out = actual[i].out;
            }
            for (int i = 0; i < count; ++i) cascadeOneLane(one[i]);
            set->cascade(many.data(), count);
            for (int i = 0; i < count; ++i) {
                ASSERT_TRUE(sameBits(expected[i].out, actual[i].out, sizeof(expected[i].out))) << "cascade lane " << i;
                ASSERT_TRUE(sameBits(one[i].state, many[i].state, sizeof(one[i].state))) << "cascade lane " << i;
                ASSERT_EQ(one[i].healthy, many[i].healthy) << "cascade lane " << i;
            }
            // Lanes 3 and 4 of every seven carry a NaN or an overflowing sample.
            if (count >= 5) {
                EXPECT_TRUE(many[0].healthy);
                EXPECT_FALSE(many[3].healthy);
                EXPECT_FALSE(many[4].healthy);
            }

            for (int i = 0; i < count; ++i) {
                oneHp[i] = highPassLane(rng, expected[i]);
                manyHp[i] = oneHp[i];
                manyHp[i].audio = actual[i].audio;
                manyHp[i].out = actual[i].out;
            }
            for (int i = 0; i < count; ++i) highPassOneLane(oneHp[i]);
            set->highPass(manyHp.data(), count);
            for (int i = 0; i < count; ++i) {
                ASSERT_TRUE(sameBits(expected[i].out, actual[i].out, sizeof(expected[i].out))) << "high-pass lane " << i;
                ASSERT_TRUE(sameBits(&oneHp[i].low, &manyHp[i].low, sizeof(double))) << "high-pass lane " << i;
                ASSERT_TRUE(sameBits(&oneHp[i].before, &manyHp[i].before, sizeof(double))) << "high-pass lane " << i;
                ASSERT_EQ(oneHp[i].healthy, manyHp[i].healthy) << "high-pass lane " << i;
            }

            std::vector<PhaserLane> onePh(count), manyPh(count);
            for (int i = 0; i < count; ++i) {
                onePh[i] = phaserLane(rng, i, expected[i]);
                manyPh[i] = onePh[i];
                manyPh[i].in = actual[i].audio;
                manyPh[i].out = actual[i].out;
            }
            for (int i = 0; i < count; ++i) phaserOneLane(onePh[i]);
            set->phaser(manyPh.data(), count);
            for (int i = 0; i < count; ++i) {
                ASSERT_TRUE(sameBits(expected[i].out, actual[i].out, sizeof(expected[i].out))) << "phaser lane " << i;
                ASSERT_TRUE(sameBits(onePh[i].state, manyPh[i].state, sizeof(onePh[i].state))) << "phaser lane " << i;
                ASSERT_TRUE(sameBits(onePh[i].previousInput, manyPh[i].previousInput,
                                     sizeof(onePh[i].previousInput)))
                    << "phaser lane " << i;
                ASSERT_TRUE(sameBits(&onePh[i].lastOutput, &manyPh[i].lastOutput, sizeof(double)))
                    << "phaser lane " << i;
            }

            std::vector<DistortionLane> oneDs(count), manyDs(count);
            for (int i = 0; i < count; ++i) {
                oneDs[i] = distortionLane(rng, i, expected[i]);
                manyDs[i] = oneDs[i];
                manyDs[i].out = actual[i].out;
            }
            for (int i = 0; i < count; ++i) distortionOneLane(oneDs[i]);
            set->distortion(manyDs.data(), count);
            for (int i = 0; i < count; ++i) {
                const DistortionLane &a = oneDs[i], &b = manyDs[i];
                ASSERT_TRUE(sameBits(expected[i].out, actual[i].out, sizeof(expected[i].out))) << "distortion " << i;
                ASSERT_TRUE(sameBits(a.firstWindow, b.firstWindow, sizeof(a.firstWindow))) << "distortion " << i;
                ASSERT_TRUE(sameBits(a.secondWindow, b.secondWindow, sizeof(a.secondWindow))) << "distortion " << i;
                ASSERT_TRUE(sameBits(&a.inputHighPass, &b.inputHighPass, sizeof(double))) << "distortion " << i;
                ASSERT_TRUE(sameBits(&a.outputHighPass, &b.outputHighPass, sizeof(double))) << "distortion " << i;
            }

            std::vector<ChorusLane> oneCh(count), manyCh(count);
            std::vector<WrittenSlots> before(count), oneWrote(count);
            for (int i = 0; i < count; ++i) {
                oneCh[i] = chorusLane(rng, i, expected[i]);
                manyCh[i] = oneCh[i];
                manyCh[i].out = actual[i].out;
                before[i] = writtenSlots(oneCh[i], manyCh[i].writeIndex);
            }
            for (int i = 0; i < count; ++i) {
                chorusOneLane(oneCh[i]);
                oneWrote[i] = writtenSlots(oneCh[i], manyCh[i].writeIndex);
                putBack(oneCh[i], manyCh[i].writeIndex, before[i]);
            }
            const auto starts = manyCh;
            set->chorus(manyCh.data(), count);
            for (int i = 0; i < count; ++i) {
                const ChorusLane &a = oneCh[i], &b = manyCh[i];
                ASSERT_TRUE(sameBits(expected[i].out, actual[i].out, sizeof(expected[i].out))) << "chorus " << i;
                ASSERT_TRUE(oneWrote[i] == writtenSlots(b, starts[i].writeIndex)) << "chorus " << i;
                putBack(manyCh[i], starts[i].writeIndex, before[i]);
                ASSERT_TRUE(sameBits(a.writeIndex, b.writeIndex, sizeof(a.writeIndex))) << "chorus " << i;
                ASSERT_TRUE(sameBits(a.written, b.written, sizeof(a.written))) << "chorus " << i;
                ASSERT_TRUE(sameBits(a.previousRead, b.previousRead, sizeof(a.previousRead))) << "chorus " << i;
            }
        }
        // Nothing outside the samples a block writes was touched.
        ASSERT_TRUE(chorusLines() == pristineLines) << "a chorus lane wrote outside its block's samples";
    }
}

// The loops' own limits, from their written numbers: a sample or state below 1e-30 is silence, and
// nothing louder than 1e30 leaves them, NaN passing through as NaN; a block that reached 1e30, or
// whose states passed it, is reported out of range.
TEST(FilterLanes, OutputIsFlushedAndBounded) {
    for (const FilterLaneKernels* set : kernelSets()) {
        SCOPED_TRACE(set->name);
        struct Case {
            double before; // the high-pass pre-filter's last input; with the low state it sets q - low
            double low;
            float first; // the block's first sample
        };
        // With a zero coefficient and input the first output is -low exactly.
        const Case cases[] = {{0.0, 1e-31, 0.0f}, {0.0, -5e-31, 0.0f}, {0.0, -1e35, 0.0f}, {0.0, 1e35, 0.0f}};
        const float expected[] = {0.0f, 0.0f, float(1e30), float(-1e30)};
        LaneData d[4] = {};
        HighPassLane lanes[4];
        for (int i = 0; i < 4; ++i) {
            lanes[i] = HighPassLane{d[i].audio, d[i].out, 0.0, 0.0, cases[i].before, cases[i].low, false};
            d[i].audio[0] = cases[i].first;
        }
        const bool healthy[] = {true, true, false, false};
        set->highPass(lanes, 4);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(d[i].out[0], expected[i]) << "case " << i;
            EXPECT_EQ(lanes[i].healthy, healthy[i]) << "case " << i;
        }
        EXPECT_EQ(lanes[0].low, 0.0);
        EXPECT_EQ(lanes[1].low, 0.0);
    }
}

} // namespace
} // namespace corvex
