// The noise source's outputs and generators, its table choice by rate, and the recordings themselves.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <memory>
#include <random>
#include <vector>

#include "engine/dsp/ScopedNoDenormals.h"
#include "engine/modules/EngineContext.h"
#include "engine/modules/BlockBufferStore.h"
#include "engine/modules/ModuleFramework.h"
#include "engine/modules/ModulePools.h"
#include "engine/modules/types/NoiseSource.h"
#include "engine/modules/types/NoiseTables.h"
#include "tests/support/SignalChecks.h"
#include "tests/engine/ModuleRig.h"

namespace corvex {
namespace {

constexpr int kNoiseType = ModuleType::NoiseSource;
constexpr float kUntouched = 42.0f;

class NoiseSourceTest : public testing::ModuleRig {
protected:
    static void SetUpTestSuite() { prepareNoiseTables(); }

    void SetUp() override {
        ModuleRig::SetUp();
        context.setSampleRate(44100.0);
    }

    // Outputs with a selector listed get a reader (and so a buffer); the rest have none.
    void load(std::array<int16_t, 5> selectors, std::array<int16_t, 5> levels = {16384, 16384, 16384, 16384, 16384},
              int16_t format = 8) {
        std::array<uint16_t, 2 + 17> data{};
        data[2 + 2] = 17;
        data[2 + 3] = uint16_t(format);
        for (size_t k = 0; k < 5; ++k) {
            data[2 + 7 + k] = uint16_t(levels[k]);
            data[2 + 12 + k] = uint16_t(selectors[k]);
        }
        blockLoaderFor(kNoiseType)(data.data(), 17, &record, &context);
    }

    NoiseSourceModule& make(std::initializer_list<int> readOutputs) {
        void* m = pools->poolForType(kNoiseType)->allocate();
        initModuleByType(m, kNoiseType, &record, 0, &context);
        for (int k : readOutputs) {
            acquirePortBuffer(*modulePortAddress(m, k));
            std::fill_n(out(m, k), kBlockFrames, kUntouched);
        }
        return *static_cast<NoiseSourceModule*>(m);
    }

    static float* out(void* m, int k) { return portBuffer(*modulePortAddress(m, k)); }
    static std::vector<float> block(void* m, int k) { return {out(m, k), out(m, k) + kBlockFrames}; }

    void run(NoiseSourceModule& m) { processModuleByType(&m, nullptr, nullptr, nullptr); }

    ParameterRecord record;
};

TEST_F(NoiseSourceTest, WhiteNoiseFillsTheHalfOpenRangeAroundItsLevel) {
    for (const int16_t word : {int16_t(16384), int16_t(4096)}) {
        const float level = float(word) / 16384.0f;
        load({2, -1, -1, -1, -1}, {word, 0, 0, 0, 0});
        NoiseSourceModule& m = make({0});
        // The recurrence as written, from state 0: x = x * 296314169 + 970633518 (mod 2^32), each
        // sample level x 0.5 x (1 + x / 2^31). Dropping the low bits of x moves a sample by 1.2e-7
        // at most.
        uint32_t x = 0;
        for (int b = 0; b < 4; ++b) {
            run(m);
            for (int n = 0; n < kBlockFrames; ++n) {
                x = x * 296314169u + 970633518u;
                ASSERT_NEAR(out(&m, 0)[n], level * 0.5 * (1.0 + double(x) / 2147483648.0), 2e-7 * level)
                    << "block " << b << ", sample " << n;
            }
        }
        float low = 2.0f * level, high = 0.0f;
        for (int b = 0; b < 4000; ++b) {
            run(m);
            const auto x = block(&m, 0);
            low = std::min(low, *std::min_element(x.begin(), x.end()));
            high = std::max(high, *std::max_element(x.begin(), x.end()));
        }
        EXPECT_GE(low, 0.5f * level);
        EXPECT_LT(high, 1.5f * level);
        EXPECT_LT(low, 0.501f * level) << "the noise spans its range";
        EXPECT_GT(high, 1.499f * level);
    }
}

// Two outputs on one source read one stream: the second output gets what a lone output would
// have played in the following block.
TEST_F(NoiseSourceTest, OutputsOnOneSourceShareItsStream) {
    for (const int16_t source : {int16_t(0), int16_t(1), int16_t(2), int16_t(3)}) {
        load({source, -1, -1, source, -1});
        NoiseSourceModule& shared = make({0, 3});
        run(shared);
        const auto first = block(&shared, 0), second = block(&shared, 3);

        load({source, -1, -1, -1, -1});
        NoiseSourceModule& lone = make({0});
        run(lone);
        EXPECT_EQ(block(&lone, 0), first) << source;
        run(lone);
        EXPECT_EQ(block(&lone, 0), second) << source;
        EXPECT_NE(first, second) << source;
    }
}

TEST_F(NoiseSourceTest, SkippedOutputsKeepTheirBufferAndAdvanceNothing) {
    load({-1, 2, 9, -7, 2});
    NoiseSourceModule& m = make({0, 2, 3, 4}); // output 1 selects noise but has no reader
    run(m);
    for (int k : {0, 2, 3})
        for (int n = 0; n < kBlockFrames; ++n) EXPECT_EQ(out(&m, k)[n], kUntouched) << k;

    load({2, -1, -1, -1, -1});
    NoiseSourceModule& reference = make({0});
    run(reference);
    EXPECT_EQ(block(&m, 4), block(&reference, 0)) << "output 4 starts the generator from the beginning";
}

TEST_F(NoiseSourceTest, JitterOutputCarriesTheDitherOrOnlyTheDither) {
    const float* jitter = noiseTable(NoiseRecording::Jitter, NoiseRateFamily::Base);
    for (const int16_t levelWord : {int16_t(16384), int16_t(0), int16_t(-8192)}) {
        const float level = float(levelWord) / 16384.0f;
        load({3, -1, -1, -1, -1}, {levelWord, 0, 0, 0, 0});
        context.integerSwitch = 0;
        NoiseSourceModule& m = make({0});
        run(m);
        for (int n = 0; n < kBlockFrames; ++n) ASSERT_EQ(out(&m, 0)[n], 0.00001f) << "not scaled by the level";

        context.integerSwitch = 1;
        for (int b = 0; b < 3; ++b) {
            run(m);
            for (int n = 0; n < kBlockFrames; ++n) {
                const float dither = out(&m, 0)[n] - level * jitter[b * kBlockFrames + n];
                // The recorded part rounds the sum to its own float steps, a few 1e-8 at most.
                ASSERT_GE(dither, 0.5e-5f - 5e-8f);
                ASSERT_LT(dither, 1.5e-5f + 5e-8f);
            }
        }
        context.integerSwitch = 2;
        std::fill_n(out(&m, 0), kBlockFrames, kUntouched);
        run(m);
        EXPECT_EQ(out(&m, 0)[0], kUntouched);
    }
    context.integerSwitch = 1;
}

TEST_F(NoiseSourceTest, RecordingsWrapAtTheirFixedLoopPointsAtEveryRate) {
    struct Case {
        double rate;
        int16_t source;
        NoiseRecording recording;
        NoiseRateFamily family;
        int loop;
    };
    const Case cases[] = {
        {44100.0, 0, NoiseRecording::Broadband, NoiseRateFamily::Base, 88100},
        {48000.0, 1, NoiseRecording::Dark, NoiseRateFamily::Base, 88100},
        {96000.0, 0, NoiseRecording::Broadband, NoiseRateFamily::Double, 88100},
        {88200.0, 3, NoiseRecording::Jitter, NoiseRateFamily::Double, 15938},
        {44100.0, 3, NoiseRecording::Jitter, NoiseRateFamily::Base, 15938},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rate);
        context.setSampleRate(c.rate);
        load({c.source, -1, -1, -1, -1}, {8192, 0, 0, 0, 0});
        NoiseSourceModule& m = make({0});
        const float* table = noiseTable(c.recording, c.family);
        std::vector<float> played;
        while (played.size() < size_t(c.loop) + 200) {
            run(m);
            const auto x = block(&m, 0);
            played.insert(played.end(), x.begin(), x.end());
        }
        const float dither = c.source == 3 ? 1.5e-5f : 0.0f;
        for (int n : {0, 1, c.loop - 1, c.loop, c.loop + 1, c.loop + 150})
            EXPECT_NEAR(played[size_t(n)], 0.5f * table[n % c.loop], dither + 1e-7f) << n;
    }
}

TEST_F(NoiseSourceTest, TablesFollowTheRateFamilyAndStayAtOtherRates) {
    load({0, 1, 3, -1, -1});
    const auto& p = record.as<NoiseSourceParams>();
    EXPECT_EQ(p.table[0], noiseTable(NoiseRecording::Broadband, NoiseRateFamily::Base));
    EXPECT_EQ(p.loopLength[0], 88200);
    EXPECT_EQ(p.loopLength[2], 7321);

    NoiseSourceModule& m = make({0});
    context.setSampleRate(96000.0);
    run(m);
    EXPECT_EQ(p.table[1], noiseTable(NoiseRecording::Dark, NoiseRateFamily::Double));
    EXPECT_EQ(p.table[2], noiseTable(NoiseRecording::Jitter, NoiseRateFamily::Double));
    EXPECT_EQ(p.loopLength[1], 176400);
    EXPECT_EQ(p.loopLength[2], 15938);

    context.setSampleRate(32000.0);
    run(m);
    EXPECT_EQ(p.table[0], noiseTable(NoiseRecording::Broadband, NoiseRateFamily::Double)) << "kept";
    EXPECT_EQ(p.loopLength[0], 176400);
    EXPECT_NE(out(&m, 0)[0], kUntouched) << "and played";
}

// A kernel that first runs at a rate of neither family still plays recordings: the nearer family's.
TEST_F(NoiseSourceTest, FirstRateOutsideTheFamiliesTakesTheNearerOne) {
    for (const auto& [rate, family] : {std::pair{32000.0, NoiseRateFamily::Base}, std::pair{22050.0, NoiseRateFamily::Base},
                                       std::pair{192000.0, NoiseRateFamily::Double}}) {
        SetUp();
        record = ParameterRecord{};
        context.setSampleRate(rate);
        load({0, -1, -1, -1, -1});
        NoiseSourceModule& m = make({0});
        run(m);
        const NoiseSourceParams& p = record.as<NoiseSourceParams>();
        EXPECT_EQ(p.table[0], noiseTable(NoiseRecording::Broadband, family)) << rate;
        EXPECT_NE(out(&m, 0)[5], kUntouched) << rate;
    }
}

// A record that never took the recorded format has no tables: the recorded sources play silence.
TEST_F(NoiseSourceTest, WithoutRecordingsTheRecordedSourcesAreSilent) {
    load({0, 1, 2, 3, -1}, {16384, 16384, 16384, 0, 0}, 7);
    NoiseSourceModule& m = make({0, 1, 2, 3});
    run(m);
    for (int n = 0; n < kBlockFrames; ++n) {
        EXPECT_EQ(out(&m, 0)[n], 0.0f);
        EXPECT_EQ(out(&m, 1)[n], 0.0f);
        EXPECT_GE(out(&m, 2)[n], 0.5f) << "the generator needs no table";
        EXPECT_GE(out(&m, 3)[n], 0.5e-5f * 0.999f) << "the dither needs no table";
        EXPECT_LT(out(&m, 3)[n], 1.5e-5f);
    }
}

TEST_F(NoiseSourceTest, SetterStoresLevelsAndSelectorsAndEchoesNothing) {
    load({0, 0, 0, 0, 0});
    struct Case {
        int parameter;
        int16_t word;
    };
    for (const Case c : {Case{7, 8192}, Case{11, -4096}, Case{12, -1}, Case{16, 3}, Case{3, 5}, Case{17, 2}}) {
        float echo = 123.0f;
        int code = 77;
        parameterSetterFor(kNoiseType)(c.word, c.parameter, &echo, &code, &record, &context);
        EXPECT_EQ(echo, 123.0f);
        EXPECT_EQ(code, 77);
    }
    const auto& p = record.as<NoiseSourceParams>();
    EXPECT_EQ(p.level[0], 0.5f);
    EXPECT_EQ(p.level[4], -0.25f);
    EXPECT_EQ(p.selector[0], -1);
    EXPECT_EQ(p.selector[4], 3);
    EXPECT_EQ(p.dataFormat, 8) << "the format comes with whole blocks only";
}

struct TableCase {
    const char* name;
    NoiseRecording recording;
    NoiseRateFamily family;
    int loop;
};

const TableCase kTables[] = {
    {"broadband 44.1", NoiseRecording::Broadband, NoiseRateFamily::Base, kNoiseLongLoop},
    {"dark 44.1", NoiseRecording::Dark, NoiseRateFamily::Base, kNoiseLongLoop},
    {"jitter 44.1", NoiseRecording::Jitter, NoiseRateFamily::Base, kNoiseShortLoop},
    {"broadband 88.2", NoiseRecording::Broadband, NoiseRateFamily::Double, kNoiseLongLoop},
    {"dark 88.2", NoiseRecording::Dark, NoiseRateFamily::Double, kNoiseLongLoop},
    {"jitter 88.2", NoiseRecording::Jitter, NoiseRateFamily::Double, kNoiseShortLoop},
};

// Energy of the sample-to-sample steps against the energy of the signal: a high-frequency share.
double stepShare(const float* x, int n) {
    double steps = 0.0, total = 0.0;
    for (int i = 1; i < n; ++i) {
        steps += double(x[i] - x[i - 1]) * (x[i] - x[i - 1]);
        total += double(x[i]) * x[i];
    }
    return steps / total;
}

TEST(NoiseTables, RecordingsArePeakScaledSixteenBitLoopsWithoutAClick) {
    prepareNoiseTables();
    const float step = kNoisePeak / 32767.0f;
    for (const TableCase& c : kTables) {
        SCOPED_TRACE(c.name);
        const float* t = noiseTable(c.recording, c.family);
        const int length = noiseTableLength(c.recording, c.family);
        ASSERT_GE(length, c.loop);
        float peak = 0.0f;
        int offGrid = 0;
        for (int i = 0; i < length; ++i) {
            peak = std::max(peak, std::fabs(t[i]));
            const float q = t[i] / step;
            offGrid += std::fabs(q - std::round(q)) > 1e-2f;
        }
        EXPECT_NEAR(peak, 0.7079f, 1e-6f);
        EXPECT_EQ(offGrid, 0) << "every sample is a 16-bit step";

        float largestStep = 0.0f;
        for (int i = 1; i < c.loop; ++i) largestStep = std::max(largestStep, std::fabs(t[i] - t[i - 1]));
        EXPECT_LE(std::fabs(t[0] - t[c.loop - 1]), largestStep) << "the seam is no larger than any step";
    }
    // Slow signals show a seam that an unfaded loop would not hide.
    const float* jitter = noiseTable(NoiseRecording::Jitter, NoiseRateFamily::Base);
    double meanStep = 0.0;
    for (int i = 1; i < kNoiseShortLoop; ++i) meanStep += std::fabs(jitter[i] - jitter[i - 1]);
    meanStep /= kNoiseShortLoop - 1;
    EXPECT_LE(std::fabs(jitter[0] - jitter[kNoiseShortLoop - 1]), 4.0 * meanStep);
}

TEST(NoiseTables, TheDarkRecordingHasLessHighFrequencyEnergy) {
    prepareNoiseTables();
    for (const NoiseRateFamily family : {NoiseRateFamily::Base, NoiseRateFamily::Double}) {
        const double broadband = stepShare(noiseTable(NoiseRecording::Broadband, family), kNoiseLongLoop);
        const double dark = stepShare(noiseTable(NoiseRecording::Dark, family), kNoiseLongLoop);
        const double jitter = stepShare(noiseTable(NoiseRecording::Jitter, family), kNoiseShortLoop);
        EXPECT_GT(broadband, 1.5) << "white noise steps carry twice its energy";
        EXPECT_LT(dark, 0.25 * broadband);
        EXPECT_LT(jitter, 0.01 * dark) << "the jitter moves slowly";
    }
}

TEST_F(NoiseSourceTest, ExtremeSettingsStayFinite) {
    std::mt19937 random(0x44);
    auto word = [&random] { return int16_t(std::uniform_int_distribution<int>(-32768, 32767)(random)); };
    const double rates[] = {44100.0, 48000.0, 32000.0, 96000.0, 192000.0};
    const int32_t switches[] = {0, 1, 2, -1};
    for (int r = 0; r < 40; ++r) {
        corvex::ScopedNoDenormals flush;
        context.setSampleRate(rates[r % 5]);
        context.integerSwitch = switches[r % 4];
        std::array<int16_t, 5> selectors{}, levels{};
        for (size_t k = 0; k < 5; ++k) {
            selectors[k] = int16_t(r < 20 ? int(random() % 6) - 1 : word());
            levels[k] = r % 3 == 0 ? int16_t(r % 2 ? 32767 : -32768) : word();
        }
        load(selectors, levels, r % 7 == 0 ? word() : int16_t(8));
        NoiseSourceModule& m = make({0, 1, 2, 3, 4});
        for (int b = 0; b < 50; ++b) {
            run(m);
            for (int k = 0; k < 5; ++k) ASSERT_EQ(testing::badSamples(out(&m, k), kBlockFrames), 0) << r;
        }
        resetModuleByType(&m);
        pools->poolForType(kNoiseType)->release(&m);
    }
}

} // namespace
} // namespace corvex
