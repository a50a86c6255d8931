// Sends one MIDI message of the block to the kernel, or a controller to the controller map.
#include "instrument/audio/MidiDispatch.h"

#include <cstdint>

namespace corvex {
namespace {

constexpr int kAllNotesOff = 123;

// A cut-off message would reach the kernel with invented data bytes: a note-on with a lost velocity
// would become a note-off.
bool complete(const BlockMidiEvent& e, int needed) { return e.size >= needed; }

} // namespace

void dispatchMidiEvent(const BlockMidiEvent& event, BlockKernel& kernel, ControllerHandler* controllers) {
    if (event.size < 1) return;
    const uint8_t status = event.bytes[0];
    const int data1 = event.bytes[1] & 0x7F;
    const int data2 = event.bytes[2] & 0x7F;

    switch (status) {
    case 0xFA:
        kernel.startTransport();
        return;
    case 0xFC:
        kernel.stopTransport();
        return;
    default:
        break;
    }

    switch (status & 0xF0) {
    case 0x80:
    case 0x90:
        if (complete(event, 3)) kernel.sendMidiNote(status, data1, data2);
        return;
    case 0xE0:
        // The second data byte carries the bend's high seven bits.
        if (complete(event, 3)) kernel.sendPitchBend(data2, data1);
        return;
    case 0xB0:
        if (!complete(event, 3)) return;
        if (data1 == kAllNotesOff)
            kernel.allNotesOff();
        else if (controllers != nullptr)
            controllers->handleControlChange(data1, data2);
        return;
    case 0xA0:
        if (complete(event, 3)) kernel.sendPressure(status, data1, data2);
        return;
    case 0xD0:
        // Channel pressure has one data byte; the kernel ignores the second.
        if (complete(event, 2)) kernel.sendPressure(status, data1, complete(event, 3) ? data2 : 0);
        return;
    default:
        return;
    }
}

} // namespace corvex
