// Notes to voices: polyphonic reuse and limits, unison, monophonic priorities and legato, key ranges,
// bend, pressure, hold and all notes off, played through the initial program.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "engine/program/CorvanKernelProgram.h"
#include "tests/engine/KernelTestHelpers.h"

namespace corvex::testing {
namespace {

class Voices : public ::testing::Test {
protected:
    void SetUp() override {
        kernel = makeKernel();
        program = std::make_unique<CorvanKernelProgram>(*kernel);
        program->initialise();
        block();
    }
    void block() { render(*kernel, out); }
    void on(int note, int velocity = 100, int channel = 0) { kernel->sendMidiNote(0x90 | channel, note, velocity); }
    void off(int note) { kernel->sendMidiNote(0x80, note, 0); }
    // Program-side poly/mono choice for the first layer (0 poly, 1 mono, 2 unison poly).
    void assign(int mode, int polyphony, int priority, int unison) {
        program->setAssignParameters(polyphony, priority, unison);
        program->setPartAssignMode(0, mode);
        block();
    }
    // Notes of the first part's sounding (not releasing) voices, by voice index.
    std::vector<int> sounding(int part = 0) const {
        std::vector<int> notes;
        for (int i = 0; i < kVoiceCount; ++i) {
            const VoiceRecord& v = kernel->voice(i);
            notes.push_back(v.ownerPart == part && v.state == VoiceRecord::Sounding ? v.note : -1);
        }
        while (!notes.empty() && notes.back() < 0) notes.pop_back();
        return notes;
    }
    const CorvexProgram& part(int p = 0) const { return *kernel->program(p); }

    std::unique_ptr<CorvexKernel> kernel;
    std::unique_ptr<CorvanKernelProgram> program;
    Block out;
};

TEST_F(Voices, InitialProgramPlaysPolyphonicallyUpToItsLimit) {
    EXPECT_EQ(part().voiceLimit, 8);
    EXPECT_EQ(part().unison(), 1);
    for (int n = 60; n < 64; ++n) on(n);
    EXPECT_EQ(sounding(), (std::vector<int>{60, 61, 62, 63}));
    EXPECT_EQ(part().heldNotes.count(), 4);
    off(61);
    EXPECT_EQ(kernel->voice(1).state, VoiceRecord::Releasing);
    EXPECT_EQ(part().releasedNotes.count(), 1);
    on(61); // mode 0: a released note takes its own voice back
    EXPECT_EQ(kernel->voice(1).state, VoiceRecord::Sounding);
    EXPECT_EQ(kernel->voice(1).note, 61);
    EXPECT_EQ(part().releasedNotes.count(), 0);
}

TEST_F(Voices, VoiceLimitRecyclesTheOldestNote) {
    for (int n = 60; n < 68; ++n) on(n);
    EXPECT_EQ(sounding().size(), 8u);
    on(70); // ninth key over a limit of 8: the oldest key's voice plays it
    EXPECT_EQ(kernel->voice(0).note, 70);
    EXPECT_FALSE(part().heldNotes.contains(60));
    EXPECT_EQ(part().heldNotes.count(), 8);
    off(60); // already gone: nothing changes
    EXPECT_EQ(kernel->voice(0).state, VoiceRecord::Sounding);
}

TEST_F(Voices, UnisonModeTakesVoicesFromTheOldestNote) {
    assign(2, 4, 0, 2); // polyphonic, two voices per note, limit 4
    EXPECT_EQ(part().assignMode(), 1);
    EXPECT_EQ(part().unison(), 2);
    EXPECT_EQ(part().voiceLimit, 4);
    on(60);
    on(64);
    EXPECT_EQ(sounding(), (std::vector<int>{60, 60, 64, 64}));
    on(67);
    EXPECT_EQ(sounding(), (std::vector<int>{67, 67, 64, 64}));
    EXPECT_FALSE(part().heldNotes.contains(60));
    off(60);
    EXPECT_EQ(sounding(), (std::vector<int>{67, 67, 64, 64}));
}

TEST_F(Voices, MonophonicPriorities) {
    struct Case {
        int priority; // 0 first key, 1 highest, 2 newest
        std::vector<int> keys;
        int sounds;
    };
    const Case cases[] = {
        {2, {60, 64}, 64},
        {1, {64, 60}, 64},
        {1, {60, 64}, 64},
        {0, {60, 64}, 60},
        {0, {64, 60}, 60},
    };
    for (const Case& c : cases) {
        SetUp();
        assign(1, 2, c.priority, 2);
        EXPECT_EQ(part().voiceLimit, 1);
        for (int k : c.keys) on(k);
        ASSERT_EQ(sounding().size(), 1u) << c.priority;
        EXPECT_EQ(sounding()[0], c.sounds) << c.priority;
    }
}

TEST_F(Voices, NewestKeyGlidesBackAndReleasesLast) {
    assign(1, 2, 2, 2);
    on(60);
    on(64);
    ASSERT_EQ(sounding(), (std::vector<int>{64}));
    off(64);
    EXPECT_EQ(sounding(), (std::vector<int>{60})) << "back to the held key without a release";
    off(60);
    EXPECT_TRUE(sounding().empty());
    EXPECT_EQ(kernel->voice(0).state, VoiceRecord::Releasing);
}

TEST_F(Voices, KeyRangesRouteNotesAndNoteOffsPassEverywhere) {
    program->startPart(2); // the initial program leaves the second layer stopped until it is loaded
    program->setKeyMode(CorvanKernelProgram::Split);
    block();
    on(40);
    on(72);
    EXPECT_EQ(sounding(0), (std::vector<int>{-1, 72}));
    EXPECT_EQ(sounding(1), (std::vector<int>{40}));
    off(40);
    off(72);
    EXPECT_TRUE(sounding(0).empty());
    EXPECT_TRUE(sounding(1).empty());
}

TEST_F(Voices, BendAndPressure) {
    kernel->sendPitchBend(0x40, 0x00);
    EXPECT_FLOAT_EQ(part(0).bend, 0.0f);
    kernel->sendPitchBend(0x7F, 0x7F);
    EXPECT_NEAR(part(0).bend, 32766.0f / 16384.0f - 1.0f, 1e-6f);
    // Pressure reaches the playing parts whatever the channel: the channel was chosen upstream.
    kernel->sendPressure(0xD5, 64, 0);
    EXPECT_EQ(part(0).pressureNote, 255);
    EXPECT_NEAR(part(0).pressureValue, 64.0f / 127.0f, 1e-6f);
    kernel->sendPressure(0xA2, 61, 127);
    EXPECT_EQ(part(0).pressureNote, 61);
    EXPECT_FLOAT_EQ(part(0).pressureValue, 1.0f);
    EXPECT_FLOAT_EQ(part(1).pressureValue, 0.0f) << "the second layer is not playing";
}

TEST_F(Voices, HeldNoteOffsWaitAndNoneIsLost) {
    program->setHold(0, true);
    block();
    for (int n = 0; n < 100; ++n) on(n + 20);
    EXPECT_EQ(sounding().size(), 8u);
    for (int n = 0; n < 100; ++n) off(n + 20);
    for (int n = 0; n < 100; ++n) off(n + 20); // 200 note-offs: the ring keeps 127, the rest run oldest first
    EXPECT_EQ(part().heldNotes.count(), 8) << "released as the ring overflowed, except the newest 8 keys";
    program->setHold(0, false);
    block();
    EXPECT_EQ(part().heldNotes.count(), 0);
    EXPECT_TRUE(sounding().empty());
}

TEST_F(Voices, HoldWithReplacementReleasesTheLastHeldNote) {
    program->setVoiceAssignMode(4);
    program->setHold(0, true); // mode 4 holds with replacement
    block();
    on(60);
    off(60);
    EXPECT_EQ(sounding(), (std::vector<int>{60}));
    on(64);
    EXPECT_EQ(sounding(), (std::vector<int>{-1, 64}));
}

TEST_F(Voices, AllNotesOffFreesEveryVoice) {
    for (int n = 60; n < 66; ++n) on(n);
    kernel->allNotesOff();
    for (int i = 0; i < kVoiceCount; ++i) EXPECT_EQ(kernel->voice(i).state, VoiceRecord::Free) << i;
    EXPECT_EQ(part().heldNotes.count(), 0);
    EXPECT_EQ(part().soundingVoices, 0);
}

TEST_F(Voices, PartStopFreesVoicesAndModules) {
    const int before = kernel->modulePools().wrappersA.freeCount();
    for (int n = 60; n < 68; ++n) on(n);
    EXPECT_LT(kernel->modulePools().wrappersA.freeCount(), before);
    program->stopPart(1);
    block();
    EXPECT_FALSE(part().running);
    EXPECT_EQ(kernel->soundingVoiceCount(), 0);
    program->startPart(1);
    block();
    EXPECT_EQ(kernel->modulePools().wrappersA.freeCount(), before);
}

// A stopped part renders no voice and so would never free one: notes to it are refused whichever
// path they take, and nothing stays taken.
TEST_F(Voices, NotesToAStoppedPartTakeNothing) {
    program->stopPart(1);
    block();
    ASSERT_FALSE(part().running);
    const std::vector<int> before = freeItems(*kernel);
    for (int n = 0; n < 90; ++n) {
        const uint16_t note = static_cast<uint16_t>((100 << 8) | (30 + n % 60));
        const uint16_t directOn[2] = {head((0 << 4) | 1, MessageType::DirectNoteOn), note};
        const uint16_t directOff[2] = {head((0 << 4) | 1, MessageType::DirectNoteOff), note};
        const uint16_t midiOn[2] = {head(0x90, MessageType::MidiEvent), note};
        const uint16_t midiOff[2] = {head(0x80, MessageType::MidiEvent), note};
        EXPECT_EQ(kernel->processMessage(directOn, 2), -1);
        EXPECT_EQ(kernel->processMessage(midiOn, 2), -1);
        kernel->processMessage(directOff, 2);
        kernel->processMessage(midiOff, 2);
        block();
    }
    for (int i = 0; i < kVoiceCount; ++i) EXPECT_EQ(kernel->voice(i).state, VoiceRecord::Free) << i;
    EXPECT_EQ(freeItems(*kernel), before);
    EXPECT_EQ(part().heldNotes.count(), 0);

    // Controllers still reach a stopped part, and a started part plays again.
    const uint16_t allOff[2] = {head(0xB0, MessageType::MidiEvent), 123};
    EXPECT_EQ(kernel->processMessage(allOff, 2), 0);
    program->startPart(1);
    block();
    on(60);
    EXPECT_EQ(sounding(), std::vector<int>{60});
}

} // namespace
} // namespace corvex::testing

namespace corvex::testing {
namespace {

// The largest voice the layers can ask for: both insert chains filled with the effects whose modules
// share the busiest pool. All 32 voices must still be built.
TEST_F(Voices, ThirtyTwoVoicesWithBothInsertChainsFit) {
    program->setAssignParameters(32, 2, 2);
    program->setPartAssignMode(0, 0);
    ASSERT_EQ(program->disconnect(1, 5, 0, 0, 8, 0), 29);
    ASSERT_GE(program->connect(1, 5, 0, 0, 14, 0, 16384, 0), 0);
    ASSERT_GE(program->connect(1, 14, 0, 0, 19, 0, 16384, 0), 0);
    ASSERT_GE(program->connect(1, 19, 0, 0, 8, 0, 16384, 0), 0);
    block();
    for (int n = 0; n < kVoiceCount; ++n) on(30 + n);
    EXPECT_EQ(kernel->soundingVoiceCount(), kVoiceCount);
    for (int i = 0; i < kVoiceCount; ++i) {
        EXPECT_NE(kernel->voice(i).modules[14], nullptr) << i;
        EXPECT_NE(kernel->voice(i).modules[19], nullptr) << i;
    }
    block();
    EXPECT_GT(kernel->bufferStore().freeCount(), 0);
}

} // namespace
} // namespace corvex::testing

namespace corvex::testing {
namespace {

// A voice whose modules cannot all be built is undone: no item, buffer or binding stays taken.
TEST_F(Voices, VoiceThatCannotBeBuiltIsRolledBack) {
    ModulePoolBase& oscillators = kernel->modulePools().oscillators;
    std::vector<void*> taken;
    while (oscillators.freeCount() > 1) taken.push_back(oscillators.allocate()); // room for one of two
    const int buffers = kernel->bufferStore().freeCount();
    std::vector<int> pools;
    for (int p = 0; p < kModulePoolCount; ++p) pools.push_back(kernel->modulePools().pool(p)->freeCount());

    // A direct note-on reports the failure; a MIDI note-on fails alike, silently.
    const uint16_t direct[2] = {(0 << 12) | (1 << 8) | 26, (100 << 8) | 60};
    EXPECT_EQ(kernel->processMessage(direct, 2), -1);
    on(61);
    EXPECT_EQ(kernel->soundingVoiceCount(), 0);
    EXPECT_EQ(kernel->voice(0).ownerPart, VoiceRecord::kFreeOwner);
    EXPECT_EQ(kernel->bufferStore().freeCount(), buffers);
    for (int p = 0; p < kModulePoolCount; ++p) EXPECT_EQ(kernel->modulePools().pool(p)->freeCount(), pools[static_cast<size_t>(p)]) << p;

    for (void* item : taken) oscillators.release(item);
    on(62);
    EXPECT_EQ(kernel->soundingVoiceCount(), 1);
}

} // namespace
} // namespace corvex::testing
