// The kernel's fixed store of 32-float block buffers that output ports share by reference.
#pragma once

#include <cstdint>

#include "engine/modules/ModulePort.h"

namespace corvex {

constexpr int kBlockFrames = 32;

struct BlockBufferStore {
    // 32 voices with both insert chains need 280 buffers; keep headroom above that.
    static constexpr int kCapacity = 320;

    // Each block starts a cache line: a block read or written a vector at a time never
    // straddles two lines.
    alignas(64) float blocks[kCapacity][kBlockFrames];
    uint16_t next[kCapacity];
    uint16_t ownIndex[kCapacity];
    int32_t freeHead = -1;

    void init();
    float* data(int index) { return (index >= 0 && index < kCapacity) ? blocks[index] : nullptr; }
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
