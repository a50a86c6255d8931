// The stereo delay: lengths measured from an impulse and held inside the line, link, bypass, cross-feed,
// stored blocks against single words, reused pool items, and extreme settings and inputs.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <random>
#include <vector>

#include "engine/dsp/ScopedNoDenormals.h"
#include "engine/modules/BlockBufferStore.h"
#include "engine/modules/ModuleFramework.h"
#include "engine/modules/ModulePools.h"
#include "engine/modules/types/Delay.h"
#include "tests/engine/ModuleRig.h"
#include "tests/support/SignalChecks.h"

namespace corvex {
namespace {

constexpr int kDelayType = ModuleType::Delay;
constexpr int kWords = 21;
constexpr int16_t kUnity = 12288; // output level 0 dB

// Block words 7..20: wet only, no feedback or cross-feed, damping at its top (about 9.7 kHz), 0 dB.
struct DelayBlock {
    std::array<int16_t, kWords> w{};
    DelayBlock() {
        w[14] = 16384;
        w[17] = 16384;
        w[19] = kUnity;
    }
    DelayBlock& set(int parameter, int16_t word) {
        w[size_t(parameter)] = word;
        return *this;
    }
};

using Signal = std::function<float(int)>;

class DelayTest : public testing::ModuleRig {
protected:
    void load(const DelayBlock& b, ParameterRecord& into) {
        std::array<uint16_t, 2 + kWords> data{};
        for (size_t j = 0; j < kWords; ++j) data[2 + j] = uint16_t(b.w[j]);
        blockLoaderFor(kDelayType)(data.data(), kWords, &into, &context);
    }
    void set(int parameter, int16_t word) {
        parameterSetterFor(kDelayType)(word, parameter, nullptr, nullptr, &record, &context);
    }

    DelayModule& make(const DelayBlock& b) {
        load(b, record);
        void* m = pools->poolForType(kDelayType)->allocate();
        initModuleByType(m, kDelayType, &record, 1, &context);
        acquirePortBuffer(*modulePortAddress(m, 0));
        acquirePortBuffer(*modulePortAddress(m, 1));
        return *static_cast<DelayModule*>(m);
    }
    void drop(void* m) {
        resetModuleByType(m);
        pools->poolForType(kDelayType)->release(m);
    }

    // Runs `blocks` blocks from frame `start`; `each` sees every output frame pair.
    void run(void* m, int blocks, const Signal& in0, const Signal& in1,
             const std::function<void(int, float, float)>& each = nullptr, int start = 0) {
        PortEntry a = bufferPort(), b = bufferPort();
        testing::Wiring<10> w(35);
        w.connect(0, &a);
        w.connect(1, &b);
        for (int block = 0; block < blocks; ++block) {
            const int first = start + block * kBlockFrames;
            for (int n = 0; n < kBlockFrames; ++n) {
                portBuffer(a)[n] = in0(first + n);
                portBuffer(b)[n] = in1(first + n);
            }
            processModuleByType(m, w.descriptors.data(), w.sources.data(), w.counts.data());
            const float* o0 = portBuffer(*modulePortAddress(m, 0));
            const float* o1 = portBuffer(*modulePortAddress(m, 1));
            if (each)
                for (int n = 0; n < kBlockFrames; ++n) each(first + n, o0[n], o1[n]);
        }
        releasePortUser(a);
        releasePortUser(b);
    }

    // Frames from an impulse at frame 0 into each channel to its first echo on the output that carries
    // the channel (output 1 carries channel 0); -1 when none came within `longest` frames.
    std::array<int, 2> echoFrames(void* m, int longest) {
        std::array<int, 2> at{-1, -1};
        const Signal impulse = [](int n) { return n == 0 ? 0.01f : 0.0f; };
        run(m, longest / kBlockFrames + 2, impulse, impulse, [&at](int n, float out0, float out1) {
            if (at[0] < 0 && out1 != 0.0f) at[0] = n;
            if (at[1] < 0 && out0 != 0.0f) at[1] = n;
        });
        return at;
    }

    static float nothing(int) { return 0.0f; }

    ParameterRecord record;
};

// Free times are sample counts at 44.1 kHz, stretched at other rates; synced times are rate / f; anything
// past the line is held just inside it. The length glides (0.0001 a sample) from the free time, so synced
// cases settle first.
TEST_F(DelayTest, DelayTimesMeasuredFromAnImpulse) {
    struct Case {
        float rate, tempo;
        int16_t sync, word0, word1;
        int frames0, frames1;
    };
    const Case cases[] = {
        {44100.0f, 120.0f, 0, 0, 16384, 400, 176400},
        {44100.0f, 120.0f, 0, 4096, 12288, 2400, 39050},
        {44100.0f, 120.0f, 0, 8192, 32767, 12800, 176400},
        {96000.0f, 120.0f, 0, 0, 8192, 870, 27863},            // 400 and 12800 samples at 44.1 kHz
        {44100.0f, 120.0f, 1, 8192, 0, 11025, 176400},         // codes 2 and -8
        {44100.0f, 20.0f, 1, 0, 7168, 705598, 132300},         // -8 at 20 bpm: 24 s; code 1: 3 s
        {96000.0f, 60.0f, 1, 0, 7168, 705598, 96000},          // -8 at 60 bpm: 8 s at 96 kHz
        {44100.0f, 0.0f, 1, 4096, 0, 2400, 400},               // no tempo: the free times
    };
    for (const Case& c : cases) {
        context.setSampleRate(c.rate);
        context.tempo = c.tempo;
        DelayModule& m = make(DelayBlock().set(7, c.word0).set(8, c.word1).set(18, c.sync));
        if (c.sync != 0) run(&m, int(7000 * c.rate / 44100.0f), nothing, nothing); // the glide from the free time
        const std::array<int, 2> at = echoFrames(&m, std::max(c.frames0, c.frames1) + 64);
        EXPECT_EQ(at[0], c.frames0) << c.rate << " " << c.tempo << " " << c.word0;
        EXPECT_EQ(at[1], c.frames1) << c.rate << " " << c.tempo << " " << c.word1;
        drop(&m);
    }
}

// A free time lasts as many milliseconds at every rate: 400, 3200 and 39050 samples at 44.1 kHz.
TEST_F(DelayTest, FreeTimesLastAsLongAtEveryRate) {
    struct Case {
        int16_t word;
        double ms;
    };
    const Case cases[] = {{0, 400.0 / 44.1}, {4915, 3200.0 / 44.1}, {12288, 39050.0 / 44.1}};
    for (const float rate : {44100.0f, 48000.0f, 96000.0f}) {
        context.setSampleRate(rate);
        for (const Case& c : cases) {
            DelayModule& m = make(DelayBlock().set(7, c.word).set(8, c.word));
            const int longest = int(c.ms * rate / 1000.0f) + 64;
            const std::array<int, 2> at = echoFrames(&m, longest);
            drop(&m);
            const double frameMs = 1000.0 / rate;
            for (const int frames : at) EXPECT_NEAR(frames * frameMs, c.ms, frameMs) << c.word << " at " << rate;
        }
    }
}

// With link on, channel 0's words set both channels and channel 1's time word is dropped.
TEST_F(DelayTest, LinkSetsBothChannelsFromChannelZero) {
    DelayModule& m = make(DelayBlock().set(7, 0).set(8, 0));
    set(16, 1);
    set(7, 4096); // 2400 samples
    set(8, 8192); // dropped
    set(9, 8192);
    set(11, 16384);
    const DelayParams& p = record.as<DelayParams>();
    EXPECT_EQ(p.feedback[1], 0.5f);
    EXPECT_EQ(p.cross[1], 0.5f);
    set(11, 0);
    set(9, 0);
    m.channels[0].length = m.channels[1].length = 2400.0; // skip the glide
    const std::array<int, 2> at = echoFrames(&m, 2500);
    EXPECT_EQ(at[0], 2400);
    EXPECT_EQ(at[1], 2400);
    drop(&m);
}

// Bypass passes the dry signal with the channels exchanged and scaled by the output level; the lines
// keep filling, so the echo of what came in during bypass sounds once it ends.
TEST_F(DelayTest, BypassSwapsTheDryChannelsAndKeepsTheLinesFilling) {
    const float up12 = float(std::pow(10.0, 0.6));
    DelayModule& m = make(DelayBlock().set(7, 0).set(8, 0).set(19, 16384).set(20, 1));
    // Channel 0 carries one impulse, so that its output holds nothing but that impulse's echo later.
    const Signal in0 = [](int n) { return n == 0 ? 0.01f : 0.0f; };
    const Signal in1 = [](int n) { return -0.5f * float(std::cos(0.02 * n)); };
    run(&m, 4, in0, in1, [&](int n, float out0, float out1) {
        ASSERT_NEAR(out0, up12 * in1(n), 1e-6f) << n;
        ASSERT_NEAR(out1, up12 * in0(n), 1e-6f) << n;
    });
    set(20, 0);
    double early = 0.0, echo = 0.0;
    run(&m, 21, nothing, nothing, [&](int n, float, float out1) { (n < 400 ? early : echo) += out1; }, 128);
    EXPECT_EQ(early, 0.0);
    EXPECT_NEAR(echo, up12 * 0.9 * 0.01, up12 * 1e-6) << "the impulse fed during bypass echoes 400 frames later";
    drop(&m);
}

// Half of the cross-feed word reaches the other channel's line, whether it came as a single word or in a
// stored block (which used to skip the halving): the echo on the other side carries half of the own one.
TEST_F(DelayTest, CrossFeedHalvesTheWordFromSetterAndStoredBlock) {
    for (const bool stored : {false, true}) {
        DelayModule& m = make(DelayBlock().set(7, 0).set(8, 4096).set(11, stored ? 16384 : 0));
        if (!stored) set(11, 16384);
        double other = 0.0;
        const Signal impulse = [](int n) { return n == 0 ? 0.01f : 0.0f; };
        double own = 0.0;
        run(&m, 100, impulse, nothing, [&other, &own](int n, float out0, float out1) {
            if (n >= 2400 && n < 2400 + 400) other += out0;
            if (n >= 400 && n < 800) own += out1;
        });
        // The clipper 3 tanh(0.3 z) passes a small echo at 0.9; the damping filter passes its area whole.
        EXPECT_NEAR(own, 0.9 * 0.01, 1e-6) << (stored ? "stored block" : "setter");
        EXPECT_NEAR(other, 0.5 * 0.9 * 0.01, 1e-6) << (stored ? "stored block" : "setter");
        drop(&m);
    }
}

// A stored block gives the record that the same words give one by one (the link ends off in both).
TEST_F(DelayTest, BlockLoaderStoresWhatTheSetterStores) {
    std::mt19937 random(0x28);
    auto word = [&random] { return int16_t(std::uniform_int_distribution<int>(-32768, 32767)(random)); };
    std::vector<DelayBlock> blocks = {DelayBlock(), DelayBlock().set(11, 16384).set(12, 8192).set(18, 1)};
    for (int r = 0; r < 30; ++r) {
        DelayBlock b;
        for (int p = 7; p < kWords; ++p) b.set(p, r < 10 ? int16_t(random() % 16385) : word());
        blocks.push_back(b);
    }
    for (const DelayBlock& b : blocks) {
        ParameterRecord bySetter, byLoader;
        for (int p = 7; p < kWords; ++p)
            if (p != 16) parameterSetterFor(kDelayType)(b.w[size_t(p)], p, nullptr, nullptr, &bySetter, &context);
        load(b, byLoader);
        EXPECT_EQ(std::memcmp(byLoader.body, bySetter.body, sizeof(DelayParams)), 0) << b.w[11] << " " << b.w[16];
    }
    ParameterRecord linked;
    load(DelayBlock().set(16, 8192), linked);
    EXPECT_EQ(linked.as<DelayParams>().link, 0);
}

TEST_F(DelayTest, SetterEchoesItsUnits) {
    struct Case {
        float rate;
        int16_t sync;
        int parameter;
        int16_t word;
        float echo;
        int code;
    };
    const Case cases[] = {
        {44100.0f, 0, 7, 0, 400.0f / 44100.0f * 1000.0f, 5},  {44100.0f, 0, 8, 16384, 4000.0f, 5},
        {96000.0f, 0, 7, 0, 400.0f / 44100.0f * 1000.0f, 5},  {44100.0f, 1, 7, 8192, 2.0f, 3},
        {44100.0f, 1, 8, 0, -8.0f, 3},                        {44100.0f, 0, 9, 8192, 0.5f, 4},
        {44100.0f, 0, 12, 16384, 0.5f, 4},                    {44100.0f, 0, 14, 0, 10.0f, 1},
        {44100.0f, 0, 14, 16384, 10.0f * std::pow(1.059f, 120.0f), 1},
        {44100.0f, 0, 15, 16384, 1.0f, 4},                    {44100.0f, 0, 15, 8192, 0.76f, 4},
        {44100.0f, 0, 13, -1, 4294967295.0f, 7},              {44100.0f, 0, 16, 1, 1.0f, 8},
        {44100.0f, 0, 19, kUnity, 0.0f, 0},                   {44100.0f, 0, 19, 16384, 12.0f, 0},
        {44100.0f, 0, 20, 1, 1.0f, 8},                        {44100.0f, 0, 17, 4096, 0.25f, 4},
    };
    for (const Case& c : cases) {
        context.setSampleRate(c.rate);
        record = ParameterRecord{};
        set(18, c.sync);
        float echo = -999.0f;
        int code = -1;
        parameterSetterFor(kDelayType)(c.word, c.parameter, &echo, &code, &record, &context);
        EXPECT_NEAR(echo, c.echo, 1e-4f * std::fmax(1.0f, std::fabs(c.echo))) << c.parameter << ":" << c.word;
        EXPECT_EQ(code, c.code) << c.parameter << ":" << c.word;
    }
}

// Init does not clear 5.6 MB of line: slots not written since init read as silence, whatever an earlier
// delay (or garbage) left in the pool item.
TEST_F(DelayTest, AReusedPoolItemStartsSilent) {
    DelayModule& loud = make(DelayBlock().set(7, 0).set(8, 0).set(9, 16384).set(10, 16384));
    run(&loud, 200, [](int n) { return n % 3 == 0 ? 1.0f : -0.5f; }, [](int n) { return n % 7 == 0 ? 1.0f : 0.0f; });
    drop(&loud);
    void* again = pools->poolForType(kDelayType)->allocate();
    ASSERT_EQ(again, &loud) << "the pool hands out the item it took back last";
    std::memset(static_cast<void*>(loud.lines), 0x3F, sizeof(loud.lines)); // 0.75 in every old slot
    initModuleByType(again, kDelayType, &record, 1, &context);
    acquirePortBuffer(*modulePortAddress(again, 0));
    acquirePortBuffer(*modulePortAddress(again, 1));
    run(again, 20, nothing, nothing, [](int n, float out0, float out1) {
        ASSERT_EQ(out0, 0.0f) << n;
        ASSERT_EQ(out1, 0.0f) << n;
    });
    drop(again);
}

// Random and limit words, tempos and rates that push the lengths past the line, inputs that are NaN,
// infinite, huge or denormal, with flush-to-zero off: every output sample stays finite and normal.
TEST_F(DelayTest, ExtremeSettingsAndInputsStayFinite) {
    std::mt19937 random(0x29);
    auto word = [&random] { return int16_t(std::uniform_int_distribution<int>(-32768, 32767)(random)); };
    const float inf = std::numeric_limits<float>::infinity();
    const float specials[] = {0.0f, 1e30f, -1e30f, 3e38f, -3e38f, inf, -inf, std::nanf(""), 1e-40f, -1e-42f};
    auto special = [&] { return specials[random() % std::size(specials)]; };
    std::vector<DelayBlock> blocks(3);
    for (int p = 7; p < kWords; ++p) {
        blocks[1].set(p, 32767);
        blocks[2].set(p, -32768);
    }
    for (int r = 0; r < 12; ++r) {
        DelayBlock b;
        for (int p = 7; p < kWords; ++p) b.set(p, word());
        b.set(7, int16_t(random() % 2000)).set(8, int16_t(random() % 2000)); // short enough to hear the feedback
        blocks.push_back(b);
    }
    const float tempos[] = {0.0f, 1.0f, 120.0f, 1e6f, std::nanf("")};
    ScopedDenormalsAllowed denormals;
    int r = 0;
    for (const DelayBlock& b : blocks) {
        context.setSampleRate(r % 2 ? 96000.0 : 44100.0);
        context.tempo = tempos[size_t(r++) % std::size(tempos)];
        DelayModule& m = make(b);
        std::vector<float> out;
        auto keep = [&out](int, float o0, float o1) {
            out.push_back(o0);
            out.push_back(o1);
        };
        run(&m, 100, [&](int n) { return n % 5 == 0 ? special() : 1e4f; },
            [&](int n) { return n % 3 == 0 ? special() : -1e4f; }, keep);
        run(&m, 100, nothing, nothing, keep);
        ASSERT_EQ(testing::badSamples(out.data(), out.size()), 0) << b.w[7] << " " << b.w[14];
        drop(&m);
    }
}

} // namespace
} // namespace corvex
