// Sends one MIDI message of the block to the kernel, or a controller to the controller map.
#pragma once

#include "instrument/audio/BlockKernel.h"
#include "instrument/audio/BlockMidiEvent.h"

namespace corvex {

// Control changes other than all-notes-off (the controller map, NRPN/RPN, MIDI learn); audio thread.
class ControllerHandler {
public:
    virtual ~ControllerHandler() = default;
    virtual void handleControlChange(int controller, int value) = 0;
};

// The channel was already chosen by the MIDI manager, so the channel nibble is not looked at. A message
// shorter than its status needs, and every status without an action here, is ignored. controllers may be
// null: control changes then go nowhere.
void dispatchMidiEvent(const BlockMidiEvent& event, BlockKernel& kernel, ControllerHandler* controllers);

} // namespace corvex
