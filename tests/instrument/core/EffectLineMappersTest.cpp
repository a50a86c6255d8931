// The rows of an insert-effect chain under each effect: the module words they write and read, their
// names and texts, the modulation routes into the effect, and values no row may act on.
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "instrument/params/EffectSelectorMapper.h"
#include "tests/instrument/core/EffectChainRig.h"

namespace corvex {
namespace {

using testing::Link;
using namespace testing; // the effect choices

class EffectLines : public testing::EffectChainRig {};

// Chain 1's module slot of each effect choice.
constexpr int kSlot[6] = {-1, 12, 14, 16, 18, 10};

// 0.123 is no word any effect starts with: trunc(0.123 x 16384) = 2015.
constexpr float kOddValue = 0.123f;
constexpr int kOddWord = 2015;

struct WordCase {
    int effect;
    int row; // Upper chain 1
    float value;
    int word;       // the module's parameter word
    int expected;   // what it holds afterwards
    float readBack; // what the row reads from it
};
constexpr WordCase kWordCases[] = {
    {kChorus, 48, kOddValue, 17, kOddWord, kOddWord / 16384.0f},
    {kChorus, 49, kOddValue, 8, kOddWord, kOddWord / 16384.0f},
    {kChorus, 51, kOddValue, 12, kOddWord, kOddWord / 16384.0f},
    {kChorus, 53, kOddValue, 9, kOddWord, kOddWord / 16384.0f},
    {kChorus, 55, kOddValue, 10, kOddWord, kOddWord / 16384.0f},
    {kChorus, 57, kOddValue, 13, kOddWord, kOddWord / 16384.0f},
    {kChorus, 69, kOddValue, 18, kOddWord, kOddWord / 16384.0f},
    {kChorus, 329, 0.7f, 19, 1, 0.75f},
    {kChorus, 330, 0.2f, 16, 0, 0.25f},
    {kChorus, 331, 0.6f, 7, 2, 0.625f},
    {kDistortion, 48, kOddValue, 14, kOddWord, kOddWord / 16384.0f},
    {kDistortion, 49, kOddValue, 8, kOddWord, kOddWord / 16384.0f},
    {kDistortion, 51, kOddValue, 7, kOddWord, kOddWord / 16384.0f},
    {kDistortion, 53, kOddValue, 15, kOddWord, kOddWord / 16384.0f},
    {kDistortion, 67, 0.9f, 12, 1, 0.75f},
    {kDistortion, 69, kOddValue, 17, kOddWord, kOddWord / 16384.0f},
    {kDistortion, 332, 0.6f, 18, 1, 0.75f},
    {kEq, 48, kOddValue, 21, kOddWord, kOddWord / 16384.0f},
    {kEq, 49, kOddValue, 7, kOddWord, kOddWord / 16384.0f},
    {kEq, 51, kOddValue, 8, kOddWord, kOddWord / 16384.0f},
    {kEq, 53, kOddValue, 9, kOddWord, kOddWord / 16384.0f},
    {kEq, 55, kOddValue, 10, kOddWord, kOddWord / 16384.0f},
    {kEq, 57, kOddValue, 11, kOddWord, kOddWord / 16384.0f},
    {kEq, 59, kOddValue, 12, kOddWord, kOddWord / 16384.0f},
    {kEq, 61, kOddValue, 13, kOddWord, kOddWord / 16384.0f},
    {kEq, 63, kOddValue, 14, kOddWord, kOddWord / 16384.0f},
    {kEq, 65, kOddValue, 15, kOddWord, kOddWord / 16384.0f},
    {kEq, 67, kOddValue, 16, kOddWord, kOddWord / 16384.0f},
    {kEq, 69, kOddValue, 23, kOddWord, kOddWord / 16384.0f},
    {kEq, 334, 0.6f, 24, 1, 0.75f},
    {kEq, 335, 0.6f, 17, 1, 0.75f},
    {kEq, 336, 0.6f, 18, 1, 0.75f},
    {kEq, 337, 0.6f, 19, 1, 0.75f},
    {kEq, 338, 0.6f, 20, 1, 0.75f},
    {kPhaser, 48, kOddValue, 13, kOddWord, kOddWord / 16384.0f},
    {kPhaser, 49, kOddValue, 9, kOddWord, kOddWord / 16384.0f},
    {kPhaser, 51, kOddValue, 8, kOddWord, kOddWord / 16384.0f},
    {kPhaser, 53, kOddValue, 10, kOddWord, kOddWord / 16384.0f},
    {kPhaser, 55, kOddValue, 11, kOddWord, kOddWord / 16384.0f},
    {kPhaser, 69, kOddValue, 18, kOddWord, kOddWord / 16384.0f},
    {kPhaser, 339, 0.6f, 19, 1, 0.75f},
    {kPhaser, 340, 0.8f, 14, 3, 0.875f},
    {kPhaser, 341, 0.0f, 7, 2, 0.1f}, // two stages at least
    {kPhaser, 341, 0.5f, 7, 4, 0.5f},
    {kPhaser, 341, 1.0f, 7, 6, 0.9f},
    {kPhaser, 342, 0.6f, 17, 1, 0.75f},
    {kRingMod, 48, kOddValue, 15, kOddWord, kOddWord / 16384.0f},
    {kRingMod, 49, kOddValue, 7, kOddWord, kOddWord / 16384.0f},
    {kRingMod, 51, kOddValue, 8, kOddWord, kOddWord / 16384.0f},
    {kRingMod, 53, kOddValue, 10, kOddWord, kOddWord / 16384.0f},
    {kRingMod, 55, kOddValue, 12, kOddWord, kOddWord / 16384.0f},
    {kRingMod, 69, kOddValue, 16, kOddWord, kOddWord / 16384.0f},
    {kRingMod, 343, 0.6f, 17, 1, 0.75f},
};

TEST_F(EffectLines, EachRowWritesAndReadsItsModuleWord) {
    for (const WordCase& c : kWordCases) {
        SCOPED_TRACE("effect " + std::to_string(c.effect) + " row " + std::to_string(c.row));
        choose(c.effect);
        deliver();
        // The second chain's module of the same effect is the next slot; the Lower layer's is in part 2.
        const int secondChain = word(1, kSlot[c.effect] + 1, c.word);
        const int lowerLayer = word(2, kSlot[c.effect], c.word);
        table->setParameter(c.row, c.value);
        EXPECT_EQ(word(1, kSlot[c.effect], c.word), c.expected);
        EXPECT_EQ(posted(), 1) << "one parameter message";
        EXPECT_FLOAT_EQ(table->getParameter(c.row), c.readBack);
        EXPECT_EQ(word(1, kSlot[c.effect] + 1, c.word), secondChain);
        EXPECT_EQ(word(2, kSlot[c.effect], c.word), lowerLayer);
        deliver();
    }
}

TEST_F(EffectLines, StagesOfAPhaserReadBelowTwoAsTwo) {
    choose(kPhaser);
    program->setParameterWord(1, 18, 7, -1, 0); // as a program may carry it
    EXPECT_FLOAT_EQ(table->getParameter(341), 0.1f);
    program->setParameterWord(1, 18, 7, -1, 40);
    EXPECT_FLOAT_EQ(table->getParameter(341), 0.9f);
}

struct NameCase {
    int effect;
    int row;
    const char* longName;
    bool discrete;
    float value;
    const char* text;
};
constexpr NameCase kNameCases[] = {
    {kChorus, 48, "Chorus Flanger Dry/Wet", true, 0.25f, "25.0%"},
    {kChorus, 49, "Chorus Flanger Delay", false, 0.5f, "0.500"},
    {kChorus, 50, "Chorus Flanger Delay Modulation Amount", true, 0.5f, "0.500"},
    {kChorus, 55, "Chorus Flanger Amount", true, 0.5f, "0.500"},
    {kChorus, 261, "Chorus Flanger Feedback  Modulation Source", true, 0.5f, "0.500"},
    {kChorus, 263, "Chorus Flanger Amount  Modulation Source", true, 0.5f, "0.500"},
    {kChorus, 329, "Chorus Flanger Bypass", false, 1.0f, "1.000"},
    {kChorus, 331, "Chorus Flanger Type", true, 0.0f, "1 Stages"},
    {kChorus, 331, "Chorus Flanger Type", true, 0.6f, "3 Stages"},
    {kChorus, 331, "Chorus Flanger Type", true, 1.0f, "4 Stages"},
    {kDistortion, 48, "Distortion Dry/Wet", true, 0.333f, "33.3%"},
    {kDistortion, 53, "Distortion Symetry", true, 0.5f, "0.500"},
    {kDistortion, 67, "Distortion Quality", true, 0.5f, "0.500"},
    {kDistortion, 69, "Distortion Output", false, 0.5f, "0.500"},
    {kDistortion, 281, "Distortion Feedback Modulation Source", true, 0.5f, "0.500"},
    {kEq, 48, "EQ Dry/Wet", true, 1.0f, "100.0%"},
    {kEq, 51, "EQ LF shelf gain", false, 0.5f, "0.500"},
    {kEq, 58, "EQ Peak 1 Q Modulation Amount", true, 0.5f, "0.500"},
    {kEq, 68, "EQ HF shelf gain Modulation Amount", true, 0.5f, "0.500"},
    {kEq, 309, "EQ HF shelf gain Modulation Source", true, 0.5f, "0.500"},
    {kEq, 334, "EQ bypass", false, 0.5f, "0.500"},
    {kEq, 338, "EQ HF Shelf On/Off", false, 0.5f, "0.500"},
    {kPhaser, 51, "Phaser Feedback", true, 0.5f, "0.500"},
    {kPhaser, 56, "Phaser Sweep Rate Modulation Amount", true, 0.5f, "0.500"},
    {kPhaser, 313, "Phaser Sweep Rate Modulation Source", true, 0.5f, "0.500"},
    {kPhaser, 341, "Phaser Stages Number", false, 0.5f, "0.500"},
    {kRingMod, 48, "RingMod Dry/Wet", true, 0.0f, "0.0%"},
    {kRingMod, 50, "Ring Mod Mod freq Modulation Amount", true, 0.5f, "0.500"},
    {kRingMod, 55, "Ring Mod Decay", true, 0.5f, "0.500"},
    {kRingMod, 321, "Ring Mod Mod amount Modulation Source", true, 0.5f, "0.500"},
    {kRingMod, 343, "", false, 0.5f, "0.500"},
    // Rows the effect does not use.
    {kChorus, 58, "", true, 0.5f, "0.500"},
    {kDistortion, 55, "", true, 0.5f, "0.500"},
    {kEq, 260, "", true, 0.5f, "0.500"},
    {kPhaser, 57, "", true, 0.5f, "0.500"},
    {kRingMod, 57, "", true, 0.5f, "0.500"},
};

TEST_F(EffectLines, LongNamesFlagsAndTextsFollowTheEffect) {
    for (const NameCase& c : kNameCases) {
        SCOPED_TRACE("effect " + std::to_string(c.effect) + " row " + std::to_string(c.row));
        choose(c.effect);
        EXPECT_EQ(table->getLongName(c.row), c.longName);
        EXPECT_EQ(table->isDiscrete(c.row), c.discrete);
        EXPECT_EQ(table->mapper(c.row)->getText(c.row, c.value), c.text);
        // The second chain and the Lower layer say the same under the same effect.
        choose(c.effect, 1, 1);
        EXPECT_EQ(table->getLongName(row(c.row, 1, 1)), c.longName);
        EXPECT_EQ(table->mapper(row(c.row, 1, 1))->getText(row(c.row, 1, 1), c.value), c.text);
    }
}

TEST_F(EffectLines, RowsTheEffectDoesNotUseAreIgnored) {
    choose(kDistortion);
    deliver();
    for (int r : {54, 55, 68, 250, 260, 331, 343}) {
        table->setParameter(r, 0.4f);
        EXPECT_EQ(posted(), 0) << r;
        EXPECT_EQ(table->mapper(r)->getValue(r), -1.0f) << r;
        EXPECT_FLOAT_EQ(table->getParameter(r), 0.4f) << r << ": the cache answers";
    }
}

TEST_F(EffectLines, ModulationSourceRewiresTheInputAndPushesItsAmountAgain) {
    choose(kChorus);
    const Link fromEnvelope1{7, 0, 12, 2}, fromLfo{29, 0, 12, 2}, fromVelocity{1, 4, 12, 2};
    table->setValue(50, 0.25f); // "Chorus Flanger Delay Modulation Amount"
    table->setParameter(260, sourceValue(2)); // "Envelope 1"
    ASSERT_TRUE(has(1, fromEnvelope1));
    EXPECT_EQ(amount(1, fromEnvelope1), 4096) << "the amount row's value, not a full-scale default";
    EXPECT_EQ(programList(1).record(program->findConnection(1, 7, 0, 0, 12, 2)).second, 0);
    EXPECT_FLOAT_EQ(table->getParameter(260), 0.25f);
    EXPECT_FLOAT_EQ(table->getParameter(50), 0.25f);

    table->setValue(50, 0.75f);
    table->setParameter(260, sourceValue(6)); // "LFO"
    EXPECT_FALSE(has(1, fromEnvelope1));
    ASSERT_TRUE(has(1, fromLfo));
    EXPECT_EQ(amount(1, fromLfo), 12288);

    // The same source again keeps its connection; only the amount is pushed.
    table->setValue(50, 0.5f);
    deliver();
    const int record = program->findConnection(1, 29, 0, 0, 12, 2);
    table->setParameter(260, 0.69f);
    EXPECT_EQ(program->findConnection(1, 29, 0, 0, 12, 2), record);
    EXPECT_EQ(amount(1, fromLfo), 8192);
    EXPECT_EQ(posted(), 1) << "the amount message alone";

    // A second source on the same input (a program may carry one): the amount reaches both, the
    // first in source order answers, and a new choice removes both.
    program->connect(1, 1, 4, 0, 12, 2, 100, 0);
    table->setParameter(50, 0.125f);
    EXPECT_EQ(amount(1, fromLfo), 2048);
    EXPECT_EQ(amount(1, fromVelocity), 2048);
    EXPECT_FLOAT_EQ(table->getParameter(260), 0.65f);
    table->setParameter(260, sourceValue(1)); // "Key Follow"
    EXPECT_FALSE(has(1, fromLfo));
    EXPECT_FALSE(has(1, fromVelocity));
    EXPECT_TRUE(has(1, {1, 0, 12, 2}));
    EXPECT_EQ(amount(1, {1, 0, 12, 2}), 2048);

    // "None" removes every source of the input and makes none.
    const int before = programList(1).count();
    table->setParameter(260, sourceValue(0));
    EXPECT_EQ(programList(1).count(), before - 1);
    EXPECT_FLOAT_EQ(table->getParameter(260), 0.0f);
    EXPECT_EQ(table->mapper(50)->getValue(50), -1.0f);
    deliver();
    EXPECT_EQ(records(kernelList(1)), records(programList(1)));

    // Other inputs keep their own sources.
    table->setParameter(262, sourceValue(9)); // rate from aftertouch, input 3
    table->setParameter(263, sourceValue(9)); // amount from aftertouch, input 4
    EXPECT_TRUE(has(1, {1, 6, 12, 3}));
    EXPECT_TRUE(has(1, {1, 6, 12, 4}));
    table->setParameter(263, sourceValue(0));
    EXPECT_TRUE(has(1, {1, 6, 12, 3}));
}

TEST_F(EffectLines, EachEffectsSourcesFeedTheirOwnInputs) {
    struct Case {
        int effect, sourceRow, amountRow, input;
    };
    for (const Case c : {Case{kDistortion, 280, 50, 2}, Case{kDistortion, 281, 52, 3}, Case{kEq, 300, 50, 2},
                         Case{kEq, 305, 60, 7}, Case{kEq, 309, 68, 11}, Case{kPhaser, 310, 50, 3},
                         Case{kPhaser, 313, 56, 2}, Case{kRingMod, 320, 50, 3}, Case{kRingMod, 321, 52, 4},
                         Case{kChorus, 261, 52, 5}}) {
        SCOPED_TRACE("effect " + std::to_string(c.effect) + " row " + std::to_string(c.sourceRow));
        choose(c.effect);
        table->setValue(c.amountRow, 0.5f);
        table->setParameter(c.sourceRow, sourceValue(4)); // "Quorbit X Rotated"
        const Link link{25, 4, kSlot[c.effect], c.input};
        ASSERT_TRUE(has(1, link));
        EXPECT_EQ(amount(1, link), 8192);
        table->setParameter(c.amountRow, 0.25f);
        EXPECT_EQ(amount(1, link), 4096);
        table->setParameter(c.sourceRow, sourceValue(0));
        EXPECT_FALSE(has(1, link));
    }
}

// Changing the effect leaves -1.0 in the chain's cached values: the mark that tells readers to fetch
// the rows again. Pushed back into a row it must change nothing, least of all become a word or an amount.
TEST_F(EffectLines, TheReReadMarkIsNeverWrittenAsAValue) {
    choose(kChorus);
    ASSERT_EQ(table->getCachedValue(50), -1.0f);
    table->setParameter(260, sourceValue(3)); // "Envelope 2"; the amount row holds the mark
    ASSERT_TRUE(has(1, {6, 0, 12, 2}));
    EXPECT_EQ(amount(1, {6, 0, 12, 2}), 16384) << "the new route keeps its own amount";
    EXPECT_FLOAT_EQ(table->getParameter(50), 1.0f);

    deliver();
    const int delay = word(1, 12, 8);
    EXPECT_FALSE(table->refreshParameter(49)) << "a continuous row is pushed by a refresh";
    table->pushCachedValue(69);
    table->pushCachedValue(50);
    table->setValue(249, -1.0f);
    table->pushCachedValue(249);
    EXPECT_EQ(posted(), 0);
    EXPECT_EQ(word(1, 12, 8), delay);
    EXPECT_EQ(static_cast<EffectSelectorMapper*>(table->mapper(249))->currentChoice(), kChorus);
    EXPECT_EQ(table->getLongName(49), "Chorus Flanger Delay");
}

TEST_F(EffectLines, ValuesOutOfRangeAreClampedAndNonFiniteOnesIgnored) {
    constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
    constexpr float kInf = std::numeric_limits<float>::infinity();
    for (int effect = kChorus; effect <= kRingMod; ++effect) {
        choose(effect);
        deliver();
        EffectLineMapper* line = static_cast<EffectSelectorMapper*>(table->mapper(249))->lineMapper(effect);
        for (int r = 48; r <= 343; r = r == 69 ? 249 : r + 1) {
            for (float bad : {kNaN, kInf, -kInf, -1.0f}) {
                table->mapper(r)->setValue(r, bad);
                line->setValue(r, bad); // the line mapper on its own, as a test or a later caller may reach it
                ASSERT_EQ(posted(), 0) << "effect " << effect << " row " << r << " value " << bad;
            }
            for (float wild : {1e30f, -1e30f, 2.0f, -0.5f}) table->mapper(r)->setValue(r, wild);
            choose(effect); // a wild selector value chose another effect
            deliver();
        }
    }
    struct Case {
        int effect, row;
        float value;
        int word;
        int wordValue;
    };
    // Continuous words saturate at the ends of the signed range rather than wrap.
    for (const Case c : {Case{kChorus, 49, 1e30f, 8, 32767}, Case{kChorus, 49, -1e30f, 8, -32768},
                         Case{kChorus, 49, 2.0f, 8, 32767}, Case{kChorus, 49, -0.5f, 8, -8192},
                         Case{kChorus, 331, 1e30f, 7, 3}, Case{kChorus, 331, -1e30f, 7, 0},
                         Case{kPhaser, 341, 7.0f, 7, 6}, Case{kPhaser, 341, -7.0f, 7, 2},
                         Case{kEq, 334, 1.5f, 24, 1}}) {
        choose(c.effect);
        table->setParameter(c.row, c.value);
        EXPECT_EQ(word(1, kSlot[c.effect], c.word), c.wordValue) << c.row << " at " << c.value;
    }
    choose(kChorus);
    table->setParameter(50, 0.0f);
    table->setParameter(260, 1e30f);
    EXPECT_TRUE(has(1, {1, 6, 12, 2})) << "past the end is the last source";
    table->setParameter(50, -1e30f);
    EXPECT_EQ(amount(1, {1, 6, 12, 2}), -32768);
    table->setParameter(260, -1e30f);
    EXPECT_FALSE(has(1, {1, 6, 12, 2})) << "before the start is no source";
    deliver();
    for (float bad : {kNaN, kInf, -kInf}) {
        table->mapper(249)->setValue(249, bad);
        EXPECT_EQ(posted(), 0);
    }
    EXPECT_EQ(static_cast<EffectSelectorMapper*>(table->mapper(249))->currentChoice(), kChorus);
}

TEST_F(EffectLines, ChoosingAnEffectAgainShowsWhatItWasLastGiven) {
    choose(kChorus);
    table->setParameter(49, kOddValue);
    table->setValue(50, 0.5f);
    table->setParameter(260, sourceValue(2));
    choose(kPhaser);
    table->setParameter(49, 0.5f);
    EXPECT_EQ(table->getLongName(49), "Phaser Sweep Start");
    choose(kChorus);
    EXPECT_FLOAT_EQ(table->getParameter(49), kOddWord / 16384.0f);
    EXPECT_FLOAT_EQ(table->getParameter(260), 0.25f);
    EXPECT_FLOAT_EQ(table->getParameter(50), 0.5f);
    EXPECT_EQ(word(1, 18, 9), 8192) << "the phaser keeps its own";
}

} // namespace
} // namespace corvex
