// The window content that belongs to one instrument.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace corvex {

class MorvaneAudioFilter;

class AudioFilterEditor : public juce::Component {
public:
    // Null is allowed: the editor then reaches no instrument.
    explicit AudioFilterEditor(MorvaneAudioFilter* instrument) : instrument_(instrument) {}

    MorvaneAudioFilter* getInstrument() const { return instrument_; }

protected:
    MorvaneAudioFilter* const instrument_;
};

} // namespace corvex
