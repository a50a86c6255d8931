// A block's MIDI events in storage reserved before audio runs: when it is full, events are dropped and
// counted rather than growing the buffer on the audio thread. Events that end a sound are the last to go.
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

    // Whether losing the event could leave a note or its hold sounding: a note-off, a note-on of velocity
    // 0, all sound off, reset all controllers, all notes off and the sustain pedal let go.
    static bool endsSound(const uint8_t* data, int numBytes);

    // Audio thread.
    void clear() {
        events_.clear();
        count_ = 0;
        endingsAhead_ = 0;
    }
    // How many events that end a sound the block's later add() calls will offer: other events are dropped
    // while the room left is all theirs, so a busy block never loses a note-off to the controllers before it.
    void reserveForEndings(int count) { endingsAhead_ = count > 0 ? count : 0; }
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
    int endingsAhead_ = 0;
    std::atomic<int64_t> dropped_{0};
};

} // namespace corvex
