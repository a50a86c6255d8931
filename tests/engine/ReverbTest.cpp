// The stereo reverb: pre-delay and its glide, the tail's decay time against the size, the spread, dry
// and bypass, the words read alike by setter and loader, reused memory, and extreme inputs.
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
#include "engine/modules/types/Reverb.h"
#include "tests/engine/ModuleRig.h"
#include "tests/support/SignalChecks.h"

namespace corvex {
namespace {

constexpr int kReverbType = ModuleType::Reverb;
constexpr int kInputs = 6;
constexpr int kWords = 17;
constexpr int16_t kUnity = 12288; // output level 0 dB
constexpr double kRate = 44100.0;

// Block words 7..16: wet only, no feedback, the widest damping band, the shortest pre-delay, spread on.
struct ReverbBlock {
    std::array<int16_t, kWords> w{};
    ReverbBlock() {
        w[9] = 16384; // high damping 3924 Hz
        w[13] = 16384;
        w[14] = 1;
        w[15] = kUnity;
    }
    ReverbBlock& set(int parameter, int16_t word) {
        w[size_t(parameter)] = word;
        return *this;
    }
};

class ReverbTest : public testing::ModuleRig {
protected:
    void load(const ReverbBlock& b, ParameterRecord& into) {
        std::array<uint16_t, 2 + kWords> data{};
        for (size_t j = 0; j < kWords; ++j) data[2 + j] = uint16_t(b.w[j]);
        blockLoaderFor(kReverbType)(data.data(), kWords, &into, &context);
    }
    void load(const ReverbBlock& b) { load(b, record); }
    void set(int parameter, int16_t word) {
        parameterSetterFor(kReverbType)(word, parameter, nullptr, nullptr, &record, &context);
    }

    // Every reverb of a case starts its taps' wandering from the same generator state, so that two
    // renders differ only by what the case changes.
    ReverbModule& make() {
        void* m = pools->poolForType(kReverbType)->allocate();
        initModuleByType(m, kReverbType, &record, 1, &context);
        acquirePortBuffer(*modulePortAddress(m, 0));
        acquirePortBuffer(*modulePortAddress(m, 1));
        auto& reverb = *static_cast<ReverbModule*>(m);
        reverb.random = 0;
        return reverb;
    }
    void drop(void* m) {
        resetModuleByType(m);
        pools->poolForType(kReverbType)->release(m);
    }

    struct Output {
        std::vector<float> left, right;
    };
    // Renders the two signals through inputs 0 and 1; `between` runs before each block.
    template <class Left, class Right, class Between>
    Output render(void* module, int blocks, Left left, Right right, Between between,
                  const std::vector<std::pair<int, float>>& modulation = {}) {
        PortEntry in0 = bufferPort(), in1 = bufferPort();
        std::vector<PortEntry> values(modulation.size());
        testing::Wiring<kInputs> w(35);
        w.connect(0, &in0);
        w.connect(1, &in1);
        for (size_t i = 0; i < modulation.size(); ++i) {
            values[i].word = 0;
            values[i].value = modulation[i].second;
            w.connect(modulation[i].first, &values[i]);
        }
        Output out;
        for (int b = 0; b < blocks; ++b) {
            between(b);
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
    template <class Left, class Right>
    Output render(void* module, int blocks, Left left, Right right) {
        return render(module, blocks, left, right, [](int) {});
    }

    static float impulse(int n) { return n == 0 ? 1.0f : 0.0f; }
    static float nothing(int) { return 0.0f; }

    static int firstSound(const std::vector<float>& x) {
        for (size_t n = 0; n < x.size(); ++n)
            if (std::fabs(x[n]) > 1e-9f) return int(n);
        return -1;
    }

    ParameterRecord record;
};

// Without feedback the left side hears an impulse first through line 0, once it has left the pre-delay
// and then passed line 0's wandering tap. A render with the shortest pre-delay (1 ms, 44 samples) and
// its impulse 44 samples before another render's impulse leaves that one's pre-delay hears it at the
// same sample: both taps have wandered alike since init.
TEST_F(ReverbTest, PreDelayStartsAtItsSettingAndGlidesOnePercentABlock) {
    constexpr int kShortest = 44;       // 1 ms at 44.1 kHz
    constexpr double kLongest = 8820.0; // 200 ms
    auto heardFrom = [this](int impulseAt, int16_t preDelayWord, bool changeToLongest, int blocks) {
        load(ReverbBlock().set(12, preDelayWord));
        ReverbModule& m = make();
        const Output out = render(&m, blocks, [impulseAt](int n) { return n == impulseAt ? 1.0f : 0.0f; }, nothing,
                                  [this, changeToLongest](int b) {
                                      if (b == 0 && changeToLongest) set(12, 16384);
                                  });
        drop(&m);
        return firstSound(out.left);
    };

    struct Steady {
        int16_t word;
        int samples; // trunc(ms x 44.1)
    };
    for (const Steady c : {Steady{16384, 8820}, Steady{8192, 3858}, Steady{2341, 1102}, Steady{-5000, 44}}) {
        const int heard = heardFrom(0, c.word, false, 400);
        ASSERT_GT(heard, c.samples + 2473) << "line 0 is the shortest on the left";
        EXPECT_NEAR(heard, heardFrom(c.samples - kShortest, 0, false, 400), 1) << "from init, at once: " << c.word;
    }

    // 1 ms to 200 ms at block 0. P after block b's step is 8820 - (8820 - 44.1) 0.99^(b + 1); an impulse
    // written at t0 leaves at the first sample t of its block b with t - trunc(P) >= t0. Soon after the
    // change the read position moves about as fast as time and chases the impulse.
    for (const int t0 : {0, 100 * kBlockFrames, 700 * kBlockFrames}) {
        int leaves = -1;
        for (int b = 0; leaves < 0; ++b) {
            const int back = int(kLongest - (kLongest - 44.1) * std::pow(0.99, b + 1));
            for (int n = 0; n < kBlockFrames && leaves < 0; ++n)
                if (kBlockFrames * b + n >= t0 && kBlockFrames * b + n - back >= t0) leaves = kBlockFrames * b + n;
        }
        if (t0 == 0) {
            EXPECT_GT(leaves, 100 * kBlockFrames) << "neither the old setting nor a glide-free jump";
            EXPECT_LT(leaves, int(kLongest) - 300) << "neither the old setting nor a glide-free jump";
        }
        if (t0 == 700 * kBlockFrames) {
            EXPECT_NEAR(leaves - t0, kLongest, 10.0) << "settled";
        }
        const int blocks = (leaves + 4000) / kBlockFrames + 1;
        EXPECT_NEAR(heardFrom(t0, 0, true, blocks), heardFrom(leaves - kShortest, 0, false, blocks), 1) << t0;
    }
}

// Energy decay of the impulse response in the octave around 500 Hz (a band-pass of Q 1.4), by backward
// integration: the time the curve takes from -5 to -25 dB, times three. One trip round the network takes
// 3015.5 samples on average (the mean of the eight line lengths) and scales the sound by the feedback
// g = 0.95 x size and by the damping filters: the 60 Hz high-pass passes 500 Hz whole, the one-pole
// low-pass at 40 x 1.059^80 Hz takes a little. The tail falls 60 dB in 60 / (-20 log10 (g |H|)) trips.
double bandDecayTime(const std::vector<float>& x, double rate = kRate) {
    constexpr double kCentre = 500.0, kQ = 1.4, kPi = 3.14159265358979323846;
    const double w = 2.0 * kPi * kCentre / rate, alpha = std::sin(w) / (2.0 * kQ), a0 = 1.0 + alpha;
    const double b0 = alpha / a0, b2 = -alpha / a0, a1 = -2.0 * std::cos(w) / a0, a2 = (1.0 - alpha) / a0;
    double x1 = 0.0, x2 = 0.0, y1 = 0.0, y2 = 0.0;
    std::vector<double> band(x.size());
    for (size_t n = 0; n < x.size(); ++n) {
        const double y = b0 * x[n] + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1;
        x1 = x[n];
        y2 = y1;
        y1 = y;
        band[n] = y;
    }
    std::vector<double> energy(x.size());
    double sum = 0.0;
    for (size_t n = x.size(); n-- > 0;) energy[n] = sum += band[n] * band[n];
    auto when = [&](double db) {
        for (size_t n = 0; n < energy.size(); ++n)
            if (10.0 * std::log10(energy[n] / energy[0]) <= db) return double(n);
        return double(energy.size());
    };
    return 3.0 * (when(-25.0) - when(-5.0)) / rate;
}

// The one-pole low-pass y = h + (y - h) a at 500 Hz, a from the high damping's cosine.
double highDampingGainAt500() {
    constexpr double kPi = 3.14159265358979323846;
    const double c = std::cos(2.0 * kPi * 40.0 * std::pow(1.059, 80.0) / kRate);
    const double a = (2.0 - c) - std::sqrt((2.0 - c) * (2.0 - c) - 1.0);
    const double w = 2.0 * kPi * 500.0 / kRate;
    return (1.0 - a) / std::hypot(1.0 - a * std::cos(w), a * std::sin(w));
}

TEST_F(ReverbTest, TheTailDecaysAndLastsLongerWithTheSize) {
    constexpr double kMeanTrip = 3015.5 / kRate;
    double previous = 0.0;
    for (const int16_t size : {4096, 8192, 12288}) {
        load(ReverbBlock().set(7, size).set(8, size));
        ReverbModule& m = make();
        const Output out = render(&m, 4000, impulse, impulse);
        const double g = 0.95 * size / 16384.0 * highDampingGainAt500();
        const double expected = 60.0 / (-20.0 * std::log10(g)) * kMeanTrip;
        const double measured = bandDecayTime(out.left);
        EXPECT_NEAR(measured, expected, 0.15 * expected) << size;
        EXPECT_GT(measured, 1.5 * previous) << size;
        previous = measured;
        // And it does end: the last tenth of a second is far below the first.
        double head = 0.0, tail = 0.0;
        for (size_t n = 0; n < 4410; ++n) head += double(out.left[n + 2400]) * out.left[n + 2400];
        for (size_t n = out.left.size() - 4410; n < out.left.size(); ++n) tail += double(out.left[n]) * out.left[n];
        EXPECT_LT(tail, head * 1e-4) << size;
        drop(&m);
    }
}

// A room keeps its size at every rate: the tail falls as fast in seconds at 48 and 96 kHz as at 44.1 kHz,
// low damping included (its 400 Hz high-pass reaches into the measured band).
TEST_F(ReverbTest, TheTailDecaysAsFastAtEveryRate) {
    load(ReverbBlock().set(7, 12288).set(8, 12288).set(9, 12000).set(11, 16384));
    double reference = 0.0;
    for (const double rate : {44100.0, 48000.0, 96000.0}) {
        context.setSampleRate(rate);
        ReverbModule& m = make();
        const Output out = render(&m, int(3.0 * rate / kBlockFrames), impulse, impulse);
        drop(&m);
        const double seconds = bandDecayTime(out.left, rate);
        if (rate == kRate) reference = seconds;
        EXPECT_NEAR(seconds, reference, 0.03 * reference) << "at " << rate;
    }
    EXPECT_GT(reference, 0.5);
}

TEST_F(ReverbTest, SpreadOffGivesBothSidesTheWholeNetwork) {
    auto left = [](int n) { return n % 97 == 0 ? 1.0f : 0.0f; };
    auto right = [](int n) { return float((n * 7919) % 13) / 13.0f - 0.5f; };
    load(ReverbBlock().set(7, 12000).set(13, 12000)); // some feedback, some dry
    ReverbModule& spread = make();
    const Output apart = render(&spread, 300, left, right);
    drop(&spread);
    set(14, 0);
    ReverbModule& together = make();
    const Output same = render(&together, 300, left, right);
    drop(&together);

    double differ = 0.0;
    for (size_t n = 3000; n < apart.left.size(); ++n) differ += std::fabs(apart.left[n] - apart.right[n]);
    EXPECT_GT(differ, 1.0) << "with the spread the sides differ";
    // Both sides carry the same wet sum; the dry parts are each side's own input.
    const float mix = 12000.0f / 16384.0f;
    for (size_t n = 0; n < same.left.size(); ++n) {
        const float wetLeft = same.left[n] - (1.0f - mix) * left(int(n));
        const float wetRight = same.right[n] - (1.0f - mix) * right(int(n));
        ASSERT_NEAR(wetLeft, wetRight, 1e-5f) << n;
    }
    // Fully wet, the two sides are the same samples.
    set(13, 16384);
    ReverbModule& wet = make();
    const Output full = render(&wet, 300, left, right);
    for (size_t n = 0; n < full.left.size(); ++n) ASSERT_EQ(full.left[n], full.right[n]) << n;
    drop(&wet);
}

// Bypass leaves x G on both sides, dry, while the network keeps running; the mix blends as written.
TEST_F(ReverbTest, DryMixBypassAndOutputLevel) {
    struct Case {
        int16_t mix, bypass, output;
        float dry;
        bool wet;
    };
    const float up12 = float(std::pow(10.0, 0.6)), down12 = float(std::pow(10.0, -0.6));
    const Case cases[] = {
        {16384, 0, kUnity, 0.0f, true},  {4096, 0, kUnity, 0.75f, true}, {0, 0, kUnity, 1.0f, false},
        {16384, 1, kUnity, 1.0f, false}, {16384, 1, 16384, up12, false}, {8192, 1, 8192, down12, false},
        {16384, 2, kUnity, 0.0f, true},
    };
    for (const Case& c : cases) {
        load(ReverbBlock().set(7, 8192).set(13, c.mix).set(16, c.bypass).set(15, c.output));
        ReverbModule& m = make();
        const Output out = render(&m, 200, impulse, [](int n) { return n == 0 ? -0.5f : 0.0f; });
        EXPECT_NEAR(out.left[0], c.dry, 1e-5f) << c.mix << " " << c.bypass;
        EXPECT_NEAR(out.right[0], -0.5f * c.dry, 1e-5f) << c.mix << " " << c.bypass;
        double later = 0.0;
        for (size_t n = 1; n < out.left.size(); ++n) later += std::fabs(out.left[n]) + std::fabs(out.right[n]);
        EXPECT_EQ(later > 0.0, c.wet) << c.mix << " " << c.bypass;
        drop(&m);
    }
}

// A stored sound and the same sound set word by word must be one record: the size above all, which a
// block load once turned into a loop gain of 1.0 where the setter gave 0.95.
TEST_F(ReverbTest, BlockLoaderStoresWhatTheSetterStores) {
    std::vector<ReverbBlock> blocks{ReverbBlock(), ReverbBlock().set(7, 16384).set(8, 16384),
                                    ReverbBlock().set(7, 8192).set(12, 16384).set(11, 16384)};
    std::mt19937 random(0x29);
    for (int r = 0; r < 20; ++r) {
        ReverbBlock b;
        for (int p = 7; p < kWords; ++p)
            if (p != 14) b.set(p, int16_t(std::uniform_int_distribution<int>(-32768, 32767)(random)));
        blocks.push_back(b);
    }
    for (const ReverbBlock& b : blocks) {
        ParameterRecord bySetter;
        for (int p = 7; p < kWords; ++p)
            parameterSetterFor(kReverbType)(b.w[size_t(p)], p, nullptr, nullptr, &bySetter, &context);
        ParameterRecord byLoader;
        load(b, byLoader);
        EXPECT_EQ(std::memcmp(&byLoader.as<ReverbParams>(), &bySetter.as<ReverbParams>(), sizeof(ReverbParams)), 0)
            << b.w[7] << " " << b.w[12];
    }
    ParameterRecord full;
    load(ReverbBlock().set(7, 16384), full);
    EXPECT_FLOAT_EQ(full.as<ReverbParams>().feedback, 0.95f);
    load(ReverbBlock().set(7, 32767), full);
    EXPECT_FLOAT_EQ(full.as<ReverbParams>().feedback, 0.95f) << "no word reaches a loop gain of one";
    // Every stored sound plays with the spread on, whatever its word.
    load(ReverbBlock().set(14, 0), full);
    EXPECT_EQ(full.as<ReverbParams>().spread, 1);
}

TEST_F(ReverbTest, SetterEchoesItsUnits) {
    struct Case {
        int parameter;
        int16_t word;
        float echo;
        int code;
    };
    const float top = float(40.0 * std::pow(1.059, 80.0)); // about 3924 Hz
    const Case cases[] = {
        {7, 16384, 0.95f, 4},  {7, 8192, 0.475f, 4}, {8, 16384, 0.95f, 4},   {9, 0, 40.0f, 1},
        {9, 16384, top, 1},    {10, 0, 40.0f, 1},    {11, 0, 60.0f, 1},      {11, 8192, 250.0f, 1},
        {11, 16384, 400.0f, 1}, {12, 0, 1.0f, 5},     {12, 16384, 200.0f, 5}, {12, 8192, 87.5f, 5},
        {13, 4096, 0.25f, 4},  {14, 0, 0.0f, 8},     {15, 12288, 0.0f, 0},   {15, 16384, 12.0f, 0},
        {15, 0, -100.0f, 0},   {16, 1, 1.0f, 8},
    };
    for (const Case& c : cases) {
        float echo = -999.0f;
        int code = -1;
        parameterSetterFor(kReverbType)(c.word, c.parameter, &echo, &code, &record, &context);
        EXPECT_NEAR(echo, c.echo, 1e-3f * std::fmax(1.0f, std::fabs(c.echo))) << c.parameter << ":" << c.word;
        EXPECT_EQ(code, c.code) << c.parameter << ":" << c.word;
    }
}

// Nothing clears the lines at init: a pool item that rang before must sound like a fresh one.
TEST_F(ReverbTest, AReusedPoolItemSoundsLikeAFreshOne) {
    load(ReverbBlock().set(7, 12288).set(12, 8192));
    ReverbModule& fresh = make();
    const Output first = render(&fresh, 200, impulse, nothing);
    render(&fresh, 4000, [](int n) { return n % 3 == 0 ? 1.0f : -0.7f; }, [](int n) { return float(n % 11) - 5.0f; });
    drop(&fresh);
    ReverbModule& again = make();
    ASSERT_EQ(&again, &fresh) << "the pool hands out the item it took back last";
    const Output second = render(&again, 200, impulse, nothing);
    for (size_t n = 0; n < first.left.size(); ++n) {
        ASSERT_EQ(first.left[n], second.left[n]) << n;
        ASSERT_EQ(first.right[n], second.right[n]) << n;
    }
}

TEST_F(ReverbTest, ExtremeSettingsAndInputsStayFinite) {
    std::mt19937 random(0x30);
    auto word = [&random] { return int16_t(std::uniform_int_distribution<int>(-32768, 32767)(random)); };
    const float inf = std::numeric_limits<float>::infinity();
    const float specials[] = {0.0f, 1e30f, -1e30f, 3e38f, -3e38f, inf, -inf, std::nanf(""), 1e-40f, -1e-42f};
    auto special = [&] { return specials[random() % std::size(specials)]; };
    std::vector<ReverbBlock> blocks(3);
    for (int p = 7; p < kWords; ++p) {
        blocks[1].set(p, 32767);
        blocks[2].set(p, -32768);
    }
    for (int r = 0; r < 12; ++r) {
        ReverbBlock b;
        for (int p = 7; p < kWords; ++p) b.set(p, word());
        blocks.push_back(b);
    }
    ScopedDenormalsAllowed denormals;
    for (const ReverbBlock& b : blocks) {
        load(b);
        set(14, b.w[14]);
        ReverbModule& m = make();
        // Loud and broken input, then a long quiet tail in which nothing may turn denormal.
        const Output out = render(&m, 600, [&](int n) { return n < 4000 ? (n % 5 == 0 ? special() : 1e4f) : 0.0f; },
                                  [&](int n) { return n < 4000 ? (n % 3 == 0 ? special() : -1e4f) : 1e-39f; },
                                  [](int) {}, {{2, special()}, {3, special()}, {4, special()}, {5, special()}});
        ASSERT_EQ(testing::badSamples(out.left.data(), out.left.size()), 0) << b.w[7] << " " << b.w[9];
        ASSERT_EQ(testing::badSamples(out.right.data(), out.right.size()), 0) << b.w[7] << " " << b.w[9];
        drop(&m);
    }
}

// The output clamp would hide a poisoned network as silence: a broken sample must enter as nothing,
// and the reverb must go on sounding exactly as if it had never come.
TEST_F(ReverbTest, BrokenInputSamplesCountAsSilence) {
    const float inf = std::numeric_limits<float>::infinity();
    load(ReverbBlock().set(7, 12288).set(13, 12000));
    ReverbModule& clean = make();
    const Output expected = render(&clean, 300, impulse, [](int n) { return n == 7 ? 0.5f : 0.0f; });
    drop(&clean);
    ReverbModule& broken = make();
    const Output heard = render(
        &broken, 300,
        [inf](int n) { return n == 0 ? 1.0f : (n == 100 ? std::nanf("") : (n == 200 ? inf : (n == 300 ? -inf : 0.0f))); },
        [inf](int n) { return n == 7 ? 0.5f : (n == 50 ? std::nanf("") : (n == 3000 ? inf : 0.0f)); });
    drop(&broken);
    for (size_t n = 0; n < expected.left.size(); ++n) {
        ASSERT_EQ(heard.left[n], expected.left[n]) << n;
        ASSERT_EQ(heard.right[n], expected.right[n]) << n;
    }
}

// The master slot's reverb comes from the long-buffer pool and goes back to it with the slot.
TEST_F(ReverbTest, AnEffectSlotHostsTheReverb) {
    ParameterRecord slotRecord, inner;
    slotRecord.as<EffectSlotParams>() = EffectSlotParams{kReverbType, &inner};
    load(ReverbBlock().set(7, 8192), inner);
    ModulePoolBase* reverbPool = pools->poolForType(kReverbType);
    const int freeBefore = reverbPool->freeCount();
    void* slot = pools->poolForType(ModuleType::EffectSlot)->allocate();
    initModuleByType(slot, ModuleType::EffectSlot, &slotRecord, 1, &context);
    EXPECT_EQ(reverbPool->freeCount(), freeBefore - 1);
    acquirePortBuffer(*modulePortAddress(slot, 0));
    acquirePortBuffer(*modulePortAddress(slot, 1));
    const Output out = render(slot, 200, impulse, nothing);
    EXPECT_GT(testing::rms(out.left), 0.0);
    resetModuleByType(slot);
    EXPECT_EQ(reverbPool->freeCount(), freeBefore);
}

} // namespace
} // namespace corvex
