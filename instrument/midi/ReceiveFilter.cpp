// Which incoming MIDI messages the instrument takes, by receive channel and status byte.
#include "instrument/midi/ReceiveFilter.h"

namespace corvex {

bool passesReceiveChannel(int receiveChannel, uint8_t status) {
    if (receiveChannel == kAllChannels)
        return true;
    if (status >= 0xF0)
        return false;
    return (status & 0x0F) + 1 == receiveChannel;
}

IncomingAction classifyIncoming(uint8_t status, uint8_t data1) {
    switch (status) {
    case 0xF8: return IncomingAction::Clock;
    case 0xFA:
    case 0xFC: return IncomingAction::PassOn;
    default: break;
    }
    switch (status & 0xF0) {
    case 0x80:
    case 0x90: return IncomingAction::Note;
    case 0xE0: return IncomingAction::PitchWheel;
    case 0xA0:
    case 0xD0: return IncomingAction::PassOn;
    case 0xB0: return data1 == 123 ? IncomingAction::AllNotesOff : IncomingAction::ControlChange;
    default: return IncomingAction::Drop;
    }
}

} // namespace corvex
