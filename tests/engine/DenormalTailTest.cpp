// Tails that decay to nothing, rendered with flush-to-zero switched off: the modules' own flushes alone
// must keep denormals out of their outputs and out of the states that feed back, and end each tail
// in true silence.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "engine/dsp/ScopedNoDenormals.h"
#include "engine/modules/EngineContext.h"
#include "engine/modules/BlockBufferStore.h"
#include "engine/modules/ModuleFramework.h"
#include "engine/modules/ModulePools.h"
#include "engine/modules/types/Envelope.h"
#include "engine/modules/types/Oscillator.h"
#include "engine/modules/types/VoiceFilter.h"
#include "engine/modules/types/VoiceOutput.h"
#include "tests/engine/ModuleRig.h"

namespace corvex {
namespace {

constexpr int kOscillatorType = ModuleType::Oscillator;
constexpr int kFilterType = ModuleType::VoiceFilter;
constexpr int kEnvelopeType = ModuleType::Envelope;
constexpr int kOutputType = ModuleType::VoiceOutput;

// Read from the bits: the test must not depend on how the comparison unit treats denormals.
bool subnormal(float v) {
    uint32_t bits = 0;
    std::memcpy(&bits, &v, sizeof bits);
    return (bits & 0x7F800000u) == 0 && (bits & 0x007FFFFFu) != 0;
}
bool subnormal(double v) {
    uint64_t bits = 0;
    std::memcpy(&bits, &v, sizeof bits);
    return (bits & 0x7FF0000000000000ull) == 0 && (bits & 0x000FFFFFFFFFFFFFull) != 0;
}

int subnormals(const float* x, int n) {
    int count = 0;
    for (int i = 0; i < n; ++i) count += subnormal(x[i]);
    return count;
}

bool silent(const float* x, int n) {
    for (int i = 0; i < n; ++i)
        if (x[i] != 0.0f) return false;
    return true;
}

// A signal that ends: white noise for the first blocks, then exact zeros.
struct Burst {
    explicit Burst(int blocks) : samples(size_t(blocks) * kBlockFrames) {
        std::mt19937 random(0xDE7A);
        for (float& s : samples) s = std::uniform_real_distribution<float>(-0.8f, 0.8f)(random);
    }
    float at(size_t i) const { return i < samples.size() ? samples[i] : 0.0f; }
    std::vector<float> samples;
};

class DenormalTailTest : public testing::ModuleRig {
protected:
    void SetUp() override {
        ModuleRig::SetUp();
        context.setSampleRate(44100.0);
    }

    template <size_t N>
    void load(int type, std::array<uint16_t, N> words, ParameterRecord& into) {
        std::array<uint16_t, N + 2> data{};
        words[0] = 0x200;
        words[1] = uint16_t(type << 8);
        words[2] = uint16_t(N);
        std::copy(words.begin(), words.end(), data.begin() + 2);
        blockLoaderFor(type)(data.data(), int(N), &into, &context);
    }

    void* make(int type, ParameterRecord& from, std::initializer_list<int> readPorts) {
        void* m = pools->poolForType(type)->allocate();
        initModuleByType(m, type, &from, 0, &context);
        for (int k : readPorts) acquirePortBuffer(*modulePortAddress(m, k));
        return m;
    }

    // The low-pass cascade (model 1 or 0) or the high-pass, with the cutoff held where the case says.
    VoiceFilterModule& filter(int form, int model, int cutoffWord, int resonanceWord) {
        std::array<uint16_t, 18> w{};
        w[3] = 8;
        w[7] = uint16_t(cutoffWord);
        w[8] = uint16_t(resonanceWord);
        w[11] = uint16_t(model);
        w[17] = uint16_t(form);
        load(kFilterType, w, filterRecord);
        return *static_cast<VoiceFilterModule*>(make(kFilterType, filterRecord, {0}));
    }

    // Mode 8 at pitch 0 (261.6 Hz), port 0 playing the given wave.
    COscillator& oscillator(int16_t wave) {
        std::array<uint16_t, 20> w{};
        w[3] = 8;
        w[8] = 8192;
        w[9] = 8192;
        w[10] = 5461;
        w[12] = uint16_t(wave);
        w[13] = w[14] = w[15] = uint16_t(OscillatorWave::None);
        load(kOscillatorType, w, oscillatorRecord);
        return *static_cast<COscillator*>(make(kOscillatorType, oscillatorRecord, {0}));
    }

    template <int N>
    static void run(void* m, const testing::Wiring<N>& w) {
        processModuleByType(m, w.descriptors.data(), w.sources.data(), w.counts.data());
    }

    ParameterRecord filterRecord, oscillatorRecord, envelopeRecord, outputRecord;
};

// Every double the cascade and the high-pass carry from block to block.
std::vector<double> filterStates(const VoiceFilterModule& f) {
    return {f.stage[0], f.stage[1], f.stage[2], f.stage[3], f.previousFourth,
            f.feedback, f.previousQuarterInput, f.highPassLow};
}

// Noise into the filter, then nothing: high resonance rings on for a while, and a high cutoff
// decays by many decades within one block. Neither may leave a denormal in the output or in a
// state, and the ringing must end at exactly zero.
TEST_F(DenormalTailTest, VoiceFilterRingsOutToExactSilence) {
    struct Case {
        const char* what;
        int form, model, cutoffWord, resonanceWord;
        float semitones;
    };
    const Case cases[] = {
        {"24 dB at 814 Hz, full resonance", VoiceFilterForm::LowPassCascade, 1, 8192, 16384, 0.0f},
        {"24 dB at 13.9 Hz, half resonance", VoiceFilterForm::LowPassCascade, 1, 0, 8192, 0.0f},
        {"12 dB at the top, full resonance", VoiceFilterForm::LowPassCascade, 0, 16384, 16384, 24.0f},
        {"high-pass at 125 Hz", VoiceFilterForm::HighPass, 1, 4096, 0, 0.0f},
        {"high-pass at 12.9 kHz", VoiceFilterForm::HighPass, 1, 12288, 0, 12.0f},
        {"high-pass at the top", VoiceFilterForm::HighPass, 1, 16384, 0, 24.0f},
    };
    const Burst burst(40);
    for (double rate : {44100.0, 48000.0, 96000.0}) {
        context.setSampleRate(rate);
        for (const Case& c : cases) {
            SCOPED_TRACE(::testing::Message() << rate << " Hz, " << c.what);
            VoiceFilterModule& f = filter(c.form, c.model, c.cutoffWord, c.resonanceWord);
            PortEntry audio = bufferPort();
            PortEntry cutoff, resonance;
            cutoff.value = c.semitones;
            resonance.value = 0.0f;
            testing::Wiring<VoiceFilterInput::Count> w(5);
            w.connect(VoiceFilterInput::Audio, &audio);
            w.connect(VoiceFilterInput::Cutoff, &cutoff);
            w.connect(VoiceFilterInput::Resonance, &resonance);

            const int blocks = int(4.0 * rate / kBlockFrames);
            int badOutputs = 0, badStates = 0, firstBad = -1;
            {
                ScopedDenormalsAllowed denormals;
                for (int b = 0; b < blocks; ++b) {
                    for (int n = 0; n < kBlockFrames; ++n) portBuffer(audio)[n] = burst.at(size_t(b * kBlockFrames + n));
                    run(&f, w);
                    const int outputs = subnormals(portBuffer(f.ports[0]), kBlockFrames);
                    int states = 0;
                    for (double s : filterStates(f)) states += subnormal(s);
                    if ((outputs || states) && firstBad < 0) firstBad = b;
                    badOutputs += outputs;
                    badStates += states;
                }
            }
            EXPECT_EQ(badOutputs, 0) << "denormal output samples, the first in block " << firstBad;
            EXPECT_EQ(badStates, 0) << "denormal states, the first after block " << firstBad;
            EXPECT_TRUE(silent(portBuffer(f.ports[0]), kBlockFrames)) << "the tail ends in true silence";
            for (double s : filterStates(f)) EXPECT_EQ(s, 0.0);
            releasePortUser(audio);
            resetModuleByType(&f);
            pools->poolForType(kFilterType)->release(&f);
        }
    }
}

// The audio-rate path colours its output with two one-pole low-passes. Playing a pass-through
// signal that stops, their states decay towards zero with nothing to hold them up.
TEST_F(DenormalTailTest, OscillatorToneFilterSettlesToExactSilence) {
    const Burst burst(40);
    for (double rate : {44100.0, 48000.0, 96000.0}) {
        SCOPED_TRACE(::testing::Message() << rate << " Hz");
        context.setSampleRate(rate);
        COscillator& m = oscillator(OscillatorWave::PassThrough);

        // An audio-rate pitch source at amount 0, as the cross-modulation leaves oscillator 1.
        PortEntry pitch, crossModulation = bufferPort(), passThrough = bufferPort();
        testing::Wiring<OscillatorInput::Count> w(2);
        w.connect(OscillatorInput::Pitch, &pitch);
        w.connect(OscillatorInput::Pitch, &crossModulation, 0);
        w.connect(OscillatorInput::PassThrough, &passThrough);

        const int blocks = int(1.0 * rate / kBlockFrames);
        int badOutputs = 0, badStates = 0, firstBad = -1;
        {
            ScopedDenormalsAllowed denormals;
            for (int b = 0; b < blocks; ++b) {
                for (int n = 0; n < kBlockFrames; ++n)
                    portBuffer(passThrough)[n] = burst.at(size_t(b * kBlockFrames + n));
                run(&m, w);
                const int outputs = subnormals(portBuffer(m.ports[0]), kBlockFrames);
                const int states = subnormal(m.toneLow1) + subnormal(m.toneLow2);
                if ((outputs || states) && firstBad < 0) firstBad = b;
                badOutputs += outputs;
                badStates += states;
            }
        }
        EXPECT_EQ(badOutputs, 0) << "denormal output samples, the first in block " << firstBad;
        EXPECT_EQ(badStates, 0) << "denormal tone-filter states, the first after block " << firstBad;
        EXPECT_TRUE(silent(portBuffer(m.ports[0]), kBlockFrames)) << "the tail ends in true silence";
        EXPECT_EQ(m.toneLow1, 0.0f);
        EXPECT_EQ(m.toneLow2, 0.0f);
        for (PortEntry* p : {&crossModulation, &passThrough}) releasePortUser(*p);
        resetModuleByType(&m);
        pools->poolForType(kOscillatorType)->release(&m);
    }
}

// A whole voice let go: sawtooth -> resonant low-pass -> voice output, its level from an envelope
// with a 3.8 s release. Every level, state and bus sample on the way down stays normal, and once
// the release has run out the bus is exactly silent.
TEST_F(DenormalTailTest, VoiceReleaseTailEndsInTrueSilence) {
    COscillator& saw = oscillator(OscillatorWave::Sawtooth);
    VoiceFilterModule& lowPass = filter(VoiceFilterForm::LowPassCascade, 1, 8192, 12288);

    std::array<uint16_t, 22> envelopeWords{};
    envelopeWords[3] = 8;
    envelopeWords[15] = 8192; // sustain 0.571
    envelopeWords[11] = 8192; // release 3810 ms
    load(kEnvelopeType, envelopeWords, envelopeRecord);
    auto& envelope = *static_cast<EnvelopeModule*>(make(kEnvelopeType, envelopeRecord, {}));

    std::array<uint16_t, 11> outputWords{};
    outputWords[7] = 12288; // unity
    load(kOutputType, outputWords, outputRecord);
    auto& output = *static_cast<VoiceOutputModule*>(make(kOutputType, outputRecord, {}));
    std::array<float, kBlockFrames> left{}, right{};
    output.leftBus = left.data();
    output.rightBus = right.data();

    PortEntry pitch, gate, level;
    testing::Wiring<OscillatorInput::Count> toOscillator(2);
    toOscillator.connect(OscillatorInput::Pitch, &pitch);
    testing::Wiring<VoiceFilterInput::Count> toFilter(5);
    toFilter.connect(VoiceFilterInput::Audio, &saw.ports[0]);
    testing::Wiring<9> toEnvelope(6);
    toEnvelope.connect(0, &gate);
    testing::Wiring<7> toOutput(8);
    toOutput.connect(0, &lowPass.ports[0]);
    toOutput.connect(4, &level);

    const int held = 200, releasing = int(4.2 * 44100.0 / kBlockFrames);
    int bad = 0, firstBad = -1;
    {
        ScopedDenormalsAllowed denormals;
        for (int b = 0; b < held + releasing; ++b) {
            gate.intValue = b == 0 ? 1 : b < held ? 2 : b == held ? 3 : 0;
            left.fill(0.0f);
            run(&saw, toOscillator);
            run(&lowPass, toFilter);
            run(&envelope, toEnvelope);
            level.value = envelope.ports[0].value;
            run(&output, toOutput);
            int found = subnormals(left.data(), kBlockFrames) + subnormals(portBuffer(lowPass.ports[0]), kBlockFrames);
            for (float v : {envelope.ports[0].value, envelope.ratio, envelope.base, envelope.releaseStart,
                            envelope.lastOutput, output.previousGain})
                found += subnormal(v);
            if (found && firstBad < 0) firstBad = b;
            bad += found;
        }
    }
    EXPECT_EQ(bad, 0) << "denormals on the way down, the first in block " << firstBad;
    EXPECT_EQ(envelope.stageWord & 7u, EnvelopeStage::Finished);
    EXPECT_EQ(envelope.ports[0].value, 0.0f);
    EXPECT_TRUE(silent(left.data(), kBlockFrames)) << "the released voice adds exact zeros to its bus";
}

} // namespace
} // namespace corvex
