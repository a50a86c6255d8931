// The rows that write plain parameter words: the words each value writes, what reads back, the texts shown,
// the rows they send again, and what a player hears when the table turns the front-panel knobs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "engine/kernel/CorvexKernel.h"
#include "engine/program/CorvanKernelProgram.h"
#include "instrument/params/CorvanParameters.h"
#include "tests/instrument/core/ParameterRig.h"
#include "tests/support/SignalChecks.h"

namespace corvex {
namespace {

constexpr int kUpper = 1, kLower = 2, kGlobal = 0;
constexpr double kPi = 3.14159265358979323846;

class WordRig : public ::testing::Test, protected testing::ParameterRig {
protected:
    void SetUp() override { build(); }

    uint16_t word(int section, int slot, int index) {
        return static_cast<uint16_t>(program->getParameterWord(section, slot, index));
    }
};

// ---------------------------------------------------------------------------------------------------------
// Keys, long names and kernel targets of the rows.

using WordMapperRows = WordRig;

TEST_F(WordMapperRows, KeysNamesAndTargetsPerRow) {
    struct Case {
        int row;
        const char* key;
        const char* longName;
        int section, slot, word;
        uint16_t written; // by the value 0.75
    };
    const Case cases[] = {
        {0, "ULfoRate", "LFO Rate", kUpper, 23, 8, 12288},
        {92, "LLfoRate", "LFO Rate", kLower, 23, 8, 12288},
        {12, "ULpfCut", "Cutoff", kUpper, 5, 7, 12288},
        {104, "LLpfCut", "Cutoff", kLower, 5, 7, 12288},
        {3, "UOsc2Rng", "Oscillator 2 coarse", kUpper, 3, 10, 12288},
        {28, "UEnv2Rel", "Env 2 Release", kUpper, 6, 11, 12288},
        {44, "USeqSwng", "Sequence Swing", kUpper, 24, 13, 12288},
        {230, "LEnv1Pol", "Envelope 1 polarity", kLower, 7, 21, 1},
        {439, "UQorFree", "Quorbit Free Running", kUpper, 25, 22, 1},
        {441, "UQorSha1", "UQorSha1", kUpper, 25, 8, 3},
        {443, "UQorSha3", "UQorSha3", kUpper, 25, 10, 3},
        {450, "USeqS 1", "Step 0", kUpper, 24, 119, 12288},
        {481, "USeqS32", "Step 31", kUpper, 24, 150, 12288},
        {811, "LSeqS 1", "Step 0", kLower, 24, 119, 12288},
        {514, "USeqG 1", "USeqG 1", kUpper, 24, 55, 1},
        {545, "USeqG32", "USeqG32", kUpper, 24, 86, 1},
        {546, "USeqA 1", "USeqA 1", kUpper, 24, 23, 1},
        {938, "LSeqA32", "LSeqA32", kLower, 24, 54, 1},
        {579, "USeqMode", "Sequencer Mode", kUpper, 24, 14, 3},
        {581, "USeqQ", "Sequencer Time Quantize", kUpper, 24, 10, 96},
        {582, "USeqLen", "Sequence Length", kUpper, 24, 12, 24},
        {596, "UVeloY0", "Velocity Curve Y0", kUpper, 1, 31, 12288},
        {970, "LAfterY2", "Aftertouch Curve Y2", kLower, 1, 38, 12288},
        {186, "ArpRate", "ArpRate", kGlobal, 40, 13, 12288},
        {233, "ArpSync", "ArpSync", kGlobal, 40, 14, 1},
        {975, "ArpRange", "ArpRange", kGlobal, 40, 11, 3},
        {246, "LfoRiseT", "LFO Rise Time", kUpper, 30, 7, 12288},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row);
        EXPECT_EQ(table->getName(c.row), c.key);
        EXPECT_EQ(table->getLongName(c.row), c.longName);
        EXPECT_LE(table->getName(c.row).size(), 8u);
        // The twin layer keeps its word: a Lower row never writes the Upper part, nor the reverse.
        const int twin = c.section == kUpper ? kLower : kUpper;
        const uint16_t twinBefore = c.section == kGlobal ? 0 : word(twin, c.slot, c.word);
        ASSERT_NE(word(c.section, c.slot, c.word), c.written) << "a case must change its word";
        table->setParameter(c.row, 0.75f);
        EXPECT_EQ(word(c.section, c.slot, c.word), c.written);
        if (c.section != kGlobal && c.row != 246) {
            EXPECT_EQ(word(twin, c.slot, c.word), twinBefore);
        }
    }
}

TEST_F(WordMapperRows, PortamentoAndOtherMapperRowsHaveTheirKeys) {
    struct Case {
        int row;
        const char* key;
        const char* longName;
    };
    for (const Case& c : {Case{247, "PortSw", "Portamento Switch"}, Case{248, "Port", "Portamento"},
                          Case{10, "UOscMix", "Oscillator Mixer"}, Case{106, "LLpfSlop", "Filter slope"},
                          Case{215, "UOsc2CoT", "Oscillator 2 Low Freq"}, Case{224, "LOsc1Wav", "Oscillator 1 Wave Shape"},
                          Case{2, "UOsc1Rng", "Osc 1 Coarse"}, Case{222, "LLfoWave", "LFO Wave Shape"}}) {
        EXPECT_EQ(table->getName(c.row), c.key) << c.row;
        EXPECT_EQ(table->getLongName(c.row), c.longName) << c.row;
    }
}

// An echo of (slot, word) belongs to a word row exactly when both match; the part is not compared.
TEST_F(WordMapperRows, EchoesBelongToTheRowOfTheirWord) {
    struct Case {
        int row, slot, word;
        bool mine;
    };
    for (const Case c : {Case{13, 5, 8, true}, Case{13, 5, 7, false}, Case{13, 4, 8, false}, Case{105, 5, 8, true},
                         Case{213, 2, 12, true}, Case{213, 3, 12, false}, Case{2, 2, 7, true}, Case{246, 30, 7, true},
                         Case{246, 29, 7, false}, Case{186, 40, 13, true}})
        EXPECT_EQ(table->isMapperFor(c.row, c.slot, c.word), c.mine) << c.row << " " << c.slot << " " << c.word;
}

// Continuous rows are pushed again when the editor refreshes; stepped and two-word rows are not.
TEST_F(WordMapperRows, OnlyContinuousWordRowsAreContinuous) {
    for (int row : {0, 12, 450, 596, 186, 246}) EXPECT_FALSE(table->isDiscrete(row)) << row;
    for (int row : {2, 5, 10, 14, 213, 215, 579, 233, 247, 248}) EXPECT_TRUE(table->isDiscrete(row)) << row;
}

// ---------------------------------------------------------------------------------------------------------
// Stepped rows: the step of a value, the word of the step, the text and the read-back.

using WordMapperSteps = WordRig;

TEST_F(WordMapperSteps, ValuesWriteTheirStepsWordAndShowItsText) {
    struct Case {
        int row;
        float value;
        int section, slot, word;
        uint16_t written;
        const char* text;
    };
    const Case cases[] = {
        // Osc 1 Coarse, four steps: an octave down is the word -1.
        {2, 1.0f, kUpper, 2, 7, 2, "2'"},
        {2, 0.999f, kUpper, 2, 7, 2, "2'"},
        {2, 0.25f, kUpper, 2, 7, 0, "8'"},
        {2, 0.2499f, kUpper, 2, 7, 65535, "16'"},
        {2, -0.1f, kUpper, 2, 7, 65535, "16'"},
        {2, 7.0f, kUpper, 2, 7, 2, "2'"},
        {94, 0.6f, kLower, 2, 7, 1, "4'"},
        // Two steps read as a switch.
        {5, 0.75f, kUpper, 3, 11, 1, "On"},
        {5, 0.25f, kUpper, 3, 11, 0, "Off"},
        // Five and more steps show the number.
        {579, 0.0f, kUpper, 24, 14, 0, "0"},
        {579, 0.5f, kUpper, 24, 14, 2, "2"},
        {579, 1.0f, kUpper, 24, 14, 4, "4"},
        {581, 1.0f, kUpper, 24, 10, 128, "128"},
        {975, 0.8f, kGlobal, 40, 11, 3, "3"},
        // Wave choices with names of their own.
        {213, 0.1f, kUpper, 2, 12, 3, "Triangle"},
        {213, 0.3f, kUpper, 2, 12, 0, "Saw"},
        {213, 0.6f, kUpper, 2, 12, 1, "Rectangle"},
        {213, 0.9f, kUpper, 2, 12, 1, "Square"},
        {214, 0.1f, kUpper, 3, 12, 2, "Sine"},
        {214, 0.9f, kUpper, 3, 12, 5, "Noise"},
        {211, 0.6f, kUpper, 23, 16, 1, "Square"},
        {222, 0.3f, kLower, 23, 16, 0, "Saw"},
        {212, 0.75f, kUpper, 23, 11, 1, "On"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "row " << c.row << " at " << c.value);
        table->setParameter(c.row, c.value);
        EXPECT_EQ(word(c.section, c.slot, c.word), c.written);
        EXPECT_EQ(table->getText(c.row), c.text);
    }
}

TEST_F(WordMapperSteps, ReadBackIsTheStepCentreOrTheCachedValue) {
    table->setParameter(2, 0.0f);
    EXPECT_EQ(word(kUpper, 2, 7), 65535);
    EXPECT_FLOAT_EQ(table->getParameter(2), 0.125f) << "the word -1 reads back as step 0";
    table->setParameter(579, 0.7f);
    EXPECT_FLOAT_EQ(table->getParameter(579), 0.7f) << "step 3 of 5 has its centre at 0.7";
    // A word that no step writes (an older program) leaves the cached value standing.
    table->setParameter(2, 0.6f);
    program->setParameterWord(kUpper, 2, 7, -1, 9);
    EXPECT_FLOAT_EQ(table->getParameter(2), 0.6f);
}

// Rectangle and Square share the pulse word: only the cache remembers which one was chosen.
TEST_F(WordMapperSteps, Oscillator1WaveReadsTheCacheForThePulseWord) {
    struct Case {
        float value, readBack;
    };
    for (const Case c : {Case{0.1f, 0.125f}, Case{0.3f, 0.375f}, Case{0.6f, 0.6f}, Case{0.9f, 0.9f}}) {
        table->setParameter(213, c.value);
        EXPECT_FLOAT_EQ(table->getParameter(213), c.readBack) << c.value;
    }
    EXPECT_EQ(table->mapper(213)->getValue(213), -1.0f) << "the pulse word answers: use the cache";
    table->setParameter(224, 0.6f);
    EXPECT_EQ(word(kLower, 2, 12), 1);
    EXPECT_FLOAT_EQ(table->getParameter(224), 0.6f);
}

// Values outside 0..1, infinities and NaN reach no word outside the row's own steps or 14-bit range.
TEST_F(WordMapperSteps, ValuesOutsideTheRangeStayWithinTheSteps) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    struct Case {
        float value;
        uint16_t range, cutoff, sync;
    };
    for (const Case c : {Case{-inf, 65535, 0, 0}, Case{-3.0f, 65535, 0, 0}, Case{nan, 65535, 0, 0},
                         Case{3.0f, 2, 49152, 1}, Case{inf, 2, 65535, 1}}) {
        SCOPED_TRACE(c.value);
        // Straight to the mappers: the table itself drops non-finite values before they get here.
        for (int row : {2, 12, 5, 10, 14, 215, 213, 212, 246, 247, 248}) table->mapper(row)->setValue(row, c.value);
        EXPECT_EQ(word(kUpper, 2, 7), c.range);
        EXPECT_EQ(word(kUpper, 5, 7), c.cutoff);
        EXPECT_EQ(word(kUpper, 3, 11), c.sync);
        for (int row : {2, 12, 5, 10, 14, 215, 213, 212, 246, 247}) EXPECT_TRUE(std::isfinite(table->getParameter(row)));
    }
}

// ---------------------------------------------------------------------------------------------------------
// Oscillator 1's wave and the pulse-width rows it sends again.

// Stands at the pulse-width rows and notes what the table answers for the wave while it is pushed.
struct WaveWitness : ParameterMapper {
    WaveWitness(ParameterMapping& t, int waveRow) : ParameterMapper("", "", true), table(t), wave(waveRow) {}
    void setValue(int index, float) override { pushes.push_back({index, table.getParameter(wave)}); }
    float getValue(int) override { return kUseCachedValue; }
    struct Push {
        int index;
        float wave;
    };
    ParameterMapping& table;
    int wave;
    std::vector<Push> pushes;
};

using Oscillator1Wave = WordRig;

TEST_F(Oscillator1Wave, PulseChoicesPushThePulseWidthRowsWithTheNewWaveVisible) {
    for (int layer : {0, 1}) {
        const int waveRow = ParameterIndex::unfold(213, layer);
        auto witness = std::make_shared<WaveWitness>(*table, waveRow);
        table->placeLayerMapper(217, layer, witness);
        table->placeLayerMapper(8, layer, witness);
        struct Case {
            float value;
            bool pushes;
        };
        for (const Case c : {Case{0.375f, false}, Case{0.625f, true}, Case{0.125f, false}, Case{0.875f, true},
                             Case{0.625f, true}}) {
            SCOPED_TRACE(::testing::Message() << "layer " << layer << " wave " << c.value);
            witness->pushes.clear();
            table->setParameter(waveRow, c.value);
            if (!c.pushes) {
                EXPECT_TRUE(witness->pushes.empty());
                continue;
            }
            ASSERT_EQ(witness->pushes.size(), 2u);
            EXPECT_EQ(witness->pushes[0].index, 217 + 11 * layer) << "the mode first";
            EXPECT_EQ(witness->pushes[1].index, 8 + 92 * layer) << "then the amount";
            for (const WaveWitness::Push& p : witness->pushes) EXPECT_FLOAT_EQ(p.wave, c.value);
        }
    }
}

// With the table's own pulse-width rows: Square drops oscillator 1's pulse-width modulation, Rectangle brings
// it back (the envelope source is the mode the cache holds, 0).
TEST_F(Oscillator1Wave, RectangleKeepsItsPulseWidthModulation) {
    const auto modulated = [&] { return program->findConnection(kUpper, 7, 0, 0, 2, 2) >= 0; };
    ASSERT_TRUE(modulated()) << "the initial program modulates oscillator 1's pulse width";
    table->setParameter(213, 0.875f);
    EXPECT_FALSE(modulated()) << "Square";
    table->setParameter(213, 0.625f);
    EXPECT_TRUE(modulated()) << "Rectangle";
}

// ---------------------------------------------------------------------------------------------------------
// Rows whose words follow a rule of their own.

using WordMapperRules = WordRig;

TEST_F(WordMapperRules, OscillatorBalanceRoundTrips) {
    struct Case {
        float value;
        uint16_t first, second;
    };
    for (const Case c : {Case{0.5f, 16384, 16384}, Case{0.0f, 16384, 0}, Case{1.0f, 0, 16384},
                         Case{0.25f, 16384, 8192}, Case{0.75f, 8192, 16384}}) {
        SCOPED_TRACE(c.value);
        table->setParameter(10, c.value);
        EXPECT_EQ(word(kUpper, 9, 7), c.first);
        EXPECT_EQ(word(kUpper, 9, 8), c.second);
        EXPECT_FLOAT_EQ(table->getParameter(10), c.value);
    }
    table->setParameter(102, 0.0f);
    EXPECT_EQ(word(kLower, 9, 8), 0);
    EXPECT_EQ(word(kUpper, 9, 8), 16384);
}

TEST_F(WordMapperRules, FilterSlopeWritesItsModelAndSendsTheResonanceAgain) {
    struct Case {
        int layer;
        float value;
        uint16_t model;
        float readBack;
        const char* text;
    };
    for (const Case c : {Case{0, 0.25f, 0, 0.0f, "12dB"}, Case{0, 0.75f, 1, 1.0f, "24dB"}, Case{1, 0.1f, 0, 0.0f, "12dB"}}) {
        SCOPED_TRACE(::testing::Message() << "layer " << c.layer << " at " << c.value);
        const int section = c.layer + 1;
        const int resonanceRow = ParameterIndex::unfold(13, c.layer);
        table->setValue(resonanceRow, 0.6f); // cache only
        program->setParameterWord(section, 5, 8, -1, 0);
        table->setParameter(ParameterIndex::unfold(14, c.layer), c.value);
        EXPECT_EQ(word(section, 5, 11), c.model);
        EXPECT_EQ(word(section, 5, 8), 9830) << "0.6 of the resonance is sent again";
        EXPECT_EQ(table->getParameter(ParameterIndex::unfold(14, c.layer)), c.readBack);
        EXPECT_EQ(table->getText(ParameterIndex::unfold(14, c.layer)), c.text);
    }
}

TEST_F(WordMapperRules, Oscillator2LowFrequencySwitchesBothWords) {
    struct Case {
        int row, section;
        float value;
        uint16_t on;
        float readBack;
        const char* text;
    };
    for (const Case c : {Case{215, kUpper, 0.75f, 1, 0.75f, "On"}, Case{215, kUpper, 0.2f, 0, 0.25f, "Off"},
                         Case{226, kLower, 1.0f, 1, 0.75f, "On"}}) {
        SCOPED_TRACE(c.row);
        table->setParameter(c.row, c.value);
        EXPECT_EQ(word(c.section, 3, 17), c.on);
        EXPECT_EQ(word(c.section, 26, 13), c.on);
        EXPECT_FLOAT_EQ(table->getParameter(c.row), c.readBack);
        EXPECT_EQ(table->getText(c.row), c.text);
    }
}

TEST_F(WordMapperRules, LfoSyncSendsTheRateAgain) {
    for (int layer : {0, 1}) {
        const int section = layer + 1;
        table->setValue(ParameterIndex::unfold(0, layer), 0.3f); // cache only
        EXPECT_EQ(word(section, 23, 8), 0);
        table->setParameter(ParameterIndex::unfold(212, layer), 0.75f);
        EXPECT_EQ(word(section, 23, 11), 1) << layer;
        EXPECT_EQ(word(section, 23, 8), 4915) << layer;
    }
}

TEST_F(WordMapperRules, LfoRiseTimeWritesBothLayersAndReadsUpper) {
    table->setParameter(246, 0.25f);
    EXPECT_EQ(word(kUpper, 30, 7), 4096);
    EXPECT_EQ(word(kLower, 30, 7), 4096);
    program->setParameterWord(kLower, 30, 7, -1, 12288);
    EXPECT_FLOAT_EQ(table->getParameter(246), 0.25f);
    program->setParameterWord(kUpper, 30, 7, -1, 8192);
    EXPECT_FLOAT_EQ(table->getParameter(246), 0.5f);
}

// ---------------------------------------------------------------------------------------------------------
// Portamento: one switch of three positions and one time, both global.

using Portamento = WordRig;

// The switch acts by thirds of its range but names its position by quarters: below a quarter "On", from
// there to three quarters "Off", above "Up". Its positions, the step centres, read alike both ways.
TEST_F(Portamento, TheSwitchSendsTheTimeWhereItsStepSaysAndNamesItByQuarters) {
    constexpr uint16_t kUntouched = 1234;
    constexpr uint16_t kHalf = 8192, kQuarter = 4096;
    struct Case {
        float value;
        const char* text;
        uint16_t part1, part2, part3;              // after the switch, with the time cached at 0.5
        uint16_t timePart1, timePart2, timePart3;  // after the time is then set to 0.25
    };
    const Case cases[] = {
        {0.3f, "Off", kHalf, kHalf, kHalf, kQuarter, kQuarter, kHalf},
        {1.0f / 6.0f, "On", kHalf, kHalf, kHalf, kQuarter, kQuarter, kHalf},
        {0.2f, "On", kHalf, kHalf, kHalf, kQuarter, kQuarter, kHalf},
        {0.5f, "Off", 0, 0, 0, 0, 0, 0},
        {0.7f, "Off", kHalf, 0, kUntouched, kQuarter, 0, kUntouched},
        {5.0f / 6.0f, "Up", kHalf, 0, kUntouched, kQuarter, 0, kUntouched},
        {0.8f, "Up", kHalf, 0, kUntouched, kQuarter, 0, kUntouched},
        {0.25f, "On", kHalf, kHalf, kHalf, kQuarter, kQuarter, kHalf},
        {0.75f, "Up", kHalf, 0, kUntouched, kQuarter, 0, kUntouched},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        for (int part = 1; part <= 3; ++part) program->setParameterWord(part, 1, 20, -1, kUntouched);
        table->setValue(248, 0.5f); // cache only
        table->setParameter(247, c.value);
        EXPECT_EQ(table->getText(247), c.text);
        EXPECT_EQ(word(1, 1, 20), c.part1);
        EXPECT_EQ(word(2, 1, 20), c.part2);
        EXPECT_EQ(word(3, 1, 20), c.part3);
        table->setParameter(248, 0.25f);
        EXPECT_EQ(word(1, 1, 20), c.timePart1);
        EXPECT_EQ(word(2, 1, 20), c.timePart2);
        EXPECT_EQ(word(3, 1, 20), c.timePart3);
        EXPECT_EQ(table->getParameter(247), 0.0f) << "the switch is never read back";
        EXPECT_FLOAT_EQ(table->getParameter(248), 0.25f) << "the time reads back from the cache";
    }
}

// The third kernel part has no layer rows, but the switch reaches it: the kernel takes the word and plays on.
TEST_F(Portamento, TheUnstartedThirdPartTakesTheWordWithoutHarm) {
    table->setValue(248, 0.5f);
    const int before = kernel->pendingMessageCount();
    table->setParameter(247, 0.1f);
    EXPECT_EQ(kernel->pendingMessageCount(), before + 3);
    float left[32], right[32];
    float* outs[2] = {left, right};
    kernel->sendMidiNote(0x90, 60, 100);
    for (int i = 0; i < 20; ++i) {
        kernel->processBlock(2, outs, 32);
        ASSERT_EQ(testing::badSamples(left, 32) + testing::badSamples(right, 32), 0);
    }
    EXPECT_EQ(kernel->pendingMessageCount(), 0);
}

// ---------------------------------------------------------------------------------------------------------
// What the table's knobs do to the sound of a note.

class WordMapperSound : public WordRig {
protected:
    static constexpr double kRate = 44100.0;

    void SetUp() override {
        WordRig::SetUp();
        table->setParameter(10, 0.0f); // oscillator 1 alone
    }

    // Middle C held for `hold` seconds, then `tail` seconds more.
    std::vector<float> play(double hold, double tail) {
        for (int i = 0; i < 8; ++i) render(); // the program's and the table's messages arrive first
        std::vector<float> out;
        float left[32], right[32];
        float* outs[2] = {left, right};
        kernel->sendMidiNote(0x90, 60, 100);
        const int holdBlocks = static_cast<int>(hold * kRate / 32.0);
        const int blocks = holdBlocks + static_cast<int>(tail * kRate / 32.0);
        for (int i = 0; i < blocks; ++i) {
            if (i == holdBlocks) kernel->sendMidiNote(0x80, 60, 0);
            kernel->processBlock(2, outs, 32);
            out.insert(out.end(), left, left + 32);
        }
        EXPECT_EQ(testing::badSamples(out.data(), out.size()), 0);
        return out;
    }

    static std::vector<float> window(const std::vector<float>& x, double from, double to) {
        const auto at = [&](double s) { return std::min(x.size(), static_cast<size_t>(s * kRate)); };
        return std::vector<float>(x.begin() + static_cast<long>(at(from)), x.begin() + static_cast<long>(at(to)));
    }

    // Amplitude of one frequency (Goertzel, Hann-windowed so that neighbouring harmonics do not leak in).
    static double amplitudeAt(const std::vector<float>& x, double frequency) {
        const double w = 2.0 * kPi * frequency / kRate;
        double re = 0.0, im = 0.0;
        const double n = static_cast<double>(x.size());
        for (size_t i = 0; i < x.size(); ++i) {
            const double hann = 0.5 - 0.5 * std::cos(2.0 * kPi * static_cast<double>(i) / n);
            re += hann * x[i] * std::cos(w * static_cast<double>(i));
            im -= hann * x[i] * std::sin(w * static_cast<double>(i));
        }
        return 2.0 * std::sqrt(re * re + im * im) / (0.5 * n);
    }

    // Share of the signal's energy above 2 kHz, from the spectrum's harmonics of the measured pitch.
    static double energyAbove(const std::vector<float>& x, double pitch, double from) {
        double high = 0.0, all = 0.0;
        for (double f = pitch; f < 16000.0; f += pitch) {
            const double a = amplitudeAt(x, f);
            all += a * a;
            if (f > from) high += a * a;
        }
        return high / all;
    }
};

TEST_F(WordMapperSound, ALowCutoffTakesTheHighHarmonicsAway) {
    double share[2];
    const float cutoffs[2] = {1.0f, 0.25f};
    for (int i = 0; i < 2; ++i) {
        SetUp();
        table->setParameter(12, cutoffs[i]);
        const std::vector<float> held = window(play(0.5, 0.0), 0.25, 0.5);
        const double pitch = testing::autocorrelationFrequency(held, kRate, 100.0, 1000.0);
        ASSERT_NEAR(pitch, 261.63, 2.0);
        share[i] = energyAbove(held, pitch, 2000.0);
    }
    // An open filter passes a sawtooth's harmonics above 2 kHz (8% of an ideal sawtooth's energy, by 1/n^2,
    // less the oscillator's own tone shaping); a filter near 100 Hz leaves almost none of them.
    EXPECT_GT(share[0], 0.02);
    EXPECT_LT(share[1], 0.01 * share[0]);
}

// Envelope 2 shapes the amplifier: its release falls by 80 dB over the release time, so 20 dB over a quarter of it.
TEST_F(WordMapperSound, Envelope2ReleaseSetsTheFadeTime) {
    struct Case {
        float value;
        double releaseMs;
    };
    for (const Case c : {Case{1.0f / 6.0f, 62.0}, Case{2.0f / 6.0f, 697.0}}) {
        SCOPED_TRACE(c.value);
        SetUp();
        table->setParameter(28, c.value);
        const double hold = 0.2;
        const std::vector<float> take = play(hold, 0.5);
        const double level = testing::rms(window(take, 0.1, hold));
        // The first 10 ms window after the note-off whose level is 20 dB down.
        double fallMs = -1.0;
        for (double t = hold; t + 0.01 < 0.7 && fallMs < 0.0; t += 0.0005)
            if (testing::rms(window(take, t, t + 0.01)) < 0.1 * level) fallMs = (t + 0.005 - hold) * 1000.0;
        EXPECT_NEAR(fallMs, c.releaseMs / 4.0, 0.15 * c.releaseMs / 4.0 + 3.0);
    }
}

// A square has (almost) no even harmonics; a sawtooth's second harmonic is half its first.
TEST_F(WordMapperSound, Oscillator1WaveChangesTheHarmonics) {
    struct Case {
        float value;
        double low, high; // second harmonic / first
    };
    for (const Case c : {Case{0.375f, 0.4, 0.6}, Case{0.875f, 0.0, 0.05}}) {
        SCOPED_TRACE(c.value);
        SetUp();
        // A fixed pulse width, so that the pulse is square whichever pulse-width rows stand in the table.
        program->disconnect(kUpper, 7, 0, 0, 2, 2);
        program->setParameter(kUpper, 2, 8, 0.0f);
        table->setParameter(213, c.value);
        const std::vector<float> held = window(play(0.5, 0.0), 0.1, 0.5);
        const double pitch = testing::autocorrelationFrequency(held, kRate, 100.0, 1000.0);
        ASSERT_NEAR(pitch, 261.63, 2.0);
        const double ratio = amplitudeAt(held, 2.0 * pitch) / amplitudeAt(held, pitch);
        EXPECT_GT(ratio, c.low);
        EXPECT_LT(ratio, c.high);
    }
}

} // namespace
} // namespace corvex
