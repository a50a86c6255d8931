// Plays keys into the arpeggiator block by block and checks the notes, their timing and the kernel requests.
#include "engine/kernel/NoteGenerator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "engine/modules/EngineContext.h"
#include "engine/modules/types/GlobalBlock.h"

namespace corvex {
namespace {

using Event = uint32_t;

Event noteOff(int note) { return NoteGenerator::noteEvent(0, note); }
Event noteOn(int note, int velocity) { return NoteGenerator::noteEvent(velocity, note); }

class NoteGeneratorTest : public ::testing::Test {
protected:
    EngineContext context;
    ParameterRecord record;
    NoteGenerator gen;
    int sounding = -1;

    void SetUp() override {
        set(7, 1);
        set(13, 16384); // the fastest free rate keeps sequences short: 2160 samples a step
        start();
    }

    void start() {
        gen.reset(&context, &record.as<GlobalBlockParams>());
        sounding = -1;
    }

    void set(int parameter, int value) {
        float echo = 0.0f;
        int code = value;
        globalBlockSet(static_cast<int16_t>(value), parameter, &echo, &code, &record, &context);
    }

    void press(int note, int velocity = 100, int part = 0) { gen.noteInput(velocity, part, 9, note); }
    void release(int note, int part = 0) { gen.noteInput(0, part, 8, note); }

    struct Block {
        Event off;
        Event on;
    };
    Block block() {
        Event events[2] = {0xDEADBEEFu, 0xDEADBEEFu};
        gen.step(events);
        return {events[0], events[1]};
    }

    // The next count arpeggio notes; each must stop the note before it in the same block.
    std::vector<int> play(int count) {
        std::vector<int> notes;
        for (int b = 0; b < 1000 * count && static_cast<int>(notes.size()) < count; ++b) {
            const Block e = block();
            if (e.on == 0) {
                EXPECT_EQ(e.off, 0u) << "a release without a new note, block " << b;
                continue;
            }
            EXPECT_EQ(e.off, sounding >= 0 ? noteOff(sounding) : 0u) << "before note " << notes.size();
            sounding = NoteGenerator::eventNote(e.on);
            notes.push_back(sounding);
        }
        return notes;
    }
};

TEST_F(NoteGeneratorTest, EachModePlaysItsOrder) {
    struct Case {
        std::string name;
        int mode;
        int range;
        std::vector<int> keys; // in the order pressed
        std::vector<int> notes;
    };
    const std::vector<Case> cases = {
        {"up, two keys", ArpeggioUp, 0, {60, 64}, {60, 64, 60, 64}},
        {"up follows the pressing order", ArpeggioUp, 0, {64, 60, 67}, {64, 60, 67, 64, 60}},
        {"up over two octaves", ArpeggioUp, 1, {60, 64}, {60, 64, 72, 76, 60, 64}},
        {"up over four octaves", ArpeggioUp, 3, {60, 67}, {60, 67, 72, 79, 84, 91, 96, 103, 60}},
        {"down starts at the top", ArpeggioDown, 0, {60, 64, 67}, {67, 64, 60, 67, 64}},
        {"down over two octaves", ArpeggioDown, 1, {60, 64, 67}, {79, 76, 72, 67, 64, 60, 79}},
        {"up-down turns at both ends", ArpeggioUpDown, 0, {60, 64, 67}, {60, 64, 67, 64, 60, 64, 67, 64}},
        {"up-down over two octaves", ArpeggioUpDown, 1, {60, 64}, {60, 64, 72, 76, 72, 64, 60, 64, 72}},
        {"up-down with one key", ArpeggioUpDown, 1, {60}, {60, 72, 60, 72, 60}},
        {"random, three keys", ArpeggioRandom, 0, {60, 64, 67}, {67, 64, 67, 67, 67, 60, 64, 67, 67, 60}},
        {"random over two octaves", ArpeggioRandom, 1, {60, 64}, {76, 76, 64, 76, 64, 60, 76, 76, 76, 72}},
        {"octaves past the top key stay playable", ArpeggioUp, 3, {120}, {120, 120, 120, 120}},
    };
    for (const Case& c : cases) {
        set(10, c.mode);
        set(11, c.range);
        start();
        gen.seed(1);
        for (int key : c.keys) press(key);
        EXPECT_EQ(play(static_cast<int>(c.notes.size())), c.notes) << c.name;
    }
}

TEST_F(NoteGeneratorTest, FirstKeySoundsAtOnceWithItsVelocity) {
    press(60, 90);
    press(64, 30);
    const Block first = block();
    EXPECT_EQ(first.off, 0u);
    EXPECT_EQ(first.on, noteOn(60, 90));
    Block next{};
    while ((next = block()).on == 0) {
    }
    EXPECT_EQ(next.off, noteOff(60));
    EXPECT_EQ(next.on, noteOn(64, 30));
}

TEST_F(NoteGeneratorTest, ReleasingEveryKeyStopsTheSoundingNoteInBothEvents) {
    set(11, 1);
    press(60);
    press(64);
    ASSERT_EQ(play(3), (std::vector<int>{60, 64, 72}));
    release(60);
    release(64);
    const Block stop = block();
    EXPECT_EQ(stop.off, noteOff(72));
    EXPECT_EQ(stop.on, noteOff(72));
    for (int b = 0; b < 200; ++b) {
        const Block quiet = block();
        ASSERT_EQ(quiet.off, 0u);
        ASSERT_EQ(quiet.on, 0u);
    }

    // Fresh keys start the arpeggio from its beginning again, in the lowest octave.
    sounding = -1;
    press(50);
    press(55);
    EXPECT_EQ(play(3), (std::vector<int>{50, 55, 62}));
}

TEST_F(NoteGeneratorTest, KeysChangingMidArpeggioKeepItsPlace) {
    // Releasing the sounding key continues with the key after it, even behind an earlier gap.
    press(60);
    press(62);
    press(64);
    press(67);
    release(62);
    ASSERT_EQ(play(2), (std::vector<int>{60, 64}));
    release(64);
    EXPECT_EQ(play(3), (std::vector<int>{67, 60, 67}));

    // A key filling a gap before the step position plays in its entry's place on the next cycle.
    start();
    press(60);
    press(64);
    press(67);
    ASSERT_EQ(play(2), (std::vector<int>{60, 64}));
    release(60);
    press(72); // takes entry 0: the order is now 72, 64, 67
    EXPECT_EQ(play(4), (std::vector<int>{67, 72, 64, 67}));
}

TEST_F(NoteGeneratorTest, SwitchChangesAskTheKernelToReleaseOrRestrike) {
    set(7, 0);
    start();
    block();
    EXPECT_EQ(gen.pendingAction(0), 0);
    EXPECT_EQ(gen.pendingAction(1), 0);

    struct Case { int parameter; int value; int part; int action; bool on; };
    const Case cases[] = {
        {7, 1, 0, 1, true}, {7, 0, 0, 2, false}, {8, 1, 1, 1, true}, {8, 0, 1, 2, false},
    };
    for (const Case& c : cases) {
        set(c.parameter, c.value);
        EXPECT_EQ(gen.switchedOn(c.part), c.on) << "part " << c.part;
        block();
        EXPECT_EQ(gen.pendingAction(c.part), c.action) << "part " << c.part << " switch " << c.value;
        EXPECT_EQ(gen.pendingAction(1 - c.part), 0) << "part " << c.part << " switch " << c.value;
        gen.clearPendingAction(c.part);
        block();
        EXPECT_EQ(gen.pendingAction(c.part), 0) << "an unchanged switch asks nothing";
    }

    // Parts 2 and 3 have no arpeggiator.
    set(7, 1);
    set(8, 1);
    for (int part : {2, 3, -1}) {
        EXPECT_FALSE(gen.switchedOn(part));
        EXPECT_EQ(gen.pendingAction(part), 0);
        gen.clearPendingAction(part);
    }
}

TEST_F(NoteGeneratorTest, LayerOneKeysStayOutWhileOnlyLayerTwoArpeggiates) {
    set(7, 0);
    set(8, 1);
    press(60, 100, 0);
    EXPECT_EQ(gen.heldCount(), 0);
    press(64, 100, 1);
    EXPECT_EQ(gen.heldCount(), 1);

    set(7, 1);
    press(60, 100, 0);
    EXPECT_EQ(gen.heldCount(), 2);
}

TEST_F(NoteGeneratorTest, HeldTableHoldsThirtyTwoKeysInEntryOrder) {
    for (int i = 0; i < 32; ++i) press(40 + i);
    press(100); // 33rd key
    press(45);  // already held
    ASSERT_EQ(gen.heldCount(), 32);
    for (int i = 0; i < 32; ++i) EXPECT_EQ(gen.heldNote(i), 40 + i);
    EXPECT_EQ(gen.heldNote(32), -1);
    EXPECT_EQ(gen.heldNote(-1), -1);

    // Releasing opens the first entry again, so a new key lists first; an unheld release changes nothing.
    release(40);
    release(100);
    EXPECT_EQ(gen.heldCount(), 31);
    press(100);
    ASSERT_EQ(gen.heldCount(), 32);
    EXPECT_EQ(gen.heldNote(0), 100);
    EXPECT_EQ(gen.heldNote(1), 41);
}

TEST_F(NoteGeneratorTest, InputThatIsNoKeyIsIgnored) {
    press(0);   // entry value 0 marks an empty entry
    press(128);
    press(-3);
    gen.noteInput(100, 0, 11, 60); // a controller
    EXPECT_EQ(gen.heldCount(), 0);

    // A key-on with velocity 0 is a release.
    press(60);
    gen.noteInput(0, 0, 9, 60);
    EXPECT_EQ(gen.heldCount(), 0);

    NoteGenerator unconfigured;
    unconfigured.reset(&context, nullptr);
    unconfigured.noteInput(100, 0, 9, 60);
    EXPECT_EQ(unconfigured.heldCount(), 0);
    Event events[2] = {1, 1};
    unconfigured.step(events);
    EXPECT_EQ(events[0], 0u);
    EXPECT_EQ(events[1], 0u);
    EXPECT_FALSE(unconfigured.switchedOn(0));
}

TEST_F(NoteGeneratorTest, ClearingHeldKeysStopsTheNoteAndRestartsTheOrder) {
    set(10, ArpeggioDown);
    press(60);
    press(64);
    ASSERT_EQ(play(1), (std::vector<int>{64}));
    gen.clearHeldNotes();
    EXPECT_EQ(gen.heldCount(), 0);
    const Block stop = block();
    EXPECT_EQ(stop.off, noteOff(64));
    EXPECT_EQ(stop.on, noteOff(64));

    sounding = -1;
    press(60);
    press(64);
    EXPECT_EQ(play(2), (std::vector<int>{64, 60}));
}

// Step length measured from the block in which the j-th note after a single key sounds:
// the first note sounds at block 0 and note j at block ceil(j x length / 32) - 1.
class NoteGeneratorTiming : public NoteGeneratorTest {
protected:
    long blockOfNote(int j) {
        start();
        press(60);
        const long limit = 4000000;
        for (long b = 0; b < limit; ++b) {
            if (block().on != 0 && j-- == 0) return b;
        }
        return -1;
    }
    static long expectedBlock(double stepLength, int j) { return static_cast<long>(std::ceil(j * stepLength / 32.0)) - 1; }
};

TEST_F(NoteGeneratorTiming, FreeRateStepsLastWholeSamples) {
    set(14, 0);
    set(13, 8192); // 171 steps a minute
    EXPECT_EQ(blockOfNote(100), expectedBlock(15473, 100));

    context.setSampleRate(48000.0);
    set(13, 16384); // 1225 steps a minute: 2351.02 samples, cut to 2351
    EXPECT_EQ(blockOfNote(100), expectedBlock(2351, 100));
}

TEST_F(NoteGeneratorTiming, SyncCodesFollowTheTempo) {
    set(14, 1);
    context.tempo = 120.0f;
    struct Case { int word; double samples; };
    const Case cases[] = {
        {8192, 11025}, {7168, 22050}, {4096, 88200}, {16384, 2450}, {14336, 2756.25}, {0, 176400},
    };
    for (const Case& c : cases) {
        set(13, c.word);
        EXPECT_EQ(blockOfNote(16), expectedBlock(c.samples, 16)) << "rate word " << c.word;
    }

    context.tempo = 90.0f;
    set(13, 8192); // two steps a beat
    EXPECT_EQ(blockOfNote(16), expectedBlock(14700, 16));
}

TEST_F(NoteGeneratorTiming, MissingTempoOrRateNeverStopsTheArpeggio) {
    set(14, 1);
    set(13, 8192);
    for (float tempo : {0.0f, -60.0f, std::numeric_limits<float>::quiet_NaN()}) {
        context.tempo = tempo;
        EXPECT_EQ(blockOfNote(16), expectedBlock(11025, 16)) << "tempo " << tempo << " plays at 120 bpm";
    }

    // A record whose free rate was never loaded steps at the slowest rate, 37.5 a minute.
    set(14, 0);
    for (float rate : {0.0f, -5.0f, std::numeric_limits<float>::quiet_NaN()}) {
        record.as<GlobalBlockParams>().freeRate = rate;
        EXPECT_EQ(blockOfNote(4), expectedBlock(70560, 4)) << "free rate " << rate;
    }
}

} // namespace
} // namespace corvex
