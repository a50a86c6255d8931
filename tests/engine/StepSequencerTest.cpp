// The step sequencer measured from its outputs: step timing with swing, the play modes, random steps
// from the seeded source, pitch quantising, glide, accents and gates.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <map>
#include <vector>

#include "tests/engine/StepSequencerRig.h"

namespace corvex {
namespace {

using namespace testing;

class StepSequencerTest : public StepSequencerRig {};

// Step times from the written rule: 60000 / (steps per beat x tempo) ms, stretched by (m + 1) and by
// 1 + swing on the long step (first after a restart) and 1 - swing on the short one.
TEST_F(StepSequencerTest, StepsFollowTempoStepsPerBeatSwingAndModulation) {
    struct Case {
        const char* what;
        int16_t rate, stepsWord, swing, followTempo;
        float engineTempo, modulation;
        double longMs, shortMs;
    };
    const Case cases[] = {
        {"120 bpm, 4 per beat", kRate120, 16, 0, 0, 0.0f, 0.0f, 125.0, 125.0},
        {"swing 0.5", kRate120, 16, 8192, 0, 0.0f, 0.0f, 187.5, 62.5},
        {"swing 0.25", kRate120, 16, 4096, 0, 0.0f, 0.0f, 156.25, 93.75},
        {"60 bpm, 1 per beat", kRate60, 4, 0, 0, 0.0f, 0.0f, 1000.0, 1000.0},
        {"engine tempo 90, 2 per beat", kRate120, 8, 0, 1, 90.0f, 0.0f, 1000.0 / 3.0, 1000.0 / 3.0},
        {"engine tempo 150, 8 per beat, swing 0.5", 0, 32, 8192, 1, 150.0f, 0.0f, 75.0, 25.0},
        {"modulation 1 doubles each step", kRate120, 16, 0, 0, 0.0f, 1.0f, 250.0, 250.0},
        {"modulation -0.5 halves each step", kRate120, 16, 8192, 0, 0.0f, -0.5f, 93.75, 31.25},
    };
    PortEntry mod;
    mod.word = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Pattern p;
        p.rate = c.rate;
        p.stepsPerBeat = c.stepsWord;
        p.swing = c.swing;
        p.followTempo = c.followTempo;
        p.last = 31;
        context.tempo = c.engineTempo;
        load(p);
        mod.value = c.modulation;
        testing::Wiring<2> w = wiring;
        w.connect(1, &mod);
        StepSequencerModule& m = make();
        const double pairMs = c.longMs + c.shortMs;
        const int blocks = int(8.0 * pairMs / kBlockMs) + 2;
        const std::vector<Step> steps = play(m, blocks, &w);
        ASSERT_GE(steps.size(), 17u);
        for (size_t k = 0; k < 17; ++k) {
            EXPECT_EQ(steps[k].step, int(k));
            // Step k begins at the end of k alternating long and short steps, in the first block that
            // reaches it: late by less than a block, never drifting ahead.
            const double ideal = double(k / 2) * pairMs + (k % 2 ? c.longMs : 0.0);
            EXPECT_GE(steps[k].block * kBlockMs, ideal - 1e-3) << "step " << k;
            EXPECT_LT(steps[k].block * kBlockMs, ideal + kBlockMs) << "step " << k;
        }
    }
}

TEST_F(StepSequencerTest, PlayModesWalkThePattern) {
    struct Case {
        const char* what;
        int16_t mode, first, last, restart;
        std::vector<int> steps;
    };
    const Case cases[] = {
        {"forward plays from 0 once, then loops from the first step", SequencerMode::Forward, 4, 7, 1,
         {0, 1, 2, 3, 4, 5, 6, 7, 4, 5, 6, 7, 4}},
        {"forward without restart starts from the first step at once", SequencerMode::Forward, 0, 3, 0,
         {0, 1, 2, 3, 0, 1, 2, 3, 0}},
        {"backward from the last step", SequencerMode::Backward, 0, 5, 1, {5, 4, 3, 2, 1, 0, 5, 4, 3}},
        {"back and forth between 0 and 3", SequencerMode::BackAndForth, 0, 3, 1, {0, 1, 2, 3, 2, 1, 0, 1, 2, 3, 2}},
        {"back and forth over one step", SequencerMode::BackAndForth, 0, 0, 1, {0, 0, 0, 0}},
        {"no play mode keeps the step", SequencerMode::None, 0, 7, 1, {0, 0, 0, 0}},
        {"a mode beyond the five keeps the step", 9, 0, 7, 1, {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Pattern p;
        p.mode = c.mode;
        p.first = c.first;
        p.last = c.last;
        p.restart = c.restart;
        p.track[0].gates = ~0u;
        load(p);
        StepSequencerModule& m = make();
        EXPECT_EQ(gatedSteps(m, int(c.steps.size())), c.steps);
    }
}

// Random steps: inside 0..last, never the step just played (when there is another), every choice
// about equally often, and the same walk again from the same seed of the kernel's random source.
TEST_F(StepSequencerTest, RandomModeDrawsFromTheSeededSourceForAnyLastStep) {
    for (int last = 0; last < kSequencerSteps; ++last) {
        SCOPED_TRACE(last);
        Pattern p;
        p.mode = SequencerMode::Random;
        p.last = int16_t(last);
        p.stepsPerBeat = 128; // 32 per beat: 15.6 ms steps
        p.track[0].gates = ~0u;
        load(p);
        context.random.seed(1000u + uint32_t(last));
        const std::vector<int> walk = gatedSteps(make(), 64 * (last + 1));
        ASSERT_EQ(walk.size(), size_t(64 * (last + 1)));
        std::map<int, int> seen;
        for (size_t k = 0; k < walk.size(); ++k) {
            ASSERT_GE(walk[k], 0);
            ASSERT_LE(walk[k], last);
            if (k > 0 && last > 0) {
                ASSERT_NE(walk[k], walk[k - 1]) << k;
            }
            ++seen[walk[k]];
        }
        ASSERT_EQ(int(seen.size()), last + 1);
        for (const auto& [step, n] : seen) EXPECT_GT(n, 32) << "step " << step << " of 64 expected";

        context.random.seed(1000u + uint32_t(last));
        EXPECT_EQ(gatedSteps(make(), int(walk.size())), walk) << "the same seed plays the same walk";
        if (last > 1) {
            context.random.seed(77u);
            EXPECT_NE(gatedSteps(make(), int(walk.size())), walk);
        }
    }
}

TEST_F(StepSequencerTest, PitchIsTheValueQuantisedHalfAwayFromZeroIn48ths) {
    struct Case {
        int16_t valueWord, range;
        float raw;
        int pitchSteps;
    };
    const Case cases[] = {
        {4096, 12, -0.5f, -6},  {12288, 11, 0.5f, 6},   {12288, 12, 0.5f, 6},  {8192, 24, 0.0f, 0},
        {16384, 24, 1.0f, 24},  {0, 24, -1.0f, -24},    {10240, 24, 0.25f, 6}, {6144, 5, -0.25f, -1},
        {14336, 48, 0.75f, 36}, {2048, 7, -0.75f, -5},  {12288, 0, 0.5f, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.valueWord << " with range " << c.range);
        Pattern p;
        p.track[0].range = c.range;
        p.track[0].values[0] = c.valueWord;
        load(p);
        const Out o = run(make(), kStart);
        EXPECT_EQ(o.raw, c.raw);
        EXPECT_EQ(o.pitch, float(c.pitchSteps) / 48.0f);
    }
}

// G(p) = (e^(-0.1 p) - e^(-3.1)) / (1 - e^(-3.1)) between its 32 points, over p = 32 x time / glide.
double glideShape(double p) {
    auto point = [](int i) { return (std::exp(-0.1 * i) - std::exp(-3.1)) / (1.0 - std::exp(-3.1)); };
    if (p >= 31.0) return 0.0;
    const int i = int(p);
    return point(i) + (p - i) * (point(i + 1) - point(i));
}

TEST_F(StepSequencerTest, GlideLeavesAStepWithItsBitAlongTheCurve) {
    Pattern p;
    p.stepsPerBeat = 4; // 500 ms steps
    p.track[0].glide = 8192; // 240 ms
    p.track[0].glides = 1u << 2;
    p.track[0].values[2] = 4096;  // -0.5, pitch -12/48
    p.track[0].values[3] = 12288; // +0.5, pitch +12/48
    load(p);
    StepSequencerModule& m = make();
    std::vector<Out> outs;
    for (int b = 0; b < int(2200.0 / kBlockMs); ++b) outs.push_back(run(m, b == 0 ? kStart : kRunning));
    // Step 3 begins in the first block at or after 1500 ms; that block still reads step 2's value.
    const size_t third = size_t(std::ceil(1500.0 / kBlockMs));
    EXPECT_EQ(outs[third - 1].raw, -0.5f);
    EXPECT_EQ(outs[third].raw, -0.5f) << "the glide starts on the step it leaves";
    EXPECT_GT(outs[third + 1].raw, -0.5f);
    for (size_t k = 0; k < size_t(300.0 / kBlockMs); ++k) {
        const double g = glideShape(32.0 * double(k) * kBlockMs / 240.0);
        EXPECT_NEAR(outs[third + k].raw, 0.5 + g * (-0.5 - 0.5), 2e-5) << "block " << k;
        EXPECT_NEAR(outs[third + k].pitch, 0.25 + g * (-0.25 - 0.25), 2e-5) << "block " << k;
    }
    // The curve's last point, 31 of 32, is reached after 31/32 of the glide time.
    EXPECT_LT(outs[third + size_t(230.0 / kBlockMs)].raw, 0.5f);
    EXPECT_EQ(outs[third + size_t(234.0 / kBlockMs)].raw, 0.5f) << "arrived";
    // Step 3 has no glide bit: the move to step 4 is a jump.
    const size_t fourth = size_t(std::ceil(2000.0 / kBlockMs));
    EXPECT_EQ(outs[fourth - 1].raw, 0.5f);
    EXPECT_EQ(stepOfValue(outs[fourth].raw), 4);
}

// The accent rises along 1 - G over its attack time to the level, then falls along G over the decay.
// Gates: "just on" in a gated step's first block, then on; straight off when a step without its bit
// follows, never "just off", which beside a held key would release the note.
TEST_F(StepSequencerTest, AccentEnvelopeAndGateStates) {
    Pattern p;
    p.stepsPerBeat = 4;          // 500 ms steps
    p.track[0].attack = 8192;    // 240 ms
    p.track[0].decay = 4096;     // 30 ms
    p.track[0].level = 12288;    // 0.75
    p.track[0].accents = 1u << 1;
    p.track[0].gates = 0b011;
    load(p);
    StepSequencerModule& m = make();
    std::vector<Out> outs;
    for (int b = 0; b < int(1600.0 / kBlockMs); ++b) outs.push_back(run(m, b == 0 ? kStart : kRunning));
    const size_t second = size_t(std::ceil(500.0 / kBlockMs));
    ASSERT_EQ(stepOfValue(outs[second].raw), 1);
    ASSERT_EQ(stepOfValue(outs[second - 1].raw), 0);
    for (size_t b = 0; b < second; ++b) EXPECT_EQ(outs[b].accent, 0.0f) << "no accent on step 0";
    for (size_t k = 0; k < size_t(230.0 / kBlockMs); ++k) {
        const double expected = 0.75 * (1.0 - glideShape(32.0 * double(k) * kBlockMs / 240.0));
        EXPECT_NEAR(outs[second + k].accent, expected, 2e-5) << "attack block " << k;
    }
    const auto peak = std::max_element(outs.begin(), outs.end(), [](const Out& a, const Out& b) {
        return a.accent < b.accent;
    });
    EXPECT_NEAR(peak->accent, 0.75f, 1e-6);
    // The top is the curve's last point, after 31/32 of the attack time.
    EXPECT_NEAR(double(peak - outs.begin() - long(second)) * kBlockMs, 232.5, kBlockMs);
    // The decay starts from the block after the one that reaches the attack time.
    const size_t decay = second + size_t(std::ceil(240.0 / kBlockMs)) + 1;
    for (size_t k = 0; k < size_t(35.0 / kBlockMs); ++k) {
        const double expected = 0.75 * glideShape(32.0 * double(k) * kBlockMs / 30.0);
        EXPECT_NEAR(outs[decay + k].accent, expected, 2e-5) << "decay block " << k;
    }
    EXPECT_EQ(outs[second + size_t(275.0 / kBlockMs)].accent, 0.0f) << "decayed after 240 + 30 ms";

    std::vector<int> gates;
    for (const Out& o : outs) gates.push_back(o.gate);
    EXPECT_EQ(gates[0], 1);
    EXPECT_EQ(gates[1], 2);
    EXPECT_EQ(gates[second - 1], 2);
    EXPECT_EQ(gates[second], 1) << "a gated step after a gated step strikes again";
    EXPECT_EQ(gates[second + 1], 2);
    const size_t third = size_t(std::ceil(1000.0 / kBlockMs));
    ASSERT_EQ(stepOfValue(outs[third].raw), 2);
    EXPECT_EQ(gates[third - 1], 2);
    EXPECT_EQ(gates[third], 0) << "the gate falls straight to off";
    EXPECT_EQ(gates[third + 1], 0);
}
} // namespace
} // namespace corvex
