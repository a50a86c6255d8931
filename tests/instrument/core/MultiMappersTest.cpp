// The multi's global rows: what each writes into the kernel program or the kernel, what it reads back
// and shows, the holds and play modes that depend on the key mode, voices a player hears, and the
// multi's cached values surviving a save and a load.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "engine/kernel/CorvexKernel.h"
#include "engine/program/CorvanKernelProgram.h"
#include "instrument/params/ByteStream.h"
#include "instrument/params/CorvanParameters.h"
#include "instrument/params/MultiMappers.h"
#include "tests/instrument/core/ParameterRig.h"
#include "tests/support/SignalChecks.h"

namespace corvex {
namespace {

constexpr int kWhole = 0, kDual = 1, kSplit = 2;

float centre(int step, int steps) { return (static_cast<float>(step) + 0.5f) / static_cast<float>(steps); }

using testing::Heard;

// Public: the case tables' checks reach into the rig.
class MultiRows : public ::testing::Test, public testing::ParameterRig {
public:
    void SetUp() override { fresh(); }
    void fresh() {
        build(&heard);
        drain();
        heard.changes.clear();
    }
    void drain() {
        for (int i = 0; i < 64 && kernel->pendingMessageCount() > 0; ++i) render();
        ASSERT_EQ(kernel->pendingMessageCount(), 0);
    }
    // The kernel-global runner block (slot 34): layer gains in words 7 and 11, volume in word 28.
    int runnerWord(int word) { return program->getParameterWord(0, 34, word); }
    // The voice-setup block (slot 27) of a layer's part: assign mode in word 3, voice limit in word 17.
    int voiceSetupWord(int layer, int word) { return program->getParameterWord(layer + 1, 27, word); }
    // The arpeggiator's global block (slot 40): word 7 set when the Upper layer arpeggiates.
    int arpeggiatorWord(int word) { return program->getParameterWord(0, 40, word); }
    void setKeyMode(int mode) { table->setParameter(971, centre(mode, 3)); }

    Heard heard;
};

TEST_F(MultiRows, KeysLongNamesAndOneMapperPerClass) {
    struct Row {
        int index;
        const char* key;
        const char* longName;
    };
    for (const Row r : {Row{184, "Volume", "Volume"}, Row{185, "Balance", "Balance"}, Row{187, "MasTune", "Master Tune"},
                        Row{188, "MasDTune", "Detune"}, Row{234, "UHhold", "Hold"}, Row{235, "LHold", "Hold"},
                        Row{971, "MultiMod", ""}, Row{972, "SplitKey", ""}, Row{973, "PolyMod", ""},
                        Row{974, "ArpegMod", ""}, Row{976, "PlPrio", "PlPrio"}, Row{977, "UniVPN", "UniVPN"},
                        Row{978, "PWheel", "Pitch Wheel"}, Row{1009, "Polyphon", "Polyphon"}}) {
        EXPECT_EQ(table->getName(r.index), r.key) << r.index;
        EXPECT_EQ(table->getLongName(r.index), r.longName) << r.index;
        EXPECT_TRUE(table->isDiscrete(r.index)) << r.index;
    }
    ParameterMapper* multi = table->mapper(184);
    for (int i : {185, 187, 188, 234, 235, 976, 977, 978, 1009}) EXPECT_EQ(table->mapper(i), multi) << i;
    ParameterMapper* playModes = table->mapper(971);
    ASSERT_NE(playModes, nullptr);
    EXPECT_NE(playModes, multi);
    for (int i : {972, 973, 974}) EXPECT_EQ(table->mapper(i), playModes) << i;

    // The editor's reference-tone switch is no table row but the multi mapper answers for it.
    EXPECT_EQ(multi->getName(1011), "A440on");
    EXPECT_EQ(multi->getLongName(1011), "A440on");
    multi->setValue(1011, 0.9f);
    EXPECT_TRUE(kernel->getTestTone());
    EXPECT_EQ(multi->getValue(1011), 0.75f);
    multi->setValue(1011, 0.5f);
    EXPECT_FALSE(kernel->getTestTone());
    EXPECT_EQ(multi->getValue(1011), 0.25f);
    // A row the mappers do not serve: no names, nothing sent, the cache stands.
    EXPECT_EQ(multi->getName(186), "");
    EXPECT_EQ(playModes->getName(975), "");
    EXPECT_EQ(multi->getValue(186), -1.0f);
    EXPECT_EQ(playModes->getValue(975), -1.0f);
    multi->setValue(186, 0.7f);
    playModes->setValue(975, 0.7f);
    EXPECT_EQ(kernel->pendingMessageCount(), 0);
}

// Each row: a value in, the kernel program or kernel state it leaves, the value read back and its text.
TEST_F(MultiRows, EachRowSetsItsStateReadsBackAndShowsIt) {
    struct Case {
        int index;
        float value;
        std::function<void(MultiRows&)> check;
        float readBack;
        const char* text; // null where the text is the plain three-decimal number
    };
    const std::vector<Case> cases = {
        {184, 0.5f, [](MultiRows& r) { EXPECT_EQ(r.runnerWord(28), 8192); }, 0.5f, "0.500"},
        {184, 1.0f, [](MultiRows& r) { EXPECT_EQ(r.runnerWord(28), 16384); }, 1.0f, nullptr},
        {185, 0.5f, [](MultiRows& r) {
             EXPECT_EQ(r.runnerWord(7), 16384);
             EXPECT_EQ(r.runnerWord(11), 16384);
         }, 0.5f, nullptr},
        {185, 0.25f, [](MultiRows& r) {
             EXPECT_EQ(r.runnerWord(7), 8192) << "the Upper layer at half gain";
             EXPECT_EQ(r.runnerWord(11), 16384);
         }, 0.25f, nullptr},
        {185, 0.75f, [](MultiRows& r) {
             EXPECT_EQ(r.runnerWord(7), 16384);
             EXPECT_EQ(r.runnerWord(11), 8192) << "the Lower layer at half gain";
         }, 0.75f, nullptr},
        {187, 0.5f, [](MultiRows& r) { EXPECT_FLOAT_EQ(r.kernel->getTuning(), 440.0f); }, 0.5f, "440.00 Hz"},
        {187, 0.0f, [](MultiRows& r) { EXPECT_FLOAT_EQ(r.kernel->getTuning(), 427.0f); }, 0.0f, "427.00 Hz"},
        {187, 1.0f, [](MultiRows& r) { EXPECT_FLOAT_EQ(r.kernel->getTuning(), 453.0f); }, 1.0f, "453.00 Hz"},
        {976, 0.0f, [](MultiRows& r) { EXPECT_EQ(r.program->notePriority(), 0); }, 1.0f / 6.0f, nullptr},
        {976, 0.5f, [](MultiRows& r) { EXPECT_EQ(r.program->notePriority(), 1); }, 0.5f, nullptr},
        {976, 1.0f, [](MultiRows& r) { EXPECT_EQ(r.program->notePriority(), 2); }, 5.0f / 6.0f, nullptr},
        {977, 0.0f, [](MultiRows& r) { EXPECT_EQ(r.program->unisonVoices(), 2); }, 1.0f / 6.0f, nullptr},
        {977, 0.5f, [](MultiRows& r) { EXPECT_EQ(r.program->unisonVoices(), 3); }, 0.5f, nullptr},
        {977, 1.0f, [](MultiRows& r) { EXPECT_EQ(r.program->unisonVoices(), 4); }, 5.0f / 6.0f, nullptr},
        {978, 0.5f, [](MultiRows& r) { EXPECT_FLOAT_EQ(r.program->getBend(), 0.5f); }, 0.5f, "+0%"},
        {978, 1.0f, [](MultiRows& r) { EXPECT_FLOAT_EQ(r.program->getBend(), 1.0f); }, 1.0f, "+100%"},
        {978, 0.0f, [](MultiRows& r) { EXPECT_FLOAT_EQ(r.program->getBend(), 0.0f); }, 0.0f, "-100%"},
        {978, 0.75f, [](MultiRows& r) { EXPECT_FLOAT_EQ(r.program->getBend(), 0.75f); }, 0.75f, "+50%"},
        {1009, 1.0f, [](MultiRows& r) {
             EXPECT_EQ(r.program->polyphony(), 32);
             EXPECT_EQ(r.voiceSetupWord(0, 17), 32) << "the voice limit reaches the part";
         }, 30.5f / 31.0f, nullptr},
        {1009, 0.0f, [](MultiRows& r) {
             EXPECT_EQ(r.program->polyphony(), 2);
             EXPECT_EQ(r.voiceSetupWord(0, 17), 2);
         }, 0.5f / 31.0f, nullptr},
        {1009, 0.2f, [](MultiRows& r) { EXPECT_EQ(r.program->polyphony(), 8); }, 6.5f / 31.0f, nullptr},
    };
    for (const Case& c : cases) {
        fresh();
        SCOPED_TRACE(::testing::Message() << "row " << c.index << " at " << c.value);
        table->setParameter(c.index, c.value);
        c.check(*this);
        EXPECT_NEAR(table->getParameter(c.index), c.readBack, 1e-6f);
        EXPECT_EQ(table->getText(c.index), c.text ? c.text : formatText("%.3f", c.value));
    }
}

TEST_F(MultiRows, ValuesOutsideTheRangeAreClamped) {
    table->setParameter(184, 1.7f);
    EXPECT_EQ(runnerWord(28), 16384);
    table->setParameter(187, -3.0f);
    EXPECT_FLOAT_EQ(kernel->getTuning(), 427.0f);
    table->setParameter(1009, 9.0f);
    EXPECT_EQ(program->polyphony(), 32);
    table->setParameter(977, -1.0f);
    EXPECT_EQ(program->unisonVoices(), 2);
    table->setParameter(972, 2.0f);
    EXPECT_EQ(program->getSplitKey(), 127);
}

// The kernel's detune level in decibels for a setting, as its level curve is written.
double detuneDecibels(double v) {
    if (v < 0.05) return 400.0 * v - 100.0;
    if (v < 0.5) return 151.11111 * v - 87.55556;
    return 48.0 * v - 36.0;
}

TEST_F(MultiRows, DetuneReadsBackTheSettingNotTheLinearAmount) {
    for (const float v : {0.0f, 0.01f, 0.0499f, 0.05f, 0.2f, 0.4999f, 0.5f, 0.6f, 0.75f, 0.9f, 1.0f}) {
        table->setParameter(188, v);
        const double amount = std::pow(10.0, detuneDecibels(v) / 20.0);
        EXPECT_NEAR(kernel->getDetune(), amount, amount * 1e-4) << v;
        EXPECT_NEAR(table->getParameter(188), v, 1e-4f) << v;
    }
    table->setParameter(188, 1.0f);
    EXPECT_NEAR(kernel->getDetune(), 3.981, 0.001) << "+12 dB at the top";
    EXPECT_LE(table->getParameter(188), 1.0f) << "the knob stays on its scale";
    table->setParameter(188, 0.75f);
    EXPECT_NEAR(kernel->getDetune(), 1.0, 1e-5) << "0 dB";
    // A kernel with no amount (or one below the curve's floor) reads as the bottom of the knob.
    EXPECT_EQ(CorvanMultiParamsMapper::detuneSettingOf(0.0f), 0.0f);
    EXPECT_EQ(CorvanMultiParamsMapper::detuneSettingOf(1e-7f), 0.0f);
    EXPECT_EQ(CorvanMultiParamsMapper::detuneSettingOf(100.0f), 1.0f);
}

TEST_F(MultiRows, HoldIsSharedByTheLayersOnlyInDual) {
    struct Case {
        int keyMode, row, otherRow, layer;
    };
    for (const Case c : {Case{kWhole, 234, 235, 0}, Case{kDual, 234, 235, 0}, Case{kSplit, 234, 235, 0},
                         Case{kWhole, 235, 234, 1}, Case{kDual, 235, 234, 1}, Case{kSplit, 235, 234, 1}}) {
        fresh();
        SCOPED_TRACE(::testing::Message() << "key mode " << c.keyMode << ", row " << c.row);
        setKeyMode(c.keyMode);
        heard.changes.clear();
        const bool mirrored = c.keyMode == kDual;
        const int other = 1 - c.layer;

        table->setParameter(c.row, 0.9f);
        EXPECT_TRUE(program->getHold(c.layer));
        EXPECT_NE(kernel->getHold(c.layer), 0) << "the kernel holds the layer's part";
        EXPECT_EQ(program->getHold(other), mirrored);
        EXPECT_EQ(kernel->getHold(other) != 0, mirrored);
        EXPECT_EQ(table->getParameter(c.row), 0.75f);
        EXPECT_EQ(table->getParameter(c.otherRow), mirrored ? 0.75f : 0.25f);
        EXPECT_EQ(table->getCachedValue(c.otherRow), mirrored ? 0.9f : 0.0f);
        EXPECT_EQ(heard.heardValue(c.otherRow, 0.9f), mirrored) << "the other hold's widget follows";

        table->setParameter(c.row, 0.5f); // not above one half: off
        EXPECT_FALSE(program->getHold(c.layer));
        EXPECT_EQ(kernel->getHold(c.layer), 0);
        EXPECT_FALSE(program->getHold(other));
        EXPECT_EQ(table->getParameter(c.row), 0.25f);
    }
}

// A multi loaded into the kernel program changes its key mode without the key-mode row's cache.
TEST_F(MultiRows, HoldFollowsTheKeyModeInForceNotAStaleCache) {
    program->setKeyMode(kDual);
    ASSERT_EQ(table->getCachedValue(971), 0.0f);
    table->setParameter(234, 1.0f);
    EXPECT_TRUE(program->getHold(1)) << "Dual in force: both layers hold";

    fresh();
    table->setValue(971, centre(kDual, 3)); // the cache alone says Dual
    ASSERT_EQ(program->getKeyMode(), kWhole);
    table->setParameter(234, 1.0f);
    EXPECT_FALSE(program->getHold(1)) << "Whole in force: the Lower layer is not held";
}

TEST_F(MultiRows, SplitKeyWaitsForSplitMode) {
    table->setParameter(972, 1.0f);
    EXPECT_EQ(program->getSplitKey(), 127);
    EXPECT_FLOAT_EQ(table->getParameter(972), 127.5f / 128.0f);
    table->setParameter(972, centre(64, 128));
    EXPECT_EQ(program->getSplitKey(), 64);
    EXPECT_EQ(kernel->pendingMessageCount(), 0) << "nothing reaches the kernel outside Split";

    setKeyMode(kDual);
    table->setParameter(972, centre(70, 128));
    EXPECT_EQ(program->getSplitKey(), 70);
    drain();
    EXPECT_EQ(kernel->partSetup(0).lowKey, 0) << "Dual: both layers keep the whole keyboard";
    EXPECT_EQ(kernel->partSetup(1).highKey, 127);
    const int postedBefore = kernel->pendingMessageCount();
    table->setParameter(972, centre(66, 128));
    EXPECT_EQ(kernel->pendingMessageCount(), postedBefore);

    setKeyMode(kSplit);
    drain();
    EXPECT_EQ(kernel->partSetup(0).lowKey, 66) << "the stored key takes effect with Split";
    EXPECT_EQ(kernel->partSetup(0).highKey, 127);
    EXPECT_EQ(kernel->partSetup(1).lowKey, 0);
    EXPECT_EQ(kernel->partSetup(1).highKey, 65);

    table->setParameter(972, centre(48, 128));
    EXPECT_GT(kernel->pendingMessageCount(), 0) << "in Split a new key is sent at once";
    drain();
    EXPECT_EQ(kernel->partSetup(0).lowKey, 48);
    EXPECT_EQ(kernel->partSetup(1).highKey, 47);
}

TEST_F(MultiRows, PlayModesSetAndReadBack) {
    struct Case {
        int index;
        float value;
        int mode; // key mode, poly mode or arpeggio mode as the row names it
        float readBack;
    };
    for (const Case c : {Case{971, 0.0f, 0, 1.0f / 6.0f}, Case{971, 0.34f, 1, 0.5f}, Case{971, 0.67f, 2, 5.0f / 6.0f},
                         Case{971, 1.0f, 2, 5.0f / 6.0f}, Case{973, 0.0f, 0, 0.1f}, Case{973, 0.3f, 1, 0.3f},
                         Case{973, 0.5f, 2, 0.5f}, Case{973, 0.7f, 3, 0.7f}, Case{973, 1.0f, 4, 0.9f},
                         // The arpeggiator has five steps, the first of them off.
                         Case{974, 0.1f, 0, 0.1f}, Case{974, 0.2f, 1, 0.3f}, Case{974, 0.5f, 2, 0.5f},
                         Case{974, 0.7f, 3, 0.7f}, Case{974, 0.79f, 3, 0.7f}, Case{974, 0.81f, 4, 0.9f},
                         Case{974, 1.0f, 4, 0.9f}}) {
        fresh();
        SCOPED_TRACE(::testing::Message() << "row " << c.index << " at " << c.value);
        table->setParameter(c.index, c.value);
        const int mode = c.index == 971   ? program->getKeyMode()
                         : c.index == 973 ? program->getVoiceAssignMode()
                                          : program->getArpeggiatorMode();
        EXPECT_EQ(mode, c.mode);
        EXPECT_NEAR(table->getParameter(c.index), c.readBack, 1e-6f);
        if (c.index == 974) {
            // The Upper layer (Whole) takes the arpeggiator exactly when a mode is on.
            EXPECT_EQ(arpeggiatorWord(7), c.mode > 0 ? 1 : 0);
            if (c.mode > 0) {
                EXPECT_EQ(arpeggiatorWord(10), c.mode - 1);
            }
        }
    }
}

TEST_F(MultiRows, PolyAndArpeggioModesExcludeEachOtherOutsideSplit) {
    for (const int keyMode : {kWhole, kDual, kSplit}) {
        fresh();
        SCOPED_TRACE(::testing::Message() << "key mode " << keyMode);
        setKeyMode(keyMode);
        table->setParameter(973, centre(2, 5));
        heard.changes.clear();
        table->setParameter(974, centre(3, 5));
        EXPECT_EQ(program->getArpeggiatorMode(), 3);
        EXPECT_EQ(program->getVoiceAssignMode(), keyMode == kSplit ? 2 : 0);
        EXPECT_TRUE(heard.heardValue(973, -1.0f)) << "the poly-mode widget is told to read again";
        EXPECT_FLOAT_EQ(table->getParameter(973), centre(keyMode == kSplit ? 2 : 0, 5));
        EXPECT_FLOAT_EQ(table->getCachedValue(973), table->getParameter(973)) << "the signal is not kept";

        heard.changes.clear();
        table->setParameter(973, centre(4, 5));
        EXPECT_EQ(program->getVoiceAssignMode(), 4);
        EXPECT_EQ(program->getArpeggiatorMode(), 0) << "a poly mode switches the arpeggiator off";
        EXPECT_TRUE(heard.heardValue(974, -1.0f));
        EXPECT_FLOAT_EQ(table->getCachedValue(974), centre(0, 5));
    }
}

TEST_F(MultiRows, KeyModeAsksThePolyModeToBeReadAgain) {
    table->setParameter(974, centre(2, 5)); // Whole: the arpeggiator plays, poly mode 0
    setKeyMode(kSplit);                       // Split turns poly mode 0 into 3
    heard.changes.clear();
    setKeyMode(kDual);
    EXPECT_TRUE(heard.heardValue(973, -1.0f));
    EXPECT_EQ(program->getVoiceAssignMode(), 0) << "outside Split the arpeggiator takes the poly mode";
    EXPECT_FLOAT_EQ(table->getCachedValue(973), centre(0, 5));
    EXPECT_EQ(table->getText(973), "0.100");
}

TEST_F(MultiRows, PriorityAndUnisonShapeTheVoiceSetup) {
    table->setParameter(973, centre(1, 5)); // one voice, chosen by priority
    for (int priority = 0; priority < 3; ++priority) {
        table->setParameter(976, centre(priority, 3));
        EXPECT_EQ(voiceSetupWord(0, 3), 4 + priority) << priority;
        EXPECT_EQ(voiceSetupWord(0, 17), 1);
    }
    table->setParameter(973, centre(2, 5)); // unison
    for (int voices = 2; voices <= 4; ++voices) {
        table->setParameter(977, centre(voices - 2, 3));
        EXPECT_EQ(voiceSetupWord(0, 15), voices);
    }
}

// Sounding voices after striking `notes` keys at once, and the level of the next blocks.
struct Strike {
    int voices;
    double level;
};

Strike strike(testing::ParameterRig& rig, int notes) {
    for (int i = 0; i < 64 && rig.kernel->pendingMessageCount() > 0; ++i) rig.render();
    for (int n = 0; n < notes; ++n) rig.kernel->sendMidiNote(0x90, 36 + 2 * n, 100);
    std::vector<float> take;
    for (int block = 0; block < 200; ++block) {
        float left[32], right[32];
        float* outs[2] = {left, right};
        rig.kernel->processBlock(2, outs, 32);
        take.insert(take.end(), left, left + 32);
    }
    EXPECT_EQ(testing::badSamples(take.data(), take.size()), 0);
    return {rig.kernel->soundingVoiceCount(), testing::rms(take)};
}

TEST_F(MultiRows, PolyphonySetThroughItsRowIsTheNumberOfVoicesThatSound) {
    struct Case {
        float value;
        int voices;
    };
    for (const Case c : {Case{0.2f, 8}, Case{0.0f, 2}, Case{1.0f, 32}}) {
        fresh();
        table->setParameter(1009, c.value);
        const Strike s = strike(*this, 32);
        EXPECT_EQ(s.voices, c.voices) << c.value;
        EXPECT_GT(s.level, 0.01) << "not silent";
    }
}

TEST_F(MultiRows, UnisonStacksVoicesOnOneKey) {
    table->setParameter(973, centre(2, 5));
    table->setParameter(977, centre(2, 3));
    const Strike s = strike(*this, 1);
    EXPECT_EQ(s.voices, 4);
    EXPECT_GT(s.level, 0.01);
}

std::vector<uint8_t> savedGlobalCache(CorvanParameters& table) {
    std::vector<uint8_t> bytes;
    ByteWriter out(bytes);
    table.writeGlobalCache(out);
    return bytes;
}

// The float saved for one row, or NaN when the row is absent.
float savedValue(const std::vector<uint8_t>& bytes, int row) {
    ByteReader in(bytes);
    int32_t index = 0;
    std::string key;
    float value = 0.0f;
    while (in.readInt32(index) && in.readString(key) && in.readFloat(value))
        if (index == row) return value;
    return std::nanf("");
}

// Each session ends with a key-mode change, which tells the poly-mode row to read again.
TEST_F(MultiRows, ASavedMultiKeepsItsPlayModes) {
    struct Case {
        std::function<void(MultiRows&)> play;
        int keyMode, polyMode, arpeggioMode;
    };
    const std::vector<Case> cases = {
        {[](MultiRows& r) {
             r.table->setParameter(973, centre(4, 5));
             r.setKeyMode(kDual);
         }, kDual, 4, 0},
        {[](MultiRows& r) {
             r.setKeyMode(kSplit);
             r.table->setParameter(973, centre(2, 5));
             r.table->setParameter(974, centre(3, 5));
             r.setKeyMode(kSplit);
         }, kSplit, 2, 3},
        {[](MultiRows& r) {
             r.table->setParameter(974, centre(1, 5));
             r.setKeyMode(kWhole);
         }, kWhole, 0, 1},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(::testing::Message() << "session " << i);
        fresh();
        table->setParameter(972, centre(55, 128));
        cases[i].play(*this);
        const std::vector<uint8_t> saved = savedGlobalCache(*table);
        EXPECT_FLOAT_EQ(savedValue(saved, 973), centre(cases[i].polyMode, 5));

        fresh();
        ByteReader in(saved);
        table->readGlobalCache(in);
        EXPECT_EQ(program->getKeyMode(), cases[i].keyMode);
        EXPECT_EQ(program->getVoiceAssignMode(), cases[i].polyMode);
        EXPECT_EQ(program->getArpeggiatorMode(), cases[i].arpeggioMode);
        EXPECT_EQ(program->getSplitKey(), 55);
    }
}

TEST_F(MultiRows, TheCacheWriterSavesTheReadBackOfARowToldToReadAgain) {
    table->setParameter(973, centre(2, 5));
    table->setValue(973, -1.0f); // a notice that sits in the cache
    table->setValue(974, -1.0f);
    const std::vector<uint8_t> saved = savedGlobalCache(*table);
    EXPECT_FLOAT_EQ(savedValue(saved, 973), centre(2, 5));
    EXPECT_FLOAT_EQ(savedValue(saved, 974), centre(0, 5));
    EXPECT_FLOAT_EQ(savedValue(saved, 184), 0.0f) << "other rows save their cache";

    fresh();
    ByteReader in(saved);
    table->readGlobalCache(in);
    EXPECT_EQ(program->getVoiceAssignMode(), 2);
}

TEST_F(MultiRows, AnOldPayloadHoldingTheSignalStillLoads) {
    table->setParameter(973, centre(2, 5));
    table->setParameter(184, 0.25f);
    std::vector<uint8_t> payload;
    ByteWriter out(payload);
    for (const auto& [index, key, value] :
         {std::tuple<int, const char*, float>{184, "Volume", 0.5f}, {973, "PolyMod", -1.0f}, {974, "ArpegMod", -1.0f},
          {1009, "Polyphon", centre(6, 31)}}) {
        out.writeInt32(index);
        out.writeString(key);
        out.writeFloat(value);
    }
    heard.changes.clear();
    ByteReader in(payload);
    table->readGlobalCache(in);
    EXPECT_EQ(program->getVoiceAssignMode(), 2) << "the signal is not taken for poly mode 0";
    EXPECT_NE(table->getCachedValue(973), -1.0f);
    EXPECT_EQ(runnerWord(28), 8192) << "the rows around it load";
    EXPECT_EQ(program->polyphony(), 8);
    for (const Heard::Change& c : heard.changes) EXPECT_NE(c.value, -1.0f) << c.index;
}

} // namespace
} // namespace corvex
