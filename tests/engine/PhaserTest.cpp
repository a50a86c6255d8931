// The insert and master phasers: stage count, the swept frequency, LFO rates and their limits, cross mix,
// bypass, stored blocks against single words, and extreme settings and inputs.
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
#include "engine/modules/types/PhaserInsert.h"
#include "engine/modules/types/PhaserMaster.h"
#include "tests/engine/ModuleRig.h"
#include "tests/support/SignalChecks.h"

namespace corvex {
namespace {

constexpr int kInsert = ModuleType::InsertPhaser;
constexpr int kMaster = ModuleType::MasterPhaser;
constexpr int16_t kUnity = 12288; // output level 0 dB
constexpr double kPi = 3.14159265358979323846;

// Block words 7.. of either type; a case sets what it needs.
struct PhaserBlock {
    std::array<int16_t, 30> w{};
    PhaserBlock& set(int parameter, int16_t word) {
        w[size_t(parameter)] = word;
        return *this;
    }
};

// Insert phaser: square LFO starting on +1 at the slowest rate, wet only, no feedback, 0 dB.
PhaserBlock insertBlock(int16_t stages) {
    return PhaserBlock().set(7, stages).set(9, 8192).set(13, 16384).set(14, 1).set(18, kUnity);
}

// Master phaser: square LFOs, full depth, both centres at 520 Hz, half wet, 0 dB.
PhaserBlock masterBlock() {
    PhaserBlock b;
    for (int p : {9, 14}) b.set(p, 8192);
    for (int p : {10, 15}) b.set(p, 16384);
    for (int p : {11, 16}) b.set(p, 1);
    return b.set(25, 8192).set(28, kUnity);
}

// The break frequency a measured coefficient stands for: g = -(a + a^2/2 + a^3/6), a = -2 pi f / rate,
// solved by bisection.
double frequencyOfCoefficient(double g, double rate) {
    double lo = 0.0, hi = rate / 2.0;
    for (int i = 0; i < 100; ++i) {
        const double f = 0.5 * (lo + hi);
        const double a = -2.0 * kPi * f / rate;
        (-(a + a * a / 2.0 + a * a * a / 6.0) < g ? lo : hi) = f;
    }
    return 0.5 * (lo + hi);
}

double coefficientOfFrequency(double f, double rate) {
    const double a = -2.0 * kPi * f / rate;
    return -(a + a * a / 2.0 + a * a * a / 6.0);
}

// The centre of gravity of an impulse response: the group delay at DC, in samples.
double centroid(const std::vector<float>& h) {
    double total = 0.0, moment = 0.0;
    for (size_t n = 0; n < h.size(); ++n) {
        total += h[n];
        moment += double(h[n]) * double(n);
    }
    return moment / total;
}

class PhaserTest : public testing::ModuleRig {
protected:
    void load(int type, const PhaserBlock& b, ParameterRecord& into) {
        const int words = type == kInsert ? 20 : 30;
        std::vector<uint16_t> data(size_t(words) + 2, 0);
        for (int j = 0; j < words; ++j) data[size_t(j) + 2] = uint16_t(b.w[size_t(j)]);
        blockLoaderFor(type)(data.data(), words, &into, &context);
    }

    void* make(int type, const PhaserBlock& b) {
        load(type, b, record);
        void* m = pools->poolForType(type)->allocate();
        initModuleByType(m, type, &record, 0, &context);
        acquirePortBuffer(*modulePortAddress(m, 0));
        acquirePortBuffer(*modulePortAddress(m, 1));
        return m;
    }
    void drop(void* m) {
        const int type = moduleHead(m).type();
        resetModuleByType(m);
        pools->poolForType(type)->release(m);
    }

    struct Output {
        std::vector<float> left, right;
    };
    using Signal = std::function<float(int)>;

    // Renders through input 0 (and input 1 when `stereo`), with value sources on the modulation inputs
    // a case names; returns both outputs frame after frame.
    Output render(void* module, int blocks, const Signal& left, const Signal& right, bool stereo,
                  const std::vector<std::pair<int, float>>& modulation = {}) {
        PortEntry in0 = bufferPort(), in1 = bufferPort();
        std::vector<PortEntry> values(modulation.size());
        testing::Wiring<6> w(18);
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

    // The insert phaser's response to a small impulse after `settle` silent blocks (small, so the
    // saturating stages act as linear ones).
    std::vector<float> impulseResponse(void* m, int settle) {
        render(m, settle, nothing, nothing, false);
        std::vector<float> h = render(m, 40, [](int n) { return n == 0 ? 1e-4f : 0.0f; }, nothing, false).left;
        for (float& s : h) s *= 1e4f;
        return h;
    }

    // The LFO rate heard in the output: with a square LFO the sweep jumps between its two ends, and
    // the level of a tone in each block jumps with it. Counts the jumps after a warm-up. The tone makes
    // whole cycles in a block, so a steady sweep gives a steady block level.
    double heardLfoRate(void* m, bool leftChannel, int blocks, const std::vector<std::pair<int, float>>& modulation,
                        int toneCyclesPerBlock = 2) {
        const double rate = context.sampleRate;
        const Signal tone = [toneCyclesPerBlock](int n) {
            return 0.01f * float(std::sin(2.0 * kPi * toneCyclesPerBlock * n / kBlockFrames));
        };
        const bool stereo = moduleHead(m).type() == kMaster;
        const Output out = render(m, blocks, tone, tone, stereo, modulation);
        const std::vector<float>& heard = leftChannel ? out.left : out.right;
        std::vector<double> level;
        for (int b = 0; b < blocks; ++b) {
            double sum = 0.0;
            for (int n = 0; n < kBlockFrames; ++n) sum += double(heard[size_t(b * kBlockFrames + n)]) *
                                                         double(heard[size_t(b * kBlockFrames + n)]);
            level.push_back(std::sqrt(sum / kBlockFrames));
        }
        constexpr int kWarmUp = 200;
        // The two ends as the levels most blocks sit at, whatever a jump's transient does.
        std::vector<double> sorted(level.begin() + kWarmUp, level.end());
        std::sort(sorted.begin(), sorted.end());
        const double lo = sorted[sorted.size() / 10], hi = sorted[sorted.size() * 9 / 10];
        EXPECT_GT(hi, 2.0 * lo) << "the two ends of the sweep must sound apart";
        // Hysteresis, and a few blocks' rest after each jump: a chain's ringing just after a jump must
        // not count as jumps of its own.
        constexpr int kRest = 5;
        const double upper = lo + 0.75 * (hi - lo), lower = lo + 0.25 * (hi - lo);
        bool high = level[size_t(kWarmUp)] > 0.5 * (lo + hi);
        int first = -1, last = -1, jumps = 0;
        for (int b = kWarmUp + 1; b < blocks; ++b) {
            if (last >= 0 && b - last <= kRest) continue;
            if (high ? level[size_t(b)] < lower : level[size_t(b)] > upper) {
                high = !high;
                if (first < 0) first = b;
                last = b;
                ++jumps;
            }
        }
        if (jumps < 3) return 0.0;
        const double seconds = double(last - first) * kBlockFrames / rate;
        return double(jumps - 1) / 2.0 / seconds;
    }

    static float nothing(int) { return 0.0f; }

    ParameterRecord record;
};

// Six allpass stages run every sample; the output is taken after the chosen one. A stage of coefficient
// c = (2/3) G delays DC by (2 - c) / c samples, with G = 1.5 g for the first stage and 1.35 g for the
// others. The sweep sits at 520 Hz x 1.059463^(0.01 x 110): depth 0 still sweeps by 0.01.
TEST_F(PhaserTest, TheStageCountPicksTheOutput) {
    const double f = 520.0 * std::pow(1.059463094359295, 0.01 * 110.0);
    const double g = coefficientOfFrequency(f, 44100.0);
    const double first = (2.0 - g) / g;
    const double later = (2.0 - 0.9 * g) / (0.9 * g);
    struct Case {
        int16_t word;
        int stages;
    };
    const Case cases[] = {{1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}, {6, 6}, {0, 1}, {-3, 1}, {7, 6}, {300, 6}};
    for (const Case& c : cases) {
        void* m = make(kInsert, insertBlock(c.word));
        const std::vector<float> h = impulseResponse(m, 150);
        const double expected = first + (c.stages - 1) * later;
        EXPECT_NEAR(centroid(h), expected, 0.002 * expected) << "stage word " << c.word;
        double dc = 0.0;
        for (float s : h) dc += s;
        EXPECT_NEAR(dc, c.stages % 2 == 0 ? 1.0 : -1.0, 1e-3) << "each stage turns DC over, word " << c.word;
        drop(m);
    }
}

// With depth 0 and no depth modulation the sweep still spans 0.01 of full depth: about +-1.1 semitones
// around the centre. The swept frequency is read back from the one-stage response at both LFO ends.
TEST_F(PhaserTest, DepthZeroStillSweepsByOneHundredthOfTheRange) {
    void* m = make(kInsert, insertBlock(1).set(10, 0).set(11, 6554)); // about 0.5 Hz
    const double up = frequencyOfCoefficient(2.0 / (centroid(impulseResponse(m, 700)) + 1.0), 44100.0);
    const double down = frequencyOfCoefficient(2.0 / (centroid(impulseResponse(m, 1300)) + 1.0), 44100.0);
    EXPECT_NEAR(up, 520.0 * std::pow(2.0, 1.1 / 12.0), 520.0 * 0.005);
    EXPECT_NEAR(down, 520.0 * std::pow(2.0, -1.1 / 12.0), 520.0 * 0.005);
    EXPECT_NEAR(up / down, std::pow(2.0, 2.2 / 12.0), 0.005);
    drop(m);
}

// LFO rates from the curves, the tempo and the modulation, and where they are held. Both phasers keep
// their rates at every engine rate; the master phaser has no limit of its own.
TEST_F(PhaserTest, LfoRatesAndTheirLimits) {
    struct Case {
        int type;
        int16_t rateWord;
        int16_t sync;
        float tempo;
        float rateModulation;
        float sampleRate;
        double hz;
    };
    const Case cases[] = {
        {kInsert, 16384, 0, 120.0f, 0.0f, 44100.0f, 50.0},
        {kInsert, 32767, 0, 120.0f, 0.0f, 44100.0f, 50.0},
        {kInsert, 8192, 0, 120.0f, 0.0f, 44100.0f, 1.0},
        {kInsert, 12288, 0, 120.0f, 0.0f, 44100.0f, 12.0},
        {kInsert, 16384, 0, 120.0f, 3.0f, 44100.0f, 50.0},   // modulated to 200 Hz
        {kInsert, 16384, 1, 600.0f, 0.0f, 44100.0f, 50.0},   // code 9 at 600 bpm: 90 Hz
        {kInsert, 8192, 1, 120.0f, 0.0f, 44100.0f, 4.0},     // code 2 at 120 bpm
        {kInsert, 16384, 0, 120.0f, 0.0f, 48000.0f, 50.0},
        {kMaster, 16384, 0, 120.0f, 0.0f, 44100.0f, 12.0},
        {kMaster, 32767, 0, 120.0f, 0.0f, 44100.0f, 12.0},
        {kMaster, 8192, 0, 120.0f, 0.0f, 44100.0f, 1.0},
        {kMaster, 16384, 0, 120.0f, 0.0f, 48000.0f, 12.0},
        {kMaster, 16384, 1, 120.0f, 0.0f, 44100.0f, 18.0},   // code 9 at 120 bpm
    };
    for (const Case& c : cases) {
        context.setSampleRate(c.sampleRate);
        context.tempo = c.tempo;
        for (const bool left : {true, false}) {
            if (c.type == kInsert && !left) continue;
            void* m = nullptr;
            if (c.type == kInsert) {
                m = make(kInsert, insertBlock(1).set(10, 16384).set(13, 8192).set(11, c.rateWord).set(17, c.sync));
            } else {
                m = make(kMaster, masterBlock().set(12, c.rateWord).set(17, c.rateWord).set(20, c.sync));
            }
            std::vector<std::pair<int, float>> modulation;
            if (c.rateModulation != 0.0f) modulation.push_back({2, c.rateModulation});
            const int blocks = c.hz < 2.0 ? 9000 : 3000;
            EXPECT_NEAR(heardLfoRate(m, left, blocks, modulation), c.hz, 0.01 * c.hz)
                << "type " << c.type << " word " << c.rateWord << " sync " << c.sync << " at " << c.sampleRate
                << (left ? " left" : " right");
            drop(m);
        }
    }
}

// A synced LFO keeps its cycles per beat whatever rate the device runs at: a phaser locked to the song
// must not drift off the beat at 48 or 96 kHz. Both phasers, code 2 at 120 bpm, over about 20 cycles.
TEST_F(PhaserTest, ASyncedLfoKeepsItsCyclesPerBeatAtEveryRate) {
    constexpr float kTempo = 120.0f;
    for (const int type : {kInsert, kMaster}) {
        for (const float rate : {44100.0f, 48000.0f, 96000.0f}) {
            context.setSampleRate(rate);
            context.tempo = kTempo;
            void* m = type == kInsert
                          ? make(kInsert, insertBlock(1).set(10, 16384).set(13, 8192).set(11, 8192).set(17, 1))
                          : make(kMaster, masterBlock().set(9, 10000).set(12, 8192).set(17, 8192).set(20, 1));
            // A tone near 3 kHz at every rate, where the two ends of each sweep sound apart.
            const int toneCycles = rate > 60000.0f ? 1 : 2;
            const int blocks = int(5.0f * rate / kBlockFrames);
            const double cyclesPerBeat = heardLfoRate(m, true, blocks, {}, toneCycles) / (kTempo / 60.0);
            EXPECT_NEAR(cyclesPerBeat, 2.0, 0.002) << "type " << type << " at " << rate;
            drop(m);
        }
    }
}

// A rate pulled to zero or below by its modulation runs at 0.01 Hz: the square LFO's first half
// lasts 50 seconds, and the sweep crosses its middle half an entry before the table turns.
TEST_F(PhaserTest, ARateModulatedBelowZeroCrawlsAtOneHundredthOfAHertz) {
    void* m = make(kInsert, insertBlock(1).set(10, 16384).set(13, 8192).set(11, 16384));
    const double blocksPerCycle = 4294967296.0 / std::nearbyint(0.01 * 0.18577649 * 16777216.0);
    const double expected = 127.5 / 256.0 * blocksPerCycle;
    const Signal tone = [](int n) { return 0.01f * float(std::sin(2.0 * kPi * 1000.0 * n / 44100.0)); };
    const Output out = render(m, int(expected) + 2000, tone, nothing, false, {{2, -3.0f}});
    auto level = [&out](int b) {
        double sum = 0.0;
        for (int n = 0; n < kBlockFrames; ++n) sum += std::fabs(double(out.left[size_t(b * kBlockFrames + n)]));
        return sum;
    };
    const double start = level(100);
    int flipped = -1;
    for (int b = 101; b < int(out.left.size()) / kBlockFrames && flipped < 0; ++b)
        if (std::fabs(level(b) - start) > 0.5 * start) flipped = b;
    EXPECT_NEAR(flipped, expected, 0.01 * expected);
    drop(m);
}

// Cross 1 adds the other chain's wet signal to each side; the rows set it at index 22, a stored block
// keeps it at either index, and a word past 1 is still only on.
TEST_F(PhaserTest, CrossMixAddsTheOtherChain) {
    struct Case {
        int16_t at21, at22;
        bool on;
    };
    const Case cases[] = {{0, 0, false}, {1, 0, true}, {0, 1, true}, {5, 0, true}, {-2, 0, false}};
    const Signal tone = [](int n) { return 0.3f * float(std::sin(0.05 * n)) + 0.1f * float(std::sin(0.31 * n)); };
    for (const Case& c : cases) {
        void* m = make(kMaster, masterBlock().set(25, 16384).set(12, 12000).set(21, c.at21).set(22, c.at22));
        const Output out = render(m, 20, tone, nothing, true);
        double left = 0.0;
        for (size_t n = 0; n < out.left.size(); ++n) {
            left += std::fabs(out.left[n]);
            ASSERT_EQ(out.right[n], c.on ? out.left[n] : 0.0f) << c.at21 << "/" << c.at22 << " at " << n;
        }
        EXPECT_GT(left, 1.0);
        drop(m);
    }
    // The setter stores either index into the same field.
    void* m = make(kMaster, masterBlock().set(25, 16384));
    parameterSetterFor(kMaster)(1, 22, nullptr, nullptr, &record, &context);
    const Output on = render(m, 4, tone, nothing, true);
    EXPECT_EQ(on.right, on.left);
    parameterSetterFor(kMaster)(0, 21, nullptr, nullptr, &record, &context);
    const Output off = render(m, 4, tone, nothing, true);
    EXPECT_EQ(off.right, std::vector<float>(off.right.size(), 0.0f));
    drop(m);
}

// Bypass mutes the wet part and leaves the dry input times the level; the master phaser keeps its sides.
TEST_F(PhaserTest, BypassLeavesTheDryInputAtTheOutputLevel) {
    const float up12 = float(std::pow(10.0, 0.6));
    const Signal left = [](int n) { return 0.25f * float(std::sin(0.1 * n)); };
    const Signal right = [](int n) { return -0.5f * float(std::cos(0.07 * n)); };
    void* insert = make(kInsert, insertBlock(6).set(10, 16384).set(11, 16384).set(19, 1).set(18, 16384));
    const Output a = render(insert, 8, left, right, false);
    for (size_t n = 0; n < a.left.size(); ++n) ASSERT_NEAR(a.left[n], up12 * left(int(n)), 1e-6f) << n;
    drop(insert);
    void* master = make(kMaster, masterBlock().set(25, 16384).set(29, 1).set(28, 16384).set(21, 1));
    const Output b = render(master, 8, left, right, true);
    for (size_t n = 0; n < b.left.size(); ++n) {
        ASSERT_NEAR(b.left[n], up12 * left(int(n)), 1e-6f) << n;
        ASSERT_NEAR(b.right[n], up12 * right(int(n)), 1e-6f) << n;
    }
    drop(master);
}

// A stored block gives the record that the same words give one by one; stage counts and waves are held.
TEST_F(PhaserTest, BlockLoaderStoresWhatTheSetterStores) {
    std::mt19937 random(0x38);
    auto word = [&random] { return int16_t(std::uniform_int_distribution<int>(-32768, 32767)(random)); };
    for (const int type : {kInsert, kMaster}) {
        const int words = type == kInsert ? 20 : 30;
        std::vector<PhaserBlock> blocks = {type == kInsert ? insertBlock(4) : masterBlock()};
        for (int r = 0; r < 30; ++r) {
            PhaserBlock b;
            for (int p = 7; p < words; ++p) b.set(p, r < 10 ? int16_t(random() % 8) : word());
            b.set(21, 0); // a stored block reads the rows' cross index 22 when 21 is off
            blocks.push_back(b);
        }
        for (const PhaserBlock& b : blocks) {
            ParameterRecord bySetter, byLoader;
            for (int p = 7; p < words; ++p)
                parameterSetterFor(type)(b.w[size_t(p)], p, nullptr, nullptr, &bySetter, &context);
            load(type, b, byLoader);
            const size_t size = type == kInsert ? sizeof(PhaserInsertParams) : sizeof(PhaserMasterParams);
            EXPECT_EQ(std::memcmp(byLoader.body, bySetter.body, size), 0) << type;
        }
    }
    ParameterRecord held;
    load(kInsert, insertBlock(9).set(14, 7), held);
    EXPECT_EQ(held.as<PhaserInsertParams>().stages, 6);
    EXPECT_EQ(held.as<PhaserInsertParams>().wave, 3);
    load(kMaster, masterBlock().set(11, -4).set(16, 12), held);
    EXPECT_EQ(held.as<PhaserMasterParams>().wave[0], 0);
    EXPECT_EQ(held.as<PhaserMasterParams>().wave[1], 3);
}

TEST_F(PhaserTest, SettersEchoTheirUnits) {
    struct Case {
        int type, parameter;
        int16_t word;
        float echo;
        int code;
    };
    const Case cases[] = {
        {kInsert, 7, 4, 4.0f, 7},        {kInsert, 7, 0, 1.0f, 7},         {kInsert, 8, 8192, 0.5f, 4},
        {kInsert, 9, 16384, 1020.0f, 1}, {kInsert, 9, 0, 20.0f, 1},        {kInsert, 11, 16384, 50.0f, 1},
        {kInsert, 11, 0, 0.001f, 1},     {kInsert, 14, 9, 3.0f, 7},        {kInsert, 18, kUnity, 0.0f, 0},
        {kInsert, 18, 16384, 12.0f, 0},  {kInsert, 19, 1, 1.0f, 8},        {kInsert, 17, 1, 1.0f, 8},
        {kInsert, 11, 8192, 2.0f, 3},    {kMaster, 12, 16384, 12.0f, 1},   {kMaster, 17, 8192, 1.0f, 1},
        {kMaster, 8, 16384, 1.0f, 4},    {kMaster, 8, 32767, 1.0f, 4},     {kMaster, 14, 8192, 520.0f, 1},
        {kMaster, 22, 1, 1.0f, 8},       {kMaster, 28, 16384, 12.0f, 0},   {kMaster, 20, 1, 1.0f, 8},
        {kMaster, 12, 0, -8.0f, 3},      {kMaster, 25, 4096, 0.25f, 4},
    };
    for (const Case& c : cases) {
        float echo = -999.0f;
        int code = -1;
        parameterSetterFor(c.type)(c.word, c.parameter, &echo, &code, &record, &context);
        EXPECT_NEAR(echo, c.echo, 1e-4f * std::fmax(1.0f, std::fabs(c.echo))) << c.type << ":" << c.parameter;
        EXPECT_EQ(code, c.code) << c.type << ":" << c.parameter;
    }
}

// Random and limit words, inputs that are NaN, infinite, huge or denormal, runaway modulation, with
// flush-to-zero off: every output sample stays finite and normal.
TEST_F(PhaserTest, ExtremeSettingsAndInputsStayFinite) {
    std::mt19937 random(0x40);
    auto word = [&random] { return int16_t(std::uniform_int_distribution<int>(-32768, 32767)(random)); };
    const float inf = std::numeric_limits<float>::infinity();
    const float specials[] = {0.0f, 1e30f, -1e30f, 3e38f, -3e38f, inf, -inf, std::nanf(""), 1e-40f, -1e-42f};
    auto special = [&] { return specials[random() % std::size(specials)]; };
    ScopedDenormalsAllowed denormals;
    for (const int type : {kInsert, kMaster}) {
        std::vector<PhaserBlock> blocks(3);
        for (int p = 7; p < 30; ++p) {
            blocks[1].set(p, 32767);
            blocks[2].set(p, -32768);
        }
        for (int r = 0; r < 16; ++r) {
            PhaserBlock b;
            for (int p = 7; p < 30; ++p) b.set(p, word());
            blocks.push_back(b);
        }
        for (const PhaserBlock& b : blocks) {
            void* m = make(type, b);
            const Output out = render(m, 40, [&](int n) { return n % 5 == 0 ? special() : 1e4f; },
                                      [&](int n) { return n % 3 == 0 ? special() : -1e4f; }, true,
                                      {{2, special()}, {3, special()}, {4, special()}, {5, special()}});
            ASSERT_EQ(testing::badSamples(out.left.data(), out.left.size()), 0) << type << " " << b.w[7];
            ASSERT_EQ(testing::badSamples(out.right.data(), out.right.size()), 0) << type << " " << b.w[7];
            // And a quiet tail after the storm decays to exact zeros rather than denormals.
            const Output tail = render(m, 200, nothing, nothing, true);
            ASSERT_EQ(testing::badSamples(tail.left.data(), tail.left.size()), 0) << type << " " << b.w[7];
            ASSERT_EQ(testing::badSamples(tail.right.data(), tail.right.size()), 0) << type << " " << b.w[7];
            drop(m);
        }
    }
}

} // namespace
} // namespace corvex
