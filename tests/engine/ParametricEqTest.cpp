// The parametric equaliser: gains measured at the bands, the dry path, mix and output, modulation, extremes.
#include <gtest/gtest.h>

#include <algorithm>
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
#include "engine/modules/types/ParametricEq.h"
#include "tests/engine/ModuleRig.h"
#include "tests/support/SignalChecks.h"

namespace corvex {
namespace {

constexpr int kEqType = ModuleType::ParametricEq;
constexpr int kInputs = 12;
constexpr double kRate = 44100.0;
constexpr double kPi = 3.14159265358979323846;

// Words of the curves' own points: x = 0.1 steps for frequency, 0.2 for Q, i / 18 for gain.
constexpr int16_t k100Hz = 3277, k500Hz = 4915, k1kHz = 6554, k3500Hz = 8192, k7kHz = 9830;
constexpr int16_t kMinus20Db = 0, kZeroDb = 8192, kPlus20Db = 16384;
constexpr int16_t kQ2 = 3277, kQ8 = 9830;
constexpr int16_t kUnity = 12288; // output level 0 dB

double db(double ratio) { return 20.0 * std::log10(ratio); }

// Block words 7..24; everything off, 0 dB, mix 1 and unity output unless a case says otherwise.
struct EqBlock {
    std::array<int16_t, 25> w{};
    EqBlock() {
        for (int p : {7, 9, 12, 15}) w[size_t(p)] = k1kHz;
        for (int p : {8, 10, 13, 16}) w[size_t(p)] = kZeroDb;
        w[11] = w[14] = kQ2;
        w[21] = 16384;
        w[23] = kUnity;
    }
    EqBlock& set(int parameter, int16_t word) {
        w[size_t(parameter)] = word;
        return *this;
    }
};

class ParametricEqTest : public testing::ModuleRig {
protected:
    void load(const EqBlock& b) {
        std::array<uint16_t, 2 + 25> data{};
        for (size_t j = 0; j < 25; ++j) data[2 + j] = uint16_t(b.w[j]);
        blockLoaderFor(kEqType)(data.data(), 25, &record, &context);
    }

    ParametricEqModule& make() {
        void* m = pools->poolForType(kEqType)->allocate();
        initModuleByType(m, kEqType, &record, 0, &context);
        acquirePortBuffer(*modulePortAddress(m, 0));
        return *static_cast<ParametricEqModule*>(m);
    }

    // Renders `blocks` blocks of `signal(n)` through input 0, with value sources on the inputs a case
    // names; returns the output.
    template <class Signal>
    std::vector<float> render(ParametricEqModule& eq, int blocks, Signal signal,
                              const std::vector<std::pair<int, float>>& modulation = {}) {
        PortEntry audio = bufferPort();
        std::vector<PortEntry> values(modulation.size());
        testing::Wiring<kInputs> w(16);
        w.connect(0, &audio);
        for (size_t i = 0; i < modulation.size(); ++i) {
            values[i].word = 0;
            values[i].value = modulation[i].second;
            w.connect(modulation[i].first, &values[i]);
        }
        std::vector<float> out;
        for (int b = 0; b < blocks; ++b) {
            for (int n = 0; n < kBlockFrames; ++n) portBuffer(audio)[n] = signal(b * kBlockFrames + n);
            processModuleByType(&eq, w.descriptors.data(), w.sources.data(), w.counts.data());
            const float* o = portBuffer(*modulePortAddress(&eq, 0));
            out.insert(out.end(), o, o + kBlockFrames);
        }
        releasePortUser(audio);
        return out;
    }

    // Gain in dB of a sine at `hz` once the glides have settled, over a window of whole 10 Hz periods.
    double measuredGain(const EqBlock& b, double hz, const std::vector<std::pair<int, float>>& modulation = {}) {
        load(b);
        ParametricEqModule& eq = make();
        constexpr double kAmplitude = 0.25;
        auto sine = [hz](int n) { return float(kAmplitude * std::sin(2.0 * kPi * hz * n / kRate)); };
        const std::vector<float> out = render(eq, 600, sine, modulation);
        const std::vector<float> window(out.end() - 8820, out.end());
        resetModuleByType(&eq);
        pools->poolForType(kEqType)->release(&eq);
        return db(testing::rms(window) / (kAmplitude / std::sqrt(2.0)));
    }

    ParameterRecord record;
};

// Analog prototypes of the shelves at their corner: |H|^2 = (1 + V^2) / 2 for a boost, its inverse for a cut.
double shelfCornerDb(double gainDb) {
    const double v = std::pow(10.0, std::fabs(gainDb) / 20.0);
    const double boost = 10.0 * std::log10((1.0 + v * v) / 2.0);
    return gainDb >= 0.0 ? boost : -boost;
}

TEST_F(ParametricEqTest, GainAtEachBandCentreMatchesTheTextbookSections) {
    struct Case {
        const char* name;
        EqBlock block;
        double measureHz;
        double expectedDb;
    };
    const Case cases[] = {
        {"peak 1 +20 dB", EqBlock().set(18, 1).set(9, k1kHz).set(10, kPlus20Db).set(11, kQ2), 1000.0, 20.0},
        {"peak 1 -20 dB, Q 8", EqBlock().set(18, 1).set(9, k500Hz).set(10, kMinus20Db).set(11, kQ8), 500.0, -20.0},
        // Word 12288 sits halfway between the curve's points 5 and 6: 20 log10(5.5).
        {"peak 2 +14.8 dB", EqBlock().set(19, 1).set(12, k7kHz).set(13, 12288).set(14, kQ8), 7000.0, 14.807},
        {"peak 2 -20 dB", EqBlock().set(19, 1).set(12, k100Hz).set(13, kMinus20Db), 100.0, -20.0},
        {"low shelf corner +20", EqBlock().set(17, 1).set(7, k1kHz).set(8, kPlus20Db), 1000.0, shelfCornerDb(20.0)},
        {"low shelf plateau +20", EqBlock().set(17, 1).set(7, k1kHz).set(8, kPlus20Db), 20.0, 20.0},
        {"low shelf corner -20", EqBlock().set(17, 1).set(7, k500Hz).set(8, kMinus20Db), 500.0, shelfCornerDb(-20.0)},
        {"high shelf corner +20", EqBlock().set(20, 1).set(15, k3500Hz).set(16, kPlus20Db), 3500.0, shelfCornerDb(20.0)},
        {"high shelf corner -20", EqBlock().set(20, 1).set(15, k3500Hz).set(16, kMinus20Db), 3500.0,
         shelfCornerDb(-20.0)},
        {"high shelf plateau -20", EqBlock().set(20, 1).set(15, k500Hz).set(16, kMinus20Db), 15000.0, -20.0},
    };
    for (const Case& c : cases) EXPECT_NEAR(measuredGain(c.block, c.measureHz), c.expectedDb, 0.1) << c.name;
}

// At 0 dB every section is the identity, and a switched-off section is bypassed whatever its gain.
TEST_F(ParametricEqTest, ZeroDecibelsAndSwitchedOffSectionsPassTheSignalUnchanged) {
    struct Case {
        const char* name;
        EqBlock block;
    };
    const Case cases[] = {
        {"all on at 0 dB", EqBlock().set(17, 1).set(18, 1).set(19, 1).set(20, 1)},
        {"all off at +20 dB", EqBlock().set(8, kPlus20Db).set(10, kPlus20Db).set(13, kPlus20Db).set(16, kPlus20Db)},
    };
    std::mt19937 random(0xE0);
    std::vector<float> input(32 * 64);
    for (float& v : input) v = std::uniform_real_distribution<float>(-1.0f, 1.0f)(random);
    for (const Case& c : cases) {
        load(c.block);
        ParametricEqModule& eq = make();
        const std::vector<float> out = render(eq, 64, [&input](int n) { return input[size_t(n)]; });
        for (size_t n = 0; n < out.size(); ++n) ASSERT_NEAR(out[n], input[n], 1e-6f) << c.name << " at " << n;
        pools->poolForType(kEqType)->release(&eq);
    }
}

// A +20 dB peak at its centre is the real gain 10: the output is G (M 10 + (1 - M)).
TEST_F(ParametricEqTest, BypassMixAndOutputFollowTheirTables) {
    struct Case {
        int16_t mix, bypass, output;
        double factor;
    };
    const double up12 = std::pow(10.0, 12.0 / 20.0), down12 = std::pow(10.0, -12.0 / 20.0);
    const Case cases[] = {
        {16384, 0, kUnity, 10.0}, {8192, 0, kUnity, 5.5},     {0, 0, kUnity, 1.0},
        {16384, 1, kUnity, 1.0},  {16384, 0, 16384, 10.0 * up12}, {16384, 1, 8192, down12},
    };
    for (const Case& c : cases) {
        const EqBlock b = EqBlock().set(18, 1).set(10, kPlus20Db).set(21, c.mix).set(24, c.bypass).set(23, c.output);
        EXPECT_NEAR(measuredGain(b, 1000.0), db(c.factor), 0.05) << c.mix << " " << c.bypass << " " << c.output;
    }
}

TEST_F(ParametricEqTest, ModulationMovesFrequenciesAndScalesGains) {
    struct Case {
        const char* name;
        int input;
        float value;
        double measureHz;
        double expectedDb;
    };
    const Case cases[] = {
        {"frequency up 12 semitones", 4, 0.12f, 2000.0, 20.0},
        {"frequency held at 20 kHz", 4, 10.0f, 20000.0, 20.0},
        {"frequency held at 20 Hz", 4, -10.0f, 20.0, 20.0},
        {"gain scaled to nothing", 5, -1.0f, 1000.0, 0.0},
        {"gain scaled by half", 5, -0.5f, 1000.0, 10.0},
        {"gain pushed past its limit", 5, 1e6f, 1000.0, 60.0},
        {"Q scaled to nothing: still a peak", 6, -1.0f, 1000.0, 20.0},
    };
    for (const Case& c : cases) {
        const EqBlock b = EqBlock().set(18, 1).set(9, k1kHz).set(10, kPlus20Db).set(11, kQ2);
        EXPECT_NEAR(measuredGain(b, c.measureHz, {{c.input, c.value}}), c.expectedDb, 0.1) << c.name;
    }
}

// A band keeps its frequency whatever rate the device runs at. The peak of the response is found on the
// impulse response's spectrum: the highest point of a coarse grid, then of a fine one around it, refined
// by a parabola through the highest three points.
TEST_F(ParametricEqTest, APeakSitsAtItsFrequencyAtEveryRate) {
    load(EqBlock().set(19, 1).set(12, k3500Hz).set(13, kPlus20Db).set(14, kQ8));
    for (const double rate : {44100.0, 48000.0, 96000.0}) {
        context.setSampleRate(rate);
        ParametricEqModule& eq = make();
        const std::vector<float> h = render(eq, 128, [](int n) { return n == 0 ? 1.0f : 0.0f; });
        resetModuleByType(&eq);
        pools->poolForType(kEqType)->release(&eq);
        auto levelDb = [&h, rate](double hz) {
            double re = 0.0, im = 0.0;
            for (size_t n = 0; n < h.size(); ++n) {
                re += h[n] * std::cos(2.0 * kPi * hz * double(n) / rate);
                im -= h[n] * std::sin(2.0 * kPi * hz * double(n) / rate);
            }
            return 10.0 * std::log10(re * re + im * im);
        };
        auto highest = [&levelDb](double from, double to, double step) {
            std::vector<double> levels;
            for (double hz = from; hz <= to; hz += step) levels.push_back(levelDb(hz));
            const size_t i = size_t(std::max_element(levels.begin() + 1, levels.end() - 1) - levels.begin());
            const double below = levels[i - 1], at = levels[i], above = levels[i + 1];
            return from + step * (double(i) + 0.5 * (below - above) / (below - 2.0 * at + above));
        };
        const double coarse = highest(2000.0, 9000.0, 50.0);
        const double peak = highest(coarse - 60.0, coarse + 60.0, 2.0);
        EXPECT_NEAR(peak, 3500.0, 1.0) << "at " << rate;
    }
}

// Below 44.1 kHz a band set to 20 kHz would lie past half the rate, where a pre-warped section has no
// stable form: every band is held below it, and a loud noise stays bounded through all four at full gain.
TEST_F(ParametricEqTest, EveryBandStaysStableBelowTheReferenceRate) {
    constexpr int16_t k20kHz = 16384;
    load(EqBlock().set(7, k20kHz).set(9, k20kHz).set(12, k20kHz).set(15, k20kHz).set(8, kPlus20Db)
             .set(10, kPlus20Db).set(13, kPlus20Db).set(16, kPlus20Db).set(17, 1).set(18, 1).set(19, 1).set(20, 1));
    for (const double rate : {22050.0, 32000.0}) {
        context.setSampleRate(rate);
        ParametricEqModule& eq = make();
        std::mt19937 random(0xE3);
        std::uniform_real_distribution<float> noise(-1.0f, 1.0f);
        const std::vector<float> out = render(eq, 200, [&](int) { return noise(random); });
        resetModuleByType(&eq);
        pools->poolForType(kEqType)->release(&eq);
        float loudest = 0.0f;
        for (const float v : out) loudest = std::max(loudest, std::isfinite(v) ? std::fabs(v) : 1e30f);
        EXPECT_LT(loudest, 1e4f) << "at " << rate;
    }
}

// A new voice hears its bands where they are set from its first milliseconds: no band sweeps up from
// 20 Hz on every note. A tone at the band's frequency is as loud in the voice's first 10 ms (after the
// sections' own 2 ms of ringing in) as 200 ms later.
TEST_F(ParametricEqTest, ANewVoiceStartsEveryBandWhereItIsSet) {
    struct Case {
        const char* name;
        EqBlock block;
        double hz;
    };
    const Case cases[] = {
        {"peak 1", EqBlock().set(18, 1).set(9, k1kHz).set(10, kPlus20Db).set(11, kQ2), 1000.0},
        {"peak 2", EqBlock().set(19, 1).set(12, k1kHz).set(13, kPlus20Db).set(14, kQ2), 1000.0},
        {"low shelf", EqBlock().set(17, 1).set(7, k1kHz).set(8, kPlus20Db), 1000.0},
        {"high shelf", EqBlock().set(20, 1).set(15, k3500Hz).set(16, kPlus20Db), 7000.0},
    };
    for (const Case& c : cases) {
        load(c.block);
        ParametricEqModule& eq = make();
        const double hz = c.hz;
        const std::vector<float> out =
            render(eq, 300, [hz](int n) { return float(0.1 * std::sin(2.0 * kPi * hz * n / kRate)); });
        resetModuleByType(&eq);
        pools->poolForType(kEqType)->release(&eq);
        auto level = [&out](double fromMs, double toMs) {
            return testing::rms(std::vector<float>(out.begin() + long(fromMs * 44.1), out.begin() + long(toMs * 44.1)));
        };
        EXPECT_NEAR(db(level(2.0, 10.0) / level(200.0, 210.0)), 0.0, 0.5) << c.name;
    }
}

TEST_F(ParametricEqTest, SetterEchoesItsUnitsAndTheLoaderStoresTheSame) {
    struct Case {
        int parameter;
        int16_t word;
        float echo;
        int code;
    };
    const Case cases[] = {
        {7, 0, 20.0f, 1},       {7, 16384, 20000.0f, 1}, {9, 8192, 3500.0f, 1},  {15, -5, 20.0f, 1},
        {8, 8192, 0.0f, 0},     {10, 16384, 20.0f, 0},   {13, 0, -20.0f, 0},     {16, 32767, 20.0f, 0},
        {11, 16384, 1.0f, 4},   {14, 8192, 0.5f, 4},     {17, 1, 1.0f, 8},       {20, 0, 0.0f, 8},
        {21, 8192, 0.5f, 4},    {22, 5, 5.0f, 7},        {23, 12288, 0.0f, 0},   {24, 1, 1.0f, 8},
    };
    for (const Case& c : cases) {
        float echo = -999.0f;
        int code = -1;
        parameterSetterFor(kEqType)(c.word, c.parameter, &echo, &code, &record, &context);
        EXPECT_NEAR(echo, c.echo, 1e-3f * std::fmax(1.0f, std::fabs(c.echo))) << c.parameter;
        EXPECT_EQ(code, c.code) << c.parameter;
    }
    float echo = -999.0f;
    int code = 5;
    parameterSetterFor(kEqType)(1, 25, &echo, &code, &record, &context);
    EXPECT_EQ(echo, -999.0f);
    EXPECT_EQ(code, 5);

    // A whole block stores each word as the setter does.
    std::mt19937 random(0xE1);
    for (int trial = 0; trial < 20; ++trial) {
        EqBlock b;
        for (int p = 7; p < 25; ++p) b.set(p, int16_t(std::uniform_int_distribution<int>(-32768, 32767)(random)));
        ParameterRecord bySetter;
        for (int p = 7; p < 25; ++p)
            parameterSetterFor(kEqType)(b.w[size_t(p)], p, nullptr, nullptr, &bySetter, &context);
        load(b);
        EXPECT_EQ(std::memcmp(&record.as<ParametricEqParams>(), &bySetter.as<ParametricEqParams>(),
                              sizeof(ParametricEqParams)),
                  0)
            << "trial " << trial;
    }
}

TEST_F(ParametricEqTest, ExtremeSettingsAndInputsStayFinite) {
    std::mt19937 random(0xE2);
    auto word = [&random] { return int16_t(std::uniform_int_distribution<int>(-32768, 32767)(random)); };
    const float inf = std::numeric_limits<float>::infinity();
    const float specials[] = {0.0f, 1e30f, -1e30f, 3e38f, inf, -inf, std::nanf(""), 1e-40f, -1e-42f};
    std::vector<EqBlock> blocks(3);
    for (int p = 7; p < 25; ++p) {
        blocks[1].set(p, 32767);
        blocks[2].set(p, -32768);
    }
    for (int r = 0; r < 20; ++r) {
        EqBlock b;
        for (int p = 7; p < 25; ++p) b.set(p, p >= 17 && p <= 20 ? int16_t(random() & 1) : word());
        blocks.push_back(b);
    }
    ScopedDenormalsAllowed denormals;
    for (const EqBlock& b : blocks) {
        load(b);
        ParametricEqModule& eq = make();
        std::vector<std::pair<int, float>> modulation;
        for (int input = 2; input < kInputs; ++input)
            modulation.emplace_back(input, specials[random() % std::size(specials)]);
        const std::vector<float> out =
            render(eq, 8, [&](int n) { return n % 7 == 0 ? specials[random() % std::size(specials)] : 1e4f; },
                   modulation);
        ASSERT_EQ(testing::badSamples(out.data(), out.size()), 0) << b.w[8] << " " << b.w[23];
        pools->poolForType(kEqType)->release(&eq);
    }
}

TEST_F(ParametricEqTest, WithoutAnInputTheOutputIsSilentAndResetGivesTheBuffersBack) {
    load(EqBlock().set(18, 1));
    const int freeBefore = store->freeCount();
    ParametricEqModule& eq = make();
    float* out = portBuffer(*modulePortAddress(&eq, 0));
    for (int n = 0; n < kBlockFrames; ++n) out[n] = 7.0f;
    testing::Wiring<kInputs> none(16);
    processModuleByType(&eq, none.descriptors.data(), none.sources.data(), none.counts.data());
    for (int n = 0; n < kBlockFrames; ++n) EXPECT_EQ(out[n], 0.0f);
    resetModuleByType(&eq);
    EXPECT_EQ(store->freeCount(), freeBefore);
}

} // namespace
} // namespace corvex
