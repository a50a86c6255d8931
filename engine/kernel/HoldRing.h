// Note-offs deferred while a part's hold is on: two-word MIDI-event messages, at most 127.
#pragma once

#include <cstdint>

namespace corvex {

class HoldRing {
public:
    static constexpr int kSlots = 128;

    bool empty() const { return read_ == write_; }
    bool full() const { return next(write_) == read_; }
    int size() const { return (write_ - read_ + kSlots) % kSlots; }
    void clear() { read_ = write_ = 0; }

    void push(uint16_t word0, uint16_t word1) {
        entries_[write_] = static_cast<uint32_t>(word0) | (static_cast<uint32_t>(word1) << 16);
        write_ = next(write_);
    }
    uint32_t popOldest() {
        const uint32_t e = entries_[read_];
        read_ = next(read_);
        return e;
    }
    uint32_t popNewest() {
        write_ = (write_ + kSlots - 1) % kSlots;
        return entries_[write_];
    }

private:
    static int next(int i) { return (i + 1) % kSlots; }
    uint32_t entries_[kSlots] = {};
    int read_ = 0;
    int write_ = 0;
};

} // namespace corvex
