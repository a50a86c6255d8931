// One notice from the audio thread to the message thread, wide enough for RPN codes and every parameter index.
#pragma once

#include <cstdint>

namespace corvex {

enum class MidiEventType : uint8_t {
    Activity,
    ControllerAssigned,     // index, a = controller code
    ControllerRemoved,      // index
    LearnedControllerMoved, // index, a = value 0..127
    Note,                   // a = note (-1 = all notes off), b = 1 on / 0 off
    PitchWheel,             // a = 14-bit value
};

struct MidiEvent {
    MidiEventType type = MidiEventType::Activity;
    int16_t index = 0;
    int32_t a = 0;
    int32_t b = 0;
};

} // namespace corvex
