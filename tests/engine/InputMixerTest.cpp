// The input mixer's level curve and sum, and the bypass that passes a master slot's signal through.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <random>
#include <vector>

#include "engine/dsp/ScopedNoDenormals.h"
#include "engine/dsp/ConnectionDescriptor.h"
#include "engine/modules/EngineContext.h"
#include "engine/modules/BlockBufferStore.h"
#include "engine/modules/ModuleFramework.h"
#include "engine/modules/ModulePools.h"
#include "engine/modules/types/EffectBypass.h"
#include "engine/modules/types/InputMixer.h"
#include "tests/support/SignalChecks.h"
#include "tests/engine/ModuleRig.h"

namespace corvex {
namespace {

constexpr int kMixerType = ModuleType::InputMixer;
constexpr int kBypassType = ModuleType::PassThrough;

struct Wiring : testing::Wiring<10> {
    Wiring() : testing::Wiring<10>(9) {}
};

class SignalModuleTest : public testing::ModuleRig {
protected:
    void SetUp() override {
        ModuleRig::SetUp();
    }

    PortEntry signal(float v) { return bufferPort(v); }

    // A module whose outputs have a reader, so that they hold buffers.
    template <class Module>
    Module& make(int type, int readOutputs) {
        void* m = pools->poolForType(type)->allocate();
        initModuleByType(m, type, &record, 0, &context);
        for (int p = 0; p < readOutputs; ++p) acquirePortBuffer(*modulePortAddress(m, p));
        return *static_cast<Module*>(m);
    }

    static float* out(void* module, int port) { return portBuffer(*modulePortAddress(module, port)); }

    template <class Module>
    void run(Module& m, const Wiring& w) {
        processModuleByType(&m, w.descriptors.data(), w.sources.data(), w.counts.data());
    }

    void loadLevels(std::array<int16_t, 5> words) {
        std::array<uint16_t, 2 + 12> data{};
        data[2 + 2] = 12;
        data[2 + 3] = 8;
        for (size_t i = 0; i < 5; ++i) data[2 + 7 + i] = uint16_t(words[i]);
        blockLoaderFor(kMixerType)(data.data(), 12, &record, &context);
    }

    ParameterRecord record;
};

using InputMixerTest = SignalModuleTest;
using EffectBypassTest = SignalModuleTest;

TEST_F(InputMixerTest, LevelCurveReachesTwentyDecibelsWhileTheEchoShowsTwelve) {
    struct Case {
        int16_t word;
        float gain;
        float echoDb;
    };
    const Case cases[] = {
        {0, 0.0001f, -100.0f},   {8192, 0.95f, -12.0f},   {8623, 1.0f, -10.74f},
        {12288, 5.25f, 0.0f},    {16384, 10.0f, 12.0f},   {32767, 10.0f, 59.997f},
        {-1000, 0.0001f, -124.414f},
    };
    const PortEntry one = signal(1.0f);
    Wiring w;
    w.connect(0, &one);
    auto& mixer = make<InputMixerModule>(kMixerType, 1);
    for (const Case& c : cases) {
        float echo = 0.0f;
        int code = -1;
        parameterSetterFor(kMixerType)(c.word, 7, &echo, &code, &record, &context);
        EXPECT_NEAR(echo, c.echoDb, 0.01f) << c.word;
        EXPECT_EQ(code, 0);
        run(mixer, w);
        for (int n = 0; n < kBlockFrames; ++n) ASSERT_NEAR(out(&mixer, 0)[n], c.gain, 1e-4f) << c.word;
    }
}

TEST_F(InputMixerTest, ConnectedInputsSumWithAmountAndLevel) {
    loadLevels({12288, 16384, 8192, 0, 12288});
    const PortEntry a = signal(1.0f), b = signal(0.5f), c = signal(-2.0f), d = signal(4.0f), e = signal(0.25f);
    Wiring w;
    w.connect(0, &a, 16384);
    w.connect(1, &b, 8192);
    w.connect(2, &c, -16384);
    w.connect(3, &d, 16384);
    w.connect(4, &e, 16384);
    w.connect(4, &a, 4096); // a second source into one input is mixed too
    auto& mixer = make<InputMixerModule>(kMixerType, 1);
    run(mixer, w);
    const float expected = 1.0f * 5.25f + 0.5f * 0.5f * 10.0f + -1.0f * -2.0f * 0.95f + 4.0f * 0.0001f +
                           0.25f * 5.25f + 0.25f * 1.0f * 5.25f;
    for (int n = 0; n < kBlockFrames; ++n) EXPECT_NEAR(out(&mixer, 0)[n], expected, 1e-5f);
}

// A skipped input is not multiplied by 0: even a broken signal on it cannot reach the output.
TEST_F(InputMixerTest, AnInputWithAmountZeroIsSkipped) {
    loadLevels({16384, 16384, 0, 0, 0});
    const PortEntry broken = signal(std::numeric_limits<float>::infinity());
    const PortEntry fine = signal(0.1f);
    PortEntry blockRate;
    blockRate.word = 0;
    blockRate.value = 1.0f;
    Wiring w;
    w.connect(0, &broken, 0);
    w.connect(1, &fine);
    w.connect(2, &blockRate);
    auto& mixer = make<InputMixerModule>(kMixerType, 1);
    run(mixer, w);
    for (int n = 0; n < kBlockFrames; ++n) EXPECT_NEAR(out(&mixer, 0)[n], 1.0f, 1e-6f);
}

TEST_F(InputMixerTest, WithoutInputsTheOutputIsSilent) {
    loadLevels({16384, 16384, 16384, 16384, 16384});
    auto& mixer = make<InputMixerModule>(kMixerType, 1);
    for (int n = 0; n < kBlockFrames; ++n) out(&mixer, 0)[n] = 7.0f;
    run(mixer, Wiring{});
    for (int n = 0; n < kBlockFrames; ++n) EXPECT_EQ(out(&mixer, 0)[n], 0.0f);
    for (int n = 0; n < kBlockFrames; ++n) out(&mixer, 0)[n] = 7.0f;
    processModuleByType(&mixer, nullptr, nullptr, nullptr);
    for (int n = 0; n < kBlockFrames; ++n) EXPECT_EQ(out(&mixer, 0)[n], 0.0f);
}

TEST_F(InputMixerTest, SetterAndLoaderKeepTheirFields) {
    loadLevels({1, 2, 3, 4, 5});
    std::array<uint16_t, 2 + 12> shortBlock{};
    blockLoaderFor(kMixerType)(shortBlock.data(), 11, &record, &context);
    EXPECT_EQ(record.as<InputMixerParams>().level[4], 5.0f / 16384.0f) << "a truncated block changes nothing";

    float echo = 0.0f;
    int code = -1;
    parameterSetterFor(kMixerType)(3, 3, &echo, &code, &record, &context);
    EXPECT_EQ(echo, 3.0f);
    EXPECT_EQ(code, 7);
    echo = -1.0f;
    code = 99;
    parameterSetterFor(kMixerType)(3, 12, &echo, &code, &record, &context);
    EXPECT_EQ(echo, -1.0f);
    EXPECT_EQ(code, 99);
}

TEST_F(InputMixerTest, ExtremeSettingsAndInputsStayFinite) {
    std::mt19937 random(0x919);
    auto word = [&random] { return int16_t(std::uniform_int_distribution<int>(-32768, 32767)(random)); };
    auto value = [&random] { return std::uniform_real_distribution<float>(-1e6f, 1e6f)(random); };
    std::vector<std::array<int16_t, 5>> levels = {{0, 0, 0, 0, 0},
                                                  {32767, 32767, 32767, 32767, 32767},
                                                  {-32768, -32768, -32768, -32768, -32768}};
    for (int r = 0; r < 20; ++r) levels.push_back({word(), word(), word(), word(), word()});
    auto& mixer = make<InputMixerModule>(kMixerType, 1);
    for (const auto& l : levels) {
        corvex::ScopedNoDenormals flush;
        loadLevels(l);
        std::vector<PortEntry> inputs;
        inputs.reserve(5);
        Wiring w;
        for (int i = 0; i < 5; ++i) {
            inputs.push_back(signal(l[0] == 0 ? 0.0f : value()));
            w.connect(i, &inputs.back(), word());
        }
        run(mixer, w);
        ASSERT_EQ(testing::badSamples(out(&mixer, 0), kBlockFrames), 0);
        for (PortEntry& p : inputs) releasePortUser(p);
    }
}

// Several voices' mixers in one call, each with its own sources, mix what each mixes alone: every
// sample adds its connections in connection order, starting from 0, so rounding and signed zeros
// come out as in a plain sum.
TEST_F(InputMixerTest, VoicesMixedTogetherAddEachConnectionInOrder) {
    struct Source {
        int input;
        int16_t amount;
        float value; // NaN: the voice's own output
        bool blockRate = false;
    };
    struct Case {
        const char* what;
        std::vector<Source> sources;
    };
    const float self = std::numeric_limits<float>::quiet_NaN();
    const Case cases[] = {
        {"a small term between two large ones is lost to rounding", {{0, 16384, 1e8f}, {1, 16384, 1.0f}, {2, 16384, -1e8f}}},
        {"a negative zero product sums to a positive zero", {{0, 16384, -0.0f}}},
        {"five inputs and a second connection", {{0, 16384, 0.3f}, {1, -9000, 1.7f}, {2, 5000, -2.1f}, {3, 16384, 1e-3f},
                                                {4, 12000, 0.9f}, {4, 7000, -0.6f}}},
        {"its own output reads the mix so far", {{0, 16384, 0.25f}, {1, 8192, self}, {2, 16384, 3.0f}}},
        {"zero amounts and block-rate sources add nothing", {{0, 0, 5.0f}, {1, 16384, 2.0f, true}, {2, 16384, 0.5f}}},
    };
    const std::array<int16_t, 5> levelWords = {12288, 16384, 8623, 9000, 14000};
    loadLevels(levelWords);
    ParameterRecord quiet = record;
    for (float& l : quiet.as<InputMixerParams>().level) l = 0.2f;
    for (const Case& c : cases) {
        constexpr int kVoices = 3;
        std::vector<PortEntry> ports;
        ports.reserve(kVoices * c.sources.size());
        InputMixerModule* mixers[kVoices];
        std::vector<std::vector<const PortEntry*>> sources(kVoices);
        Wiring w;
        for (int v = 0; v < kVoices; ++v) {
            mixers[v] = &make<InputMixerModule>(kMixerType, 1);
            if (v == 2) mixers[v]->head.record = &quiet; // a voice of another part: its own levels
            std::fill_n(out(mixers[v], 0), kBlockFrames, 9.0f);
            for (const Source& s : c.sources) {
                if (std::isnan(s.value)) {
                    sources[size_t(v)].push_back(&mixers[v]->ports[0]);
                    continue;
                }
                ports.push_back(signal(s.value * float(v + 1)));
                if (s.blockRate) ports.back().word = 0;
                sources[size_t(v)].push_back(&ports.back());
            }
        }
        for (const Source& s : c.sources) w.connect(s.input, nullptr, s.amount);
        const PortEntry* const* table[kVoices] = {sources[0].data(), sources[1].data(), sources[2].data()};
        void* modules[kVoices] = {mixers[0], mixers[1], mixers[2]};
        processInputMixers(modules, kVoices, w.descriptors.data(), table, w.counts.data());

        for (int v = 0; v < kVoices; ++v) {
            const InputMixerParams& p = mixers[v]->head.record->as<InputMixerParams>();
            float expected = 0.0f;
            for (size_t k = 0; k < c.sources.size(); ++k) {
                const Source& s = c.sources[k];
                const float g = w.descriptors[k].amount() * mixerLevelGain(p.level[s.input]);
                if (g == 0.0f || s.blockRate) continue;
                expected += g * (std::isnan(s.value) ? expected : s.value * float(v + 1));
            }
            for (int n = 0; n < kBlockFrames; ++n) {
                const float got = out(mixers[v], 0)[n];
                ASSERT_EQ(got, expected) << c.what << ", voice " << v;
                ASSERT_EQ(std::signbit(got), std::signbit(expected)) << c.what << ", voice " << v;
            }
        }
        for (PortEntry& p : ports) releasePortUser(p);
        for (InputMixerModule* m : mixers) resetModuleByType(m);
    }
}

TEST_F(EffectBypassTest, EachConnectedInputPassesToItsOutput) {
    struct Case {
        bool first, second;
    };
    for (const Case c : {Case{true, true}, Case{true, false}, Case{false, true}, Case{false, false}}) {
        const PortEntry left = signal(0.3f), right = signal(-0.7f);
        auto& bypass = make<EffectBypassModule>(kBypassType, 2);
        for (int n = 0; n < kBlockFrames; ++n) out(&bypass, 0)[n] = out(&bypass, 1)[n] = 9.0f;
        Wiring w;
        if (c.first) w.connect(0, &left, 1000);
        if (c.second) w.connect(1, &right, 1000);
        run(bypass, w);
        for (int n = 0; n < kBlockFrames; ++n) {
            EXPECT_EQ(out(&bypass, 0)[n], c.first ? 0.3f : 9.0f) << c.first << c.second;
            EXPECT_EQ(out(&bypass, 1)[n], c.second ? -0.7f : 9.0f) << c.first << c.second;
        }
        processModuleByType(&bypass, nullptr, nullptr, nullptr); // no input table: nothing happens
        EXPECT_EQ(out(&bypass, 0)[0], c.first ? 0.3f : 9.0f);
    }
}

TEST_F(EffectBypassTest, ResetGivesTheBuffersBackAndEmptiesTheObject) {
    const int freeBefore = store->freeCount();
    auto& bypass = make<EffectBypassModule>(kBypassType, 2);
    EXPECT_EQ(store->freeCount(), freeBefore - 2);
    resetModuleByType(&bypass);
    EXPECT_EQ(store->freeCount(), freeBefore);
    EXPECT_EQ(moduleHead(&bypass).type(), 0);
}

} // namespace
} // namespace corvex
