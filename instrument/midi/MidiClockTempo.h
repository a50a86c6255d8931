// Tempo of an incoming MIDI clock (24 per beat), timed by the sample position of each clock.
#pragma once

#include <atomic>
#include <cstdint>

namespace corvex {

class MidiClockTempo {
public:
    static constexpr int kClocksPerBeat = 24;
    // A clock burst or a stalled sender must not make the tempo absurd.
    static constexpr double kMinBpm = 20.0;
    static constexpr double kMaxBpm = 400.0;

    void setSampleRate(double rate) { sampleRate_ = rate > 0.0 ? rate : 44100.0; }

    // Audio thread: samplePosition counts samples since the stream started.
    void clock(int64_t samplePosition);

    // 0 until three beats have been timed; readable from any thread.
    double bpm() const { return bpm_.load(std::memory_order_relaxed); }

private:
    double sampleRate_ = 44100.0;
    int clocks_ = 0;
    int beatsSeen_ = 0;
    int64_t beats_[3] = {0, 0, 0}; // oldest, middle, newest
    std::atomic<double> bpm_{0.0};
};

} // namespace corvex
