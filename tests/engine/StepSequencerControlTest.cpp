// The step sequencer's controls and its robustness: transport, setters and their echoes, step reports,
// tempos that are no tempo, extreme settings and inputs, and the initial program's sequencer.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <limits>
#include <random>
#include <vector>

#include "engine/dsp/ScopedNoDenormals.h"
#include "engine/program/CorvanKernelProgram.h"
#include "tests/engine/KernelTestHelpers.h"
#include "tests/engine/StepSequencerRig.h"
#include "tests/support/SignalChecks.h"

namespace corvex {
namespace {

using namespace testing;

class StepSequencerControl : public StepSequencerRig {};

TEST_F(StepSequencerControl, TransportStartsStopsAndClears) {
    for (const int16_t stopClears : {int16_t(0), int16_t(1)}) {
        SCOPED_TRACE(stopClears);
        Pattern p;
        p.stopClears = stopClears;
        p.track[0].gates = ~0u;
        load(p);
        StepSequencerModule& m = make();
        for (int b = 0; b < 20; ++b) EXPECT_EQ(run(m, kStopped).raw, 0.0f) << "idle until started";
        EXPECT_EQ(run(m, kRunning).raw, 0.0f) << "running without a start is not a start";
        run(m, kStart);
        for (int b = 0; b < 200; ++b) run(m, kRunning);
        const Out playing = run(m, kRunning);
        ASSERT_EQ(stepOfValue(playing.raw), 1);
        const Out stopping = run(m, kStop);
        if (stopClears) {
            EXPECT_EQ(stopping.raw, 0.0f);
            EXPECT_EQ(stopping.pitch, 0.0f);
            EXPECT_EQ(stopping.gate, 2) << "never through just off";
            EXPECT_EQ(run(m, kStopped).gate, 0);
            for (int b = 0; b < 300; ++b) EXPECT_EQ(run(m, kStopped).raw, 0.0f);
        } else {
            // Without the stop switch the pattern plays on through the transport's stop.
            for (int b = 0; b < 200; ++b) run(m, kStopped);
            EXPECT_EQ(stepOfValue(run(m, kStopped).raw), 2);
        }
    }
    // The input unconnected: nothing moves.
    Pattern p;
    load(p);
    StepSequencerModule& m = make();
    const testing::Wiring<2> none{kSequencerSlot};
    for (int b = 0; b < 50; ++b) EXPECT_EQ(run(m, kStart, none).gate, 0);
}

TEST_F(StepSequencerControl, SettersConvertAndEchoTheirWords) {
    load(Pattern{});
    struct Case {
        int parameter;
        int16_t word;
        float echo;
        int code;
    };
    const Case cases[] = {
        {9, 8192, 120.0f, 2},      {9, 0, 0.001f, 2},           {13, 8192, 50.0f, 9},
        {13, 16384, 98.0f, 9},     {19, 0, 0.001f, 5},          {19, 8192, 240.0f, 5},
        {20, 16384, 13600.0f, 5},  {20, 1365, 7.498169f, 5},    {21, 4096, 0.25f, 4},
        {22 + 133, 12288, 1720.0f, 5}, {22 + 266, 32767, 13600.0f, 5},
    };
    for (const Case& c : cases) {
        int code = 0;
        EXPECT_FLOAT_EQ(set(c.parameter, c.word, &code), c.echo) << c.parameter << " " << c.word;
        EXPECT_EQ(code, c.code) << c.parameter;
    }
    // Words without an echo keep the word as it came.
    for (int parameter : {7, 8, 10, 11, 12, 14, 15, 18, 30, 119, 416}) {
        int code = 0;
        EXPECT_EQ(set(parameter, 3, &code), -999.0f) << parameter;
        EXPECT_EQ(code, 3);
    }
    const StepSequencerParams& r = record.as<StepSequencerParams>();
    EXPECT_EQ(r.stepsPerBeat, 0.75f);
    EXPECT_EQ(r.track[2].value[31], 2.0f * 3.0f / 16384.0f - 1.0f);
    EXPECT_EQ(r.track[0].enabled, 1) << "the track count changes only with a whole block";
    EXPECT_EQ(r.track[1].enabled, 0);
}

// A tempo of 0, below 0 or no number, and modulation that stretches a step to nothing, neither stop
// the clock for good nor leave a backlog of steps: the pattern goes on in time once they recover.
TEST_F(StepSequencerControl, BrokenTempoNeitherStallsNorFloods) {
    struct Case {
        const char* what;
        float tempo, modulation;
        bool standsStill;
    };
    const Case cases[] = {
        {"tempo 0", 0.0f, 0.0f, true},          {"negative tempo", -120.0f, 0.0f, true},
        {"tempo NaN", kNaN, 0.0f, true},        {"modulation below -1", 120.0f, -3.0f, true},
        {"modulation NaN", 120.0f, kNaN, true}, {"tempo beyond any clock", 1e30f, 0.0f, false},
        {"infinite tempo", kInfinity, 0.0f, false}, {"modulation -1", 120.0f, -1.0f, false},
    };
    PortEntry mod;
    mod.word = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Pattern p;
        p.followTempo = 1;
        p.last = 31;
        p.track[0].gates = ~0u;
        load(p);
        testing::Wiring<2> w = wiring;
        w.connect(1, &mod);
        StepSequencerModule& m = make();
        context.tempo = 120.0f;
        mod.value = 0.0f;
        run(m, kStart, w);
        for (int b = 0; b < 100; ++b) run(m, kRunning, w);
        context.tempo = c.tempo;
        mod.value = c.modulation;
        int strikes = 0;
        for (int b = 0; b < 500; ++b) {
            const Out o = run(m, kRunning, w);
            ASSERT_TRUE(std::isfinite(o.raw) && std::isfinite(o.pitch));
            if (o.gate == 1) ++strikes;
        }
        if (c.standsStill)
            EXPECT_EQ(strikes, 0);
        else
            EXPECT_EQ(strikes, 500) << "at most one step in a block";
        context.tempo = 120.0f;
        mod.value = 0.0f;
        std::vector<int> strikeBlocks;
        for (int b = 0; b < int(1200.0 / kBlockMs); ++b)
            if (run(m, kRunning, w).gate == 1) strikeBlocks.push_back(b);
        ASSERT_GE(strikeBlocks.size(), 9u) << "125 ms steps again";
        EXPECT_LE(strikeBlocks[0] * kBlockMs, 125.0 + kBlockMs) << "within one step, no backlog";
        for (size_t k = 1; k < strikeBlocks.size(); ++k)
            EXPECT_NEAR((strikeBlocks[k] - strikeBlocks[k - 1]) * kBlockMs, 125.0, kBlockMs);
    }
}

TEST_F(StepSequencerControl, ExtremeSettingsAndInputsStayFinite) {
    corvex::ScopedDenormalsAllowed denormals;
    std::mt19937 rng(0x5E9);
    const float specials[] = {0.0f, 1.0f, -1.0f, 1e30f, -1e30f, 1e-30f, 1e-40f, kNaN, kInfinity, -kInfinity};
    auto pick = [&] { return specials[rng() % std::size(specials)]; };
    auto word = [&] { return int16_t(rng() % 3 == 0 ? int(rng() % 40) - 4 : int(rng() % 65536) - 32768); };
    const double rates[] = {22050.0, 44100.0, 48000.0, 96000.0, 192000.0};
    auto kernel = testing::makeKernel();
    context.kernel = kernel.get();
    context.reserveModuleData = kernel->context().reserveModuleData;
    testing::Block block;
    for (int trial = 0; trial < 80; ++trial) {
        context.setSampleRate(rates[rng() % std::size(rates)]);
        context.tempo = rng() % 2 ? pick() : 120.0f;
        std::array<uint16_t, 2 + kBlockWords> data{};
        for (auto& v : data) v = uint16_t(trial < 2 ? (trial == 0 ? 0 : 16384) : word());
        blockLoaderFor(kSequencerType)(data.data(), kBlockWords, &record, &context);
        StepSequencerModule& m = make();
        PortEntry mod;
        mod.word = 0;
        testing::Wiring<2> w = wiring;
        for (int n = int(rng() % 3); n > 0; --n) w.connect(1, &mod, word(), uint16_t(rng() % 65536));
        for (int b = 0; b < 400; ++b) {
            mod.value = pick();
            if (rng() % 8 == 0) set(int16_t(7 + rng() % 410), word());
            run(m, int(rng() % 6) - 1, w);
            for (int port = 0; port < kSequencerOutputs; ++port) {
                if (port % 4 == SequencerOutput::Gate) {
                    ASSERT_GE(m.ports[port].intValue, 0);
                    ASSERT_LE(m.ports[port].intValue, 3);
                } else {
                    ASSERT_EQ(testing::badSamples(&m.ports[port].value, 1), 0) << "trial " << trial << " port " << port;
                    ASSERT_LE(std::fabs(m.ports[port].value), 1e6f);
                }
            }
            ASSERT_LT(m.currentStep, kSequencerSteps);
            if (b % 50 == 0) {
                testing::render(*kernel, block);
                kernel->drainNotifications();
            }
        }
    }
    context.kernel = nullptr;
    context.reserveModuleData = nullptr;
}

// With step reports on, every new step reaches the editor as its number.
TEST_F(StepSequencerControl, ReportsEachNewStep) {
    auto kernel = testing::makeKernel();
    testing::RecordingListener listener;
    kernel->addListener(&listener);
    context.kernel = kernel.get();
    context.reserveModuleData = kernel->context().reserveModuleData;
    testing::Block block;
    for (const int16_t report : {int16_t(1), int16_t(0)}) {
        listener.data.clear();
        Pattern p;
        p.report = report;
        p.last = 3;
        p.stepsPerBeat = 128;
        load(p);
        StepSequencerModule& m = make();
        std::vector<int> played;
        for (const Step& s : play(m, 200)) played.push_back(s.step);
        testing::render(*kernel, block);
        kernel->drainNotifications();
        if (report == 0) {
            EXPECT_TRUE(listener.data.empty());
            continue;
        }
        ASSERT_EQ(listener.data.size(), played.size());
        for (size_t k = 0; k < played.size(); ++k) {
            EXPECT_EQ(listener.data[k].slot, kSequencerSlot);
            ASSERT_EQ(listener.data[k].payload.size(), 4u);
            int32_t step = -1;
            std::memcpy(&step, listener.data[k].payload.data(), 4);
            EXPECT_EQ(step, played[k]) << k;
        }
    }
    kernel->removeListener(&listener);
    context.kernel = nullptr;
    context.reserveModuleData = nullptr;
}

// The initial program starts its sequencer with the layer's first key: one step per beat at 120 bpm,
// each step reported. Its single track has no gates and no accents, so the voice it feeds is untouched.
TEST(StepSequencerInProgram, InitialProgramStepsFromTheFirstKey) {
    auto kernel = testing::makeKernel();
    CorvanKernelProgram program(*kernel);
    program.initialise();
    testing::RecordingListener listener;
    kernel->addListener(&listener);
    testing::Block block;
    for (int b = 0; b < 100; ++b) testing::render(*kernel, block);
    kernel->drainNotifications();
    listener.data.clear();
    kernel->sendMidiNote(0x90, 60, 100);
    std::vector<int> reportBlocks, reportedSteps;
    size_t seen = 0;
    for (int b = 0; b < int(1600.0 / kBlockMs); ++b) {
        testing::render(*kernel, block);
        kernel->drainNotifications();
        for (; seen < listener.data.size(); ++seen) {
            const testing::DataRecord& r = listener.data[seen];
            if (r.slot != kSequencerSlot || r.payload.size() != 4) continue;
            int32_t step = -1;
            std::memcpy(&step, r.payload.data(), 4);
            reportBlocks.push_back(b);
            reportedSteps.push_back(step);
        }
    }
    EXPECT_EQ(reportedSteps, (std::vector<int>{0, 1, 2, 3})) << "four steps in 1.6 s";
    for (size_t k = 1; k < reportBlocks.size(); ++k)
        EXPECT_NEAR((reportBlocks[k] - reportBlocks[k - 1]) * kBlockMs, 500.0, kBlockMs);
    kernel->removeListener(&listener);
}

} // namespace
} // namespace corvex
