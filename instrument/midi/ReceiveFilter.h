// Which incoming MIDI messages the instrument takes, by receive channel and status byte.
#pragma once

#include <cstdint>

namespace corvex {

constexpr int kAllChannels = 0;

// receiveChannel: 0 = all channels, 1..16 = that channel. System messages carry no channel,
// so a single-channel setting refuses them (MIDI clock included).
bool passesReceiveChannel(int receiveChannel, uint8_t status);

enum class IncomingAction {
    Clock,         // measured, not passed on
    Note,          // passed on and shown
    PitchWheel,    // passed on and shown
    PassOn,        // pressure, start, stop
    AllNotesOff,   // CC 123: passed on and shown as note -1
    ControlChange, // passed on; the instrument routes it through the controller map
    Drop,          // program change, system exclusive and the other system messages
};

IncomingAction classifyIncoming(uint8_t status, uint8_t data1);

} // namespace corvex
