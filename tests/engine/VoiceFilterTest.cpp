// The voice filter measured by what it does to sines, noise and impulses: curves, slopes, corner,
// resonance, smoothing, silence for unknown forms, and stability at the extremes.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>
#include <random>
#include <vector>

#include "engine/dsp/ScopedNoDenormals.h"
#include "engine/dsp/ConnectionDescriptor.h"
#include "engine/modules/EngineContext.h"
#include "engine/modules/BlockBufferStore.h"
#include "engine/modules/ModuleFramework.h"
#include "engine/modules/ModulePools.h"
#include "engine/modules/types/VoiceFilter.h"
#include "engine/modules/ConnectionRecord.h"
#include "engine/program/CorvanKernelProgram.h"
#include "tests/engine/KernelTestHelpers.h"
#include "tests/engine/ModuleRig.h"
#include "tests/support/SignalChecks.h"

namespace corvex {
namespace {

constexpr int kFilterType = ModuleType::VoiceFilter;
constexpr int kFilterSlot = 5;
constexpr double kPi = 3.14159265358979323846;
constexpr float kNoSpread[kSpreadTableASize] = {};

// Words of a filter block; the defaults are the initial low-pass but with the cutoff at 814 Hz.
struct Block {
    int form = VoiceFilterForm::LowPassCascade;
    int model = 1;
    int cutoff = 8192;
    int resonance = 0;
    int format = 8;
    int gainWord = 1;
};

using Signal = std::function<float(int)>;

Signal sine(double hz, double rate, float amplitude = 0.5f) {
    return [=](int i) { return amplitude * float(std::sin(2.0 * kPi * hz * double(i) / rate)); };
}

double decibels(double ratio) { return 20.0 * std::log10(ratio); }

class VoiceFilterTest : public testing::ModuleRig {
protected:
    using Wiring = testing::Wiring<VoiceFilterInput::Count>;

    void SetUp() override {
        ModuleRig::SetUp();
        // Without the spread the cutoff is exactly the curve's value; one case puts it back.
        context.spreadA = kNoSpread;
        context.spreadB = kNoSpread;
        audio = bufferPort();
        modulation = bufferPort();
        cutoffSum.word = 0;
        cutoffSum.value = 0.0f;
        resonanceSum.word = 0;
        resonanceSum.value = 0.0f;
    }


    // Block words 0..17; the loader finds word j at data[j + 2].
    using Words = std::array<uint16_t, 18>;

    static Words words(const Block& b) {
        Words w{};
        w[0] = 0x200;
        w[1] = uint16_t(kFilterType << 8);
        w[2] = 18;
        w[3] = uint16_t(b.format);
        w[7] = uint16_t(b.cutoff);
        w[8] = uint16_t(b.resonance);
        w[11] = uint16_t(b.model);
        w[13] = uint16_t(b.gainWord);
        w[17] = uint16_t(b.form);
        return w;
    }
    void load(const Words& w, ParameterRecord& into, int wordCount = 18) {
        std::array<uint16_t, 2 + 18> data{};
        std::copy(w.begin(), w.end(), data.begin() + 2);
        blockLoaderFor(kFilterType)(data.data(), wordCount, &into, &context);
    }
    void load(const Block& b, ParameterRecord& into) { load(words(b), into); }
    void load(const Block& b) { load(b, record); }

    VoiceFilterModule& filter(ParameterRecord& from, int voice = 0) {
        void* m = pools->poolForType(kFilterType)->allocate();
        initModuleByType(m, kFilterType, &from, voice, &context);
        auto& f = *static_cast<VoiceFilterModule*>(m);
        acquirePortBuffer(f.ports[0]); // a reader connects
        return f;
    }
    VoiceFilterModule& filter() { return filter(record); }
    void release(VoiceFilterModule& f) {
        resetModuleByType(&f);
        pools->poolForType(kFilterType)->release(&f);
    }

    Wiring wiring(int16_t modulationAmount = 0) {
        Wiring w(kFilterSlot);
        w.connect(VoiceFilterInput::Audio, &audio);
        w.connect(VoiceFilterInput::Cutoff, &cutoffSum);
        w.connect(VoiceFilterInput::Resonance, &resonanceSum);
        if (modulationAmount != 0) w.connect(VoiceFilterInput::AudioRateModulation, &modulation, modulationAmount);
        return w;
    }

    // Runs blocks of the signal through the filter and appends what comes out; the signal's clock
    // is the number of samples already in out.
    void render(VoiceFilterModule& f, const Wiring& w, int blocks, const Signal& signal, std::vector<float>& out) {
        for (int b = 0; b < blocks; ++b) {
            float* in = portBuffer(audio);
            const int at = int(out.size());
            for (int n = 0; n < kBlockFrames; ++n) in[n] = signal(at + n);
            processModuleByType(&f, w.descriptors.data(), w.sources.data(), w.counts.data());
            const float* o = portBuffer(f.ports[0]);
            out.insert(out.end(), o, o + kBlockFrames);
        }
    }

    // Steady-state gain of a sine through a fresh filter with the loaded record.
    double sineGain(double hz, int settleBlocks = 200, int measureBlocks = 400) {
        VoiceFilterModule& f = filter();
        std::vector<float> out;
        render(f, wiring(), settleBlocks + measureBlocks, sine(hz, context.sampleRate), out);
        release(f);
        const std::vector<float> tail(out.begin() + settleBlocks * kBlockFrames, out.end());
        return testing::rms(tail) / (0.5 / std::sqrt(2.0));
    }

    struct Echo {
        float value;
        int code;
    };
    Echo set(int parameter, int word) {
        Echo e{-999.0f, word};
        parameterSetterFor(kFilterType)(int16_t(word), parameter, &e.value, &e.code, &record, &context);
        return e;
    }
    const VoiceFilterParams& params() const { return record.as<VoiceFilterParams>(); }

    ParameterRecord record;
    PortEntry audio, modulation, cutoffSum, resonanceSum;
};

TEST_F(VoiceFilterTest, CutoffAndResonanceCurvesEchoTheirPoints) {
    struct Case {
        int format, model, parameter, word;
        float value;
    };
    // The exponential curves worked out by hand: 5 x 1.059^82 (model 4 at x = 1), 5 x 1.059^41
    // (model 4 at x = 0.5) and 10 x 1.059^120 (model 0 outside format 8, at x = 1).
    constexpr float model4Top = 550.09631f;
    constexpr float model4Middle = 52.445034f;
    constexpr float model0Top = 9716.6199f;
    const Case cases[] = {
        // cutoff, Hz
        {8, 1, 7, 0, 13.9f},        {8, 1, 7, 16384, 16050.0f}, {8, 1, 7, 4096, 125.0f},
        {8, 1, 7, 8192, 814.0f},    {8, 1, 7, 12288, 6456.0f},  {8, 1, 7, 2048, 50.61f},
        {8, 1, 7, -3000, 13.9f},    {8, 1, 7, 30000, 16050.0f}, {8, 0, 7, 8192, 814.0f},
        {8, 6, 7, 0, 3.0f},         {8, 6, 7, 4096, 462.71563f}, {8, 6, 7, 8192, 1263.0f},
        {8, 6, 7, 16384, 2914.0f},  {8, 4, 7, 0, 5.0f},          {8, 4, 7, 8192, model4Middle},
        {8, 4, 7, 16384, model4Top}, {0, 4, 7, 16384, model4Top}, {0, 4, 7, 20000, model4Top},
        {0, 0, 7, 0, 10.0f},        {0, 0, 7, 16384, model0Top}, {0, 1, 7, 8192, 814.0f},
        {0, 6, 7, 8192, 0.5f},
        // resonance
        {8, 1, 8, 0, 0.0004f},      {8, 1, 8, 8192, 1.68f},     {8, 1, 8, 16384, 3.53584f},
        {8, 0, 8, 2048, 0.062f},    {8, 4, 8, 0, 0.04f},        {8, 4, 8, 8192, 3.04f},
        {8, 4, 8, 16384, 4.0f},     {8, 6, 8, 8192, 0.5f},      {0, 1, 8, 8192, 2.0f},
        {0, 6, 8, 16384, 4.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "format " << c.format << " model " << c.model << " parameter "
                                          << c.parameter << " word " << c.word);
        set(3, c.format);
        set(11, c.model);
        const Echo e = set(c.parameter, c.word);
        EXPECT_NEAR(e.value, c.value, 2e-5f * std::max(1.0f, c.value));
        EXPECT_EQ(e.code, c.parameter == 7 ? 1 : 4);
    }
}

TEST_F(VoiceFilterTest, FormatAndModelReevaluateTheStoredSettings) {
    load(Block{VoiceFilterForm::LowPassCascade, 6, 8192, 8192, 0});
    EXPECT_EQ(params().cutoffHz, 0.5f) << "model 6 outside format 8 keeps x";
    EXPECT_EQ(params().resonance, 2.0f);

    const Echo format = set(3, 8);
    EXPECT_EQ(format.value, 8.0f);
    EXPECT_EQ(format.code, 7);
    EXPECT_FLOAT_EQ(params().cutoffHz, 1263.0f) << "the stored words pass through the format-8 curves again";
    EXPECT_FLOAT_EQ(params().resonance, 0.5f);

    struct Case {
        int model;
        float gainDecibels;
    };
    // Models 0 and 1 bring their own input gain; the others keep the last one.
    for (const Case c : {Case{0, 0.8278537f}, Case{1, 0.0f}, Case{4, 0.0f}, Case{6, 0.0f}, Case{0, 0.8278537f},
                         Case{3, 0.8278537f}}) {
        const Echo model = set(11, c.model);
        EXPECT_EQ(model.value, float(c.model));
        EXPECT_EQ(model.code, 7);
        const Echo gain = set(13, 999);
        EXPECT_NEAR(gain.value, c.gainDecibels, 1e-5f) << "model " << c.model;
        EXPECT_EQ(gain.code, 0);
    }
}

TEST_F(VoiceFilterTest, WholeBlockSettingsAnswerTheSetterWithWhatIsStored) {
    Words w = words(Block{VoiceFilterForm::LowPassCascade, 1, 8192, 0});
    w[9] = 8192;
    w[10] = 4096;
    w[12] = 3;
    w[14] = 65534;
    w[15] = 1;
    w[16] = 77;
    load(w, record);
    struct Case {
        int parameter;
        float value;
        int code;
    };
    const Case cases[] = {{9, 0.5f, 9},   {10, 0.25f, 1}, {12, 3.0f, 7}, {14, -2.0f, 7},
                          {15, 1.0f, 8},  {16, 77.0f, 1}, {17, 2.0f, 4}, {13, 0.0f, 0}};
    for (const Case& c : cases) {
        const Echo e = set(c.parameter, 1234);
        EXPECT_EQ(e.value, c.value) << c.parameter;
        EXPECT_EQ(e.code, c.code) << c.parameter;
    }
    EXPECT_EQ(params().form, VoiceFilterForm::LowPassCascade) << "the form changes only with a whole block";

    const Echo unknown = set(18, 5);
    EXPECT_EQ(unknown.value, -999.0f);
    EXPECT_EQ(unknown.code, 5);
}

TEST_F(VoiceFilterTest, InitialProgramBlocksLoad) {
    Words highPass{0x200, 0x400, 18, 8, 0, 0, 0, 163, 16, 0, 1, 6, 1, 1, 1, 1, 1, 0};
    Words lowPass{0x200, 0x401, 18, 8, 0, 0, 0, 16384, 0, 0, 1, 1, 1, 1, 1, 1, 1, 2};
    load(lowPass, record);
    EXPECT_EQ(params().form, VoiceFilterForm::LowPassCascade);
    EXPECT_EQ(params().cutoffHz, 16050.0f);
    EXPECT_FLOAT_EQ(params().resonance, 0.0004f);
    EXPECT_EQ(set(13, 0).value, 0.0f) << "model 1's own gain, not the block's word";

    load(highPass, record);
    EXPECT_EQ(params().form, VoiceFilterForm::HighPass);
    EXPECT_NEAR(params().cutoffHz, 16.5021f, 1e-3f);
    EXPECT_FLOAT_EQ(params().resonance, 16.0f / 16384.0f);
    EXPECT_NEAR(set(13, 0).value, -168.5768f, 1e-3f) << "model 6 keeps the block's word / 2^28";

    load(lowPass, record, 17);
    EXPECT_EQ(params().form, VoiceFilterForm::HighPass) << "a truncated block changes nothing";
}

TEST_F(VoiceFilterTest, TwentyFourDecibelModelFallsTwiceAsSteeply) {
    struct Case {
        int model;
        int cutoffWord;
        double cutoff;
        double passGain;     // input gain x the cascade at a sixteenth of the cutoff
        double atCutoff;     // dB below the passband
        double octaveAbove;
        double twoOctavesAbove;
    };
    // Stages of 3 dB at the cutoff: two for the 12 dB output, four for the 24 dB one.
    const Case cases[] = {
        {0, 8192, 814.0, 1.1 * 0.99610, -6.0, -14.0, -24.6},
        {1, 8192, 814.0, 1.0 * 0.99222, -12.0, -28.0, -49.2},
        {6, 8192, 1263.0, 65535.0 / 268435456.0 * 0.99610, -6.0, -14.0, -24.6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "model " << c.model);
        load(Block{VoiceFilterForm::LowPassCascade, c.model, c.cutoffWord, 0, 8, 65535});
        const double pass = sineGain(c.cutoff / 16.0, 200, 800);
        EXPECT_NEAR(pass / c.passGain, 1.0, 0.01);
        EXPECT_NEAR(decibels(sineGain(c.cutoff) / pass), c.atCutoff, 0.3);
        EXPECT_NEAR(decibels(sineGain(2.0 * c.cutoff) / pass), c.octaveAbove, 0.5);
        EXPECT_NEAR(decibels(sineGain(4.0 * c.cutoff) / pass), c.twoOctavesAbove, 1.0);
    }
}

TEST_F(VoiceFilterTest, ResonancePeakNearTheCutoffGrowsWithResonance) {
    double previousPeak = 0.0;
    for (int word : {0, 4096, 8192, 12288, 16384}) {
        SCOPED_TRACE(::testing::Message() << "resonance word " << word);
        load(Block{VoiceFilterForm::LowPassCascade, 1, 8192, word});
        const double pass = sineGain(814.0 / 16.0, 200, 800);
        const double peak = sineGain(814.0);
        EXPECT_GT(peak, previousPeak * 1.05);
        previousPeak = peak;
        if (word == 16384) {
            EXPECT_GT(decibels(peak / pass), 18.0) << "full resonance rings well above the passband";
            EXPECT_GT(peak, sineGain(814.0 * 0.8)) << "the peak sits at the cutoff";
            EXPECT_GT(peak, sineGain(814.0 * 1.25));
        }
    }
}

TEST_F(VoiceFilterTest, NegativeResonanceIsHeldAtTheFloorNotTurnedIntoPositiveFeedback) {
    // Format 0 stores 4x: a full word is 4.0, and a resonance sum of -2 aims the smoothing at -4.
    load(Block{VoiceFilterForm::LowPassCascade, 1, 8192, 16384, 0});
    resonanceSum.value = -2.0f;
    const double floored = sineGain(814.0 / 16.0, 200, 800);
    load(Block{VoiceFilterForm::LowPassCascade, 1, 8192, 0, 0});
    resonanceSum.value = 0.0f;
    const double none = sineGain(814.0 / 16.0, 200, 800);
    EXPECT_NEAR(floored / none, 1.0, 1e-4) << "a feedback of -4 x 1.03 would run away; the floor plays it flat";
    EXPECT_NEAR(none, 0.99222, 0.005) << "and flat is the plain four stages";

    // The resonance input scales the stored resonance by (1 + sum).
    load(Block{VoiceFilterForm::LowPassCascade, 1, 8192, 16384, 0});
    resonanceSum.value = -0.5f;
    const double halved = sineGain(100.0);
    load(Block{VoiceFilterForm::LowPassCascade, 1, 8192, 8192, 0});
    resonanceSum.value = 0.0f;
    EXPECT_NEAR(halved / sineGain(100.0), 1.0, 1e-3);
}

TEST_F(VoiceFilterTest, HighPassCornerPassesAQuarterAboveAndCutsBelow) {
    load(Block{VoiceFilterForm::HighPass, 1, 4096, 0}); // 125 Hz
    EXPECT_NEAR(sineGain(5000.0), 0.25, 0.0025) << "the high-pass works on a quarter of its input";
    EXPECT_NEAR(sineGain(15000.0), 0.25, 0.0025);
    EXPECT_NEAR(sineGain(125.0), 0.25 / std::sqrt(2.0), 0.005) << "3 dB down at the corner";
    EXPECT_NEAR(sineGain(12.5, 100, 3000), 0.25 * 0.0995, 0.002) << "6 dB per octave below";

    VoiceFilterModule& f = filter();
    std::vector<float> out;
    render(f, wiring(), 400, [](int) { return 1.0f; }, out);
    EXPECT_FLOAT_EQ(out[0], 0.25f) << "a step passes at first";
    EXPECT_LT(std::fabs(out.back()), 1e-4f) << "but no DC stays";
}

TEST_F(VoiceFilterTest, CutoffInputTransposesInSemitones) {
    struct Case {
        float semitones;
        float ratio; // the semitone table's entry
    };
    for (const Case c : {Case{12.0f, 1.999998f}, Case{-12.0f, 0.500001f}, Case{-2.5f, 0.865898f}}) {
        SCOPED_TRACE(c.semitones);
        load(Block{VoiceFilterForm::LowPassCascade, 1, 8192, 0});
        cutoffSum.value = c.semitones;
        const double transposed = sineGain(814.0 * c.ratio);
        cutoffSum.value = 0.0f;
        record.as<VoiceFilterParams>().cutoffHz = 814.0f * c.ratio;
        const double moved = sineGain(814.0 * c.ratio);
        EXPECT_NEAR(transposed / moved, 1.0, 2e-3);
        EXPECT_NEAR(decibels(moved), -12.0, 0.6) << "both sit at their cutoff";
    }
}

TEST_F(VoiceFilterTest, VoiceAndSlotSpreadScaleTheCutoff) {
    // Voice 3 and slot 5 of the engine's tables, detune at 0 dB: 1 + (0.5458 - 0.3066) x (0.08 + 0.03).
    const float spread = 1.0f + (0.5458f - 0.3066f) * 0.11f;
    load(Block{VoiceFilterForm::LowPassCascade, 1, 8192, 12288});
    ParameterRecord shifted;
    load(Block{VoiceFilterForm::LowPassCascade, 1, 8192, 12288}, shifted);
    shifted.as<VoiceFilterParams>().cutoffHz = 814.0f * spread;
    const Signal noise = [](int i) { return float((i * 7919) % 2001 - 1000) * 0.0005f; };

    context.spreadA = kSpreadTableA;
    context.spreadB = kSpreadTableB;
    context.detuneAmount = 1.0f;
    VoiceFilterModule& spreadVoice = filter(record, 3);
    std::vector<float> withSpread;
    render(spreadVoice, wiring(), 100, noise, withSpread);

    context.spreadA = kNoSpread;
    context.spreadB = kNoSpread;
    std::vector<float> moved, unmoved;
    VoiceFilterModule& movedVoice = filter(shifted, 3);
    render(movedVoice, wiring(), 100, noise, moved);
    VoiceFilterModule& plainVoice = filter(record, 3);
    render(plainVoice, wiring(), 100, noise, unmoved);

    double differenceToMoved = 0.0, differenceToPlain = 0.0;
    for (size_t i = 0; i < withSpread.size(); ++i) {
        differenceToMoved = std::max(differenceToMoved, double(std::fabs(withSpread[i] - moved[i])));
        differenceToPlain = std::max(differenceToPlain, double(std::fabs(withSpread[i] - unmoved[i])));
    }
    EXPECT_LT(differenceToMoved, 1e-5) << "the spread voice plays the cutoff x " << spread;
    EXPECT_GT(differenceToPlain, 1e-3) << "and that is not the plain cutoff";
}

TEST_F(VoiceFilterTest, AudioRateInputMovesTheCascadePerSample) {
    load(Block{VoiceFilterForm::LowPassCascade, 1, 4096, 0}); // 125 Hz
    const Signal tone = sine(4000.0, context.sampleRate);
    VoiceFilterModule& still = filter();
    std::vector<float> closed;
    render(still, wiring(), 100, tone, closed);

    // 6 x 0.5 x 0.05 = 0.15 on the coefficient, on every sample of the block.
    VoiceFilterModule& pushed = filter();
    for (int n = 0; n < kBlockFrames; ++n) portBuffer(modulation)[n] = 0.05f;
    std::vector<float> opened;
    render(pushed, wiring(8192), 100, tone, opened);
    const std::vector<float> closedTail(closed.end() - 3200, closed.end());
    const std::vector<float> openedTail(opened.end() - 3200, opened.end());
    EXPECT_LT(testing::rms(closedTail), 1e-4);
    EXPECT_GT(testing::rms(openedTail), 100.0 * testing::rms(closedTail));
}

TEST_F(VoiceFilterTest, CutoffStepGlidesOverManyBlocks) {
    load(Block{VoiceFilterForm::LowPassCascade, 1, 4096, 0}); // 125 Hz
    VoiceFilterModule& f = filter();
    const Wiring w = wiring();
    const Signal tone = sine(4000.0, context.sampleRate);
    std::vector<float> out;
    render(f, w, 100, tone, out);
    EXPECT_EQ(set(7, 12288).value, 6456.0f);
    out.clear();
    render(f, w, 400, tone, out);

    load(Block{VoiceFilterForm::LowPassCascade, 1, 12288, 0});
    const double settled = sineGain(4000.0);
    auto blockGain = [&out](int b) {
        const std::vector<float> block(out.begin() + b * kBlockFrames, out.begin() + (b + 1) * kBlockFrames);
        return testing::rms(block) / (0.5 / std::sqrt(2.0));
    };
    EXPECT_LT(blockGain(0), 0.01 * settled) << "one block after the step the cutoff has hardly moved";
    int halfway = -1;
    for (int b = 1; b < 400; ++b) {
        EXPECT_GT(blockGain(b), blockGain(b - 1) - 0.02 * settled) << "the glide only rises, block " << b;
        if (halfway < 0 && blockGain(b) >= 0.5 * settled) halfway = b;
    }
    // 2 % per block into the first stage: the cutoff reaches 4088 Hz (half the settled gain at
    // 4 kHz) after ln(2368 / 6331) / ln(0.98) = 49 blocks, the second stage a block behind.
    EXPECT_GE(halfway, 45);
    EXPECT_LE(halfway, 54);
    EXPECT_NEAR(blockGain(399) / settled, 1.0, 0.03);
}

TEST_F(VoiceFilterTest, UnknownFormsAndTheSwitchedOffCascadeWriteSilence) {
    struct Case {
        const char* what;
        int form;
        int32_t integerSwitch;
    };
    const Case cases[] = {
        {"form 1", 1, 1},   {"form 3", 3, 1},   {"form 65535", 65535, 1}, {"form 100", 100, 1},
        {"cascade switched off", VoiceFilterForm::LowPassCascade, 0},
        {"cascade, switch 2", VoiceFilterForm::LowPassCascade, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        context.integerSwitch = c.integerSwitch;
        load(Block{c.form, 1, 8192, 16384});
        VoiceFilterModule& f = filter();
        const Wiring w = wiring();
        for (int b = 0; b < 8; ++b) {
            std::fill(portBuffer(f.ports[0]), portBuffer(f.ports[0]) + kBlockFrames, 7.0f); // a stale block
            std::fill(portBuffer(audio), portBuffer(audio) + kBlockFrames, 0.9f);
            processModuleByType(&f, w.descriptors.data(), w.sources.data(), w.counts.data());
            for (int n = 0; n < kBlockFrames; ++n) ASSERT_EQ(portBuffer(f.ports[0])[n], 0.0f) << "block " << b;
        }
        if (c.form == VoiceFilterForm::LowPassCascade) {
            context.integerSwitch = 1;
            std::vector<float> out;
            render(f, w, 4, [](int) { return 0.9f; }, out);
            EXPECT_GT(out.back(), 0.1f) << "switched on again, the cascade plays";
        }
        release(f);
    }
    context.integerSwitch = 1;

    load(Block{});
    VoiceFilterModule& unwired = filter();
    std::fill(portBuffer(unwired.ports[0]), portBuffer(unwired.ports[0]) + kBlockFrames, 7.0f);
    processModuleByType(&unwired, nullptr, nullptr, nullptr);
    for (int n = 0; n < kBlockFrames; ++n) EXPECT_EQ(portBuffer(unwired.ports[0])[n], 0.0f) << "no input, no sound";
}

TEST_F(VoiceFilterTest, FullResonanceAtTheCutoffExtremesStaysBounded) {
    struct NamedSignal {
        const char* what;
        Signal signal;
    };
    std::mt19937 random(0xF117);
    std::vector<float> white(3000 * kBlockFrames);
    for (float& s : white) s = std::uniform_real_distribution<float>(-1.0f, 1.0f)(random);
    const NamedSignal signals[] = {
        {"white noise", [&white](int i) { return white[size_t(i)]; }},
        {"impulses", [](int i) { return i % 441 == 0 ? 1.0f : 0.0f; }},
    };
    struct Extreme {
        const char* what;
        int form;
        int cutoffWord;
        float semitones;
        int16_t noiseAmount; // white noise on the audio-rate input
    };
    const Extreme extremes[] = {
        {"cascade at the top", VoiceFilterForm::LowPassCascade, 16384, 192.0f, 0},
        {"cascade at the bottom", VoiceFilterForm::LowPassCascade, 0, -120.0f, 0},
        {"cascade at the top, noise on its coefficient", VoiceFilterForm::LowPassCascade, 16384, 192.0f, 16384},
        {"high-pass at the top", VoiceFilterForm::HighPass, 16384, 192.0f, 0},
    };
    corvex::ScopedNoDenormals flush;
    for (double rate : {44100.0, 48000.0, 96000.0}) {
        context.setSampleRate(rate);
        for (const Extreme& e : extremes) {
            for (const NamedSignal& s : signals) {
                SCOPED_TRACE(::testing::Message() << rate << " Hz, " << e.what << ", " << s.what);
                load(Block{e.form, 1, e.cutoffWord, 16384});
                cutoffSum.value = e.semitones;
                resonanceSum.value = 1.0f; // twice the full resonance: held at 3.5
                VoiceFilterModule& f = filter();
                const Wiring w = wiring(e.noiseAmount);
                std::vector<float> out;
                for (int b = 0; b < 3000; ++b) {
                    float* coefficientNoise = portBuffer(modulation);
                    for (int n = 0; n < kBlockFrames; ++n) coefficientNoise[n] = white[size_t((b * 37 + n) % 96000)];
                    render(f, w, 1, s.signal, out);
                }
                release(f);
                ASSERT_EQ(testing::badSamples(out.data(), out.size()), 0);
                const std::vector<float> middle(out.begin() + 1000 * kBlockFrames, out.begin() + 2000 * kBlockFrames);
                const std::vector<float> last(out.begin() + 2000 * kBlockFrames, out.end());
                float peak = 0.0f;
                for (float v : out) peak = std::max(peak, std::fabs(v));
                double mean = 0.0;
                for (float v : last) mean += v;
                mean /= double(last.size());
                EXPECT_LT(peak, 20.0f);
                EXPECT_LT(testing::rms(last), 1.2 * testing::rms(middle) + 1e-6) << "no growth";
                EXPECT_LT(std::fabs(mean), 0.05) << "no DC runaway";
            }
        }
    }
}

TEST_F(VoiceFilterTest, ExtremeWordsAndInputsStayFinite) {
    std::mt19937 random(0xF11E);
    auto word = [&random] { return uint16_t(std::uniform_int_distribution<int>(0, 65535)(random)); };
    auto value = [&random] { return std::uniform_real_distribution<float>(-1e4f, 1e4f)(random); };
    const float awkward[] = {0.0f, 1e30f, -1e30f, 3.4e38f, std::nanf(""), INFINITY, -INFINITY, 1e-40f};
    const double rates[] = {22050.0, 44100.0, 48000.0, 88200.0, 96000.0, 192000.0};
    corvex::ScopedNoDenormals flush;
    for (int r = 0; r < 96; ++r) {
        SCOPED_TRACE(r);
        context.setSampleRate(rates[size_t(r) % 6]);
        context.integerSwitch = int32_t(word() % 3);
        context.detuneAmount = std::fabs(value());
        context.spreadA = kSpreadTableA;
        context.spreadB = kSpreadTableB;
        Words w{};
        for (uint16_t& x : w) x = word();
        w[17] = r % 3 == 0 ? uint16_t(word() % 4) : uint16_t(r % 2 == 0 ? 0 : 2);
        load(w, record);
        VoiceFilterModule& f = filter(record, r % 32);
        Wiring wired(word() % 41);
        wired.connect(VoiceFilterInput::Audio, &audio, int16_t(word()), word());
        wired.connect(VoiceFilterInput::Cutoff, &cutoffSum, int16_t(word()), word() & 0xCF);
        wired.connect(VoiceFilterInput::Resonance, &resonanceSum, int16_t(word()), word() & 0xCF);
        wired.connect(VoiceFilterInput::AudioRateModulation, &modulation, int16_t(word()), word());
        for (int b = 0; b < 16; ++b) {
            const bool odd = word() % 4 == 0;
            for (int n = 0; n < kBlockFrames; ++n) {
                portBuffer(audio)[n] = odd ? awkward[word() % 8] : value();
                portBuffer(modulation)[n] = odd ? awkward[word() % 8] : value() * 1e-4f;
            }
            cutoffSum.value = odd ? awkward[word() % 8] : value();
            resonanceSum.value = odd ? awkward[word() % 8] : value();
            processModuleByType(&f, wired.descriptors.data(), wired.sources.data(), wired.counts.data());
            ASSERT_EQ(testing::badSamples(portBuffer(f.ports[0]), kBlockFrames), 0) << "block " << b;
        }
        release(f);
    }
}

TEST_F(VoiceFilterTest, ABrokenBlockDoesNotStick) {
    struct Case {
        const char* what;
        int model;
        float sample;
    };
    const Case cases[] = {{"NaN", 1, std::nanf("")}, {"infinity", 1, INFINITY}, {"the largest float", 0, 3.4e38f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        load(Block{VoiceFilterForm::LowPassCascade, c.model, 8192, 12288});
        const Signal tone = sine(300.0, context.sampleRate);
        auto broken = [&](int i) { return i >= 3200 && i < 3200 + 8 * kBlockFrames ? c.sample : tone(i); };
        VoiceFilterModule& f = filter();
        std::vector<float> out;
        render(f, wiring(), 400, broken, out);
        release(f);
        ASSERT_EQ(testing::badSamples(out.data(), out.size()), 0);
        const std::vector<float> tail(out.end() - 3200, out.end());
        EXPECT_NEAR(testing::rms(tail) / (0.5 / std::sqrt(2.0)), sineGain(300.0), 0.01) << "the tone plays on";
    }
}

// A layer wired white noise -> mixer -> high-pass -> low-pass -> voice output, its level from
// "Env 2": both filters as the initial program sets them, then the low-pass turned down.
TEST(VoiceFilterSound, LayerLowPassDarkensNoiseInAPlayingKernel) {
    constexpr int kGate = 0, kEnv2 = 6, kNoise = 26, kMixer = 9, kHighPass = 4, kLowPass = 5, kOutput = 8;
    auto kernel = testing::makeKernel(44100.0);
    auto program = std::make_unique<CorvanKernelProgram>(*kernel);
    program->initialise();
    ConnectionRecord records[] = {
        packConnection(0, 0, 0, kGate, 0, kEnv2, 16384, 0),
        packConnection(0, 0, 0, kNoise, 3, kMixer, 16384, 0),
        packConnection(0, 0, 0, kMixer, 0, kHighPass, 16384, 0),
        packConnection(0, 0, 0, kHighPass, 0, kLowPass, 16384, 0),
        packConnection(0, 0, 0, kLowPass, 0, kOutput, 16384, 0),
        packConnection(0, 4, 0, kEnv2, 0, kOutput, 16384, 0),
    };
    ASSERT_TRUE(sortConnections(records, 6));
    program->stopPart(1);
    program->sendConnections(1, records, 6);
    program->setParameterWord(1, kNoise, 10, -1, 8192); // output 3: white noise at 0.5
    program->setParameterWord(1, kNoise, 15, -1, 2);
    program->setParameterWord(1, kMixer, 7, -1, 6000);
    program->setParameterWord(1, kEnv2, 15, -1, 16384);
    program->startPart(1);
    testing::Block block;
    testing::render(*kernel, block);
    kernel->sendMidiNote(0x90, 60, 100);

    auto play = [&](int blocks) {
        std::vector<float> out;
        for (int b = 0; b < blocks; ++b) {
            testing::render(*kernel, block);
            out.insert(out.end(), block.left, block.left + kBlockFrames);
        }
        return std::vector<float>(out.end() - 100 * kBlockFrames, out.end());
    };
    const std::vector<float> open = play(200);
    program->setParameterWord(1, kLowPass, 7, -1, 4096); // 16050 Hz down to 125 Hz
    const std::vector<float> closed = play(400);

    EXPECT_EQ(testing::badSamples(open.data(), open.size()) + testing::badSamples(closed.data(), closed.size()), 0);
    EXPECT_GT(testing::rms(open), 0.001);
    EXPECT_GT(testing::zeroCrossingFrequency(open, 44100.0), 5000.0) << "wide open, the noise stays bright";
    EXPECT_LT(testing::zeroCrossingFrequency(closed, 44100.0), 400.0);
    EXPECT_LT(testing::rms(closed), 0.15 * testing::rms(open));
}

} // namespace
} // namespace corvex
