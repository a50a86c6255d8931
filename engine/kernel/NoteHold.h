// The hold of each part: while it is on, note-offs wait in the part's ring; when it ends they go.
#pragma once

#include <atomic>
#include <cstdint>

#include "engine/kernel/HoldRing.h"
#include "engine/kernel/KernelBase.h"

namespace corvex {

class SoftwareKernel;

class NoteHold {
public:
    static constexpr int kPartCount = KernelBase::kPartCount;

    // The kernel executes the notes that pass or leave a ring.
    explicit NoteHold(SoftwareKernel& kernel) : kernel_(kernel) {}

    // Message thread: 0 off, 1 hold, 2 hold with replacement, for kernel part 0..3.
    void set(int part, int value);
    int value(int part) const {
        return (part >= 0 && part < kPartCount) ? values_[part].load(std::memory_order_relaxed) : 0;
    }

    // Audio thread, block start: takes the values in force for the block and lets go what a part
    // whose hold has ended still defers.
    void beginBlock();
    // Audio thread: a two-word MIDI-event message for the part, executed now or deferred by its hold.
    void noteOn(int part, const uint16_t words[2]);
    void noteOff(int part, const uint16_t words[2]);

    // One ring per part; the voice allocator forgets a part's deferred notes when it frees the part.
    HoldRing* rings() { return rings_; }

private:
    void execute(uint32_t entry);

    SoftwareKernel& kernel_;
    std::atomic<int> values_[kPartCount] = {};
    HoldRing rings_[kPartCount];
    int inForce_[kPartCount] = {}; // the audio thread's copy of the values
};

} // namespace corvex
