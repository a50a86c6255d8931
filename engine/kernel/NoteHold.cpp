#include "engine/kernel/NoteHold.h"

#include <algorithm>

#include "engine/kernel/SoftwareKernel.h"

namespace corvex {

namespace {
constexpr int kHoldOff = 0;
constexpr int kHoldReplacing = 2;
} // namespace

// The message thread only records the value; the audio thread releases what the ring holds.
void NoteHold::set(int part, int value) {
    if (part < 0 || part >= kPartCount) return;
    values_[part].store(std::clamp(value, 0, 2), std::memory_order_relaxed);
}

void NoteHold::execute(uint32_t entry) {
    const uint16_t words[2] = {static_cast<uint16_t>(entry & 0xFFFF), static_cast<uint16_t>(entry >> 16)};
    kernel_.processMessage(words, 2);
}

void NoteHold::beginBlock() {
    for (int p = 0; p < kPartCount; ++p) {
        inForce_[p] = values_[p].load(std::memory_order_relaxed);
        if (inForce_[p] != kHoldOff) continue;
        HoldRing& ring = rings_[p];
        while (!ring.empty()) execute(ring.popOldest());
    }
}

void NoteHold::noteOn(int part, const uint16_t words[2]) {
    HoldRing& ring = rings_[part];
    if (inForce_[part] == kHoldReplacing && !ring.empty()) execute(ring.popNewest());
    kernel_.processMessage(words, 2);
}

void NoteHold::noteOff(int part, const uint16_t words[2]) {
    if (inForce_[part] == kHoldOff) {
        kernel_.processMessage(words, 2);
        return;
    }
    HoldRing& ring = rings_[part];
    // Never lose a note-off: the oldest deferred one goes now.
    if (ring.full()) execute(ring.popOldest());
    ring.push(words[0], words[1]);
}

} // namespace corvex
