// The X/Y module measured from its seven values: the rotation of (X, Y), the LFO rates free and synced,
// the trigger, the trajectory sent to the editor, and extreme settings and tempos.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <limits>
#include <memory>
#include <random>
#include <vector>

#include "engine/dsp/ScopedNoDenormals.h"
#include "engine/modules/EngineContext.h"
#include "engine/modules/ModuleFramework.h"
#include "engine/modules/ModulePools.h"
#include "engine/modules/ModuleSlots.h"
#include "engine/modules/types/Quorbit.h"
#include "engine/program/CorvanKernelProgram.h"
#include "tests/engine/KernelTestHelpers.h"
#include "tests/engine/ModuleRig.h"
#include "tests/support/SignalChecks.h"

namespace corvex {
namespace {

constexpr int kQuorbitType = ModuleType::Quorbit;
constexpr int kQuorbitSlot = 25;
constexpr int kInputs = 5;
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInfinity = std::numeric_limits<float>::infinity();

// Shape words.
constexpr int16_t kSaw = 0, kSquare = 1, kSine = 2, kTriangle = 3;
// Rate words: the Hz curve's points 5 (1.0 Hz) and 10 (50 Hz); as sync codes, 1 cycle per beat and
// one cycle per 8 beats.
constexpr int16_t kOneHertz = 8192, kFiftyHertz = 16384, kCodeOne = 7680, kCodeMinusEight = 1;

struct Settings {
    std::array<int16_t, 3> shape{kSine, kSine, kSine};
    std::array<int16_t, 3> rate{0, 0, 0};
    int16_t angle = 0;
    int16_t midiSync = 0;
    int16_t freeRunning = 0;
};

class QuorbitTest : public testing::ModuleRig {
protected:
    void SetUp() override {
        ModuleRig::SetUp();
        context.setSampleRate(44100.0);
        setRecordHeader(record, kQuorbitSlot, 1);
        trigger.word = 0;
        trigger.intValue = 0;
        wiring.connect(0, &trigger);
    }

    void load(const Settings& s) {
        std::array<uint16_t, 2 + 23> data{};
        auto word = [&data](int j) -> uint16_t& { return data[size_t(j + 2)]; };
        word(1) = uint16_t(kQuorbitType << 8);
        word(2) = 23;
        word(3) = 8;
        for (int k = 0; k < 3; ++k) {
            word(8 + k) = uint16_t(s.shape[size_t(k)]);
            word(11 + k) = uint16_t(s.rate[size_t(k)]);
        }
        word(20) = uint16_t(s.angle);
        word(21) = uint16_t(s.midiSync);
        word(22) = uint16_t(s.freeRunning);
        blockLoaderFor(kQuorbitType)(data.data(), 23, &record, &context);
    }

    float set(int parameter, int16_t word, int* code = nullptr) {
        float echo = -999.0f;
        int inOut = word;
        parameterSetterFor(kQuorbitType)(word, parameter, &echo, &inOut, &record, &context);
        if (code) *code = inOut;
        return echo;
    }

    // Every output has a reader, so every value is written.
    QuorbitModule& make() {
        void* m = pools->poolForType(kQuorbitType)->allocate();
        initModuleByType(m, kQuorbitType, &record, 0, &context);
        auto& q = *static_cast<QuorbitModule*>(m);
        for (PortEntry& port : q.ports) port.setUsers(1);
        return q;
    }

    using Values = std::array<float, kQuorbitOutputs>;
    Values run(QuorbitModule& m, const testing::Wiring<kInputs>& w) {
        processModuleByType(&m, w.descriptors.data(), w.sources.data(), w.counts.data());
        Values v;
        for (int k = 0; k < kQuorbitOutputs; ++k) v[size_t(k)] = m.ports[k].value;
        return v;
    }
    Values run(QuorbitModule& m) { return run(m, wiring); }

    // One output over `blocks` blocks.
    std::vector<float> trace(QuorbitModule& m, int output, int blocks) {
        std::vector<float> x;
        for (int b = 0; b < blocks; ++b) x.push_back(run(m)[size_t(output)]);
        return x;
    }

    double blockRate() const { return context.sampleRate / 32.0; }

    ParameterRecord record;
    PortEntry trigger;
    testing::Wiring<kInputs> wiring{kQuorbitSlot};
};

// The point (w1, w2) turned by theta = angle + (w3 + 1) pi. Values at the start of a cycle are exact:
// square +1, sawtooth -1, sine and triangle 0; the first case lets a synced third LFO run to 5/8 of
// its triangle (-0.5) at a block rate of 1 Hz.
TEST_F(QuorbitTest, RotatesThePointOfTheFirstTwoByTheThird) {
    struct Case {
        const char* what;
        Settings settings;
        int blocks;          // the values of the last one are read
        double sampleRate;
        float w1, w2, w3, x, y;
    };
    const Case cases[] = {
        {"a quarter turn from the third LFO", {{kSquare, kSine, kTriangle}, {0, 0, kCodeMinusEight}, 0, 1}, 6, 32.0,
         1.0f, 0.0f, -0.5f, 0.0f, 1.0f},
        {"a half turn with everything at rest", {{kSquare, kSine, kSine}}, 1, 44100.0, 1.0f, 0.0f, 0.0f, -1.0f, 0.0f},
        {"a half turn swaps both signs", {{kSaw, kSquare, kTriangle}}, 1, 44100.0, -1.0f, 1.0f, 0.0f, 1.0f, -1.0f},
        // Angle word 8192 is 3.1415 rad: with the half turn it comes 0.0000927 short of a full one.
        {"angle word 8192", {{kSquare, kSine, kSine}, {0, 0, 0}, 8192}, 1, 44100.0, 1.0f, 0.0f, 0.0f, 1.0f,
         -0.0000927f},
        // The third LFO's sawtooth starts at -1, so only the angle turns: 4096 is 1.57075 rad.
        {"angle word 4096 alone", {{kSquare, kSine, kSaw}, {0, 0, 0}, 4096}, 1, 44100.0, 1.0f, 0.0f, -1.0f,
         0.0000463f, 1.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        context.setSampleRate(c.sampleRate);
        context.tempo = 60.0f;
        load(c.settings);
        QuorbitModule& m = make();
        Values v{};
        for (int b = 0; b < c.blocks; ++b) v = run(m);
        EXPECT_EQ(v[QuorbitOutput::Lfo1], c.w1);
        EXPECT_EQ(v[QuorbitOutput::Lfo2], c.w2);
        EXPECT_EQ(v[QuorbitOutput::Lfo3], c.w3);
        EXPECT_NEAR(v[QuorbitOutput::Mean], (c.w1 + c.w2 + c.w3) / 3.0f, 1e-7);
        EXPECT_NEAR(v[QuorbitOutput::RotatedX], c.x, 2e-7);
        EXPECT_NEAR(v[QuorbitOutput::RotatedY], c.y, 2e-7);
        EXPECT_NEAR(v[QuorbitOutput::RotatedMean], (c.x + c.y) / 2.0f, 2e-7);
        pools->poolForType(kQuorbitType)->release(&m);
    }
}

TEST_F(QuorbitTest, SettersConvertRatesAndAngleAndEchoThem) {
    load({});
    struct Case {
        int parameter;
        int16_t word;
        float echo;
        int code;
    };
    const Case free[] = {
        {11, 0, 0.0f, 1}, {12, kOneHertz, 1.0f, 1}, {13, kFiftyHertz, 50.0f, 1}, {11, 32767, 50.0f, 1},
        {11, -100, 0.0f, 1}, {8, kTriangle, 3.0f, 7}, {20, 8192, 180.0f, 10}, {14, 4096, 0.25f, 10},
        {17, 4096, 0.25f, 5}, {22, 1, 1.0f, 8}, {21, 1, 1.0f, 5},
    };
    for (const Case& c : free) {
        int code = 0;
        EXPECT_FLOAT_EQ(set(c.parameter, c.word, &code), c.echo) << c.parameter << " " << c.word;
        EXPECT_EQ(code, c.code) << c.parameter << " " << c.word;
    }
    EXPECT_FLOAT_EQ(record.as<QuorbitParams>().angle, 3.1415f);
    // With MIDI sync on, a rate echoes its tempo code; a word of 0 or below has none.
    const Case synced[] = {{11, kCodeOne, 1.0f, 3}, {12, kFiftyHertz, 9.0f, 3}, {13, kCodeMinusEight, -8.0f, 3},
                           {11, 0, 0.0f, 3}, {12, -5, 0.0f, 3}};
    for (const Case& c : synced) {
        int code = 0;
        EXPECT_FLOAT_EQ(set(c.parameter, c.word, &code), c.echo) << c.parameter << " " << c.word;
        EXPECT_EQ(code, c.code);
    }
    int code = 1234;
    EXPECT_EQ(set(7, 5, &code), -999.0f) << "a word outside 8..22 is not the module's";
    EXPECT_EQ(code, 5);
}

// Frequencies measured from the sine's zero crossings over the published block values.
TEST_F(QuorbitTest, RatesFollowTheCurveTheTempoAndTheThirdRateModulation) {
    struct Case {
        const char* what;
        int16_t rateWord;
        int16_t midiSync;
        float tempo;
        float modulation; // reaches m3 at full amount
        double lfo1Hz, lfo3Hz;
    };
    const Case cases[] = {
        {"1 Hz free", kOneHertz, 0, 120.0f, 0.0f, 1.0, 1.0},
        {"50 Hz, beyond the LFO module's 20", kFiftyHertz, 0, 120.0f, 0.0f, 50.0, 50.0},
        {"one cycle per beat at 120 bpm", kCodeOne, 1, 120.0f, 0.0f, 2.0, 2.0},
        {"one cycle per 8 beats at 120 bpm", kCodeMinusEight, 1, 120.0f, 0.0f, 0.25, 0.25},
        {"m3 = 1/8 doubles only the third", kOneHertz, 0, 120.0f, 0.125f, 1.0, 2.0},
        {"m3 = -1/4 quarters only the third", kCodeOne, 1, 60.0f, -0.25f, 1.0, 0.25},
    };
    PortEntry mod;
    mod.word = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        context.tempo = c.tempo;
        mod.value = c.modulation;
        Settings s;
        s.rate = {c.rateWord, c.rateWord, c.rateWord};
        s.midiSync = c.midiSync;
        load(s);
        testing::Wiring<kInputs> w = wiring;
        w.connect(3, &mod);
        QuorbitModule& m = make();
        const int blocks = int(blockRate() * 9.0);
        std::vector<float> lfo1, lfo3;
        for (int b = 0; b < blocks; ++b) {
            const Values v = run(m, w);
            lfo1.push_back(v[QuorbitOutput::Lfo1]);
            lfo3.push_back(v[QuorbitOutput::Lfo3]);
        }
        EXPECT_NEAR(testing::zeroCrossingFrequency(lfo1, blockRate()), c.lfo1Hz, c.lfo1Hz * 0.002);
        EXPECT_NEAR(testing::zeroCrossingFrequency(lfo3, blockRate()), c.lfo3Hz, c.lfo3Hz * 0.002);
        pools->poolForType(kQuorbitType)->release(&m);
    }
}

// The third LFO's sawtooth is read entry by entry; the first two interpolate. One cycle per beat at
// 15/128 bpm is 1/512 Hz: at a block rate of 1 Hz the phase moves half an entry per block.
TEST_F(QuorbitTest, ThirdSawtoothStepsWhereTheOthersInterpolate) {
    context.setSampleRate(32.0);
    context.tempo = 0.1171875f;
    load({{kSaw, kSaw, kSaw}, {kCodeOne, kCodeOne, kCodeOne}, 0, 1});
    QuorbitModule& m = make();
    run(m);
    const Values half = run(m);
    EXPECT_FLOAT_EQ(half[QuorbitOutput::Lfo1], -1.0f + 1.0f / 255.0f);
    EXPECT_EQ(half[QuorbitOutput::Lfo3], -1.0f);
    const Values next = run(m);
    EXPECT_FLOAT_EQ(next[QuorbitOutput::Lfo1], -1.0f + 2.0f / 255.0f);
    EXPECT_FLOAT_EQ(next[QuorbitOutput::Lfo3], -1.0f + 2.0f / 255.0f);
}

TEST_F(QuorbitTest, TriggerRestartsTheThreePhasesUnlessFreeRunning) {
    for (const int16_t freeRunning : {int16_t(0), int16_t(1)}) {
        SCOPED_TRACE(freeRunning);
        Settings s;
        s.rate = {kOneHertz, kOneHertz, kOneHertz};
        s.freeRunning = freeRunning;
        load(s);
        QuorbitModule& m = make();
        const std::vector<float> before = trace(m, QuorbitOutput::Lfo1, 300);
        ASSERT_GT(before.back(), 0.5f) << "a quarter of the way into the sine";
        trigger.intValue = 1;
        const Values at = run(m);
        trigger.intValue = 2;
        const Values after = run(m);
        if (freeRunning == 0) {
            for (int k = 0; k < 3; ++k) EXPECT_EQ(at[size_t(k)], 0.0f) << "sine at its start, LFO " << k + 1;
            EXPECT_GT(after[0], 0.0f);
            EXPECT_LT(after[0], 0.01f);
        } else {
            EXPECT_GT(at[0], before.back()) << "runs on";
        }
        trigger.intValue = 0;
        pools->poolForType(kQuorbitType)->release(&m);
    }
}

// Five points, one every 11 blocks, travel in one 80-byte record every 55 blocks: each point is the
// rotated X and Y scaled into 0..1 and the rotation's cosine and sine, as i32 of value x 16384.
TEST_F(QuorbitTest, TrajectoryOfFivePointsEvery55Blocks) {
    auto kernel = testing::makeKernel();
    testing::RecordingListener listener;
    kernel->addListener(&listener);
    context.kernel = kernel.get();
    context.reserveModuleData = kernel->context().reserveModuleData;
    testing::Block block;

    // At rest with angle 0 and the third sawtooth at -1: X = +1 (square), Y = -1 (sawtooth), theta = 0.
    load({{kSquare, kSaw, kSaw}});
    QuorbitModule& still = make();
    std::vector<int> recordsAfter;
    for (int b = 1; b <= 165; ++b) {
        run(still);
        testing::render(*kernel, block);
        kernel->drainNotifications();
        if (listener.data.size() > recordsAfter.size()) recordsAfter.push_back(b);
    }
    EXPECT_EQ(recordsAfter, (std::vector<int>{55, 110, 165}));
    ASSERT_FALSE(listener.data.empty());
    const testing::DataRecord& first = listener.data[0];
    EXPECT_EQ(first.section, 1);
    EXPECT_EQ(first.slot, kQuorbitSlot);
    ASSERT_EQ(first.payload.size(), 80u);
    std::array<int32_t, 20> words{};
    std::memcpy(words.data(), first.payload.data(), 80);
    for (int point = 0; point < 5; ++point) {
        // 0.35 x 1 + 0.5 = 0.85 -> 13926.4; 0.35 x -1 + 0.5 = 0.15 -> 2457.6; cos 0 -> 1.0; sin 0 -> 0.5.
        EXPECT_EQ(words[size_t(point * 4 + 0)], 13926) << point;
        EXPECT_EQ(words[size_t(point * 4 + 1)], 2457) << point;
        EXPECT_EQ(words[size_t(point * 4 + 2)], 16384) << point;
        EXPECT_EQ(words[size_t(point * 4 + 3)], 8192) << point;
    }
    pools->poolForType(kQuorbitType)->release(&still);

    // Moving: the points are the values the module published in blocks 11, 22, 33, 44 and 55.
    listener.data.clear();
    load({{kSine, kTriangle, kSine}, {kOneHertz, kFiftyHertz, kOneHertz}, 3000});
    QuorbitModule& moving = make();
    std::vector<Values> published;
    for (int b = 0; b < 55; ++b) published.push_back(run(moving));
    testing::render(*kernel, block);
    kernel->drainNotifications();
    ASSERT_EQ(listener.data.size(), 1u);
    std::memcpy(words.data(), listener.data[0].payload.data(), 80);
    for (int point = 0; point < 5; ++point) {
        const Values& v = published[size_t(11 * point + 10)];
        EXPECT_NEAR(words[size_t(point * 4 + 0)], (0.35 * v[QuorbitOutput::RotatedX] + 0.5) * 16384.0, 1.0) << point;
        EXPECT_NEAR(words[size_t(point * 4 + 1)], (0.35 * v[QuorbitOutput::RotatedY] + 0.5) * 16384.0, 1.0) << point;
    }
    EXPECT_NE(words[0], words[4]) << "the points differ";
    kernel->removeListener(&listener);
    context.kernel = nullptr;
    context.reserveModuleData = nullptr;
}

// A synced generator without a usable tempo holds still and starts again with the tempo.
TEST_F(QuorbitTest, NoTempoHoldsTheSyncedLfosWithoutStalling) {
    load({{kSine, kSine, kSine}, {kCodeOne, kCodeOne, kCodeOne}, 0, 1});
    QuorbitModule& m = make();
    context.tempo = 120.0f;
    trace(m, QuorbitOutput::Lfo1, 100);
    for (const float tempo : {0.0f, -120.0f, kNaN}) {
        SCOPED_TRACE(tempo);
        context.tempo = tempo;
        const std::vector<float> held = trace(m, QuorbitOutput::Lfo1, 50);
        for (float v : held) {
            ASSERT_TRUE(std::isfinite(v));
            EXPECT_EQ(v, held.back());
        }
    }
    context.tempo = 120.0f;
    const std::vector<float> resumed = trace(m, QuorbitOutput::Lfo1, int(blockRate() * 4.0));
    EXPECT_NEAR(testing::zeroCrossingFrequency(resumed, blockRate()), 2.0, 0.004);
}

TEST_F(QuorbitTest, ExtremeSettingsAndInputsStayFinite) {
    corvex::ScopedDenormalsAllowed denormals;
    std::mt19937 rng(4242);
    const float specials[] = {0.0f, 1.0f, -1.0f, 1e30f, -1e30f, 1e-30f, 1e-40f, kNaN, kInfinity, -kInfinity};
    auto pick = [&] { return specials[rng() % std::size(specials)]; };
    auto word = [&] { return int16_t(rng() % 3 == 0 ? int(rng() % 20) - 4 : int(rng() % 65536) - 32768); };
    const double rates[] = {22050.0, 44100.0, 48000.0, 96000.0, 192000.0, 32.0};
    auto kernel = testing::makeKernel();
    context.kernel = kernel.get();
    context.reserveModuleData = kernel->context().reserveModuleData;
    testing::Block block;
    std::vector<Settings> settings = {Settings{}, {{0, 0, 0}, {16384, 16384, 16384}, 16384, 1, 1},
                                      {{3, 3, 3}, {32767, 32767, 32767}, 32767, 1, 0},
                                      {{-32768, 4, 99}, {-32768, -32768, -32768}, -32768, 0, 0}};
    for (int r = 0; r < 60; ++r)
        settings.push_back({{word(), word(), word()}, {word(), word(), word()}, word(), word(), word()});
    for (const Settings& s : settings) {
        context.setSampleRate(rates[rng() % std::size(rates)]);
        context.tempo = rng() % 2 ? pick() : 120.0f;
        load(s);
        QuorbitModule& m = make();
        PortEntry mod;
        mod.word = 0;
        testing::Wiring<kInputs> w = wiring;
        for (int input = 0; input < kInputs; ++input)
            if (rng() % 2) w.connect(input, &mod, word(), uint16_t(rng() % 65536));
        for (int b = 0; b < 120; ++b) {
            mod.value = pick();
            trigger.intValue = int(rng() % 5) - 1;
            if (rng() % 10 == 0) set(8 + int(rng() % 15), word());
            const Values v = run(m, w);
            ASSERT_EQ(testing::badSamples(v.data(), v.size()), 0) << "block " << b;
            for (float x : v) ASSERT_LE(std::fabs(x), 1.5f);
            if (b % 55 == 0) {
                testing::render(*kernel, block);
                kernel->drainNotifications();
            }
        }
        pools->poolForType(kQuorbitType)->release(&m);
    }
    context.kernel = nullptr;
    context.reserveModuleData = nullptr;
}

// The initial program's X/Y module runs with its part and sends its trajectory every 55 blocks.
TEST(QuorbitInProgram, InitialProgramSendsTheTrajectory) {
    auto kernel = testing::makeKernel();
    CorvanKernelProgram program(*kernel);
    program.initialise();
    testing::RecordingListener listener;
    kernel->addListener(&listener);
    testing::Block block;
    kernel->sendMidiNote(0x90, 60, 100);
    std::vector<int> trajectoryBlocks;
    size_t seen = 0;
    for (int b = 0; b < 400; ++b) {
        testing::render(*kernel, block);
        kernel->drainNotifications();
        for (; seen < listener.data.size(); ++seen)
            if (listener.data[seen].slot == kQuorbitSlot && listener.data[seen].payload.size() == 80u)
                trajectoryBlocks.push_back(b);
    }
    ASSERT_GE(trajectoryBlocks.size(), 6u);
    for (size_t k = 1; k < trajectoryBlocks.size(); ++k) EXPECT_EQ(trajectoryBlocks[k] - trajectoryBlocks[k - 1], 55);
    kernel->removeListener(&listener);
}

} // namespace
} // namespace corvex
