// One MIDI message of a device block, as the block renderer takes it: no JUCE, no heap.
#pragma once

#include <cstdint>

namespace corvex {

struct BlockMidiEvent {
    int samplePosition = 0; // from the block's first sample
    uint8_t bytes[3] = {0, 0, 0};
    int size = 0; // bytes used; longer messages (system exclusive) are never sent to the kernel
};

} // namespace corvex
