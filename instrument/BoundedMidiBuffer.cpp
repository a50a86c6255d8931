// A block's MIDI events in storage reserved before audio runs: when it is full, events are dropped and
// counted rather than growing the buffer on the audio thread. Events that end a sound are the last to go.
#include "instrument/BoundedMidiBuffer.h"

namespace corvex {

namespace {
// The MIDI buffer stores each event behind its sample position and its length.
constexpr size_t kStoredEventBytes = BoundedMidiBuffer::kMaxEventBytes + sizeof(int32_t) + sizeof(uint16_t);

constexpr uint8_t kAllSoundOff = 120, kResetAllControllers = 121, kAllNotesOff = 123, kSustainPedal = 64;
} // namespace

BoundedMidiBuffer::BoundedMidiBuffer(int capacity) : capacity_(capacity > 0 ? capacity : 0) {
    events_.ensureSize(static_cast<size_t>(capacity_) * kStoredEventBytes);
    // Filling it once touches every page now, so the first busy block takes no page fault.
    const uint8_t noteOff[kMaxEventBytes] = {0x80, 0, 0};
    for (int i = 0; i < capacity_; ++i)
        events_.addEvent(noteOff, kMaxEventBytes, i);
    events_.clear();
}

bool BoundedMidiBuffer::endsSound(const uint8_t* data, int numBytes) {
    if (data == nullptr || numBytes < 1)
        return false;
    // A missing data byte is played as 0, so it is read as 0 here too.
    const uint8_t d1 = numBytes > 1 ? (data[1] & 0x7F) : 0;
    const uint8_t d2 = numBytes > 2 ? (data[2] & 0x7F) : 0;
    switch (data[0] & 0xF0) {
    case 0x80: return true;
    case 0x90: return d2 == 0;
    case 0xB0:
        return d1 == kAllSoundOff || d1 == kResetAllControllers || d1 == kAllNotesOff ||
               (d1 == kSustainPedal && d2 < 64);
    default: return false;
    }
}

bool BoundedMidiBuffer::add(const uint8_t* data, int numBytes, int samplePosition) {
    const bool ending = endsSound(data, numBytes);
    if (ending && endingsAhead_ > 0)
        --endingsAhead_;
    const int room = capacity_ - count_ - (ending ? 0 : endingsAhead_);
    if (room <= 0 || numBytes < 1 || numBytes > kMaxEventBytes) {
        dropped_.fetch_add(1, std::memory_order_relaxed);
        return false;
    }
    events_.addEvent(data, numBytes, samplePosition);
    ++count_;
    return true;
}

} // namespace corvex
