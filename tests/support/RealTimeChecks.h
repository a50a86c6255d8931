// The one judgement of a real-time run shared by every test that renders through RealTimeRun.
#pragma once

#include <gtest/gtest.h>

#include "tests/support/RealTimeRun.h"

namespace corvex::testing {

enum class Expect {
    Sound,    // the render is meant to be heard: most blocks must reach kAudibleLevel
    AnyLevel, // nothing is rendered (a MIDI path alone), or silence is as good as sound
};

// Every block ran and none held NaN, infinity or a denormal.
inline void expectCleanSamples(const RealTimeReport& report) {
    EXPECT_EQ(report.blocks, report.requestedBlocks) << "blocks rendered";
    EXPECT_EQ(report.badSamples, 0) << "NaN, infinite or denormal samples";
}

// A few sounding blocks among thousands would pass a render that died early, so at least half must sound.
inline void expectSound(const RealTimeReport& report) {
    EXPECT_GE(report.soundingBlocks * 2, report.blocks)
        << "silent render where sound was expected: " << report.soundingBlocks << " of " << report.blocks
        << " blocks reach -60 dBFS, peak " << report.peak;
}

// Sanitizer runtimes own the allocator, so there the count is not kept: the test says so rather than pass.
inline void expectNoAllocations(const RealTimeReport& report) {
    if (!report.allocationsCounted)
        GTEST_SKIP() << "allocation counting is unavailable in sanitizer builds: allocations were not checked";
    EXPECT_EQ(report.allocationsAfterFirstBlock, 0) << "allocations on the audio thread after the first block";
}

// Only the rendering thread is watched, so it is the one thread of the run that must never wait for a mutex:
// a try-lock that fails is no wait.
inline void expectNoLockWaits(const RealTimeReport& report) {
    if (!report.lockWaitsCounted)
        GTEST_SKIP() << "lock-wait counting is unavailable in sanitizer builds: lock waits were not checked";
    EXPECT_EQ(report.lockWaits, 0) << "times the audio thread waited for a mutex another thread held";
}

inline void expectRealTimeSafe(const RealTimeReport& report, Expect expect) {
    expectCleanSamples(report);
    if (expect == Expect::Sound)
        expectSound(report);
    expectNoLockWaits(report);
    expectNoAllocations(report);
}

} // namespace corvex::testing
