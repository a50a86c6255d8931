// MIDI clock tempo: timed by sample positions, read from the fourth beat, never dividing by zero.
#include "instrument/midi/MidiClockTempo.h"

#include <cmath>

#include <gtest/gtest.h>

namespace corvex {
namespace {

TEST(MidiClockTempo, ReadsAFirstTempoOnTheFourthBeat) {
    MidiClockTempo tempo;
    tempo.setSampleRate(44100.0);
    const double samplesPerClock = 44100.0 * 60.0 / 130.0 / 24.0;
    for (int clock = 0; clock < 4 * 24; ++clock) {
        const bool fourthBeat = clock == 4 * 24 - 1;
        if (fourthBeat) {
            EXPECT_EQ(tempo.bpm(), 0.0) << "a tempo before the fourth beat";
        }
        tempo.clock(std::llround(clock * samplesPerClock));
    }
    EXPECT_NEAR(tempo.bpm(), 130.0, 0.01);
}

TEST(MidiClockTempo, ClocksSharingOneSamplePositionKeepTheTempoFinite) {
    MidiClockTempo tempo;
    tempo.setSampleRate(48000.0);
    for (int clock = 0; clock < 10 * 24; ++clock)
        tempo.clock(1000);
    EXPECT_EQ(tempo.bpm(), 0.0);

    // After a real tempo, a burst of clocks at nearly one position clamps instead of exploding.
    MidiClockTempo burst;
    burst.setSampleRate(48000.0);
    for (int clock = 0; clock < 4 * 24; ++clock)
        burst.clock(clock * 1000);
    const double before = burst.bpm();
    EXPECT_NEAR(before, 3.0 * 60.0 * 48000.0 / 72000.0, 1e-9);
    for (int clock = 0; clock < 4 * 24; ++clock)
        burst.clock(96000 + clock / 48);
    EXPECT_TRUE(std::isfinite(burst.bpm()));
    EXPECT_EQ(burst.bpm(), MidiClockTempo::kMaxBpm);
}

} // namespace
} // namespace corvex
