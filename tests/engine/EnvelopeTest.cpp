// The envelope measured from its published level: stage shapes and times, gate handling, setter curves.
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
#include "engine/modules/types/Envelope.h"
#include "tests/support/SignalChecks.h"
#include "tests/engine/ModuleRig.h"

namespace corvex {
namespace {

constexpr int kEnvelopeType = ModuleType::Envelope;
constexpr int kEnvelopeSlot = 7;
constexpr double kRatePerMs = 44.1;

// Envelope inputs: 0 gate, then modulation inputs m0..m6; m1 attack, m2 decay, m4 release.
constexpr int kAttackModInput = 2;
constexpr int kDecayModInput = 3;
constexpr int kReleaseModInput = 5;

struct Wiring : testing::Wiring<9> {
    Wiring() : testing::Wiring<9>(kEnvelopeSlot) {}
};

struct Settings {
    int attack = 0, decay = 0, sustain = 8192, release = 0, polarity = 0;
};

class EnvelopeTest : public testing::ModuleRig {
protected:
    void SetUp() override {
        ModuleRig::SetUp();
        gate.word = 0;
        gate.intValue = 0;
        wiring.connect(0, &gate);
    }

    // A never-used pool item: no state from an earlier envelope.
    EnvelopeModule& fresh(int voice = 0) {
        void* m = pools->poolForType(kEnvelopeType)->allocate();
        initModuleByType(m, kEnvelopeType, &record, voice, &context);
        return *static_cast<EnvelopeModule*>(m);
    }

    void load(const Settings& s) {
        std::array<uint16_t, 2 + 22> data{};
        auto word = [&data](int j) -> uint16_t& { return data[size_t(j + 2)]; };
        word(0) = 0x200;
        word(1) = uint16_t(kEnvelopeType << 8);
        word(2) = 22;
        word(3) = 8;
        word(8) = uint16_t(s.attack);
        word(10) = uint16_t(s.decay);
        word(11) = uint16_t(s.release);
        word(15) = uint16_t(s.sustain);
        word(21) = uint16_t(s.polarity);
        blockLoaderFor(kEnvelopeType)(data.data(), 22, &record, &context);
    }

    float set(int parameter, int16_t word, int* code = nullptr) {
        float echo = -999.0f;
        int inOut = word;
        parameterSetterFor(kEnvelopeType)(word, parameter, &echo, &inOut, &record, &context);
        if (code) *code = inOut;
        return echo;
    }

    float run(EnvelopeModule& m, int gateState, const Wiring& w) {
        gate.intValue = gateState;
        processModuleByType(&m, w.descriptors.data(), w.sources.data(), w.counts.data());
        return m.ports[0].value;
    }
    float run(EnvelopeModule& m, int gateState) { return run(m, gateState, wiring); }

    // Gate 1, then held until the level sits still at the sustain level.
    void holdToSustain(EnvelopeModule& m, float sustain) {
        run(m, 1);
        for (int b = 0; b < 100000 && run(m, 2) != sustain; ++b) {
        }
        // The decay's last blocks can round to the sustain level before the stage moves on.
        for (int b = 0; b < 4; ++b) ASSERT_EQ(run(m, 2), sustain);
    }

    ParameterRecord record;
    PortEntry gate;
    Wiring wiring;
};

constexpr float kSustainHalf = 0.571f; // sustain word 8192

TEST_F(EnvelopeTest, FastestAttackRisesInTwoBlocksThenOvershootsIntoTheDecay) {
    load({0, 2000, 8192, 2000});
    EnvelopeModule& m = fresh();
    // 0.79 ms at 44.1 kHz is 34.839 samples; the trigger block does not count, so two blocks
    // share the first step.
    EXPECT_NEAR(run(m, 1), 0.977f, 5e-4f);
    EXPECT_NEAR(run(m, 2), 0.977f, 5e-4f);
    EXPECT_NEAR(run(m, 2), 1.0949f, 5e-4f);
    float previous = run(m, 2);
    EXPECT_LT(previous, 1.0f) << "the block after the overshoot is the decay";
    for (int b = 0; b < 200; ++b) {
        const float level = run(m, 2);
        EXPECT_LE(level, previous);
        EXPECT_GE(level, kSustainHalf);
        previous = level;
    }
    EXPECT_EQ(previous, kSustainHalf);
}

TEST_F(EnvelopeTest, SustainWordsReachTheSustainCurve) {
    struct Case {
        int16_t word;
        float level;
    };
    // Full sustain stays below 1.0 and zero sustain above 0.
    for (const Case c : {Case{16384, 0.98253f}, Case{0, 0.0001f}, Case{8192, 0.571f}, Case{4096, 0.255264f},
                         Case{-300, 0.0001f}, Case{32767, 0.98253f}}) {
        load({0, 0, c.word, 0});
        EnvelopeModule& m = fresh();
        // The fastest attack and decay are over in a few blocks; the level then holds.
        run(m, 1);
        for (int b = 0; b < 50; ++b) run(m, 2);
        EXPECT_NEAR(m.ports[0].value, c.level, 2e-6f) << c.word;
        EXPECT_EQ(run(m, 2), m.ports[0].value) << c.word;
        int code = -1;
        EXPECT_NEAR(set(15, c.word, &code), c.level, 2e-6f) << c.word;
        EXPECT_EQ(code, 4);
    }
}

TEST_F(EnvelopeTest, ReleaseFallsToTheEndLevelAfterItsTimeThenReadsZero) {
    load({0, 0, 8192, 8192}); // release 3810 ms
    EnvelopeModule& m = fresh();
    holdToSustain(m, kSustainHalf);
    const double samples = 3810.0 * kRatePerMs;
    const float endLevel = 0.0001f * (kSustainHalf - 0.0001f);

    int sounding = 0;
    float last = run(m, 3);
    ASSERT_GT(last, 0.0f);
    ++sounding;
    for (float level = run(m, 0); level != 0.0f && sounding < 10000; level = run(m, 0)) {
        EXPECT_LT(level, last);
        last = level;
        ++sounding;
    }
    EXPECT_NEAR(sounding * 32.0, samples, 33.0);
    EXPECT_GE(last, endLevel * 0.999f);
    EXPECT_LE(last, endLevel * 1.003f);
    for (int b = 0; b < 10; ++b) EXPECT_EQ(run(m, 0), 0.0f);
}

// Times are read where the level crosses a mark: the attack reaches 1.0 after its time, the decay
// and the release cover 99% of their way after half of theirs (their ratio falls to 0.0001).
TEST_F(EnvelopeTest, MeasuredStageTimesFollowTheCurves) {
    enum Stage { Attack, Decay, Release };
    struct Case {
        const char* what;
        Stage stage;
        int16_t word;
        double ms;
        float modulation = 0.0f;
        float detune = 0.0f;
        int voice = 0;
    };
    // Voice 3 and slot 7 of the engine's spread tables, B[3] = 0.5458 and A[7] = -0.1972, at detune 1.
    const double spread = 1.0 + 0.5 * (0.5458 - 0.1972);
    const Case cases[] = {
        {"attack on a point", Attack, 4096, 51.0},
        {"slow attack", Attack, 8192, 453.0},
        {"attack between points", Attack, 6144, 190.5},
        {"decay on a point", Decay, 4096, 115.03},
        {"slow decay", Decay, 8192, 1569.522},
        {"release between points", Release, 4096, 379.5},
        {"slow release", Release, 8192, 3810.0},
        {"modulation halves the attack", Attack, 8192, 453.0 * 0.5, 0.5f},
        {"negative modulation lengthens the decay", Decay, 4096, 115.03 * 1.5, -0.5f},
        {"modulation shortens the release", Release, 8192, 3810.0 * 0.25, 0.75f},
        {"voice and slot spread the attack", Attack, 8192, 453.0 * spread, 0.0f, 1.0f, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        context.detuneAmount = c.detune;
        PortEntry mod;
        mod.word = 0;
        mod.value = c.modulation;
        Wiring w = wiring;
        w.connect(c.stage == Attack ? kAttackModInput : c.stage == Decay ? kDecayModInput : kReleaseModInput, &mod);

        load({c.stage == Attack ? c.word : 0, c.stage == Decay ? c.word : 0, 8192, c.stage == Release ? c.word : 0});
        EnvelopeModule& m = fresh(c.voice);
        double measured = 0.0;
        if (c.stage == Attack) {
            run(m, 1, w);
            int block = 1;
            while (run(m, 2, w) <= 1.0f && block < 100000) ++block;
            measured = 32.0 * block;
        } else if (c.stage == Decay) {
            run(m, 1, w);
            while (run(m, 2, w) <= 1.0f) {
            }
            int block = 1;
            while ((run(m, 2, w) - kSustainHalf) / (1.0f - kSustainHalf) > 0.01f && block < 100000) ++block;
            measured = 2.0 * 32.0 * block;
        } else {
            run(m, 1, w);
            for (int b = 0; b < 10; ++b) run(m, 2, w);
            ASSERT_EQ(m.ports[0].value, kSustainHalf);
            int block = 1;
            float level = run(m, 3, w);
            while (level / (kSustainHalf - 0.0001f) > 0.01f && block < 100000) {
                level = run(m, 0, w);
                ++block;
            }
            measured = 2.0 * 32.0 * block;
        }
        const double expected = c.ms * kRatePerMs;
        EXPECT_NEAR(measured, expected, 0.02 * expected + 64.0) << measured / kRatePerMs << " ms";
    }
}

// Modulation can push a stage time to zero or below; one block is the shortest stage.
TEST_F(EnvelopeTest, StagesLastAtLeastOneBlock) {
    for (const float modulation : {1.0f, 1.5f, 40.0f}) {
        PortEntry mod;
        mod.word = 0;
        mod.value = modulation;
        Wiring w = wiring;
        w.connect(kAttackModInput, &mod);
        w.connect(kReleaseModInput, &mod);
        load({0, 0, 8192, 0});
        EnvelopeModule& m = fresh();
        // One block of attack: a ratio of 0.1 per block, so the third block passes 1.0.
        EXPECT_NEAR(run(m, 1, w), 0.9f * 1.111111f, 1e-6f) << modulation;
        EXPECT_NEAR(run(m, 2, w), 0.9f * 1.111111f, 1e-6f) << modulation;
        EXPECT_NEAR(run(m, 2, w), 0.99f * 1.111111f, 1e-6f) << modulation;
        for (int b = 0; b < 20; ++b) run(m, 2, w);
        // One block of release: the first block falls by 0.0001, the second finishes.
        EXPECT_NEAR(run(m, 3, w), (kSustainHalf - 0.0001f) * 0.0001f, 1e-9f) << modulation;
        EXPECT_EQ(run(m, 0, w), 0.0f) << modulation;
    }
}

TEST_F(EnvelopeTest, GateConnectionsCombineIntoOneGate) {
    enum Seen { Released, Started, Held, ReleaseStarted, Unclear };
    load({0, 0, 8192, 4096});
    const float releaseStep = std::pow(0.0001f, 32.0f / float(379.5 * kRatePerMs));
    auto classify = [&](float level) {
        if (std::fabs(level) < 1e-3f) return Released;
        if (level == kSustainHalf) return Held;
        if (std::fabs(level - (kSustainHalf - 0.0001f) * releaseStep) < 1e-5f) return ReleaseStarted;
        if (level > 0.9f) return Started;
        return Unclear;
    };
    struct Case {
        std::vector<int> states; // -1: a connection without a source
        Seen seen;
    };
    const Case cases[] = {
        {{1}, Started},          {{2}, Held},         {{3}, ReleaseStarted}, {{0}, Released},
        {{1, 3}, ReleaseStarted}, {{3, 1}, ReleaseStarted}, {{2, 3, 1}, ReleaseStarted},
        {{1, 2}, Started},       {{2, 0}, Held},      {{0, 2}, Held},        {{3, 2}, ReleaseStarted},
        {{-1}, Released},        {{-1, 2}, Held},     {{7}, Released},       {{-4, 0}, Released},
    };
    for (const Case& c : cases) {
        EnvelopeModule& m = fresh();
        holdToSustain(m, kSustainHalf);
        std::vector<PortEntry> ports(c.states.size());
        Wiring w;
        for (size_t k = 0; k < c.states.size(); ++k) {
            ports[k].word = 0;
            ports[k].intValue = c.states[k];
            w.connect(0, c.states[k] == -1 ? nullptr : &ports[k]);
        }
        processModuleByType(&m, w.descriptors.data(), w.sources.data(), w.counts.data());
        EXPECT_EQ(classify(m.ports[0].value), c.seen) << ::testing::PrintToString(c.states);
    }
}

// Envelopes of several voices in one call, each with its own gate, voice spread and release
// modulation, run exactly as they run one call each.
TEST_F(EnvelopeTest, VoicesTogetherRunAsEachRunsAlone) {
    load({3000, 5000, 6000, 4000});
    context.detuneAmount = 0.3f;
    // Per voice, the gate of each block: start, hold, release, let go, start again from the release.
    const std::vector<std::vector<int>> scripts = {
        {1, 2, 2, 2, 2, 2, 2, 2, 3, 0, 0, 0, 1, 2, 2, 3, 0, 0},
        {0, 0, 1, 2, 2, 3, 0, 0, 0, 0, 0, 1, 2, 2, 2, 2, 2, 2},
        {1, 3, 0, 0, 0, 0, 1, 2, 3, 1, 2, 2, 2, 2, 3, 0, 0, 0},
        {2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2},
        {1, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 3, 0},
    };
    const size_t voices = scripts.size();
    std::vector<PortEntry> gates(voices), releases(voices);
    std::vector<Wiring> wirings(voices);
    std::vector<EnvelopeModule*> together, alone;
    for (size_t v = 0; v < voices; ++v) {
        gates[v].word = 0;
        releases[v].word = 0;
        releases[v].value = 0.2f * float(v) - 0.3f;
        wirings[v].connect(0, &gates[v]);
        wirings[v].connect(kReleaseModInput, &releases[v], 9000);
        together.push_back(&fresh(int(v) * 5));
        alone.push_back(&fresh(int(v) * 5));
    }
    for (size_t b = 0; b < scripts[0].size(); ++b) {
        for (size_t v = 0; v < voices; ++v) gates[v].intValue = scripts[v][b];
        std::vector<void*> modules(together.begin(), together.end());
        std::vector<const PortEntry* const*> sources;
        for (const Wiring& w : wirings) sources.push_back(w.sources.data());
        processEnvelopes(modules.data(), int(voices), wirings[0].descriptors.data(), sources.data(),
                         wirings[0].counts.data());
        for (size_t v = 0; v < voices; ++v) run(*alone[v], scripts[v][b], wirings[v]);
        for (size_t v = 0; v < voices; ++v) {
            const EnvelopeModule& t = *together[v];
            const EnvelopeModule& a = *alone[v];
            const float got[] = {t.ports[0].value, t.ratio, t.elapsed, t.releaseStart, t.base, t.decayOutput};
            const float want[] = {a.ports[0].value, a.ratio, a.elapsed, a.releaseStart, a.base, a.decayOutput};
            ASSERT_EQ(0, std::memcmp(got, want, sizeof(got))) << "block " << b << ", voice " << v;
            ASSERT_EQ(t.stageWord, a.stageWord) << "block " << b << ", voice " << v;
        }
    }
}

TEST_F(EnvelopeTest, WithoutAGateConnectionTheLevelIsZeroAndTheStageWaits) {
    load({0, 0, 8192, 4096});
    EnvelopeModule& m = fresh();
    holdToSustain(m, kSustainHalf);
    Wiring unwired;
    processModuleByType(&m, unwired.descriptors.data(), unwired.sources.data(), unwired.counts.data());
    EXPECT_EQ(m.ports[0].value, 0.0f);
    EXPECT_EQ(run(m, 2), kSustainHalf);
    processModuleByType(&m, nullptr, nullptr, nullptr);
    EXPECT_EQ(m.ports[0].value, 0.0f);
    EXPECT_EQ(run(m, 2), kSustainHalf);
}

TEST_F(EnvelopeTest, PolarityNegatesOnlyThePublishedLevel) {
    load({4096, 4096, 8192, 4096});
    EnvelopeModule& plain = fresh();
    EnvelopeModule& inverted = fresh();
    std::vector<int> gates = {1};
    gates.insert(gates.end(), 150, 2);
    gates.push_back(3);
    gates.insert(gates.end(), 150, 0);
    for (size_t b = 0; b < gates.size(); ++b) {
        set(21, 0);
        const float up = run(plain, gates[b]);
        set(21, 1);
        const float down = run(inverted, gates[b]);
        ASSERT_EQ(down, -up) << "block " << b;
    }
}

TEST_F(EnvelopeTest, ASecondReleaseFallsFromTheCurrentLevelAndAHeldGateKeepsIt) {
    load({0, 0, 16384, 4096});
    const float step = std::pow(0.0001f, 32.0f / float(379.5 * kRatePerMs));
    EnvelopeModule& m = fresh();
    holdToSustain(m, 0.98253f);
    run(m, 3);
    float level = 0.0f;
    for (int b = 0; b < 20; ++b) level = run(m, 0);

    const float again = run(m, 3);
    EXPECT_NEAR(again, (level - 0.0001f) * step, 1e-6f) << "no jump back up to the sustain level";
    for (int b = 0; b < 5; ++b) EXPECT_EQ(run(m, 2), again) << "a held gate while releasing keeps the level";
    float previous = again;
    for (int b = 0; b < 5; ++b) {
        const float falling = run(m, 0);
        EXPECT_LT(falling, previous);
        previous = falling;
    }

    while (run(m, 0) != 0.0f) {
    }
    EXPECT_EQ(run(m, 2), 0.0f) << "a finished envelope stays finished under a held gate";
    EXPECT_LE(std::fabs(run(m, 3)), 0.0001f) << "a release from silence stays silent";
    for (int b = 0; b < 2000 && m.ports[0].value != 0.0f; ++b) run(m, 0);
    EXPECT_EQ(m.ports[0].value, 0.0f);
}

// A rebuilt module list initialises its envelopes again; a sounding one carries on where it was.
TEST_F(EnvelopeTest, ReinitialisationKeepsASoundingEnvelope) {
    load({0, 0, 8192, 4096});
    const float step = std::pow(0.0001f, 32.0f / float(379.5 * kRatePerMs));
    EnvelopeModule& m = fresh();
    holdToSustain(m, kSustainHalf);
    initModuleByType(&m, kEnvelopeType, &record, 0, &context);
    EXPECT_EQ(m.ports[0].value, 0.0f);
    EXPECT_EQ(run(m, 2), kSustainHalf);

    run(m, 3);
    const float releasing = run(m, 0);
    initModuleByType(&m, kEnvelopeType, &record, 0, &context);
    EXPECT_NEAR(run(m, 0), releasing * step, 1e-6f) << "the release goes on falling";

    while (run(m, 0) != 0.0f) {
    }
    initModuleByType(&m, kEnvelopeType, &record, 0, &context);
    EXPECT_EQ(run(m, 0), 0.0f) << "a finished envelope stays silent";
}

TEST_F(EnvelopeTest, SetterConvertsThroughTheCurvesAndEchoes) {
    struct Case {
        int parameter;
        int16_t word;
        float echo;
        int code;
    };
    load({});
    const Case cases[] = {
        {8, 0, 0.79f, 5},          {8, 16384, 6166.0f, 5},        {8, 6144, 190.5f, 5},
        {8, -2000, 0.79f, 5},      {9, 9000, 0.5f, 5},            {10, 4096, 115.03f, 5},
        {10, 16384, 34625.371f, 5}, {10, 16000, 35143.48f, 5},      {11, 8192, 3810.0f, 5},
        {11, 32767, 40194.0f, 5},  {12, 8192, 0.5f, 4},           {14, -4096, -0.25f, 4},
        {15, 12288, 0.661605f, 4},  {16, 300, 300.0f, 7},          {19, -2, -2.0f, 7},
        {20, 4096, 0.25f, 4},      {21, 1, 1.0f, 8},              {3, 8, 8.0f, 7},
    };
    for (const Case& c : cases) {
        int code = -1;
        EXPECT_NEAR(set(c.parameter, c.word, &code), c.echo, std::fabs(c.echo) * 2e-6f + 1e-6f) << c.parameter << ":" << c.word;
        EXPECT_EQ(code, c.code) << c.parameter;
    }
    for (const int ignored : {2, 4, 7, 22, 40}) {
        int code = -1;
        EXPECT_EQ(set(ignored, 1234, &code), -999.0f) << ignored;
        EXPECT_EQ(code, 1234) << ignored;
    }
}

TEST_F(EnvelopeTest, OnlyModelEightShapesTheSustain) {
    set(3, 2);
    EXPECT_EQ(set(15, 8192), 0.5f) << "other models keep the plain value";
    load({0, 0, 8192, 0});
    EXPECT_EQ(record.as<EnvelopeParams>().model, 8);
    EXPECT_EQ(record.as<EnvelopeParams>().sustain, kSustainHalf);
}

TEST_F(EnvelopeTest, ATruncatedBlockLeavesTheRecordAlone) {
    load({4096, 4096, 8192, 4096});
    const EnvelopeParams before = record.as<EnvelopeParams>();
    std::array<uint16_t, 2 + 22> data{};
    data.fill(16384);
    blockLoaderFor(kEnvelopeType)(data.data(), 21, &record, &context);
    EXPECT_EQ(record.as<EnvelopeParams>().attackMs, before.attackMs);
    EXPECT_EQ(record.as<EnvelopeParams>().sustain, before.sustain);
}

TEST_F(EnvelopeTest, ExtremeSettingsAndInputsStayFinite) {
    struct Case {
        const char* what;
        std::array<int16_t, 5> words; // attack, decay, sustain, release, model
        float modulation;
        int16_t amount;
        uint16_t selector;
        float detune;
    };
    std::mt19937 random(0x6E7);
    auto word = [&random] { return int16_t(std::uniform_int_distribution<int>(-32768, 32767)(random)); };
    std::vector<Case> cases = {
        {"all zero", {0, 0, 0, 0, 8}, 0.0f, 0, 0, 0.0f},
        {"all full", {16384, 16384, 16384, 16384, 8}, 1.0f, 16384, 0, 0.0f},
        {"largest words", {32767, 32767, 32767, 32767, 8}, 1e30f, 32767, uint16_t(6 << 4), 4.0f},
        {"smallest words", {-32768, -32768, -32768, -32768, 8}, -1e30f, -32768, uint16_t(6 << 4), 4.0f},
        {"plain sustain beyond 1", {0, 0, 32767, 0, 3}, 2.0f, 32767, 0, 1.0f},
        {"plain sustain below 0", {0, 0, -32768, 0, 3}, -2.0f, 32767, 15, 1.0f},
    };
    for (int r = 0; r < 24; ++r)
        cases.push_back({"random", {word(), word(), word(), word(), int16_t(r % 9)}, float(word()) * 0.01f, word(),
                         uint16_t(word()), float(r % 5)});

    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        corvex::ScopedNoDenormals flush;
        context.detuneAmount = c.detune;
        load({0, 0, 0, 0});
        set(3, c.words[4]);
        set(8, c.words[0]);
        set(10, c.words[1]);
        set(15, c.words[2]);
        set(11, c.words[3]);
        PortEntry mod;
        mod.word = 0;
        mod.value = c.modulation;
        Wiring w = wiring;
        for (int input = 1; input <= 7; ++input) w.connect(input, &mod, c.amount, c.selector);
        EnvelopeModule& m = fresh(int(random() % 64));
        for (int b = 0; b < 300; ++b) {
            const int g = (b % 50 == 0) ? 1 : int(random() % 6) - 1;
            const float level = run(m, g, w);
            ASSERT_TRUE(std::isfinite(level)) << "block " << b;
            ASSERT_EQ(testing::badSamples(&level, 1), 0) << "block " << b;
        }
        pools->poolForType(kEnvelopeType)->release(&m);
    }
}

} // namespace
} // namespace corvex
