// An output port as its readers see it: the packed port word and the value or store it leads to.
#pragma once

#include <cstdint>

namespace corvex {

struct BlockBufferStore;

// Port word layout: bits 0..3 flags (0 = block-rate value port), bit 4 clear pending,
// bits 5..20 user count (16 bits, so one port can feed every voice of a full program),
// bits 21..31 unused. The buffer index lives in its own field: a word of 32 bits cannot
// hold a 16-bit user count and a 16-bit index beside the flags.
struct PortEntry {
    uint32_t word = 0;
    int16_t bufferIndex = -1;
    union {
        float value;               // value ports: the float published once per block
        int32_t intValue;          // value ports carrying a gate state
        BlockBufferStore* store;   // buffer ports: the store holding the port's block
    };

    PortEntry() : store(nullptr) {}

    static constexpr uint32_t kFlagsMask = 0xFu;
    static constexpr uint32_t kClearPending = 0x10u;
    static constexpr int kUserShift = 5;
    static constexpr uint32_t kUserMask = 0xFFFFu << kUserShift;

    uint32_t flags() const { return word & kFlagsMask; }
    bool isValuePort() const { return flags() == 0; }
    uint32_t users() const { return (word & kUserMask) >> kUserShift; }
    void setUsers(uint32_t n) { word = (word & ~kUserMask) | ((n & 0xFFFFu) << kUserShift); }
};

} // namespace corvex
