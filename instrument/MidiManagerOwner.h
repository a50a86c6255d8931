// What the MIDI manager needs of the instrument that owns it.
#pragma once

#include <juce_core/juce_core.h>

#include "instrument/midi/MidiControlCore.h"

namespace corvex {

class MidiManagerOwner : public MidiParameterSink {
public:
    // Message thread: a controller moved the parameter, so the editor's widget should follow.
    virtual void notifyEditorOfMidiParameter(int index, float value) = 0;
    virtual juce::String getParameterName(int index) = 0;
};

} // namespace corvex
