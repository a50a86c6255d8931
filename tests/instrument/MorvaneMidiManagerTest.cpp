// The MIDI manager builds each block's events, tells its listeners in order and remembers its map.
#include "instrument/MorvaneMidiManager.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <juce_events/juce_events.h>

#include "instrument/MidiMenus.h"
#include "instrument/midi/ControllerCodes.h"
#include "tests/support/CallWithin.h"

namespace corvex {
namespace {

struct FakeOwner : MidiManagerOwner {
    std::vector<std::string> calls;
    void setParameterFromMidi(int index, float value) override {
        calls.push_back("set " + std::to_string(index) + " " + std::to_string(value));
    }
    void notifyEditorOfMidiParameter(int index, float value) override {
        calls.push_back("notify " + std::to_string(index) + " " + std::to_string(value));
    }
    juce::String getParameterName(int index) override { return "Param" + juce::String(index); }
};

struct RecordingListener : MorvaneMidiManagerListener {
    std::vector<std::string> heard;
    void midiActivity() override { heard.push_back("activity"); }
    void controllerAssignmentChanged(int index, int controller) override {
        heard.push_back("controller " + std::to_string(index) + " " + std::to_string(controller));
    }
    void midiNoteChanged(int note, int state) override {
        heard.push_back("note " + std::to_string(note) + " " + std::to_string(state));
    }
    void midiValueChanged(float value) override { heard.push_back("wheel " + std::to_string(value)); }
};

std::string bytesOf(const juce::MidiMessageMetadata& m) {
    std::string s = std::to_string(m.samplePosition) + ":";
    for (int i = 0; i < m.numBytes; ++i)
        s += " " + std::to_string(m.data[i]);
    return s;
}

class MorvaneMidiManagerTest : public ::testing::Test {
protected:
    void SetUp() override { manager.addListener(&listener); }
    void TearDown() override { manager.removeListener(&listener); }

    std::vector<std::string> block() const {
        std::vector<std::string> out;
        for (const juce::MidiMessageMetadata m : manager.getBlockEvents())
            out.push_back(bytesOf(m));
        return out;
    }

    juce::ScopedJuceInitialiser_GUI juce;
    std::mutex editLock;
    FakeOwner owner;
    RecordingListener listener;
    MorvaneMidiManager manager{owner, editLock};
};

TEST_F(MorvaneMidiManagerTest, ABlockTakesScreenNotesAndTheReceiveChannelOnly) {
    manager.setChannel(5);
    EXPECT_EQ(manager.sendNote(60, true, 0.7f), 1);

    juce::MidiBuffer in;
    in.addEvent(juce::MidiMessage::noteOn(5, 62, static_cast<juce::uint8>(100)), 10);
    in.addEvent(juce::MidiMessage::noteOn(1, 63, static_cast<juce::uint8>(100)), 11);
    in.addEvent(juce::MidiMessage::programChange(5, 3), 12);
    in.addEvent(juce::MidiMessage::pitchWheel(5, 8192), 13);
    in.addEvent(juce::MidiMessage::controllerEvent(5, 123, 0), 14);
    in.addEvent(juce::MidiMessage::midiClock(), 15);
    in.addEvent(juce::MidiMessage::noteOn(5, 62, static_cast<juce::uint8>(0)), 16);
    manager.processMidiBuffer(in, 64);

    const std::vector<std::string> expectedBlock = {"0: 144 60 64", "10: 148 62 100", "13: 228 0 64",
                                                    "14: 180 123 0", "16: 148 62 0"};
    EXPECT_EQ(block(), expectedBlock);

    manager.drainEvents();
    const std::vector<std::string> expectedHeard = {"note 60 1", "note 62 1", "wheel 0.500000",
                                                    "note -1 0", "note 62 0", "activity"};
    EXPECT_EQ(listener.heard, expectedHeard);

    // A block with only filtered-out input reports no activity and keeps nothing.
    listener.heard.clear();
    manager.processMidiBuffer(juce::MidiBuffer(juce::MidiMessage::noteOn(2, 1, 1.0f)), 64);
    manager.drainEvents();
    EXPECT_TRUE(block().empty());
    EXPECT_TRUE(listener.heard.empty());
}

TEST_F(MorvaneMidiManagerTest, LearningTellsListenersThenTheEditor) {
    manager.setLearnTarget(12);
    manager.handleControlChange(74, 64);
    const std::vector<std::string> set = {"set 12 " + std::to_string(64.0f / 127.0f)};
    EXPECT_EQ(owner.calls, set);

    manager.drainEvents();
    const std::vector<std::string> heard = {"controller 12 -1", "controller 12 74"};
    EXPECT_EQ(listener.heard, heard);
    ASSERT_EQ(owner.calls.size(), 2u);
    EXPECT_EQ(owner.calls[1], "notify 12 " + std::to_string(64.0f / 127.0f));
    EXPECT_EQ(manager.getParameterController(12), 74);

    // "none" in the controller menu clears it, and listeners hear -1 at once.
    listener.heard.clear();
    manager.assignController(*controllerFromMenu(1), 12);
    EXPECT_EQ(listener.heard, std::vector<std::string>{"controller 12 -1"});
    EXPECT_EQ(manager.getParameterController(12), -1);
}

TEST_F(MorvaneMidiManagerTest, TheTimerDrainsNoticesOnTheMessageThread) {
    manager.processMidiBuffer(juce::MidiBuffer(juce::MidiMessage::channelPressureChange(1, 5)), 64);
    for (int i = 0; i < 20 && listener.heard.empty(); ++i)
        juce::MessageManager::getInstance()->runDispatchLoopUntil(50);
    EXPECT_EQ(listener.heard, std::vector<std::string>{"activity"});
}

TEST_F(MorvaneMidiManagerTest, AFullNoteRingRefusesTheNote) {
    for (int i = 0; i < MorvaneMidiManager::kNoteRingSize; ++i)
        ASSERT_EQ(manager.sendNote(i, true, 0.7f), 1);
    EXPECT_EQ(manager.sendNote(99, true, 0.7f), 0);
    manager.processMidiBuffer({}, 64);
    EXPECT_EQ(block().size(), static_cast<size_t>(MorvaneMidiManager::kNoteRingSize));
}

TEST_F(MorvaneMidiManagerTest, PrefsRestoreChannelAndAssignments) {
    juce::TemporaryFile temp;
    const juce::File file = temp.getFile().getChildFile("midi.prefs");
    manager.setChannel(10);
    manager.assignController(64, 300);
    manager.assignController(nrpnCode(1, 2), 7);
    ASSERT_TRUE(manager.saveToFile(file));
    EXPECT_TRUE(file.loadFileAsString().contains("param_name=\"Param300\""));

    std::mutex otherLock;
    MorvaneMidiManager other(owner, otherLock);
    ASSERT_TRUE(other.loadFromFile(file));
    EXPECT_EQ(other.getChannel(), 10);
    EXPECT_EQ(other.getParameterController(300), 64);
    EXPECT_EQ(other.getParameterController(7), nrpnCode(1, 2));
    EXPECT_FALSE(other.loadFromFile(temp.getFile().getChildFile("absent.prefs")));
    temp.getFile().deleteRecursively();
}

// The state a bad file meets is kept whole (channel and map), and the file is left for the user to inspect.
TEST_F(MorvaneMidiManagerTest, ARefusedPrefsFileChangesNothing) {
    // Its own manager on the heap: should a read never return, the manager it uses is leaked, not destroyed.
    struct Rig {
        std::mutex lock;
        FakeOwner owner;
        MorvaneMidiManager manager{owner, lock};
    };
    auto rig = std::make_unique<Rig>();
    MorvaneMidiManager& m = rig->manager;
    m.setChannel(7);
    m.assignController(64, 234);
    m.assignController(rpnCode(0, 0), 238);
    juce::TemporaryFile temp;
    for (const char* text : {"<M>&#x", "<M><?\?>n", "<MorvaneMidiMapping channel=\"3\"><CC cc_number=\"9\" param_",
                             "<Other channel=\"3\"/>", " \n"}) {
        ASSERT_TRUE(temp.getFile().replaceWithText(text));
        juce::MemoryBlock before;
        ASSERT_TRUE(temp.getFile().loadFileAsData(before));

        ::testing::internal::CaptureStderr();
        const std::optional<bool> loaded =
            testing::callWithin(std::chrono::seconds(5), [&m, file = temp.getFile()] { return m.loadFromFile(file); });
        const std::string message = ::testing::internal::GetCapturedStderr();
        if (!loaded) {
            (void)rig.release();
            FAIL() << "loading did not return within 5 s: " << text;
        }
        EXPECT_FALSE(*loaded) << text;
        EXPECT_NE(message.find("midi.prefs"), std::string::npos) << text;
        EXPECT_EQ(m.getChannel(), 7) << text;
        EXPECT_EQ(m.getParameterController(234), 64) << text;
        EXPECT_EQ(m.getParameterController(238), rpnCode(0, 0)) << text;
        EXPECT_EQ(m.getParameterController(9), -1) << text;
        juce::MemoryBlock after;
        ASSERT_TRUE(temp.getFile().loadFileAsData(after));
        EXPECT_EQ(after, before) << text;
    }
}

TEST(MidiMenus, ResultsMapToChannelsAndControllers) {
    struct ChannelCase { int result, current, channel; };
    for (const ChannelCase c : {ChannelCase{0, 4, 4}, {1, 4, 0}, {2, 0, 1}, {17, 0, 16}, {18, 3, 3}, {-1, 3, 3}})
        EXPECT_EQ(channelAfterMenu(c.result, c.current), c.channel) << c.result;

    EXPECT_EQ(controllerFromMenu(0), std::nullopt);
    EXPECT_EQ(controllerFromMenu(1), std::optional<int>(-1));
    EXPECT_EQ(controllerFromMenu(2), std::optional<int>(0));
    EXPECT_EQ(controllerFromMenu(129), std::optional<int>(127));
    EXPECT_EQ(controllerFromMenu(130), std::nullopt);

    EXPECT_EQ(channelMenuItemFor(0), 1);
    EXPECT_EQ(channelMenuItemFor(16), 17);
    EXPECT_EQ(controllerMenuItemFor(-1), 1);
    EXPECT_EQ(controllerMenuItemFor(127), 129);
    EXPECT_EQ(controllerMenuItemFor(nrpnCode(1, 2)), 0);
}

} // namespace
} // namespace corvex
