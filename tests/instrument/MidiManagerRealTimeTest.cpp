// The MIDI manager's audio-thread path allocates nothing after the first block: notes, bend, controllers
// through the map (NRPN, RPN, learning), MIDI clock, on-screen notes, and blocks flooded past their storage.
#include "instrument/MorvaneMidiManager.h"

#include <array>
#include <atomic>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <juce_events/juce_events.h>

#include "instrument/midi/ControllerCodes.h"
#include "tests/support/RealTimeChecks.h"

namespace corvex {
namespace {

using testing::Expect;
using testing::RealTimeReport;
using testing::RealTimeRun;

// Audio-thread callbacks only count, so that the owner adds no allocation of its own.
struct CountingOwner : MidiManagerOwner {
    std::array<std::atomic<int>, kMidiParameterCount> moves{};
    std::array<std::atomic<float>, kMidiParameterCount> last{};
    std::atomic<int> editorNotices{0};
    void setParameterFromMidi(int index, float value) override {
        moves[static_cast<size_t>(index)].fetch_add(1);
        last[static_cast<size_t>(index)].store(value);
    }
    void notifyEditorOfMidiParameter(int, float) override { editorNotices.fetch_add(1); }
    juce::String getParameterName(int) override { return {}; }
};

struct CountingListener : MorvaneMidiManagerListener {
    int activity = 0, notes = 0, wheels = 0, assignments = 0;
    void midiActivity() override { ++activity; }
    void controllerAssignmentChanged(int, int) override { ++assignments; }
    void midiNoteChanged(int, int) override { ++notes; }
    void midiValueChanged(float) override { ++wheels; }
};

// What the instrument's block processing does with the manager's events, reduced to counting.
struct BlockTally {
    int incomingNoteOns = 0;
    int screenNotes = 0;
};

constexpr uint8_t kIncomingVelocity = 100; // the on-screen keyboard always plays 64

void playBlockEvents(MorvaneMidiManager& manager, BlockTally& tally) {
    for (const juce::MidiMessageMetadata e : manager.getBlockEvents()) {
        const uint8_t kind = e.data[0] & 0xF0;
        if (kind == 0xB0 && e.numBytes == 3 && e.data[1] != 123)
            manager.handleControlChange(e.data[1], e.data[2]);
        if ((kind == 0x80 || kind == 0x90) && e.numBytes == 3) {
            if (e.data[2] == 64 && e.samplePosition == 0 && (e.data[0] & 0x0F) == 0)
                ++tally.screenNotes;
            else if (kind == 0x90 && e.data[2] == kIncomingVelocity)
                ++tally.incomingNoteOns;
        }
    }
}

class MidiManagerRealTimeTest : public ::testing::Test {
protected:
    void SetUp() override { manager.addListener(&listener); }
    void TearDown() override { manager.removeListener(&listener); }

    juce::ScopedJuceInitialiser_GUI juce;
    std::mutex editLock;
    CountingOwner owner;
    CountingListener listener;
    MorvaneMidiManager manager{owner, editLock};
};

// Ten block patterns, played in turn: one clock every ten 32-frame blocks is 24 clocks per 7680 frames,
// 44100 * 60 / 7680 = 344.53 bpm.
std::vector<juce::MidiBuffer> blockPatterns() {
    using M = juce::MidiMessage;
    std::vector<juce::MidiBuffer> p(10);
    p[0].addEvent(M::midiClock(), 0);
    p[0].addEvent(M::noteOn(1, 60, kIncomingVelocity), 3);
    p[1].addEvent(M::pitchWheel(1, 12000), 1);
    p[1].addEvent(M::controllerEvent(1, 7, 90), 2);
    p[2].addEvent(M::controllerEvent(1, 99, 1), 0);
    p[2].addEvent(M::controllerEvent(1, 98, 2), 0);
    p[2].addEvent(M::controllerEvent(1, 6, 100), 0);
    p[3].addEvent(M::controllerEvent(2, 101, 0), 4);
    p[3].addEvent(M::controllerEvent(2, 100, 0), 5);
    p[3].addEvent(M::controllerEvent(2, 6, 12), 6);
    p[4].addEvent(M::controllerEvent(3, 64, 127), 9);
    p[5].addEvent(M::noteOff(1, 60), 0);
    p[5].addEvent(M::aftertouchChange(1, 60, 30), 1);
    p[5].addEvent(M::channelPressureChange(1, 40), 2);
    p[6].addEvent(M::controllerEvent(1, 74, 64), 31);
    p[7].addEvent(M::programChange(1, 5), 0);
    const uint8_t sysex[] = {0x43, 0x10, 0x4C, 0x00};
    p[7].addEvent(M::createSysExMessage(sysex, sizeof(sysex)), 1);
    p[7].addEvent(M::midiStart(), 2);
    p[7].addEvent(M::midiStop(), 3);
    p[8].addEvent(M::allNotesOff(1), 0);
    return p;
}

TEST_F(MidiManagerRealTimeTest, EveryKindOfInputAllocatesNothingAfterTheFirstBlock) {
    manager.assignController(7, 184);
    manager.assignController(nrpnCode(1, 2), 40);
    manager.assignController(rpnCode(0, 0), 238);
    manager.assignController(64, 234);
    manager.assignController(64, 235);
    const std::vector<juce::MidiBuffer> patterns = blockPatterns();
    constexpr int kBlocks = 3000;
    BlockTally tally;
    std::atomic<int> rendered{0};
    std::atomic<int> rounds{0};

    RealTimeRun run(kBlocks, [&](int block, float*, float*) {
        // Paced by the message thread, so that the two overlap however fast either side runs.
        while (rounds.load() < block)
            std::this_thread::yield();
        manager.processMidiBuffer(patterns[static_cast<size_t>(block) % patterns.size()], 32);
        playBlockEvents(manager, tally);
        rendered.store(block + 1);
    });
    // The message thread meanwhile plays the screen keyboard, arms learning, reassigns a controller (which
    // holds the edit lock against the audio thread) and drains the notices, as the 50 ms timer would.
    int screenNotesSent = 0;
    for (int i = 0; rendered.load() < kBlocks; ++i) {
        rounds.store(i);
        if (i % 3 == 0)
            screenNotesSent += manager.sendNote(36 + i % 48, (i / 3) % 2 == 0, 0.5f);
        if (i % 50 == 0)
            manager.setLearnTarget(12);
        if (i % 70 == 0)
            manager.assignController(20 + i % 3, 300);
        manager.drainEvents();
        std::this_thread::yield();
    }
    expectRealTimeSafe(run.finish(), Expect::AnyLevel);
    manager.processMidiBuffer({}, 32); // the screen notes sent after the last block
    playBlockEvents(manager, tally);
    manager.drainEvents();

    EXPECT_EQ(tally.incomingNoteOns, kBlocks / 10);
    EXPECT_EQ(tally.screenNotes, screenNotesSent);
    EXPECT_GT(screenNotesSent, 0);
    EXPECT_NEAR(manager.getTempo(), 44100.0 * 60.0 / 7680.0, 0.01);
    for (const int index : {184, 40, 238, 234, 235, 12})
        EXPECT_GT(owner.moves[static_cast<size_t>(index)].load(), 0) << index;
    EXPECT_EQ(owner.last[184].load(), 90.0f / 127.0f);
    EXPECT_EQ(owner.last[40].load(), 100.0f / 127.0f);
    EXPECT_EQ(owner.last[238].load(), 12.0f / 127.0f);
    EXPECT_NE(manager.getParameterController(12), kNoController) << "learned on the audio thread";
    EXPECT_EQ(manager.getDroppedEventCount(), 0);
    EXPECT_GT(listener.activity, 0);
    EXPECT_GT(listener.notes, 0);
    EXPECT_GT(listener.wheels, 0);
    EXPECT_GT(owner.editorNotices.load(), 0);
}

// Far more incoming events than a block has room for: the earliest are kept, the rest dropped and
// counted, and the block's storage never grows.
TEST_F(MidiManagerRealTimeTest, AFloodedBlockKeepsWhatFitsAndCountsTheRest) {
    constexpr int kRoom = MorvaneMidiManager::kNoteRingSize + MorvaneMidiManager::kMaxIncomingBlockEvents;
    constexpr int kFlood = 3 * kRoom;
    const juce::MidiBuffer flood = [] {
        juce::MidiBuffer events;
        for (int i = 0; i < kFlood; ++i)
            events.addEvent(juce::MidiMessage::noteOn(1 + i % 16, i % 128, kIncomingVelocity), i / 16);
        return events;
    }();
    const juce::MidiBuffer none;

    std::array<int, 4> kept{};
    std::array<int, 4> screenNotes{};
    std::array<int, 4> lastPosition{};
    RealTimeRun run(4, [&](int block, float*, float*) {
        manager.processMidiBuffer(block == 0 ? none : flood, 512);
        for (const juce::MidiMessageMetadata e : manager.getBlockEvents()) {
            ++kept[static_cast<size_t>(block)];
            screenNotes[static_cast<size_t>(block)] += e.data[2] == 64 ? 1 : 0;
            lastPosition[static_cast<size_t>(block)] = e.samplePosition;
        }
        if (block == 0) // a full note ring for the next block, which the flood must not crowd out
            for (int note = 0; note < MorvaneMidiManager::kNoteRingSize; ++note)
                manager.sendNote(note, true, 0.5f);
    });
    expectRealTimeSafe(run.finish(), Expect::AnyLevel);

    EXPECT_EQ(kept[0], 0);
    for (int block = 1; block < 4; ++block) {
        EXPECT_EQ(kept[static_cast<size_t>(block)], kRoom) << block;
        const int incomingKept = kRoom - screenNotes[static_cast<size_t>(block)];
        EXPECT_EQ(lastPosition[static_cast<size_t>(block)], (incomingKept - 1) / 16) << "the earliest are kept";
    }
    EXPECT_EQ(screenNotes[1], MorvaneMidiManager::kNoteRingSize);
    EXPECT_EQ(screenNotes[2], 0);
    EXPECT_EQ(manager.getDroppedEventCount(),
              (kFlood - MorvaneMidiManager::kMaxIncomingBlockEvents) + 2 * (kFlood - kRoom));

    // The same flood in a buffer without reserved storage grows it: the trap sees that in this binary.
    if (testing::allocationCountingAvailable()) {
        juce::MidiBuffer plain;
        RealTimeRun growing(2, [&](int block, float*, float*) {
            if (block == 1)
                plain.addEvents(flood, 0, -1, 0);
        });
        EXPECT_GT(growing.finish().allocationsAfterFirstBlock, 0);
    }
}

// A block busy with controllers still ends its notes: whatever ends a sound (note-off, a note-on of velocity
// 0, all notes off, all sound off, the sustain pedal let go, controllers reset) is kept, and the controllers
// before it make room; the storage still never grows.
TEST_F(MidiManagerRealTimeTest, AFloodedBlockDropsNothingThatEndsASound) {
    using M = juce::MidiMessage;
    constexpr int kControllers = 2100;
    constexpr int kBlockSize = 4096;
    const struct Case {
        const char* name;
        std::vector<M> endings;
    } cases[] = {
        {"note-off", {M::noteOff(1, 60)}},
        {"note-on of velocity 0", {M::noteOn(1, 60, static_cast<juce::uint8>(0))}},
        {"all notes off", {M::allNotesOff(1)}},
        {"all sound off", {M::allSoundOff(1)}},
        {"sustain pedal off", {M::controllerEvent(1, 64, 0)}},
        {"reset controllers", {M::controllerEvent(1, 121, 0)}},
        {"a hundred note-offs", [] {
             std::vector<M> offs;
             for (int key = 0; key < 100; ++key) offs.push_back(M::noteOff(1 + key % 16, key));
             return offs;
         }()},
    };
    for (const Case& c : cases) {
        juce::MidiBuffer busy;
        busy.addEvent(M::noteOn(1, 60, kIncomingVelocity), 0);
        for (int i = 0; i < kControllers; ++i) busy.addEvent(M::controllerEvent(1, 20, i % 128), i * 4000 / kControllers);
        for (const M& e : c.endings) busy.addEvent(e, kBlockSize - 1);

        const juce::MidiBuffer none;
        int kept = 0, endingsKept = 0, controllersKept = 0;
        bool noteOnKept = false;
        RealTimeRun run(2, [&](int block, float*, float*) {
            manager.processMidiBuffer(block == 0 ? none : busy, kBlockSize);
            for (const juce::MidiMessageMetadata e : manager.getBlockEvents()) {
                ++kept;
                const int kind = e.data[0] & 0xF0;
                if (e.samplePosition == kBlockSize - 1)
                    ++endingsKept;
                else if (kind == 0xB0)
                    ++controllersKept;
                else if (kind == 0x90)
                    noteOnKept = true;
            }
        });
        expectRealTimeSafe(run.finish(), Expect::AnyLevel);
        EXPECT_EQ(endingsKept, static_cast<int>(c.endings.size())) << c.name;
        EXPECT_TRUE(noteOnKept) << c.name << ": the earliest events are kept";
        EXPECT_EQ(kept, MorvaneMidiManager::kNoteRingSize + MorvaneMidiManager::kMaxIncomingBlockEvents) << c.name;
        EXPECT_EQ(controllersKept, kept - 1 - endingsKept) << c.name;
    }
}

} // namespace
} // namespace corvex
