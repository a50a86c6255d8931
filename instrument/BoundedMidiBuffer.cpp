// A block's MIDI events in storage reserved before audio runs: when it is full, events are dropped and
// counted rather than growing the buffer on the audio thread.
#include "instrument/BoundedMidiBuffer.h"

namespace corvex {

namespace {
// The MIDI buffer stores each event behind its sample position and its length.
constexpr size_t kStoredEventBytes = BoundedMidiBuffer::kMaxEventBytes + sizeof(int32_t) + sizeof(uint16_t);
} // namespace

BoundedMidiBuffer::BoundedMidiBuffer(int capacity) : capacity_(capacity > 0 ? capacity : 0) {
    events_.ensureSize(static_cast<size_t>(capacity_) * kStoredEventBytes);
    // Filling it once touches every page now, so the first busy block takes no page fault.
    const uint8_t noteOff[kMaxEventBytes] = {0x80, 0, 0};
    for (int i = 0; i < capacity_; ++i)
        events_.addEvent(noteOff, kMaxEventBytes, i);
    events_.clear();
}

bool BoundedMidiBuffer::add(const uint8_t* data, int numBytes, int samplePosition) {
    if (count_ >= capacity_ || numBytes < 1 || numBytes > kMaxEventBytes) {
        dropped_.fetch_add(1, std::memory_order_relaxed);
        return false;
    }
    events_.addEvent(data, numBytes, samplePosition);
    ++count_;
    return true;
}

} // namespace corvex
