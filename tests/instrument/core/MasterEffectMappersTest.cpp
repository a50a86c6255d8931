// The two master-effect slots: choosing an effect rebuilds the slot (and only when the choice changes),
// parameter rows land in the hosted block and reach the hosted effect under its own numbers, values
// round trip, bad values are harmless, and the rows' keys, long names and texts follow the choice.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "engine/kernel/KernelMessage.h"
#include "engine/program/CorvanKernelProgram.h"
#include "instrument/params/CorvanParameters.h"
#include "instrument/params/MasterEffectMappers.h"
#include "tests/instrument/core/ParameterRig.h"

namespace corvex {
namespace {

constexpr int kNoEffect = 0, kChorus = 1, kDelay = 2, kReverb = 3, kPhaser = 4;
constexpr const int (&kChoiceRow)[2] = ParameterIndex::kMasterEffectType;
constexpr int kEffectSlotType = ModuleType::EffectSlot;

using testing::Heard;

// A posted parameter message as the kernel reads it.
struct PostedParameter {
    int section, moduleType, instance, parameter, value;
};

class MasterEffects : public ::testing::Test, protected testing::ParameterRig {
protected:
    void SetUp() override {
        build(&heard);
        deliver();
        heard.changes.clear();
    }

    void deliver() { kernel->processPendingMessages(1000); }
    int posted() const { return kernel->pendingMessageCount(); }
    std::vector<PostedParameter> postedParameters() const {
        std::vector<PostedParameter> out;
        for (int i = 0; i < kernel->pendingMessageCount(); ++i) {
            const KernelMessage& m = kernel->pendingMessage(i);
            if ((m.words[0] & 255) != MessageType::SetParameter) continue;
            out.push_back({m.words[0] >> 8, m.words[1] >> 8, m.words[2] & 255, m.words[2] >> 8, m.words[3]});
        }
        return out;
    }

    void choose(int slot, int choice) {
        table->setParameter(kChoiceRow[slot], ParameterMapping::stepToValue(choice, 5));
    }
    // A word of master-effect slot 0 or 1 (module slots 35 and 36).
    int word(int slot, int w) const { return program->getBlock(0, 35 + slot).words[w]; }
    int hostedType(int slot) const { return word(slot, 11) >> 8; }
    std::vector<int> slotWords(int slot) const {
        const uint16_t* b = program->getBlock(0, 35 + slot).words;
        return std::vector<int>(b, b + 40);
    }
    ParameterMapper& mapperAt(int index) const { return *table->mapper(index); }

    Heard heard;
};

TEST_F(MasterEffects, BothSlotsServeTwentySixRowsThroughOneSelectorEach) {
    for (int slot = 0; slot < 2; ++slot) {
        ParameterMapper* selector = table->mapper(kChoiceRow[slot]);
        ASSERT_NE(dynamic_cast<FxSelectorMapper*>(selector), nullptr);
        int rows = 0;
        for (int i = 0; i < ParameterMapping::kCount; ++i) rows += table->mapper(i) == selector ? 1 : 0;
        EXPECT_EQ(rows, 26) << slot;
        EXPECT_EQ(table->mapper(189 + 11 * slot), selector);
        EXPECT_EQ(table->mapper(199 + 11 * slot), selector);
        EXPECT_EQ(table->mapper(993 + 15 * slot), selector);
    }
}

TEST_F(MasterEffects, ChoiceBuildsTheEffectsDefaultsAndAsksTheEditorToReRead) {
    choose(0, kDelay);
    EXPECT_EQ(hostedType(0), 28);
    EXPECT_EQ(word(0, 7), kDelay);
    EXPECT_EQ(word(0, 8), 1);
    // The delay's written defaults.
    for (int w : {17, 18}) EXPECT_EQ(word(0, w), 11468) << w;
    EXPECT_EQ(word(0, 24), 14745);
    EXPECT_EQ(word(0, 29), 12288);
    ASSERT_EQ(posted(), 1);
    EXPECT_EQ(kernel->pendingMessage(0).words[0] & 255, MessageType::ModuleData);

    // Every parameter row of the slot, in order; not the choice row, and nothing of slot 2.
    std::vector<int> expected;
    for (int i = 189; i <= 199; ++i) expected.push_back(i);
    for (int i = 980; i <= 993; ++i) expected.push_back(i);
    ASSERT_EQ(heard.changes.size(), expected.size());
    for (size_t k = 0; k < expected.size(); ++k) {
        EXPECT_EQ(heard.changes[k].index, expected[k]);
        EXPECT_EQ(heard.changes[k].value, -1.0f);
    }
    // The editor's re-read finds the new defaults: Delay Time 1 is parameter 7 at word 17.
    EXPECT_FLOAT_EQ(table->getParameter(190), 11468.0f / 16384.0f);
    EXPECT_FLOAT_EQ(table->getParameter(979), 0.5f);

    deliver();
    heard.changes.clear();
    choose(1, kPhaser);
    ASSERT_FALSE(heard.changes.empty());
    EXPECT_EQ(heard.changes.front().index, 200);
    EXPECT_EQ(heard.changes.back().index, 1008);
    EXPECT_EQ(hostedType(1), 40);
    EXPECT_EQ(hostedType(0), 28);
}

TEST_F(MasterEffects, ChoiceValuesPickTheirStep) {
    struct Case {
        float value;
        int choice;
    };
    for (const Case c : {Case{1.0f, kPhaser}, Case{0.0f, kNoEffect}, Case{0.2f, kChorus}, Case{0.45f, kDelay},
                         Case{0.79f, kReverb}, Case{1.5f, kPhaser}, Case{-0.3f, kNoEffect}, Case{0.6f, kReverb}}) {
        table->setParameter(979, c.value);
        EXPECT_EQ(program->getEffectType(0), c.choice) << c.value;
        EXPECT_FLOAT_EQ(table->getParameter(979), 0.2f * static_cast<float>(c.choice) + 0.1f) << c.value;
    }
    // A loaded multi replaces the slot's block; reading the choice brings the selector in line.
    program->setEffectType(0, kChorus);
    EXPECT_FLOAT_EQ(table->getParameter(979), 0.3f);
    EXPECT_EQ(table->getLongName(189), "Chorus Dry/Wet");
}

TEST_F(MasterEffects, ReselectingTheHeldEffectChangesNothing) {
    choose(0, kDelay);
    table->setParameter(190, 0.25f);
    deliver();
    heard.changes.clear();
    const std::vector<int> before = slotWords(0);

    // The same step by another value, as a morph or a reload sets it.
    table->setParameter(979, 0.41f);
    table->setParameter(979, 0.5f);
    EXPECT_EQ(posted(), 0);
    EXPECT_TRUE(heard.changes.empty());
    EXPECT_EQ(slotWords(0), before);
    EXPECT_EQ(word(0, 17), 4096);

    // The program is the judge of what the slot holds: a loaded multi put a reverb there behind the
    // selector's back, and choosing the reverb keeps it.
    program->setEffectType(1, kReverb);
    program->setParameterWordAs(0, 36, 22, 12, 777);
    deliver();
    choose(1, kReverb);
    EXPECT_EQ(posted(), 0);
    EXPECT_EQ(word(1, 22), 777);
    EXPECT_EQ(mapperAt(200).getLongName(200), "Reverb Dry/Wet");

    // "No Effect" over the initial bypass sends nothing either.
    choose(1, kNoEffect);
    EXPECT_EQ(hostedType(1), 22);
    deliver();
    choose(1, kNoEffect);
    EXPECT_EQ(posted(), 0);
}

TEST_F(MasterEffects, AnotherEffectAndBackStartsFromTheDefaults) {
    choose(0, kChorus);
    table->setParameter(192, 0.25f); // Chorus Delay Time, parameter 8
    EXPECT_EQ(word(0, 18), 4096);
    choose(0, kDelay);
    choose(0, kChorus);
    EXPECT_EQ(word(0, 18), 11468);
}

// Parameters 7, 8 and 9 are where a store at the parameter's own number would land on the slot's
// selector and its companions.
TEST_F(MasterEffects, ParameterEditsLandInTheHostedBlockAndPostTheHostedNumber) {
    struct Case {
        const char* name;
        int slot, choice, row;
        float value;
        std::vector<int> parameters;
        int word;
    };
    const Case cases[] = {
        {"delay time 1", 0, kDelay, 190, 0.25f, {7}, 4096},
        {"delay time 2", 0, kDelay, 193, 0.5f, {8}, 8192},
        {"delay feedback 1", 0, kDelay, 191, 0.75f, {9}, 12288},
        {"reverb size, both channels", 0, kReverb, 190, 0.125f, {7, 8}, 2048},
        {"reverb high damping", 0, kReverb, 191, 0.5f, {9, 10}, 8192},
        {"chorus rate", 0, kChorus, 191, 0.5f, {9}, 8192},
        {"phaser feedback 1", 0, kPhaser, 192, 0.5f, {8}, 8192},
        {"phaser output", 0, kPhaser, 199, 1.0f, {28}, 16384},
        {"delay sync, stepped", 0, kDelay, 983, 0.9f, {18}, 1},
        {"FX2P1 with the delay in slot 2", 1, kDelay, 201, 0.25f, {7}, 4096},
        {"slot 2 phaser shape 2", 1, kPhaser, 1005, 0.6f, {16}, 2},
        {"delay row 984 sets and is never read", 0, kDelay, 984, 0.7f, {16}, 1},
    };
    for (const Case& c : cases) {
        build(&heard);
        choose(c.slot, c.choice);
        deliver();
        const std::vector<int> other = slotWords(1 - c.slot);
        table->setParameter(c.row, c.value);

        EXPECT_EQ(word(c.slot, 7), c.choice) << c.name;
        EXPECT_EQ(word(c.slot, 8), 1) << c.name;
        EXPECT_EQ(word(c.slot, 9), 0) << c.name;
        EXPECT_EQ(slotWords(1 - c.slot), other) << c.name;
        const std::vector<PostedParameter> sent = postedParameters();
        ASSERT_EQ(sent.size(), c.parameters.size()) << c.name;
        for (size_t k = 0; k < sent.size(); ++k) {
            const int p = c.parameters[k];
            EXPECT_EQ(word(c.slot, p + 10), c.word) << c.name;
            EXPECT_EQ(sent[k].section, 0) << c.name;
            EXPECT_EQ(sent[k].moduleType, kEffectSlotType) << c.name;
            EXPECT_EQ(sent[k].instance, c.slot) << c.name;
            EXPECT_EQ(sent[k].parameter, p) << c.name;
            EXPECT_EQ(sent[k].value, c.word) << c.name;
        }
    }
}

TEST_F(MasterEffects, ContinuousAndSteppedValuesRoundTrip) {
    choose(0, kDelay);
    struct Continuous {
        float value;
        int word;
    };
    for (const Continuous c : {Continuous{0.25f, 4096}, Continuous{0.3f, 4915}, Continuous{0.0f, 0},
                               Continuous{1.0f, 16384}, Continuous{1.7f, 16384}, Continuous{-0.2f, 0}}) {
        table->setParameter(196, c.value); // Delay Damping, parameter 14
        EXPECT_EQ(word(0, 24), c.word) << c.value;
        EXPECT_FLOAT_EQ(table->getParameter(196), static_cast<float>(c.word) / 16384.0f) << c.value;
    }

    choose(0, kPhaser);
    struct Stepped {
        float value;
        int word;
        float readBack;
    };
    // Shape 1: parameter 11 in four steps, read back at the step's centre.
    for (const Stepped s : {Stepped{0.0f, 0, 0.125f}, Stepped{0.3f, 1, 0.375f}, Stepped{0.5f, 2, 0.625f},
                            Stepped{0.99f, 3, 0.875f}, Stepped{1.0f, 3, 0.875f}, Stepped{5.0f, 3, 0.875f},
                            Stepped{-1.0f, 0, 0.125f}}) {
        table->setParameter(989, s.value);
        EXPECT_EQ(word(0, 21), s.word) << s.value;
        EXPECT_FLOAT_EQ(table->getParameter(989), s.readBack) << s.value;
    }
    // A stored word past the last step reads as the last step.
    program->setParameterWordAs(0, 35, 21, 11, 9);
    EXPECT_FLOAT_EQ(table->getParameter(989), 0.875f);

    choose(0, kChorus);
    table->setParameter(986, 0.6f); // Chorus Bypass, two steps
    EXPECT_EQ(word(0, 29), 1);
    EXPECT_FLOAT_EQ(table->getParameter(986), 0.75f);
}

TEST_F(MasterEffects, RowsWithoutAKernelParameterKeepTheirCachedValue) {
    // "No Effect": every parameter row is ignored and reads the cache.
    for (int row = 189; row <= 199; ++row) {
        table->setParameter(row, 0.3f);
        EXPECT_EQ(mapperAt(row).getValue(row), -1.0f) << row;
        EXPECT_FLOAT_EQ(table->getParameter(row), 0.3f) << row;
        EXPECT_EQ(table->getLongName(row), "") << row;
    }
    for (int row = 980; row <= 993; ++row) EXPECT_EQ(mapperAt(row).getValue(row), -1.0f) << row;
    EXPECT_EQ(posted(), 0);

    // The delay's cache-only rows, its "??" row and row 984, which sets but is never read.
    choose(0, kDelay);
    deliver();
    for (int row : {981, 982, 985, 197}) {
        table->setParameter(row, 0.8f);
        EXPECT_EQ(posted(), 0) << row;
        EXPECT_EQ(mapperAt(row).getValue(row), -1.0f) << row;
    }
    table->setParameter(984, 0.8f);
    EXPECT_EQ(posted(), 1);
    EXPECT_EQ(mapperAt(984).getValue(984), -1.0f);
}

TEST_F(MasterEffects, NonFiniteValuesChangeNothing) {
    choose(0, kDelay);
    choose(1, kPhaser);
    deliver();
    const std::vector<int> before0 = slotWords(0), before1 = slotWords(1);
    const float bad[] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                         -std::numeric_limits<float>::infinity()};
    // Straight to the mappers: the table would have filtered these out itself.
    for (float v : bad)
        for (int row : {979, 190, 983, 994, 201, 1000}) mapperAt(row).setValue(row, v);
    // An effect mapper on its own guards itself as well.
    FxDelayMapper delay(*program, 0);
    for (float v : bad)
        for (int row : {190, 983}) delay.setValue(row, v);
    EXPECT_EQ(posted(), 0);
    EXPECT_EQ(slotWords(0), before0);
    EXPECT_EQ(slotWords(1), before1);
    for (float v : bad) EXPECT_FALSE(mapperAt(189).getText(189, v).empty());
}

TEST_F(MasterEffects, KeysLongNamesAndTextsFollowTheChoice) {
    struct Case {
        int slot, choice, row;
        const char* key;
        const char* longName;
        bool discrete;
        float value;
        const char* text;
    };
    const Case cases[] = {
        {0, kNoEffect, 979, "FX1979", "", true, 0.5f, "0.500"},
        {0, kNoEffect, 189, "FX1DW", "", true, 0.5f, "0.500"},
        {0, kChorus, 189, "FX1DW", "Chorus Dry/Wet", true, 0.5f, "50.0%"},
        {0, kChorus, 191, "FX1P2", "Chorus Rate", false, 0.25f, "0.250"},
        {0, kChorus, 987, "FX1Fsync", "Chorus Midi Sync", false, 1.0f, "1.000"},
        {0, kChorus, 198, "FX1P9", "", true, 0.5f, "0.500"},
        {0, kDelay, 197, "FX1P8", "Delay ?? ", true, 0.5f, "0.500"},
        {0, kDelay, 984, "FX1Dlink", "", true, 0.5f, "0.500"},
        {0, kDelay, 981, "FX1Don1", "", true, 0.5f, "0.500"},
        {0, kDelay, 192, "FX1P3", "Delay Cross Feedback 1", true, 0.5f, "0.500"},
        {0, kReverb, 199, "FX1Out", "Reverb Output", false, 0.75f, "0.750"},
        {0, kReverb, 993, "FX1Rbp", "Reverb Bypass", false, 0.5f, "0.500"},
        {0, kPhaser, 989, "FX1Pshp1", "Phaser ", false, 0.5f, "0.500"},
        {0, kPhaser, 991, "FX1Plink", "Phaser Link", false, 0.5f, "0.500"},
        {1, kNoEffect, 994, "FX2979", "", true, 0.5f, "0.500"},
        {1, kPhaser, 200, "FX2DW", "Phaser Dry/Wet", true, 0.125f, "12.5%"},
        {1, kDelay, 1000, "FX2Ddisp", "", true, 0.5f, "0.500"},
        {1, kReverb, 1008, "FX2Rbp", "Reverb Bypass", false, 0.5f, "0.500"},
        {1, kReverb, 201, "FX2P1", "Reverb Size", true, 0.5f, "0.500"},
    };
    for (const Case& c : cases) {
        choose(c.slot, c.choice);
        const std::string at = std::to_string(c.row);
        EXPECT_EQ(table->getName(c.row), c.key) << at;
        EXPECT_EQ(table->getLongName(c.row), c.longName) << at;
        EXPECT_EQ(table->isDiscrete(c.row), c.discrete) << at;
        EXPECT_EQ(mapperAt(c.row).getText(c.row, c.value), c.text) << at;
    }
}

} // namespace
} // namespace corvex
