// The audio thread moves learned controllers while the message thread reassigns them (run under TSan),
// allocating nothing after its first block.
#include "instrument/midi/MidiControlCore.h"

#include <array>
#include <atomic>
#include <thread>

#include <gtest/gtest.h>

#include "instrument/midi/ControllerCodes.h"
#include "tests/support/RealTimeChecks.h"

namespace corvex {
namespace {

// Written only by the audio thread with the edit lock held, read by the test after joining.
struct LastValueSink : MidiParameterSink {
    std::array<float, kMidiParameterCount> values{};
    int moves = 0;
    void setParameterFromMidi(int index, float value) override {
        values[static_cast<size_t>(index)] = value;
        ++moves;
    }
};

TEST(ControllerThreads, AudioMovesWhileMessageThreadReassigns) {
    std::mutex editLock;
    LastValueSink sink;
    MidiControlCore core(editLock, sink);
    constexpr int kBlocks = 4000;
    constexpr int kRoundsPerBlock = 5;
    std::atomic<int> rendered{0};
    std::atomic<int> rounds{0};

    testing::RealTimeRun run(kBlocks, [&](int block, float*, float*) {
        // Paced by the message thread, so that the two overlap however fast either side runs.
        while (rounds.load() < block * kRoundsPerBlock)
            std::this_thread::yield();
        core.beginBlock();
        for (int cc = 20; cc < 24; ++cc)
            core.handleControlChange(cc, block % 128);
        core.handleControlChange(99, 1);
        core.handleControlChange(98, block % 4);
        core.handleControlChange(6, block % 128);
        core.pushEvent({MidiEventType::Activity, 0, 0, 0});
        rendered.store(block + 1);
    });

    int badNotices = 0;
    for (int round = 0; rendered.load() < kBlocks; ++round) {
        rounds.store(round);
        const int index = round % 16;
        if (round % 5 == 0)
            core.setLearnTarget(index);
        else if (round % 7 == 0)
            core.clearParameterController(index);
        else
            core.assignController(20 + round % 4, index);
        if (core.getParameterController(index) >= kRpnBase)
            ++badNotices;
        MidiEvent e;
        while (core.popEvent(e))
            if (e.index < 0 || e.index >= kMidiParameterCount)
                ++badNotices;
    }
    // Learning, the pending table and the map's edits on the audio thread stay within their storage.
    testing::expectRealTimeSafe(run.finish(), testing::Expect::AnyLevel);
    EXPECT_EQ(badNotices, 0);
    // Under contention every try-lock may have failed; what waited in the pending table moves now.
    core.beginBlock();
    EXPECT_GT(sink.moves, 0);

    // With the threads settled the map answers plainly: one controller per index, moving what it owns.
    core.clearLearnTarget();
    for (int index = 0; index < 16; ++index)
        core.assignController(20 + index % 4, index);
    core.beginBlock();
    core.handleControlChange(21, 127);
    for (int index = 0; index < 16; ++index) {
        EXPECT_EQ(core.getParameterController(index), 20 + index % 4);
        if (index % 4 == 1) {
            EXPECT_EQ(sink.values[static_cast<size_t>(index)], 1.0f) << index;
        }
    }
}

} // namespace
} // namespace corvex
