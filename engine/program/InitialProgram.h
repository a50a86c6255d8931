// The initial part program: the parameter words and the connection list every layer starts from.
#pragma once

#include <cstdint>

namespace corvex {

constexpr int kInitialConnectionCount = 45;

struct InitialConnection {
    uint8_t sourceSlot, sourcePort, destinationSlot, destinationPort;
    uint16_t amount, second; // second: amount curve in bits 0..3, range factor in bits 4..15
};

// In the order the connection list keeps them (sorted by destination input); kind, mode and flag are 0.
extern const InitialConnection kInitialConnections[kInitialConnectionCount];

// Writes words 3.. of every block of slots 0..31 but the connection list; unlisted words become 0.
// The headers (words 0..2) are left as the part area has them.
void writeInitialPartWords(uint16_t* partArea);

} // namespace corvex
