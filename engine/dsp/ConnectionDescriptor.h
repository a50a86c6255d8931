// One connection into a module input, in the four-word form the connection list stores it.
#pragma once

#include <cstdint>

namespace corvex {

struct ConnectionDescriptor {
    // Words 0 and 1 are the route's low and high halves; word 2 the amount; word 3 the selector.
    uint16_t words[4];

    uint32_t route() const { return uint32_t(words[0]) | (uint32_t(words[1]) << 16); }

    // Amounts are signed 14-bit fixed point so that a connection can reach -2.0 .. +2.0.
    int16_t amountWord() const { return int16_t(words[2]); }
    float amount() const { return float(amountWord()) * (1.0f / 16384.0f); }

    int curveNumber() const { return words[3] & 0xF; }

    // Read as signed so that a corrupt selector gives a negative number that a range check
    // rejects instead of a large positive one.
    int rangeFactorNumber() const { return int16_t(words[3]) >> 4; }
};

static_assert(sizeof(ConnectionDescriptor) == 8, "the connection list stores descriptors back to back");

} // namespace corvex
