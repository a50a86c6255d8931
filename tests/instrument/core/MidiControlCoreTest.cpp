// Control changes reach parameters through the controller map: NRPN, RPN, learning, the busy edit lock.
#include "instrument/midi/MidiControlCore.h"

#include <thread>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "instrument/midi/ControllerCodes.h"

namespace corvex {
namespace {

struct RecordingSink : MidiParameterSink {
    std::vector<std::pair<int, float>> moves;
    void setParameterFromMidi(int index, float value) override { moves.emplace_back(index, value); }
};

struct Notice {
    MidiEventType type;
    int index;
    int a;
    bool operator==(const Notice& o) const { return type == o.type && index == o.index && a == o.a; }
};

class MidiControlCoreTest : public ::testing::Test {
protected:
    std::vector<Notice> drain() {
        std::vector<Notice> out;
        MidiEvent e;
        while (core.popEvent(e))
            out.push_back({e.type, e.index, e.a});
        return out;
    }

    std::mutex editLock;
    RecordingSink sink;
    MidiControlCore core{editLock, sink};
};

TEST_F(MidiControlCoreTest, NrpnAndRpnDataEntryDispatchTheirCodes) {
    core.assignController(nrpnCode(1, 2), 40);
    core.assignController(rpnCode(0, 0), 238);

    core.handleControlChange(99, 1);
    core.handleControlChange(98, 2);
    core.handleControlChange(6, 100);
    ASSERT_EQ(sink.moves.size(), 1u);
    EXPECT_EQ(sink.moves[0], std::make_pair(40, 100.0f / 127.0f));
    EXPECT_EQ(nrpnCode(1, 2), 0x8082);

    // Selecting an RPN deselects the NRPN, and RPN entries never learn even while learning is armed.
    core.setLearnTarget(12);
    core.handleControlChange(101, 0);
    core.handleControlChange(100, 0);
    core.handleControlChange(6, 12);
    ASSERT_EQ(sink.moves.size(), 2u);
    EXPECT_EQ(sink.moves[1], std::make_pair(238, 12.0f / 127.0f));
    EXPECT_EQ(core.learnTarget(), 12);
    EXPECT_EQ(core.getParameterController(12), -1);

    // The selection bytes themselves move nothing.
    core.handleControlChange(99, 5);
    EXPECT_EQ(sink.moves.size(), 2u);
}

TEST_F(MidiControlCoreTest, LearningReplacesTheOldControllerAndNotifiesInOrder) {
    core.assignController(20, 12);
    drain();

    core.setLearnTarget(12);
    core.handleControlChange(74, 64);

    const std::vector<Notice> expected = {{MidiEventType::ControllerRemoved, 12, 0},
                                          {MidiEventType::ControllerAssigned, 12, 74},
                                          {MidiEventType::LearnedControllerMoved, 12, 64}};
    EXPECT_EQ(drain(), expected);
    ASSERT_EQ(sink.moves.size(), 1u);
    EXPECT_EQ(sink.moves[0], std::make_pair(12, 64.0f / 127.0f));
    EXPECT_EQ(core.learnTarget(), -1);
    EXPECT_EQ(core.getParameterController(12), 74);

    core.handleControlChange(20, 1); // the old controller is gone
    EXPECT_EQ(sink.moves.size(), 1u);

    // NRPN data entry learns too, with its full code.
    core.setLearnTarget(900);
    core.handleControlChange(99, 3);
    core.handleControlChange(98, 4);
    core.handleControlChange(6, 7);
    EXPECT_EQ(core.getParameterController(900), nrpnCode(3, 4));
}

TEST_F(MidiControlCoreTest, TwoParametersOnOneControllerMoveInAssignmentOrder) {
    core.assignController(64, 300);
    core.assignController(64, 7);
    core.handleControlChange(64, 127);
    ASSERT_EQ(sink.moves.size(), 2u);
    EXPECT_EQ(sink.moves[0].first, 300);
    EXPECT_EQ(sink.moves[1].first, 7);
}

TEST_F(MidiControlCoreTest, NoneClearsTheAssignmentAndAnswersMinusOne) {
    EXPECT_EQ(core.getParameterController(5), -1);
    core.assignController(10, 5);
    EXPECT_EQ(core.getParameterController(5), 10);

    const MidiNotices cleared = core.assignController(kNoController, 5);
    ASSERT_EQ(cleared.count, 1);
    EXPECT_EQ(cleared.events[0].type, MidiEventType::ControllerRemoved);
    EXPECT_EQ(core.getParameterController(5), -1);
    core.handleControlChange(10, 3);
    EXPECT_TRUE(sink.moves.empty());

    // Out-of-range codes and indices change nothing.
    EXPECT_EQ(core.assignController(128, 5).count, 0);
    EXPECT_EQ(core.assignController(10, kMidiParameterCount).count, 0);
    EXPECT_EQ(core.assignController(rpnCode(127, 127), 1009).count, 2);
    EXPECT_EQ(core.getParameterController(1009), rpnCode(127, 127));

    // Message-thread changes never produce into the audio thread's ring.
    EXPECT_TRUE(drain().empty());
}

TEST_F(MidiControlCoreTest, AFullEventRingLosesNoticesButParametersStillMove) {
    core.assignController(1, 9);
    for (int i = 0; i < MidiControlCore::kEventRingSize; ++i)
        ASSERT_TRUE(core.pushEvent({MidiEventType::Activity, 0, 0, 0}));
    EXPECT_FALSE(core.pushEvent({MidiEventType::Activity, 0, 0, 0}));

    core.handleControlChange(1, 99);
    ASSERT_EQ(sink.moves.size(), 1u);
    EXPECT_EQ(sink.moves[0], std::make_pair(9, 99.0f / 127.0f));
    const std::vector<Notice> drained = drain();
    EXPECT_EQ(drained.size(), static_cast<size_t>(MidiControlCore::kEventRingSize));
    for (const Notice& n : drained)
        EXPECT_EQ(n.type, MidiEventType::Activity);
}

TEST_F(MidiControlCoreTest, ABusyEditLockDefersTheLatestValueToTheNextBlock) {
    core.assignController(1, 9);
    core.assignController(2, 8);
    core.setLearnTarget(100);
    {
        std::lock_guard<std::mutex> held(editLock);
        std::thread audio([&] {
            core.handleControlChange(50, 1); // the first controller after arming: learned once the lock is free
            core.handleControlChange(2, 10);
            core.handleControlChange(1, 20);
            core.handleControlChange(2, 30); // replaces 10, keeps its place
            core.beginBlock();               // still busy: nothing applied
        });
        audio.join();
    }
    EXPECT_TRUE(sink.moves.empty());

    core.beginBlock();
    const std::vector<std::pair<int, float>> expected = {
        {100, 1.0f / 127.0f}, {8, 30.0f / 127.0f}, {9, 20.0f / 127.0f}};
    EXPECT_EQ(sink.moves, expected);
    EXPECT_EQ(core.getParameterController(100), 50);
    core.beginBlock(); // the table was emptied
    EXPECT_EQ(sink.moves.size(), 3u);
}

} // namespace
} // namespace corvex
