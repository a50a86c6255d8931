// The insert distortion: its shaper modes, bypass, mix and output, the settling of its high-passes, the
// aliasing its oversampling saves, the bounded exponential mode and its settings as loaded and as set.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <complex>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <random>
#include <vector>

#include "engine/dsp/ConnectionDescriptor.h"
#include "engine/modules/BlockBufferStore.h"
#include "engine/modules/EngineContext.h"
#include "engine/modules/ModuleFramework.h"
#include "engine/modules/ModulePools.h"
#include "engine/modules/types/Distortion.h"
#include "tests/engine/ModuleRig.h"
#include "tests/support/SignalChecks.h"

namespace corvex {
namespace {

constexpr int kType = ModuleType::Distortion;
constexpr int kBlockLength = 19;
constexpr double kRate = 44100.0;
constexpr double kPi = 3.14159265358979323846;
constexpr float kPlus12dB = 3.9810717f; // output word 16384

struct Wiring : testing::Wiring<DistortionInput::Count> {
    Wiring() : testing::Wiring<DistortionInput::Count>(14) {}
};

// Every parameter word of the block, at values that leave the shapers plain: no feedback, the
// smallest symmetry offset (0.001), full wet mix, unity output.
struct Words {
    int16_t feedback = 0, drive = 0, mode = 0, spare10 = 0, damping = 0, quality = 0, spare13 = 0, mix = 16384,
            symmetry = 0, wet = 0, output = 12288, bypass = 0;

    std::array<uint16_t, 2 + kBlockLength> block() const {
        std::array<uint16_t, 2 + kBlockLength> data{};
        data[2 + 0] = 0x200;
        data[2 + 1] = uint16_t(kType << 8);
        data[2 + 2] = kBlockLength;
        data[2 + 3] = 8;
        const int16_t words[] = {feedback, drive,    mode,     spare10, damping, quality,
                                 spare13,   mix,      symmetry, wet,     output,  bypass};
        for (int i = 0; i < 12; ++i) data[size_t(2 + 7 + i)] = uint16_t(words[i]);
        return data;
    }
};

class DistortionTest : public testing::ModuleRig {
protected:
    void SetUp() override {
        ModuleRig::SetUp();
        context.setSampleRate(kRate);
        audio = bufferPort();
    }

    void load(const Words& w, ParameterRecord& into) {
        const auto data = w.block();
        blockLoaderFor(kType)(data.data(), kBlockLength, &into, &context);
    }
    void load(const Words& w) { load(w, record); }

    float set(int parameter, int16_t word, int* code = nullptr) {
        float echo = -999.0f;
        int c = word;
        parameterSetterFor(kType)(word, parameter, &echo, &c, &record, &context);
        if (code) *code = c;
        return echo;
    }

    DistortionModule& make() {
        void* m = pools->poolForType(kType)->allocate();
        initModuleByType(m, kType, &record, 0, &context);
        acquirePortBuffer(*modulePortAddress(m, 0));
        return *static_cast<DistortionModule*>(m);
    }

    Wiring audioOnly(int16_t amount = 16384) {
        Wiring w;
        w.connect(DistortionInput::Audio, &audio, amount);
        return w;
    }

    // Plays `blocks` blocks with the audio input reading signal(sample index).
    std::vector<float> play(DistortionModule& m, const Wiring& w, int blocks,
                            const std::function<float(int)>& signal) {
        std::vector<float> taken;
        for (int b = 0; b < blocks; ++b) {
            for (int n = 0; n < kBlockFrames; ++n) portBuffer(audio)[n] = signal(b * kBlockFrames + n);
            processModuleByType(&m, w.descriptors.data(), w.sources.data(), w.counts.data());
            const float* out = portBuffer(m.ports[0]);
            taken.insert(taken.end(), out, out + kBlockFrames);
        }
        return taken;
    }
    std::vector<float> playConstant(DistortionModule& m, const Wiring& w, int blocks, float v) {
        return play(m, w, blocks, [v](int) { return v; });
    }

    ParameterRecord record;
    PortEntry audio;
};

PortEntry valueSource(float v) {
    PortEntry p;
    p.word = 0;
    p.value = v;
    return p;
}

// Modes 1 to 6 and both bypass rules with a constant input: without feedback each shaper is a plain
// curve, so every sample of the block is the curve's value, worked out here from the written formulas.
TEST_F(DistortionTest, ModesShapeAConstantInputAsTheirCurvesSay) {
    struct Case {
        const char* what;
        int16_t mode, quality, drive, mix, wet, output, bypass, amount;
        float input, driveModulation, expected;
    };
    const float c = 0.001f; // the symmetry offset of word 0
    const Case cases[] = {
        {"mode 1 copies input x level", 1, 0, 0, 16384, 0, 0, 0, 8192, 0.3f, 0.0f, 0.15f},
        {"mode 1 ignores bypass and output", 1, 0, 0, 8192, 0, 16384, 1, 8192, 0.3f, 0.0f, 0.15f},
        {"mode 2 doubles below a third", 2, 0, 0, 16384, 0, 12288, 0, 16384, 0.2f, 0.0f, 2.0f * (0.2f - c)},
        {"mode 2 bends towards 1", 2, 0, 0, 16384, 0, 12288, 0, 16384, 0.5f, 0.0f,
         (3.0f - (2.0f - 3.0f * (0.5f - c)) * (2.0f - 3.0f * (0.5f - c))) / 3.0f},
        {"mode 2 clips at 1, mix twice on the wet path, dry path without the output gain", 2, 0, 0, 8192, 0, 16384,
         0, 16384, 2.0f, 0.0f, 1.0f * 0.5f * 0.5f * kPlus12dB + 2.0f * 0.5f},
        {"mode 2 bypassed passes the input unscaled", 2, 0, 0, 8192, 0, 16384, 1, 16384, 2.0f, 0.0f, 2.0f},
        {"mode 2 negative", 2, 0, 16384, 16384, 0, 12288, 0, 16384, -0.3f, 0.0f, -1.0f},
        {"mode 3 sine of the drive", 3, 1, 0, 16384, 0, 12288, 0, 16384, 0.5f, 0.0f,
         std::sin(1.44f * (0.5f * 1.44f - c))},
        {"mode 3 with the drive doubled by modulation", 3, 1, 0, 16384, 0, 12288, 0, 16384, 0.5f, 1.0f,
         std::sin(2.88f * (0.5f * 2.88f - c))},
        {"mode 3 quality off: ten times the drive, output on both paths", 3, 0, 0, 8192, 0, 16384, 0, 16384, 0.5f,
         0.0f, (0.5f * 0.5f + std::sin(14.4f * (0.5f * 1.44f - c)) * 0.5f) * kPlus12dB},
        {"mode 4 cubic knee", 4, 0, 16384, 16384, 0, 12288, 0, 16384, 0.00105f, 0.0f, 0.6875f},
        {"mode 4 ignores bypass and output", 4, 0, 0, 16384, 0, 16384, 1, 16384, 0.00105f, 0.0f, 0.6875f},
        {"mode 4 clips and mixes with the stored mix", 4, 0, 0, 8192, 0, 12288, 0, 16384, -0.5f, 0.0f,
         -0.5f * 0.5f - 1.0f * 0.5f},
        {"mode 5 one drive unit", 5, 0, 9000, 16384, 0, 16384, 0, 16384, 0.006f, 0.0f,
         -0.01f * (1.0f - 0.5f + 1.0f / 6.0f)},
        {"mode 5 inverts and holds at 0.01", 5, 0, 0, 16384, 0, 12288, 0, 16384, 1.0f, 0.0f, -0.01f},
        {"mode 5 negative", 5, 0, 0, 16384, 0, 12288, 0, 16384, -1.0f, 0.0f, 0.01f},
        {"mode 5 bypassed", 5, 0, 0, 16384, 0, 16384, 1, 8192, -1.0f, 0.0f, -0.5f},
        {"mode 6 passes the positive half", 6, 0, 8192, 16384, 16384, 12288, 0, 16384, 0.8f, 0.0f, 0.4f - c},
        {"mode 6 drops the negative half", 6, 0, 8192, 8192, 16384, 12288, 0, 16384, -0.8f, 0.0f, -0.4f},
        {"mode 6 tops at 1, plays parameter 16, ignores bypass", 6, 0, 8192, 16384, 8192, 16384, 1, 16384, 4.0f,
         0.0f, 0.5f},
        {"mode 0 bypassed: the input times the output gain", 0, 1, 16384, 16384, 0, 16384, 1, 8192, 0.3f, 0.0f,
         0.15f * kPlus12dB},
        {"mode 0 quality off bypassed", 0, 0, 16384, 16384, 0, 16384, 1, 8192, 0.3f, 0.0f, 0.15f * kPlus12dB},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        Words w;
        w.mode = k.mode;
        w.quality = k.quality;
        w.drive = k.drive;
        w.mix = k.mix;
        w.wet = k.wet;
        w.output = k.output;
        w.bypass = k.bypass;
        load(w);
        const PortEntry modulation = valueSource(k.driveModulation);
        Wiring wiring = audioOnly(k.amount);
        wiring.connect(DistortionInput::Drive, &modulation);
        DistortionModule& m = make();
        const std::vector<float> out = playConstant(m, wiring, 2, k.input);
        for (size_t n = 0; n < out.size(); ++n)
            ASSERT_NEAR(out[n], k.expected, 2e-4f + std::fabs(k.expected) * 1e-4f) << n;
        resetModuleByType(&m);
        pools->poolForType(kType)->release(&m);
    }
}

// The pre-stage mixes the driven input with the feedback state by the damping, the state follows the
// shaped output through tanh; with full damping the pre-stage is -4x + 5s. Mode 6 passes 0..1 as it
// is, so the output shows the loop itself.
TEST_F(DistortionTest, FeedbackRunsThroughTheDampedPreStage) {
    struct Case {
        int16_t feedbackWord, dampingWord;
        float feedback, damping, modulation;
    };
    for (const Case k : {Case{8192, 16384, 0.2f, 5.0f, 0.0f}, Case{8192, 16384, 0.2f, 5.0f, 1.0f},
                         Case{12000, 4096, 0.5972656f, 0.03f, 0.0f}}) {
        SCOPED_TRACE(k.feedbackWord);
        Words w;
        w.mode = 6;
        w.drive = 16384;
        w.wet = 16384;
        w.feedback = k.feedbackWord;
        w.damping = k.dampingWord;
        load(w);
        const PortEntry modulation = valueSource(k.modulation);
        Wiring wiring = audioOnly();
        wiring.connect(DistortionInput::Feedback, &modulation);
        DistortionModule& m = make();
        const std::vector<float> out = playConstant(m, wiring, 2, 0.101f);
        const double fe = k.feedback * (1.0 + k.modulation);
        double s = 0.0;
        for (size_t n = 0; n < out.size(); ++n) {
            const double x = 0.1;
            const double u = x + fe * ((1.0 - k.damping) * x + k.damping * s);
            const double y = u < 0.0 ? 0.0 : (u < 1.0 ? u : 1.0);
            s = std::tanh(fe * y);
            ASSERT_NEAR(out[n], y, 2e-3) << n;
        }
        pools->poolForType(kType)->release(&m);
    }
}

// Both high-passes remove a constant: with the mix at 1, a held input fades to nothing.
TEST_F(DistortionTest, AConstantInputSettlesToZeroInModeZero) {
    for (const int16_t quality : {int16_t(1), int16_t(0)}) {
        SCOPED_TRACE(quality);
        Words w;
        w.mode = 0;
        w.quality = quality;
        w.drive = 16384;
        load(w);
        DistortionModule& m = make();
        const std::vector<float> out = playConstant(m, audioOnly(), 100, 0.5f);
        float peak = 0.0f;
        for (size_t n = 0; n < 64; ++n) peak = std::max(peak, std::fabs(out[n]));
        EXPECT_GT(peak, 0.1f) << "the step comes through at first";
        for (size_t n = out.size() - 32; n < out.size(); ++n) ASSERT_NEAR(out[n], 0.0f, 1e-6f) << n;
        pools->poolForType(kType)->release(&m);
    }
}

TEST_F(DistortionTest, TheExponentialModeStaysWithinAHundredth) {
    Words w;
    w.mode = 5;
    load(w);
    PortEntry huge = valueSource(1000.0f);
    Wiring wiring = audioOnly();
    wiring.connect(DistortionInput::Drive, &huge, 32767, uint16_t(6 << 4)); // x 108 x 2 x 1000
    DistortionModule& m = make();
    double level = 1e-4;
    for (int step = 0; step < 60; ++step, level *= 1.5) {
        const auto out = play(m, wiring, 1, [level](int n) { return float(level * std::sin(0.3 * n)); });
        for (float v : out) ASSERT_LE(std::fabs(v), 0.0100001f) << level;
    }
    // Small p: y is about -0.01 p.
    Wiring plain = audioOnly();
    const auto small = playConstant(m, plain, 1, 0.001f + 0.00005f); // x = 5e-5, p = 0.01
    EXPECT_NEAR(small[5], -0.01f * 0.01f, 2e-6f);
    pools->poolForType(kType)->release(&m);
}

TEST_F(DistortionTest, AnUnknownModeOrAMissingInputWritesSilence) {
    for (const int16_t mode : {int16_t(7), int16_t(-1), int16_t(300)}) {
        Words w;
        w.mode = mode;
        load(w);
        DistortionModule& m = make();
        std::fill_n(portBuffer(m.ports[0]), kBlockFrames, 7.0f);
        for (float v : playConstant(m, audioOnly(), 1, 0.5f)) ASSERT_EQ(v, 0.0f) << mode;
        pools->poolForType(kType)->release(&m);
    }
    Words w;
    w.mode = 4; // a mode that would turn the symmetry offset alone into a constant
    load(w);
    DistortionModule& m = make();
    std::fill_n(portBuffer(m.ports[0]), kBlockFrames, 7.0f);
    const PortEntry drive = valueSource(1.0f);
    Wiring noAudio;
    noAudio.connect(DistortionInput::Drive, &drive);
    processModuleByType(&m, noAudio.descriptors.data(), noAudio.sources.data(), noAudio.counts.data());
    for (int n = 0; n < kBlockFrames; ++n) ASSERT_EQ(portBuffer(m.ports[0])[n], 0.0f);
}

constexpr int kWindow = 8192;
constexpr int kCycles = 151;

// A radix-2 transform, enough for power spectra of a few thousand samples.
std::vector<double> powerSpectrum(const std::vector<float>& x) {
    const size_t n = x.size();
    std::vector<std::complex<double>> a(x.begin(), x.end());
    for (size_t i = 1, j = 0; i < n; ++i) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) std::swap(a[i], a[j]);
    }
    for (size_t len = 2; len <= n; len <<= 1) {
        const std::complex<double> w = std::polar(1.0, -2.0 * kPi / double(len));
        for (size_t i = 0; i < n; i += len) {
            std::complex<double> t = 1.0;
            for (size_t k = 0; k < len / 2; ++k, t *= w) {
                const std::complex<double> u = a[i + k], v = a[i + k + len / 2] * t;
                a[i + k] = u + v;
                a[i + k + len / 2] = u - v;
            }
        }
    }
    std::vector<double> p(n / 2);
    for (size_t k = 0; k < n / 2; ++k) p[k] = std::norm(a[k]);
    return p;
}

// A sine of exactly 151 cycles in 8192 samples: the driven output is periodic in the window, so its
// harmonics fall on bins 151 k and everything else that sounds is aliasing folded back from above
// half the rate. Below the fundamental, where no harmonic lives and aliases sound as inharmonic
// rumble, the fourfold oversampling takes most of it away.
TEST_F(DistortionTest, OversamplingModeZeroCutsItsAliasing) {
    auto aliasShare = [&](int16_t quality) {
        Words w;
        w.mode = 0;
        w.quality = quality;
        w.drive = 16384;
        load(w);
        DistortionModule& m = make();
        const auto out = play(m, audioOnly(), 2 * kWindow / kBlockFrames, [](int n) {
            return float(0.8 * std::sin(2.0 * kPi * kCycles * double(n) / kWindow));
        });
        pools->poolForType(kType)->release(&m);
        const std::vector<float> settled(out.end() - kWindow, out.end());
        const std::vector<double> p = powerSpectrum(settled);
        double harmonic = 0.0, alias = 0.0;
        for (size_t k = 1; k < p.size(); ++k) {
            if (k % kCycles == 0)
                harmonic += p[k];
            else if (k < kCycles)
                alias += p[k];
        }
        return 10.0 * std::log10(alias / harmonic);
    };
    const double plain = aliasShare(0);
    const double oversampled = aliasShare(1);
    EXPECT_GT(plain, -60.0) << "a hard-driven saturator at the base rate aliases audibly";
    EXPECT_LT(oversampled, plain - 20.0) << "plain " << plain << " dB, oversampled " << oversampled << " dB";
}

// What a stored block gives must be what the same words give one by one; the switch words come as the
// effect rows write them (0 or 1), the stored drive follows the mode whichever arrives first.
TEST_F(DistortionTest, TheLoaderDecodesEveryWordAsTheSetterDoes) {
    struct Case {
        int parameter;
        int16_t word;
    };
    const Case cases[] = {
        {18, 1}, {18, 0}, {12, 1}, {12, 0}, {7, 8192},  {7, 16384}, {8, 9000},  {8, 16384}, {9, 0},
        {9, 3},  {9, 6},  {9, 4},  {10, 4096}, {11, 16384}, {11, 13107}, {13, 5}, {14, 8192}, {15, 0},
        {15, 16384}, {16, 8192}, {17, 12288}, {17, 0}, {17, -20000}, {8, -5}, {16, 32767},
    };
    for (const int16_t baseMode : {int16_t(2), int16_t(6)}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(::testing::Message() << "mode " << baseMode << ", parameter " << c.parameter << " = "
                                              << c.word);
            Words base;
            base.mode = baseMode;
            base.drive = 12000;
            base.wet = 10000;
            base.feedback = 3000;
            base.bypass = 1;
            load(base);
            set(c.parameter, c.word);
            ParameterRecord loaded;
            Words edited = base;
            int16_t* fields[] = {&edited.feedback, &edited.drive,  &edited.mode,     &edited.spare10,
                                 &edited.damping,  &edited.quality, &edited.spare13,  &edited.mix,
                                 &edited.symmetry, &edited.wet,     &edited.output,  &edited.bypass};
            *fields[c.parameter - 7] = c.word;
            load(edited, loaded);
            EXPECT_EQ(std::memcmp(&record.as<DistortionParams>(), &loaded.as<DistortionParams>(),
                                  sizeof(DistortionParams)),
                      0);
        }
    }
    Words bypassed;
    bypassed.bypass = 1;
    load(bypassed);
    EXPECT_EQ(record.as<DistortionParams>().bypass, 1) << "the row's word 1 is a bypass once stored";
}

TEST_F(DistortionTest, SetterEchoesTheConvertedValues) {
    struct Case {
        int16_t mode;
        int parameter;
        int16_t word;
        float echo;
        int code;
    };
    const Case cases[] = {
        {0, 8, 16384, 6.0f, 4},    {4, 8, 16384, 1.0f, 4},   {2, 8, 16384, 10.0f, 4},  {3, 8, 16384, 7.799997f, 4},
        {6, 8, 8192, 0.5f, 4},     {1, 8, 4096, 0.25f, 4},   {0, 8, 8192, 2.6f, 4},    {0, 7, 16384, 1.0f, 4},
        {0, 7, 8192, 0.2f, 4},     {0, 11, 16384, 5.0f, 4},  {0, 11, 13107, 0.8f, 4},  {0, 15, 0, 0.001f, 4},
        {0, 15, -100, 0.001f, 4},  {0, 17, 12288, 0.0f, 0},  {0, 17, 16384, 12.0f, 0}, {0, 14, 8192, 0.5f, 9},
        {0, 12, 1, 1.0f, 7},       {0, 13, 5, 5.0f, 8},      {0, 18, 1, 1.0f, 8},      {0, 9, 6, 6.0f, 7},
        {0, 10, 4096, 0.25f, 4},   {6, 16, 8192, 0.5f, 4},   {0, 16, 8192, 0.3f, 4},   {1, 16, 8192, 1e-6f, 4},
        {3, 16, 8192, 1.0f, 4},
    };
    for (const Case& c : cases) {
        set(9, c.mode);
        int code = -1;
        EXPECT_NEAR(set(c.parameter, c.word, &code), c.echo, 1e-3f * std::max(1.0f, std::fabs(c.echo)))
            << "mode " << c.mode << ", parameter " << c.parameter << " = " << c.word;
        EXPECT_EQ(code, c.code) << c.parameter;
    }
    EXPECT_FLOAT_EQ(record.as<DistortionParams>().outputGain, kPlus12dB) << "after the +12 dB word";
    set(17, 12288);
    EXPECT_FLOAT_EQ(record.as<DistortionParams>().outputGain, 1.0f);
    for (const int ignored : {3, 6, 19}) {
        int code = 0;
        EXPECT_EQ(set(ignored, 77, &code), -999.0f) << ignored;
        EXPECT_EQ(code, 77);
    }
    // A mode changed on its own brings the drive under its own curve.
    set(9, 2);
    set(8, 16384);
    set(9, 0);
    EXPECT_EQ(record.as<DistortionParams>().drive, 6.0f);
}

// Random and extreme words and inputs (NaN, infinities, huge values on audio and modulation), without
// flush-to-zero, then a long silent tail: every sample stays finite and never turns denormal.
TEST_F(DistortionTest, ExtremeSettingsAndInputsStayFinite) {
    std::mt19937 random(0xD157);
    auto word = [&random] { return int16_t(std::uniform_int_distribution<int>(-32768, 32767)(random)); };
    const float specials[] = {0.0f,   1.0f,  -1.0f,  1e30f, -1e30f, 1e-30f, std::numeric_limits<float>::quiet_NaN(),
                              INFINITY, -INFINITY, 1e-40f, 3e38f};
    auto pick = [&] { return specials[random() % std::size(specials)]; };
    struct Case {
        Words words;
        bool randomInput;
    };
    std::vector<Case> cases;
    for (int16_t mode = 0; mode < 7; ++mode) {
        Words zero;
        zero.feedback = zero.drive = zero.damping = zero.mix = zero.symmetry = zero.wet = zero.output = 0;
        zero.mode = mode;
        Words full{16384, 16384, mode, 16384, 16384, 1, 1, 16384, 16384, 16384, 16384, 0};
        Words most{32767, 32767, mode, 32767, 32767, 32767, 32767, 32767, 32767, 32767, 32767, 32767};
        Words least{-32768, -32768, mode, -32768, -32768, -32768, -32768, -32768, -32768, -32768, -32768, -32768};
        for (const Words& w : {zero, full, most, least}) cases.push_back({w, false});
    }
    for (int r = 0; r < 40; ++r) {
        Words w{word(), word(), int16_t(random() % 9), word(), word(), int16_t(random() % 2), word(),
                word(), word(),  word(),                 word(), int16_t(random() % 3)};
        cases.push_back({w, true});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.words.mode);
        load(c.words);
        PortEntry drive = valueSource(c.randomInput ? pick() : 1e30f);
        PortEntry feedback = valueSource(c.randomInput ? pick() : -1e30f);
        Wiring wiring = audioOnly(c.randomInput ? word() : 32767);
        wiring.connect(DistortionInput::Drive, &drive, word(), uint16_t(random()));
        wiring.connect(DistortionInput::Feedback, &feedback, word(), uint16_t(random()));
        DistortionModule& m = make();
        const auto loud = play(m, wiring, 8, [&](int) { return c.randomInput ? pick() : 3e38f; });
        ASSERT_EQ(testing::badSamples(loud.data(), loud.size()), 0);
        const auto tail = playConstant(m, wiring, 400, 0.0f);
        ASSERT_EQ(testing::badSamples(tail.data(), tail.size()), 0);
        ASSERT_TRUE(std::isfinite(m.feedbackState) && std::isfinite(m.inputHighPass) &&
                    std::isfinite(m.outputHighPass));
        pools->poolForType(kType)->release(&m);
    }
}

} // namespace
} // namespace corvex
