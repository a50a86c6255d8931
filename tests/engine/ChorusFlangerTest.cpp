// The chorus and flanger: tap delays, the stereo sum, feedback, mix and output, the lines' bounds and reuse.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "engine/dsp/ScopedNoDenormals.h"
#include "engine/modules/BlockBufferStore.h"
#include "engine/modules/ModuleFramework.h"
#include "engine/modules/ModulePools.h"
#include "engine/modules/types/ChorusFlanger.h"
#include "tests/engine/ModuleRig.h"
#include "tests/support/SignalChecks.h"

namespace corvex {
namespace {

constexpr int kChorusType = ModuleType::Chorus;
constexpr int kInputs = 6;
constexpr int16_t kUnity = 12288; // output level 0 dB
constexpr double kTapSpacing = 1.9895347141858912;

// Block words 7..19: a still, dry-free chorus of one tap without feedback unless a case says otherwise.
struct ChorusBlock {
    std::array<int16_t, 20> w{};
    ChorusBlock() {
        w[17] = 16384; // mix
        w[18] = kUnity;
    }
    ChorusBlock& set(int parameter, int16_t word) {
        w[size_t(parameter)] = word;
        return *this;
    }
};

class ChorusFlangerTest : public testing::ModuleRig {
protected:
    void load(const ChorusBlock& b, ParameterRecord& into) {
        std::array<uint16_t, 2 + 20> data{};
        for (size_t j = 0; j < 20; ++j) data[2 + j] = uint16_t(b.w[j]);
        blockLoaderFor(kChorusType)(data.data(), 20, &into, &context);
    }
    void load(const ChorusBlock& b) { load(b, record); }

    ChorusFlangerModule& make() {
        void* m = pools->poolForType(kChorusType)->allocate();
        initModuleByType(m, kChorusType, &record, 0, &context);
        acquirePortBuffer(*modulePortAddress(m, 0));
        acquirePortBuffer(*modulePortAddress(m, 1));
        return *static_cast<ChorusFlangerModule*>(m);
    }
    void drop(void* m) {
        resetModuleByType(m);
        pools->poolForType(kChorusType)->release(m);
    }

    // Renders the signals through input 0 (and input 1 for the stereo form) with value sources on the
    // modulation inputs a case names; returns both outputs, frame after frame.
    struct Output {
        std::vector<float> left, right;
    };
    template <class Left, class Right>
    Output render(void* module, int blocks, Left left, Right right, bool stereo,
                  const std::vector<std::pair<int, float>>& modulation = {}) {
        PortEntry in0 = bufferPort(), in1 = bufferPort();
        std::vector<PortEntry> values(modulation.size());
        testing::Wiring<kInputs> w(12);
        w.connect(0, &in0);
        if (stereo) w.connect(1, &in1);
        for (size_t i = 0; i < modulation.size(); ++i) {
            values[i].word = 0;
            values[i].value = modulation[i].second;
            w.connect(modulation[i].first, &values[i]);
        }
        Output out;
        for (int b = 0; b < blocks; ++b) {
            for (int n = 0; n < kBlockFrames; ++n) {
                portBuffer(in0)[n] = left(b * kBlockFrames + n);
                portBuffer(in1)[n] = right(b * kBlockFrames + n);
            }
            processModuleByType(module, w.descriptors.data(), w.sources.data(), w.counts.data());
            const float* o0 = portBuffer(*modulePortAddress(module, 0));
            const float* o1 = portBuffer(*modulePortAddress(module, 1));
            out.left.insert(out.left.end(), o0, o0 + kBlockFrames);
            out.right.insert(out.right.end(), o1, o1 + kBlockFrames);
        }
        releasePortUser(in0);
        releasePortUser(in1);
        return out;
    }

    static float impulse(int n) { return n == 0 ? 1.0f : 0.0f; }
    static float nothing(int) { return 0.0f; }

    std::vector<float> monoImpulseResponse(const ChorusBlock& b, int blocks = 4) {
        load(b);
        ChorusFlangerModule& m = make();
        std::vector<float> out = render(&m, blocks, impulse, nothing, false).left;
        drop(&m);
        return out;
    }

    ParameterRecord record;
};

// With no depth and no spread each tap is a fixed delay D: an allpass blend of the samples trunc(D)
// and trunc(D) + 1 old, with coefficient a = 1 - frac(D). Its response sums to 1 and its centre of
// gravity sits at trunc(D) + (1 - a) / (1 + a).
TEST_F(ChorusFlangerTest, StillTapsSitAtTheirDelays) {
    const std::vector<float> first = monoImpulseResponse(ChorusBlock().set(7, 0));
    for (size_t n = 0; n < first.size(); ++n) EXPECT_EQ(first[n], n == 5 ? 1.0f : 0.0f) << n;

    std::vector<float> previous = first;
    for (int tap = 1; tap <= 3; ++tap) {
        const std::vector<float> sum = monoImpulseResponse(ChorusBlock().set(7, int16_t(tap)));
        const double delay = 5.0 + tap * kTapSpacing;
        const int whole = int(delay);
        const double a = 1.0 - (delay - whole);
        double total = 0.0, moment = 0.0;
        for (size_t n = 0; n < sum.size(); ++n) {
            const double h = double(sum[n]) - double(previous[n]);
            if (int(n) < whole) {
                EXPECT_NEAR(h, 0.0, 1e-7) << "tap " << tap << " speaks early at " << n;
            }
            total += h;
            moment += h * double(n);
        }
        EXPECT_NEAR(total, 1.0, 1e-5) << tap;
        EXPECT_NEAR(moment / total, whole + (1.0 - a) / (1.0 + a), 1e-3) << tap;
        previous = sum;
    }
}

// The mono line takes x - g^2 t from the tap at the feedback delay (100 samples, read 101 back once
// the fraction is rounded up): echoes of -0.81 and +0.6561 follow the first tap.
TEST_F(ChorusFlangerTest, FeedbackEntersTwiceAtTheFeedbackDelay) {
    const int16_t delay100 = 3781; // x just above 3 / 13
    struct Case {
        int16_t feedback;
        double firstEcho, secondEcho;
    };
    for (const Case c : {Case{16384, -0.81, 0.6561}, Case{8192, -0.2025, 0.04100625}, Case{-16384, -0.81, 0.6561},
                         Case{32767, -0.81, 0.6561}}) {
        const std::vector<float> out = monoImpulseResponse(ChorusBlock().set(8, delay100).set(12, c.feedback), 8);
        EXPECT_EQ(out[5], 1.0f);
        EXPECT_NEAR(out[5 + 101], c.firstEcho, 1e-6) << c.feedback;
        EXPECT_NEAR(out[5 + 202], c.secondEcho, 1e-6) << c.feedback;
        EXPECT_EQ(out[5 + 100], 0.0f);
    }
}

// A flanger keeps its times at every rate: its tap (5 samples and half the depth's 800, 205 samples at
// 44.1 kHz with the LFO at the start of its slowest cycle) and the feedback delay (314 samples) last as
// many milliseconds at 48 and 96 kHz. Each is read from the loudest sample of its echo, to a sample.
TEST_F(ChorusFlangerTest, TheTapAndTheFeedbackDelayLastAsLongAtEveryRate) {
    double referenceTap = 0.0, referenceFeedback = 0.0;
    for (const double rate : {44100.0, 48000.0, 96000.0}) {
        context.setSampleRate(rate);
        const std::vector<float> out =
            monoImpulseResponse(ChorusBlock().set(9, 0).set(10, 8192).set(8, 9000).set(12, 16384), 100);
        auto loudest = [&out](size_t from, size_t to) {
            size_t at = from;
            for (size_t n = from; n < to; ++n)
                if (std::fabs(out[n]) > std::fabs(out[at])) at = n;
            return double(at);
        };
        const double tap = loudest(0, size_t(rate * 0.007));
        const double feedback = loudest(size_t(tap) + 2, size_t(tap + rate * 0.012)) - tap;
        const double tapMs = 1000.0 * tap / rate, feedbackMs = 1000.0 * feedback / rate;
        if (rate == 44100.0) {
            referenceTap = tapMs;
            referenceFeedback = feedbackMs;
            EXPECT_EQ(tap, 205.0);
        }
        const double twoSamples = 2000.0 / 44100.0;
        EXPECT_NEAR(tapMs, referenceTap, twoSamples) << "tap at " << rate;
        EXPECT_NEAR(feedbackMs, referenceFeedback, twoSamples) << "feedback delay at " << rate;
    }
}

// Dry at 0, the one tap at 5: the output is G ((1 - M) at 0, M at 5).
TEST_F(ChorusFlangerTest, BypassMixAndOutputFollowTheirTables) {
    struct Case {
        int16_t mix, bypass, output;
        float dry, wet;
    };
    const float up12 = float(std::pow(10.0, 0.6)), down12 = float(std::pow(10.0, -0.6));
    const Case cases[] = {
        {16384, 0, kUnity, 0.0f, 1.0f}, {8192, 0, kUnity, 0.5f, 0.5f},           {0, 0, kUnity, 1.0f, 0.0f},
        {16384, 1, kUnity, 1.0f, 0.0f}, {16384, 0, 16384, 0.0f, up12},           {4096, 1, 8192, down12, 0.0f},
        {16384, 2, kUnity, 0.0f, 1.0f},
    };
    for (const Case& c : cases) {
        const std::vector<float> out =
            monoImpulseResponse(ChorusBlock().set(17, c.mix).set(19, c.bypass).set(18, c.output));
        EXPECT_NEAR(out[0], c.dry, 1e-5f) << c.mix << " " << c.bypass << " " << c.output;
        EXPECT_NEAR(out[5], c.wet, 1e-5f) << c.mix << " " << c.bypass << " " << c.output;
    }
}

// Each stereo channel has its own four lines and halves their sum; the mono form sums its taps whole.
TEST_F(ChorusFlangerTest, StereoChannelsHalfTheSumOfTheirOwnFourTaps) {
    const std::vector<float> mono = monoImpulseResponse(ChorusBlock().set(7, 3));
    load(ChorusBlock().set(7, 0)); // the tap count belongs to the mono form
    for (const bool leftSide : {true, false}) {
        ChorusFlangerModule& m = make();
        const Output out = leftSide ? render(&m, 4, impulse, nothing, true) : render(&m, 4, nothing, impulse, true);
        const std::vector<float>& heard = leftSide ? out.left : out.right;
        const std::vector<float>& quiet = leftSide ? out.right : out.left;
        double total = 0.0;
        for (size_t n = 0; n < heard.size(); ++n) {
            EXPECT_NEAR(heard[n], 0.5f * mono[n], 1e-6f) << leftSide << " at " << n;
            EXPECT_EQ(quiet[n], 0.0f) << leftSide << " at " << n;
            total += heard[n];
        }
        EXPECT_NEAR(total, 2.0, 1e-4);
        drop(&m);
    }
}

// The master slot's effect is the stereo form, taken from the chorus pool and given back with the slot.
TEST_F(ChorusFlangerTest, AnEffectSlotHostsTheStereoForm) {
    ParameterRecord slotRecord, inner;
    slotRecord.as<EffectSlotParams>() = EffectSlotParams{kChorusType, &inner};
    load(ChorusBlock(), inner);
    ModulePoolBase* chorusPool = pools->poolForType(kChorusType);
    const int freeBefore = chorusPool->freeCount();
    void* slot = pools->poolForType(ModuleType::EffectSlot)->allocate();
    initModuleByType(slot, ModuleType::EffectSlot, &slotRecord, 1, &context);
    EXPECT_EQ(chorusPool->freeCount(), freeBefore - 1);
    acquirePortBuffer(*modulePortAddress(slot, 0));
    acquirePortBuffer(*modulePortAddress(slot, 1));
    const Output out = render(slot, 2, impulse, [](int n) { return n == 1 ? -1.0f : 0.0f; }, true);
    EXPECT_NEAR(out.left[5], 0.5f, 1e-6f);
    EXPECT_NEAR(out.right[6], -0.5f, 1e-6f);
    EXPECT_EQ(out.right[5], 0.0f);
    resetModuleByType(slot);
    EXPECT_EQ(chorusPool->freeCount(), freeBefore);
}

TEST_F(ChorusFlangerTest, ReadPositionsStayInsideTheLineForAnyDelay) {
    const double inf = std::numeric_limits<double>::infinity();
    const double delays[] = {std::nan(""), -inf, inf, -1e30, 1e30, -1.0, 0.0, 0.5, 1.0, 8190.5, 8191.0, 8192.0, 1e9};
    for (const int32_t w : {0, 1, 4095, 8191}) {
        for (const double d : delays) {
            const ChorusTapPosition at = chorusTapPosition(w, d);
            EXPECT_GE(at.newer, 0);
            EXPECT_LT(at.newer, kChorusLineLength);
            EXPECT_GE(at.older, 0);
            EXPECT_LT(at.older, kChorusLineLength);
            EXPECT_NE(at.newer, w) << "the slot about to be written is older than every tap";
            EXPECT_GE(at.allpass, 0.0);
            EXPECT_LE(at.allpass, 1.0);
            const int32_t q = chorusFeedbackIndex(w, float(d));
            EXPECT_GE(q, 0);
            EXPECT_LT(q, kChorusLineLength);
        }
        EXPECT_EQ(chorusFeedbackIndex(w, 0.0f), w) << "no feedback delay reads the oldest sample";
        EXPECT_EQ(chorusTapPosition(w, 1.0).newer, (w + kChorusLineLength - 1) % kChorusLineLength);
    }
}

// Runaway delay and depth modulation, full depth and spread, loud feedback: every read stays in the
// module's own lines. The neighbouring pool item and the module's own unwritten slots are full of
// NaN, which any stray read would carry to the output.
TEST_F(ChorusFlangerTest, ExtremeModulationKeepsEveryReadInsideTheLines) {
    const float sweeps[][2] = {{1e30f, 1e30f}, {-1e30f, -1e30f}, {1e30f, -1e30f}, {-50.0f, 50.0f}, {3.0f, 3.0f}};
    for (const auto& s : sweeps) {
        for (const bool stereo : {false, true}) {
            load(ChorusBlock().set(7, 3).set(8, 32767).set(10, 32767).set(12, 16384).set(13, 32767).set(9, 16384));
            void* first = pools->poolForType(kChorusType)->allocate();
            void* second = pools->poolForType(kChorusType)->allocate();
            std::memset(first, 0xFF, sizeof(ChorusFlangerModule));
            std::memset(second, 0xFF, sizeof(ChorusFlangerModule));
            initModuleByType(first, kChorusType, &record, 0, &context);
            acquirePortBuffer(*modulePortAddress(first, 0));
            acquirePortBuffer(*modulePortAddress(first, 1));
            const Output out = render(first, 400, [](int n) { return float(n % 50) - 25.0f; },
                                      [](int n) { return float(n % 30) - 15.0f; }, stereo, {{2, s[0]}, {4, s[1]}});
            ASSERT_EQ(testing::badSamples(out.left.data(), out.left.size()), 0) << s[0] << " " << stereo;
            ASSERT_EQ(testing::badSamples(out.right.data(), out.right.size()), 0) << s[0] << " " << stereo;
            drop(first);
            pools->poolForType(kChorusType)->release(second);
        }
    }
}

// No init or release clears the lines: a reused pool item must still start silent.
TEST_F(ChorusFlangerTest, AReusedPoolItemStartsSilent) {
    load(ChorusBlock().set(7, 3).set(8, 16384).set(10, 16384).set(12, 16384).set(13, 16384));
    ChorusFlangerModule& loud = make();
    render(&loud, 300, [](int n) { return n % 3 == 0 ? 1.0f : -0.5f; }, nothing, true);
    drop(&loud);
    ChorusFlangerModule& again = make();
    ASSERT_EQ(&again, &loud) << "the pool hands out the item it took back last";
    for (const bool stereo : {false, true}) {
        const Output out = render(&again, 300, nothing, nothing, stereo);
        for (size_t n = 0; n < out.left.size(); ++n) ASSERT_EQ(out.left[n], 0.0f) << stereo << " at " << n;
        for (size_t n = 0; n < out.right.size(); ++n) ASSERT_EQ(out.right[n], 0.0f) << stereo << " at " << n;
    }
}

// The loader reads every word as the setter does, the tap count as the 0..3 that the effect rows write.
TEST_F(ChorusFlangerTest, BlockLoaderStoresWhatTheSetterStores) {
    std::vector<ChorusBlock> blocks;
    for (int16_t taps = 0; taps < 4; ++taps) blocks.push_back(ChorusBlock().set(7, taps));
    blocks.push_back(ChorusBlock().set(12, 16384).set(16, 1).set(9, 9000));
    std::mt19937 random(0xC0);
    for (int r = 0; r < 20; ++r) {
        ChorusBlock b;
        for (int p = 7; p < 20; ++p) b.set(p, int16_t(std::uniform_int_distribution<int>(-32768, 32767)(random)));
        blocks.push_back(b);
    }
    for (const ChorusBlock& b : blocks) {
        ParameterRecord bySetter;
        for (int p : {16, 7, 8, 9, 10, 11, 12, 13, 14, 15, 17, 18, 19})
            parameterSetterFor(kChorusType)(b.w[size_t(p)], p, nullptr, nullptr, &bySetter, &context);
        ParameterRecord byLoader;
        load(b, byLoader);
        EXPECT_EQ(byLoader.as<ChorusFlangerParams>().tapSetting, b.w[7]);
        EXPECT_EQ(std::memcmp(&byLoader.as<ChorusFlangerParams>(), &bySetter.as<ChorusFlangerParams>(),
                              sizeof(ChorusFlangerParams)),
                  0)
            << b.w[7] << " " << b.w[12];
    }
    ParameterRecord full;
    load(ChorusBlock().set(12, 16384), full);
    EXPECT_FLOAT_EQ(full.as<ChorusFlangerParams>().feedback, 0.9f);
}

TEST_F(ChorusFlangerTest, SetterEchoesItsUnits) {
    struct Case {
        int parameter;
        int16_t word;
        float echo;
        int code;
    };
    const Case cases[] = {
        {7, 2, 2.0f, 7},        {8, 0, 1.0f, 5},        {8, 16384, 3500.0f, 5}, {8, 8192, 275.0f, 5},
        {9, 16384, 5.0f, 1},    {9, 0, 0.01f, 1},       {10, 8192, 0.5f, 4},    {11, 3, 3.0f, 7},
        {12, 16384, 0.9f, 4},   {12, 8192, 0.45f, 4},   {13, 4096, 0.25f, 4},   {14, 1, 1.0f, 8},
        {16, 1, 1.0f, 8},       {9, 16384, 9.0f, 3},    {9, 0, -8.0f, 3},       {17, 16384, 1.0f, 4},
        {18, 12288, 0.0f, 0},   {18, 16384, 12.0f, 0},  {19, 1, 1.0f, 8},
    };
    for (const Case& c : cases) {
        float echo = -999.0f;
        int code = -1;
        parameterSetterFor(kChorusType)(c.word, c.parameter, &echo, &code, &record, &context);
        EXPECT_NEAR(echo, c.echo, 1e-4f * std::fmax(1.0f, std::fabs(c.echo))) << c.parameter << ":" << c.word;
        EXPECT_EQ(code, c.code) << c.parameter << ":" << c.word;
    }
    float echo = -999.0f;
    int code = 4;
    parameterSetterFor(kChorusType)(100, 15, &echo, &code, &record, &context);
    EXPECT_EQ(echo, -999.0f) << "parameter 15 is ignored";
    EXPECT_EQ(code, 4);
}

TEST_F(ChorusFlangerTest, ExtremeSettingsAndInputsStayFinite) {
    std::mt19937 random(0xC1);
    auto word = [&random] { return int16_t(std::uniform_int_distribution<int>(-32768, 32767)(random)); };
    const float inf = std::numeric_limits<float>::infinity();
    const float specials[] = {0.0f, 1e30f, -1e30f, 3e38f, -3e38f, inf, -inf, std::nanf(""), 1e-40f, -1e-42f};
    auto special = [&] { return specials[random() % std::size(specials)]; };
    std::vector<ChorusBlock> blocks(3);
    for (int p = 7; p < 20; ++p) {
        blocks[1].set(p, 32767);
        blocks[2].set(p, -32768);
    }
    for (int r = 0; r < 16; ++r) {
        ChorusBlock b;
        for (int p = 7; p < 20; ++p) b.set(p, word());
        blocks.push_back(b);
    }
    ScopedDenormalsAllowed denormals;
    for (const ChorusBlock& b : blocks) {
        for (const bool stereo : {false, true}) {
            load(b);
            ChorusFlangerModule& m = make();
            const Output out = render(&m, 12, [&](int n) { return n % 5 == 0 ? special() : 1e4f; },
                                      [&](int n) { return n % 3 == 0 ? special() : -1e4f; }, stereo,
                                      {{2, special()}, {3, special()}, {4, special()}, {5, special()}});
            ASSERT_EQ(testing::badSamples(out.left.data(), out.left.size()), 0) << b.w[7] << " " << stereo;
            ASSERT_EQ(testing::badSamples(out.right.data(), out.right.size()), 0) << b.w[7] << " " << stereo;
            drop(&m);
        }
    }
}

} // namespace
} // namespace corvex
