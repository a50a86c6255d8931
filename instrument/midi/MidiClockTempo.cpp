// Tempo of an incoming MIDI clock (24 per beat), timed by the sample position of each clock.
#include "instrument/midi/MidiClockTempo.h"

#include <algorithm>

namespace corvex {

void MidiClockTempo::clock(int64_t samplePosition) {
    if (++clocks_ < kClocksPerBeat)
        return;
    clocks_ = 0;
    // Three beats are averaged so that one late clock moves the reading little.
    if (beatsSeen_ >= 3) {
        const int64_t span = samplePosition - beats_[0];
        if (span > 0) {
            const double bpm = 3.0 * 60.0 * sampleRate_ / static_cast<double>(span);
            bpm_.store(std::clamp(bpm, kMinBpm, kMaxBpm), std::memory_order_relaxed);
        }
    }
    beats_[0] = beats_[1];
    beats_[1] = beats_[2];
    beats_[2] = samplePosition;
    beatsSeen_ = std::min(beatsSeen_ + 1, 3);
}

} // namespace corvex
