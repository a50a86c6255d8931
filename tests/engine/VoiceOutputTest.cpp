// The voice output stage measured on its part's bus: latch, gain ramp, tremolo depth, level and setter.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "engine/dsp/ScopedNoDenormals.h"
#include "engine/dsp/ConnectionDescriptor.h"
#include "engine/modules/EngineContext.h"
#include "engine/modules/BlockBufferStore.h"
#include "engine/modules/ModuleFramework.h"
#include "engine/modules/ModulePools.h"
#include "engine/modules/types/VoiceOutput.h"
#include "tests/support/SignalChecks.h"
#include "tests/engine/ModuleRig.h"

namespace corvex {
namespace {

constexpr int kStageType = ModuleType::VoiceOutput;
constexpr int kAudioInput = 0;
constexpr int kTremoloInput = 2;
constexpr int kLevelInput = 4;
constexpr int kGainInput = 5;
constexpr uint16_t kCurve1 = 1; // the wiring's selector for the tremolo: curve 1, range factor 1.0

struct Wiring : testing::Wiring<7> {
    Wiring() : testing::Wiring<7>(8) {}
};

class VoiceOutputTest : public testing::ModuleRig {
protected:
    void SetUp() override {
        ModuleRig::SetUp();
        audio = bufferPort();
        gainSignal = bufferPort();
        envelope.word = 0;
        envelope.value = 1.0f;
        lfo.word = 0;
        lfo.value = 0.0f;
        fill(audio, 1.0f);
        loadLevel(12288); // unity level, so bus values read as gains x 1/8
    }

    static void fill(const PortEntry& p, float v) {
        float* d = portBuffer(p);
        for (int i = 0; i < kBlockFrames; ++i) d[i] = v;
    }

    VoiceOutputModule& stage() {
        void* m = pools->poolForType(kStageType)->allocate();
        initModuleByType(m, kStageType, &record, 0, &context);
        auto& s = *static_cast<VoiceOutputModule*>(m);
        s.leftBus = left.data();
        s.rightBus = right.data();
        return s;
    }

    void loadLevel(int levelWord) {
        std::array<uint16_t, 2 + 11> data{};
        data[2 + 0] = 0x200;
        data[2 + 1] = uint16_t(kStageType << 8);
        data[2 + 2] = 11;
        data[2 + 3] = 1;
        data[2 + 7] = uint16_t(levelWord);
        data[2 + 9] = 8128;
        data[2 + 10] = 1;
        blockLoaderFor(kStageType)(data.data(), 11, &record, &context);
    }

    // The instrument's wiring: audio, the LFO on the tremolo input, envelope 2 on the level input.
    Wiring standard(int16_t lfoAmount = 0) {
        Wiring w;
        w.connect(kAudioInput, &audio);
        w.connect(kTremoloInput, &lfo, lfoAmount, kCurve1);
        w.connect(kLevelInput, &envelope);
        return w;
    }

    void run(VoiceOutputModule& s, const Wiring& w) {
        processModuleByType(&s, w.descriptors.data(), w.sources.data(), w.counts.data());
    }

    ParameterRecord record;
    PortEntry audio, gainSignal, envelope, lfo;
    std::array<float, kBlockFrames> left{}, right{};
};

TEST_F(VoiceOutputTest, FirstBlockLatchesTheGainThenTheInitialLevelApplies) {
    loadLevel(11468); // the initial program's level: -2.40234375 dB
    VoiceOutputModule& s = stage();
    for (int i = 0; i < kBlockFrames; ++i) {
        left[size_t(i)] = 0.01f * float(i); // another voice already on the bus
        portBuffer(audio)[i] = std::sin(0.3f * float(i));
    }
    right.fill(-5.0f);
    const auto before = left;
    envelope.value = 0.6f;
    const Wiring w = standard();
    run(s, w);
    EXPECT_EQ(left, before) << "a voice is silent in its first block";
    EXPECT_EQ(right, left);

    run(s, w);
    for (int i = 0; i < kBlockFrames; ++i) {
        const float x = portBuffer(audio)[i];
        EXPECT_NEAR(left[size_t(i)] - before[size_t(i)], x * 0.6f * 0.7583729f * 0.125f, 1e-6f) << i;
    }
    EXPECT_EQ(right, left);
}

// Stages of several voices in one call add into their buses exactly what they add one call at a
// time, in voice order, and every right bus ends as the copy of its left, even where the voices'
// bus pairs differ or cross.
TEST_F(VoiceOutputTest, VoicesTogetherAddInOrderAndLeaveEachRightBusTheCopyOfItsLeft) {
    enum Buses { PairA, PairB, LeftAOnly, Crossed };
    struct Case {
        const char* what;
        std::vector<Buses> voices;
    };
    const Case cases[] = {
        {"one pair", {PairA, PairA, PairA, PairA}},
        {"pairs taking turns", {PairA, PairB, PairA, PairB}},
        {"a stage without a right bus", {PairA, LeftAOnly, PairA, LeftAOnly}},
        {"a pair crossing another", {PairA, Crossed, PairA}},
    };
    for (const Case& c : cases) {
        struct Bank {
            std::array<std::array<float, kBlockFrames>, 4> bus{};
            std::vector<VoiceOutputModule*> stages;
        } together, alone;
        std::vector<PortEntry> sounds, levels;
        sounds.reserve(c.voices.size());
        levels.reserve(c.voices.size());
        std::vector<Wiring> wirings;
        for (size_t v = 0; v < c.voices.size(); ++v) {
            sounds.push_back(bufferPort());
            for (int i = 0; i < kBlockFrames; ++i) portBuffer(sounds.back())[i] = std::sin(0.37f * float(i * (v + 1)));
            PortEntry level;
            level.word = 0;
            level.value = 0.3f + 0.2f * float(v);
            levels.push_back(level);
            Wiring w;
            w.connect(kAudioInput, &sounds.back(), 13000);
            w.connect(kTremoloInput, &lfo, 4000, kCurve1);
            w.connect(kLevelInput, &levels.back());
            w.connect(kGainInput, &gainSignal, 5000);
            wirings.push_back(w);
        }
        for (int i = 0; i < kBlockFrames; ++i) portBuffer(gainSignal)[i] = 0.1f * float(i % 5);
        for (Bank* b : {&together, &alone}) {
            for (size_t k = 0; k < b->bus.size(); ++k) b->bus[k].fill(float(k) - 7.5f);
            for (Buses buses : c.voices) {
                VoiceOutputModule& s = stage();
                float* l = b->bus[buses == PairB ? 2 : buses == Crossed ? 1 : 0].data();
                float* r = buses == LeftAOnly ? nullptr : b->bus[buses == PairB ? 3 : buses == Crossed ? 0 : 1].data();
                s.leftBus = l;
                s.rightBus = r;
                b->stages.push_back(&s);
            }
        }
        // The voices of one slot share descriptors and counts; each reads its own sources.
        const Wiring& shared = wirings[0];
        for (int block = 0; block < 3; ++block) {
            lfo.value = 0.25f * float(block);
            std::vector<void*> modules(together.stages.begin(), together.stages.end());
            std::vector<const PortEntry* const*> sources;
            for (const Wiring& w : wirings) sources.push_back(w.sources.data());
            processVoiceOutputs(modules.data(), int(modules.size()), shared.descriptors.data(), sources.data(),
                                shared.counts.data());
            for (size_t v = 0; v < alone.stages.size(); ++v) run(*alone.stages[v], wirings[v]);
            for (size_t k = 0; k < together.bus.size(); ++k)
                ASSERT_EQ(0, std::memcmp(together.bus[k].data(), alone.bus[k].data(), sizeof(together.bus[k])))
                    << c.what << ", block " << block << ", bus " << k;
        }
        for (Bank* b : {&together, &alone})
            for (VoiceOutputModule* s : b->stages) resetModuleByType(s);
        for (PortEntry& p : sounds) releasePortUser(p);
    }
}

TEST_F(VoiceOutputTest, GainRampsAcrossTheBlockFromThePreviousGain) {
    VoiceOutputModule& s = stage();
    const Wiring w = standard();
    envelope.value = 0.0f;
    run(s, w); // latches gain 0
    envelope.value = 1.0f;
    run(s, w);
    EXPECT_EQ(left[0], 0.0f);
    EXPECT_FLOAT_EQ(left[16], 0.5f * 0.125f);
    EXPECT_FLOAT_EQ(left[31], 31.0f / 32.0f * 0.125f);
    left.fill(0.0f);
    run(s, w);
    for (float v : left) EXPECT_FLOAT_EQ(v, 0.125f) << "the new gain is in force from the next block's start";
}

TEST_F(VoiceOutputTest, AudioRateGainAddsToTheRamp) {
    VoiceOutputModule& s = stage();
    Wiring w = standard();
    w.connect(kGainInput, &gainSignal, 8192);
    for (int i = 0; i < kBlockFrames; ++i) portBuffer(gainSignal)[i] = float(i % 4);
    run(s, w);
    run(s, w);
    for (int i = 0; i < kBlockFrames; ++i)
        EXPECT_FLOAT_EQ(left[size_t(i)], (1.0f + 0.5f * float(i % 4)) * 0.125f) << i;
}

TEST_F(VoiceOutputTest, TremoloDepthAndLevelSetTheBlockGain) {
    struct Case {
        const char* what;
        bool tremolo;
        int16_t depth;
        float lfoValue;
        bool level;
        float envelopeValue;
        float gain;
    };
    const Case cases[] = {
        {"depth 0 passes the envelope", true, 0, -1.0f, true, 0.8f, 0.8f},
        {"depth 0 ignores the LFO", true, 0, 1.0f, true, 0.8f, 0.8f},
        {"full depth, LFO at -1", true, 16384, -1.0f, true, 0.8f, 0.0f},
        {"full depth, LFO at +1", true, 16384, 1.0f, true, 0.8f, 0.8f},
        {"full depth, LFO at 0.5", true, 16384, 0.5f, true, 1.0f, 0.75f},
        {"half depth, LFO at 0", true, 8192, 0.0f, true, 1.0f, 0.75f},
        {"half depth, LFO at +1", true, 8192, 1.0f, true, 1.0f, 1.0f - 0.5f * (0.5f - 0.51f)},
        {"negative level", true, 0, 0.0f, true, -0.5f, 0.0f},
        {"no tremolo connection", false, 0, 0.0f, true, 0.7f, 0.7f},
        {"no level connection", true, 0, 0.0f, false, 0.0f, 0.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Wiring w;
        w.connect(kAudioInput, &audio);
        if (c.tremolo) w.connect(kTremoloInput, &lfo, c.depth, kCurve1);
        if (c.level) w.connect(kLevelInput, &envelope);
        lfo.value = c.lfoValue;
        envelope.value = c.envelopeValue;
        VoiceOutputModule& s = stage();
        run(s, w);
        left.fill(0.0f);
        run(s, w);
        for (float v : left) ASSERT_NEAR(v, c.gain * 0.125f, 1e-6f);
    }
}

TEST_F(VoiceOutputTest, LaterTremoloConnectionSetsTheDepth) {
    PortEntry router;
    router.word = 0;
    router.value = 0.0f;
    Wiring w;
    w.connect(kAudioInput, &audio);
    w.connect(kTremoloInput, &lfo, 16384, kCurve1);
    w.connect(kTremoloInput, &router, 0, kCurve1);
    w.connect(kLevelInput, &envelope);
    lfo.value = -1.0f;
    VoiceOutputModule& s = stage();
    run(s, w);
    run(s, w);
    // Depth 0 from the last connection; the LFO's own term still pulls the gain down by half.
    EXPECT_FLOAT_EQ(left[0], (1.0f - 0.5f * (0.0f - -1.0f)) * 0.125f);
}

TEST_F(VoiceOutputTest, ABlockWithoutAudioKeepsTheGainButEndsTheFirstBlock) {
    struct Case {
        const char* what;
        bool connected;
        int16_t amount;
    };
    for (const Case c : {Case{"no audio connection", false, 16384}, Case{"audio amount 0", true, 0}}) {
        SCOPED_TRACE(c.what);
        Wiring silent;
        if (c.connected) silent.connect(kAudioInput, &audio, c.amount);
        silent.connect(kLevelInput, &envelope);
        VoiceOutputModule& s = stage();
        left.fill(0.25f);
        run(s, silent);
        for (float v : left) EXPECT_EQ(v, 0.25f);
        EXPECT_EQ(right, left);
        left.fill(0.0f);
        run(s, standard());
        EXPECT_EQ(left[0], 0.0f) << "the ramp starts at the gain kept from init";
        EXPECT_FLOAT_EQ(left[16], 0.5f * 0.125f) << "not silent: the first block has passed";
    }
}

TEST_F(VoiceOutputTest, ABlockRateSourceOnTheAudioInputAddsNothing) {
    PortEntry valueSource;
    valueSource.word = 0;
    valueSource.value = 1.0f;
    Wiring w;
    w.connect(kAudioInput, &valueSource);
    w.connect(kLevelInput, &envelope);
    VoiceOutputModule& s = stage();
    run(s, w);
    run(s, w);
    for (float v : left) EXPECT_EQ(v, 0.0f);
}

TEST_F(VoiceOutputTest, TwoVoicesOfAPartShareTheBus) {
    VoiceOutputModule& first = stage();
    VoiceOutputModule& second = stage();
    PortEntry otherAudio = bufferPort();
    fill(otherAudio, -0.5f);
    Wiring other;
    other.connect(kAudioInput, &otherAudio);
    other.connect(kLevelInput, &envelope);
    const Wiring w = standard();
    for (int b = 0; b < 2; ++b) {
        left.fill(0.0f);
        run(first, w);
        run(second, other);
    }
    for (int i = 0; i < kBlockFrames; ++i) EXPECT_FLOAT_EQ(left[size_t(i)], (1.0f - 0.5f) * 0.125f);
    EXPECT_EQ(right, left);
}

TEST_F(VoiceOutputTest, MissingBusesAndTablesAreNeverWritten) {
    VoiceOutputModule& s = stage();
    const Wiring w = standard();
    processModuleByType(&s, nullptr, nullptr, nullptr);
    EXPECT_EQ(s.started, 0) << "a call without an input table does nothing at all";
    s.leftBus = nullptr;
    right.fill(3.0f);
    run(s, w);
    run(s, w);
    for (float v : right) EXPECT_EQ(v, 3.0f) << "nothing to copy without a left bus";
    s.leftBus = left.data();
    s.rightBus = nullptr;
    run(s, w);
    EXPECT_FLOAT_EQ(left[5], 0.125f);
}

TEST_F(VoiceOutputTest, SetterStoresAndEchoes) {
    struct Case {
        int parameter;
        int16_t word;
        float echo;
        int code;
    };
    const Case cases[] = {
        {7, 16384, 12.0f, 0},    {7, 0, -100.0f, 0},     {7, 12288, 0.0f, 0}, {3, 999, 1.0f, 7},
        {8, 20000, 1.0f, 8},     {8, -20000, -1.0f, 8},  {8, 16383, 0.0f, 8}, {9, 8128, 0.49609375f, 9},
        {10, -7, -7.0f, 8},
    };
    for (const Case& c : cases) {
        float echo = -999.0f;
        int code = c.word;
        parameterSetterFor(kStageType)(c.word, c.parameter, &echo, &code, &record, &context);
        EXPECT_NEAR(echo, c.echo, 1e-4f) << c.parameter << ":" << c.word;
        EXPECT_EQ(code, c.code) << c.parameter;
    }
    EXPECT_EQ(record.as<VoiceOutputParams>().levelGain, 1.0f) << "12288 is unity";
    EXPECT_EQ(record.as<VoiceOutputParams>().stateWord, 1) << "parameter 3 changes nothing";

    float echo = -999.0f;
    int code = 5;
    parameterSetterFor(kStageType)(100, 11, &echo, &code, &record, &context);
    EXPECT_EQ(echo, -999.0f);
    EXPECT_EQ(code, 5);

    loadLevel(16256);
    EXPECT_NEAR(record.as<VoiceOutputParams>().levelGain, 3.812852f, 1e-5f) << "the built default, +11.625 dB";
}

TEST_F(VoiceOutputTest, ExtremeSettingsAndInputsStayFinite) {
    std::mt19937 random(0x7A7);
    auto word = [&random] { return int16_t(std::uniform_int_distribution<int>(-32768, 32767)(random)); };
    auto value = [&random] { return std::uniform_real_distribution<float>(-1e4f, 1e4f)(random); };
    struct Case {
        int16_t level, audioAmount, depth, levelAmount, gainAmount;
        float audioValue, envelopeValue, lfoValue, gainValue;
    };
    std::vector<Case> cases = {
        {0, 0, 0, 0, 0, 0.0f, 0.0f, 0.0f, 0.0f},
        {32767, 32767, 32767, 32767, 32767, 100.0f, 100.0f, 1e4f, 100.0f},
        {-32768, -32768, -32768, -32768, -32768, -100.0f, -100.0f, -1e4f, -100.0f},
        {32767, 32767, -32768, 32767, 0, 1.0f, 1e30f, -1e30f, 0.0f},
    };
    for (int r = 0; r < 24; ++r)
        cases.push_back({word(), word(), word(), word(), word(), value(), value(), value(), value()});

    for (const Case& c : cases) {
        corvex::ScopedNoDenormals flush;
        loadLevel(c.level);
        fill(audio, c.audioValue);
        fill(gainSignal, c.gainValue);
        envelope.value = c.envelopeValue;
        lfo.value = c.lfoValue;
        Wiring w;
        w.connect(kAudioInput, &audio, c.audioAmount);
        w.connect(kTremoloInput, &lfo, c.depth, uint16_t(random()));
        w.connect(kLevelInput, &envelope, c.levelAmount, uint16_t(random()));
        w.connect(kGainInput, &gainSignal, c.gainAmount);
        VoiceOutputModule& s = stage();
        for (int b = 0; b < 4; ++b) {
            left.fill(0.0f);
            run(s, w);
            ASSERT_EQ(testing::badSamples(left.data(), left.size()), 0) << c.level << " block " << b;
            ASSERT_EQ(right, left);
        }
        pools->poolForType(kStageType)->release(&s);
    }
}

} // namespace
} // namespace corvex
