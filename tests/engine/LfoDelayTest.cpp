// The LFO delay measured from its output: hold and rise after a key, fade out on release, where
// its gate comes from, and extreme settings.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "engine/dsp/ConnectionDescriptor.h"
#include "engine/modules/types/LfoDelay.h"
#include "tests/engine/ModuleRig.h"
#include "tests/support/SignalChecks.h"

namespace corvex {
namespace {

constexpr int kLfoDelayType = ModuleType::LfoDelay;
constexpr int kLfoDelaySlot = 29;
constexpr double kBlockMs = 32.0 / 44.1;
constexpr float kInput = 0.8f;

struct Wiring : testing::Wiring<LfoDelayInput::Count> {
    Wiring() : testing::Wiring<LfoDelayInput::Count>(kLfoDelaySlot) {}
};

class LfoDelayTest : public testing::ModuleRig {
protected:
    void SetUp() override {
        ModuleRig::SetUp();
        value.word = 0;
        value.value = kInput;
        gate.word = 0;
        gate.intValue = 0;
        wiring.connect(LfoDelayInput::Value, &value);
        wiring.connect(LfoDelayInput::Gate, &gate);
    }

    LfoDelayModule& fresh() {
        void* m = pools->poolForType(kLfoDelayType)->allocate();
        initModuleByType(m, kLfoDelayType, &record, 0, &context);
        return *static_cast<LfoDelayModule*>(m);
    }

    void load(int delayWord, int fallWord, int fadeOut) {
        std::array<uint16_t, 2 + 12> data{};
        data[2 + 0] = 0x201;
        data[2 + 1] = uint16_t(kLfoDelayType << 8);
        data[2 + 2] = 12;
        data[2 + 3] = 8;
        data[2 + 7] = uint16_t(delayWord);
        data[2 + 8] = uint16_t(fallWord);
        data[2 + 10] = uint16_t(fadeOut);
        blockLoaderFor(kLfoDelayType)(data.data(), 12, &record, &context);
    }

    float run(LfoDelayModule& m, int gateState, const Wiring& w) {
        gate.intValue = gateState;
        processModuleByType(&m, w.descriptors.data(), w.sources.data(), w.counts.data());
        return m.ports[0].value;
    }
    float run(LfoDelayModule& m, int gateState = 2) { return run(m, gateState, wiring); }

    ParameterRecord record;
    PortEntry value, gate;
    Wiring wiring;
};

// Holding a third of the delay, rising linearly over the other two thirds (a 1/1024 faster than
// exactly), full, and falling over the fall time on release when fade-out is on.
TEST_F(LfoDelayTest, StagesAfterAKeyAndItsRelease) {
    struct Case {
        const char* what;
        int delayWord, fallWord, fadeOut;
        double holdMs, riseMs, fallMs; // from the written curves; fallMs < 0: the release keeps it full
    };
    const Case cases[] = {
        {"shortest delay: full from the block after the start", 0, 0, 1, 0.1 / 3, 0.2 / 3, 0.01},
        {"747 ms delay, 500 ms fall", 8192, 8192, 1, 249.0, 498.0, 0.01 + 0.5 * 999.99},
        {"longest delay, no fade-out", 16384, 16384, 0, 11842.0 / 3, 2 * 11842.0 / 3, -1.0},
        {"longest delay, longest fall", 16384, 16384, 1, 11842.0 / 3, 2 * 11842.0 / 3, 1000.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        load(c.delayWord, c.fallWord, c.fadeOut);
        LfoDelayModule& m = fresh();
        std::vector<float> out;
        out.push_back(run(m, 1));
        const int holdBlocks = int(c.holdMs / kBlockMs) + 1;
        const int riseBlocks = int(std::ceil(c.riseMs / kBlockMs / (1.0 + 1.0 / 1024.0)));
        for (int b = 0; b < holdBlocks + riseBlocks + 20; ++b) out.push_back(run(m));

        int firstMoving = 0;
        while (firstMoving < int(out.size()) && out[size_t(firstMoving)] == 0.0f) ++firstMoving;
        int firstFull = firstMoving;
        while (firstFull < int(out.size()) && out[size_t(firstFull)] < kInput) ++firstFull;
        // The hold ends in the block where its counter reaches D/3; the level moves from the next.
        EXPECT_NEAR(firstMoving, holdBlocks, 1) << "hold";
        // The level is summed in single precision: over ten thousand steps that drifts a block or two.
        EXPECT_NEAR(firstFull - firstMoving + 1, riseBlocks, 1 + riseBlocks / 2000) << "rise";
        for (size_t b = size_t(firstMoving) + 1; b < size_t(firstFull); ++b) {
            const float slope = out[b] - out[b - 1];
            ASSERT_NEAR(slope, out[size_t(firstMoving)], 1e-3f * kInput) << "a straight rise, block " << b;
        }
        EXPECT_EQ(out.back(), kInput);
        EXPECT_EQ(m.stage, LfoDelayStage::Full);

        float level = run(m, 3);
        if (c.fallMs < 0) {
            for (int b = 0; b < 100; ++b) ASSERT_EQ(run(m, 0), kInput) << "without fade-out a release changes nothing";
            pools->poolForType(kLfoDelayType)->release(&m);
            continue;
        }
        int fall = 1;
        while (level > 0.0f && fall < 100000) {
            level = run(m, 0);
            ++fall;
        }
        EXPECT_NEAR(fall, std::ceil(c.fallMs / kBlockMs), 1.0) << "fall";
        run(m, 0);
        EXPECT_EQ(m.stage, LfoDelayStage::Idle);
        pools->poolForType(kLfoDelayType)->release(&m);
    }
}

TEST_F(LfoDelayTest, ANewKeyRestartsFromHoldingAtZero) {
    load(8192, 16384, 1);
    LfoDelayModule& m = fresh();
    run(m, 1);
    for (int b = 0; b < 600; ++b) run(m);
    ASSERT_GT(m.level, 0.3f);
    run(m, 3);
    run(m, 0);
    ASSERT_EQ(m.stage, LfoDelayStage::Falling);
    EXPECT_EQ(run(m, 1), 0.0f);
    EXPECT_EQ(m.stage, LfoDelayStage::Holding);
    EXPECT_EQ(run(m), 0.0f);
}

// The fault: with two connections on input 0 the gate was read from input 0's second one. The
// gate is input 1's first connection, and with no gate at all the output is 0.
TEST_F(LfoDelayTest, GateIsInputOnesFirstConnection) {
    load(0, 0, 0);
    PortEntry second;
    second.word = 0;
    second.intValue = 0; // a value port that reads as "released" where a gate would be misread
    Wiring w;
    w.connect(LfoDelayInput::Value, &value);
    w.connect(LfoDelayInput::Value, &second);
    w.connect(LfoDelayInput::Gate, &gate);
    LfoDelayModule& m = fresh();
    EXPECT_EQ(run(m, 1, w), 0.0f);
    EXPECT_EQ(run(m, 2, w), kInput) << "the first input 0 connection, faded in by input 1's start";

    Wiring ungated;
    ungated.connect(LfoDelayInput::Value, &value);
    LfoDelayModule& lone = fresh();
    for (int b = 0; b < 4; ++b) EXPECT_EQ(run(lone, b == 0 ? 1 : 2, ungated), 0.0f);
}

TEST_F(LfoDelayTest, SetterEchoesTheRiseAndTheFall) {
    load(0, 0, 0);
    float echo = -1.0f;
    int code = 0;
    parameterSetterFor(kLfoDelayType)(8192, 7, &echo, &code, &record, &context);
    EXPECT_NEAR(echo, 2.0 * 747.0 / 3.0, 1e-3);
    EXPECT_EQ(code, 5);
    parameterSetterFor(kLfoDelayType)(16384, 8, &echo, &code, &record, &context);
    EXPECT_EQ(echo, 1000.0f);
    echo = -1.0f;
    parameterSetterFor(kLfoDelayType)(1, 10, &echo, &code, &record, &context);
    EXPECT_EQ(echo, -1.0f) << "fade-out comes with the block only";
    EXPECT_EQ(record.as<LfoDelayParams>().fadeOutOnRelease, 0);
}

// Random and limit words, gates and inputs (NaN, infinities, denormals), without flush-to-zero.
TEST_F(LfoDelayTest, ExtremeSettingsAndInputsStayFinite) {
    std::mt19937 rng(0x59);
    const float specials[] = {0.0f, 1.0f, -1.0f, 1e30f, -1e30f, 1e-30f, 1e-40f, std::nanf(""), INFINITY, -INFINITY};
    auto pick = [&] { return specials[rng() % std::size(specials)]; };
    auto word = [&] { return int16_t(rng() % 3 == 0 ? int(rng() % 20) - 2 : int(rng() % 65536) - 32768); };
    const double rates[] = {8000.0, 44100.0, 192000.0};
    for (int trial = 0; trial < 200; ++trial) {
        SetUp();
        context.setSampleRate(rates[rng() % std::size(rates)]);
        std::array<uint16_t, 2 + 12> data{};
        for (auto& v : data) v = uint16_t(word());
        blockLoaderFor(kLfoDelayType)(data.data(), 12, &record, &context);
        PortEntry buffer = bufferPort(pick());
        Wiring w;
        w.connect(LfoDelayInput::Value, rng() % 2 ? &value : &buffer);
        w.connect(LfoDelayInput::Gate, &gate);
        LfoDelayModule& m = fresh();
        for (int b = 0; b < 200; ++b) {
            if (rng() % 8 == 0) parameterSetterFor(kLfoDelayType)(word(), 7 + int(rng() % 5), nullptr, nullptr,
                                                                  &record, &context);
            value.value = pick();
            const float out = run(m, int(rng() % 6) - 1, w);
            ASSERT_EQ(testing::badSamples(&out, 1), 0) << trial;
            ASSERT_TRUE(m.level >= 0.0f && m.level <= 1.0f) << trial;
        }
        pools->poolForType(kLfoDelayType)->release(&m);
    }
}

} // namespace
} // namespace corvex
