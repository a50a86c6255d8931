// The insert ring modulator: its frequency and offset curves as heard, mix, bypass and output, the
// product of two signals, and its settings as loaded and as set.
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
#include "engine/modules/types/RingModulator.h"
#include "tests/engine/ModuleRig.h"
#include "tests/support/SignalChecks.h"

namespace corvex {
namespace {

constexpr int kType = ModuleType::RingModulator;
constexpr int kBlockLength = 18;
constexpr double kRate = 44100.0;
constexpr double kPi = 3.14159265358979323846;
constexpr float kPlus12dB = 3.9810717f; // output word 16384

struct Wiring : testing::Wiring<RingModulatorInput::Count> {
    Wiring() : testing::Wiring<RingModulatorInput::Count>(10) {}
};

struct Words {
    int16_t mode = 8, frequency = 0, offset = 16384, spare14 = 0, mix = 16384, output = 12288, bypass = 0;

    std::array<uint16_t, 2 + kBlockLength> block() const {
        std::array<uint16_t, 2 + kBlockLength> data{};
        data[2 + 0] = 0x200;
        data[2 + 1] = uint16_t(kType << 8);
        data[2 + 2] = kBlockLength;
        data[2 + 3] = uint16_t(mode);
        data[2 + 7] = uint16_t(frequency);
        data[2 + 8] = uint16_t(offset);
        data[2 + 10] = 1234; // the rows' "Attack" and "Decay" words: the module reads neither
        data[2 + 12] = 4321;
        data[2 + 14] = uint16_t(spare14);
        data[2 + 15] = uint16_t(mix);
        data[2 + 16] = uint16_t(output);
        data[2 + 17] = uint16_t(bypass);
        return data;
    }
};

PortEntry valueSource(float v) {
    PortEntry p;
    p.word = 0;
    p.value = v;
    return p;
}

class RingModulatorTest : public testing::ModuleRig {
protected:
    void SetUp() override {
        ModuleRig::SetUp();
        context.setSampleRate(kRate);
        signal = bufferPort();
        second = bufferPort();
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

    RingModulatorModule& make() {
        void* m = pools->poolForType(kType)->allocate();
        initModuleByType(m, kType, &record, 0, &context);
        acquirePortBuffer(*modulePortAddress(m, 0));
        return *static_cast<RingModulatorModule*>(m);
    }
    void release(RingModulatorModule& m) {
        resetModuleByType(&m);
        pools->poolForType(kType)->release(&m);
    }

    std::vector<float> play(RingModulatorModule& m, const Wiring& w, int blocks, const std::function<float(int)>& x,
                            const std::function<float(int)>& y = nullptr) {
        std::vector<float> taken;
        for (int b = 0; b < blocks; ++b) {
            for (int n = 0; n < kBlockFrames; ++n) {
                portBuffer(signal)[n] = x(b * kBlockFrames + n);
                portBuffer(second)[n] = y ? y(b * kBlockFrames + n) : 0.0f;
            }
            processModuleByType(&m, w.descriptors.data(), w.sources.data(), w.counts.data());
            const float* out = portBuffer(m.ports[0]);
            taken.insert(taken.end(), out, out + kBlockFrames);
        }
        return taken;
    }

    ParameterRecord record;
    PortEntry signal, second;
};

TEST_F(RingModulatorTest, SetterFollowsTheCurvesAndEchoesThem) {
    struct Case {
        int parameter;
        int16_t word;
        float echo;
        int code;
    };
    const Case cases[] = {
        {7, 0, 0.01f, 1},      {7, 8192, 300.0f, 1},  {7, 16384, 3000.0f, 1}, {7, 32767, 3000.0f, 1},
        {7, -5, 0.01f, 1},     {7, 4096, 16.5f, 1},   {7, 11469, 1200.04f, 1}, {8, 0, 1.6f, 4},
        {8, 16384, 0.01f, 4},  {8, 8192, 0.7f, 4},    {8, 12288, 0.25f, 4},   {8, -1, 1.6f, 4},
        {15, 8192, 0.5f, 4},   {16, 12288, 0.0f, 0},  {16, 16384, 12.0f, 0},  {16, 0, -100.0f, 0},
        {17, 1, 1.0f, 8},      {14, 3, 3.0f, 8},      {3, 8, 8.0f, 7},
    };
    for (const Case& c : cases) {
        int code = -1;
        EXPECT_NEAR(set(c.parameter, c.word, &code), c.echo, 1e-3f * std::max(1.0f, std::fabs(c.echo)))
            << c.parameter << " = " << c.word;
        EXPECT_EQ(code, c.code) << c.parameter;
    }
    for (const int ignored : {10, 12, 18, 2}) {
        int code = 0;
        EXPECT_EQ(set(ignored, 55, &code), -999.0f) << ignored;
        EXPECT_EQ(code, 55) << ignored;
    }
}

// A constant signal shows the carrier itself: the high-pass takes the constant share away and leaves
// 0.84 c, a sine at the oscillator's frequency, which the zero crossings measure.
TEST_F(RingModulatorTest, TheCarrierSoundsAtTheCurvesFrequency) {
    struct Case {
        int16_t word;
        float modulation;
        double hz;
    };
    const Case cases[] = {
        {8192, 0.0f, 300.0},   {16384, 0.0f, 3000.0}, {11469, 0.0f, 1200.04}, {4915, 0.0f, 29.99},
        {8192, 0.25f, 600.0},  {8192, -0.25f, 150.0}, {16384, 1.0f, 3000.0}, {13107, 0.5f, 3000.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.word << " + " << c.modulation);
        Words w;
        w.frequency = c.word;
        load(w);
        const PortEntry modulation = valueSource(c.modulation);
        Wiring wiring;
        wiring.connect(RingModulatorInput::Signal, &signal);
        wiring.connect(RingModulatorInput::Frequency, &modulation);
        RingModulatorModule& m = make();
        const std::vector<float> out = play(m, wiring, 700, [](int) { return 1.0f; });
        const std::vector<float> settled(out.begin() + 1280, out.end());
        EXPECT_NEAR(testing::zeroCrossingFrequency(settled, kRate), c.hz, c.hz * 0.003);
        release(m);
    }
}

// With the carrier at 0.01 Hz (next to nothing over the first 70 ms) what remains of a 1 kHz signal is
// its share 0.6 (0.2 - offset), through the high-pass, then mixed with the dry signal and scaled.
TEST_F(RingModulatorTest, OffsetMixBypassAndOutputSetTheSignalsShare) {
    const double a = std::pow(10.0, -208.0 / kRate);
    const double w1k = 2.0 * kPi * 1000.0 / kRate;
    const std::complex<double> z = std::polar(1.0, -w1k);
    const double highPass = std::real(a * (1.0 - z) / (1.0 - a * z)); // in phase with the signal
    struct Case {
        const char* what;
        int16_t offset, mix, output, bypass;
        float offsetModulation;
        double share; // of the signal in the output
    };
    const Case cases[] = {
        {"offset 1.6", 0, 16384, 12288, 0, 0.0f, 0.6 * (0.2 - 1.6) * highPass},
        {"offset 0.01", 16384, 16384, 12288, 0, 0.0f, 0.6 * 0.19 * highPass},
        {"offset 0.7", 8192, 16384, 12288, 0, 0.0f, 0.6 * (0.2 - 0.7) * highPass},
        {"offset 0.7 times 2^(30/12)", 8192, 16384, 12288, 0, 1.0f,
         0.6 * (0.2 - 0.7 * std::pow(2.0, 30.0 / 12.0)) * highPass},
        {"half mix", 0, 8192, 12288, 0, 0.0f, 0.5 * 0.6 * (0.2 - 1.6) * highPass + 0.5},
        {"output +12 dB", 8192, 16384, 16384, 0, 0.0f, kPlus12dB * 0.6 * (0.2 - 0.7) * highPass},
        {"bypass passes the signal times the output gain", 0, 16384, 16384, 1, 0.0f, kPlus12dB},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Words w;
        w.offset = c.offset;
        w.mix = c.mix;
        w.output = c.output;
        w.bypass = c.bypass;
        load(w);
        const PortEntry modulation = valueSource(c.offsetModulation);
        Wiring wiring;
        wiring.connect(RingModulatorInput::Signal, &signal, 8192);
        wiring.connect(RingModulatorInput::Offset, &modulation);
        RingModulatorModule& m = make();
        auto x = [w1k](int n) { return float(2.0 * std::sin(w1k * n)); }; // 1.0 after the amount of 0.5
        const std::vector<float> out = play(m, wiring, 100, x);
        double projection = 0.0, energy = 0.0;
        for (int n = 441; n < 3087; ++n) { // 60 whole cycles after the high-pass has settled
            const double s = std::sin(w1k * n);
            projection += out[size_t(n)] * s;
            energy += s * s;
        }
        EXPECT_NEAR(projection / energy, c.share, 0.004 + std::fabs(c.share) * 0.008);
        if (c.bypass == 1) {
            for (int n = 0; n < 3200; ++n) ASSERT_FLOAT_EQ(out[size_t(n)], kPlus12dB * 0.5f * x(n)) << n;
        }
        release(m);
    }
}

// A second signal replaces the carrier: mix x X x Y + (1 - mix) x X, without output gain or bypass.
TEST_F(RingModulatorTest, TwoSignalsMultiplyDirectly) {
    struct Case {
        int16_t mix, output, bypass;
        float expected;
    };
    const float x = 0.5f, y = -0.8f * 0.5f; // the second signal comes in at amount 0.5
    for (const Case c : {Case{16384, 12288, 0, x * y}, Case{16384, 0, 0, x * y}, Case{16384, 16384, 1, x * y},
                         Case{4096, 12288, 0, 0.25f * x * y + 0.75f * x}, Case{0, 16384, 1, x}}) {
        Words w;
        w.frequency = 8192;
        w.mix = c.mix;
        w.output = c.output;
        w.bypass = c.bypass;
        load(w);
        Wiring wiring;
        wiring.connect(RingModulatorInput::Signal, &signal);
        wiring.connect(RingModulatorInput::Second, &second, 8192);
        RingModulatorModule& m = make();
        const auto out = play(m, wiring, 3, [](int) { return 0.5f; }, [](int) { return -0.8f; });
        for (size_t n = 0; n < out.size(); ++n) ASSERT_NEAR(out[n], c.expected, 1e-6f) << c.mix << " " << n;
        release(m);
    }
}

TEST_F(RingModulatorTest, WithoutTheSignalInputTheOutputIsSilent) {
    load(Words{});
    RingModulatorModule& m = make();
    const PortEntry modulation = valueSource(1.0f);
    Wiring onlySecond;
    onlySecond.connect(RingModulatorInput::Second, &second);
    onlySecond.connect(RingModulatorInput::Frequency, &modulation);
    const Wiring* wirings[] = {&onlySecond, nullptr};
    for (const Wiring* w : wirings) {
        std::fill_n(portBuffer(m.ports[0]), kBlockFrames, 7.0f);
        if (w)
            processModuleByType(&m, w->descriptors.data(), w->sources.data(), w->counts.data());
        else
            processModuleByType(&m, nullptr, nullptr, nullptr);
        for (int n = 0; n < kBlockFrames; ++n) ASSERT_EQ(portBuffer(m.ports[0])[n], 0.0f);
    }
}

TEST_F(RingModulatorTest, TheLoaderDecodesEveryWordAsTheSetterDoes) {
    struct Case {
        int parameter;
        int16_t word;
    };
    const Case cases[] = {{17, 1}, {17, 0}, {7, 8192},  {7, -3}, {8, 12288}, {8, 32767}, {15, 4096},
                          {16, 12288}, {16, -30000}, {14, 1}, {3, 8}, {3, -1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.parameter << " = " << c.word);
        Words base;
        base.frequency = 5000;
        base.offset = 3000;
        base.mix = 10000;
        base.output = 9000;
        base.bypass = 1;
        load(base);
        set(c.parameter, c.word);
        Words edited = base;
        switch (c.parameter) {
        case 3: edited.mode = c.word; break;
        case 7: edited.frequency = c.word; break;
        case 8: edited.offset = c.word; break;
        case 14: edited.spare14 = c.word; break;
        case 15: edited.mix = c.word; break;
        case 16: edited.output = c.word; break;
        default: edited.bypass = c.word; break;
        }
        ParameterRecord loaded;
        load(edited, loaded);
        EXPECT_EQ(std::memcmp(&record.as<RingModulatorParams>(), &loaded.as<RingModulatorParams>(),
                              sizeof(RingModulatorParams)),
                  0);
    }
    Words bypassed;
    bypassed.bypass = 1;
    load(bypassed);
    EXPECT_EQ(record.as<RingModulatorParams>().bypass, 1) << "the row's word 1 is a bypass once stored";
}

// Random and extreme words, signals and modulation (NaN, infinities, huge values), at several rates,
// without flush-to-zero, then a silent tail: every sample stays finite and never turns denormal.
TEST_F(RingModulatorTest, ExtremeSettingsAndInputsStayFinite) {
    std::mt19937 random(0x8196);
    auto word = [&random] { return int16_t(std::uniform_int_distribution<int>(-32768, 32767)(random)); };
    const float specials[] = {0.0f, 1.0f,  -1.0f,    1e30f,     -1e30f, 1e-30f, std::numeric_limits<float>::quiet_NaN(),
                              INFINITY, -INFINITY, 1e-40f, 3e38f};
    auto pick = [&] { return specials[random() % std::size(specials)]; };
    const double rates[] = {8000.0, 22050.0, 44100.0, 96000.0, 192000.0};
    std::vector<Words> settings = {Words{0, 0, 0, 0, 0, 0, 0}, Words{8, 16384, 16384, 1, 16384, 16384, 0},
                                   Words{32767, 32767, 32767, 32767, 32767, 32767, 32767},
                                   Words{-32768, -32768, -32768, -32768, -32768, -32768, -32768}};
    for (int r = 0; r < 40; ++r)
        settings.push_back(Words{word(), word(), word(), word(), word(), word(), int16_t(random() % 3)});
    for (size_t i = 0; i < settings.size(); ++i) {
        SCOPED_TRACE(i);
        context.setSampleRate(rates[random() % std::size(rates)]);
        load(settings[i]);
        const bool extreme = i < 4;
        PortEntry frequency = valueSource(extreme ? 1e30f : pick());
        PortEntry offset = valueSource(extreme ? -1e30f : pick());
        Wiring wiring;
        wiring.connect(RingModulatorInput::Signal, &signal, extreme ? int16_t(32767) : word());
        if (random() % 2) wiring.connect(RingModulatorInput::Second, &second, word());
        wiring.connect(RingModulatorInput::Frequency, &frequency, word(), uint16_t(random()));
        wiring.connect(RingModulatorInput::Offset, &offset, word(), uint16_t(random()));
        RingModulatorModule& m = make();
        auto loud = [&](int) { return extreme ? 3e38f : pick(); };
        const auto played = play(m, wiring, 8, loud, loud);
        ASSERT_EQ(testing::badSamples(played.data(), played.size()), 0);
        const auto tail = play(m, wiring, 400, [](int) { return 0.0f; });
        ASSERT_EQ(testing::badSamples(tail.data(), tail.size()), 0);
        ASSERT_TRUE(std::isfinite(m.sine) && std::isfinite(m.cosine) && std::isfinite(m.lowPass));
        release(m);
    }
}

} // namespace
} // namespace corvex
