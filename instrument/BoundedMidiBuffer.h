// A block's MIDI events in storage reserved before audio runs: when it is full, events are dropped and
// counted rather than growing the buffer on the audio thread.
#pragma once

#include <atomic>
#include <cstdint>

#include <juce_audio_basics/juce_audio_basics.h>

namespace corvex {

class BoundedMidiBuffer {
public:
    // Channel messages and system real-time messages; longer ones are never kept for a block.
    static constexpr int kMaxEventBytes = 3;

    explicit BoundedMidiBuffer(int capacity);

    // Audio thread.
    void clear() {
        events_.clear();
        count_ = 0;
    }
    // False when the event did not fit (or is longer than kMaxEventBytes): it is dropped and counted.
    bool add(const uint8_t* data, int numBytes, int samplePosition);

    const juce::MidiBuffer& events() const { return events_; }
    int capacity() const { return capacity_; }
    // Any thread: events dropped since construction.
    int64_t droppedCount() const { return dropped_.load(std::memory_order_relaxed); }

private:
    juce::MidiBuffer events_;
    int capacity_;
    int count_ = 0;
    std::atomic<int64_t> dropped_{0};
};

} // namespace corvex
