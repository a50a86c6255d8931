// The kernel's fixed store of 32-float block buffers that output ports share by reference.
#pragma once

#include <cstdint>

#include "engine/modules/ModulePort.h"

namespace corvex {

constexpr int kBlockFrames = 32;

struct BlockBufferStore {
    // 32 voices with both insert chains need 280 buffers; keep headroom above that.
    static constexpr int kCapacity = 320;

    struct Slot {
        uint16_t next;
        uint16_t ownIndex;
        float data[kBlockFrames];
    };

    int32_t freeHead = -1;
    Slot slots[kCapacity];

    void init();
    float* data(int index) { return (index >= 0 && index < kCapacity) ? slots[index].data : nullptr; }
    int freeCount() const;
};

// The port helpers keep a port's user count and its buffer in step.
void clearPortBuffer(PortEntry& port);
void acquirePortBuffer(PortEntry& port);
void releasePortUser(PortEntry& port);
// Every module asks this for every port of every block: it stays inline.
inline float* portBuffer(const PortEntry& port) {
    if (port.isValuePort() || port.store == nullptr) return nullptr;
    return port.store->data(port.bufferIndex);
}

} // namespace corvex
