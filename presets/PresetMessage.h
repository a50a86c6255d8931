// The one message the preset library posts to itself: an id, two values and a pointer, read on delivery.
#pragma once

#include <juce_events/juce_events.h>

namespace corvex {

struct PresetMessage : juce::Message {
    PresetMessage(int idIn, int valueIn, int value2In, void* pointerIn)
        : id(idIn), value(valueIn), value2(value2In), pointer(pointerIn) {}

    const int id;
    const int value;
    const int value2;
    void* const pointer;
};

} // namespace corvex
