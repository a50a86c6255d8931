// "midi.prefs": the receive channel and the controller map, as XML in the settings folder.
#pragma once

#include <functional>
#include <optional>

#include <juce_core/juce_core.h>

#include "instrument/midi/MidiPrefsXml.h"

namespace corvex {

juce::String midiPrefsToXml(const MidiPrefs& prefs, const std::function<juce::String(int)>& parameterName);

// Nothing when the file is missing, too large, not XML or not ours; the file itself is never changed.
std::optional<MidiPrefs> loadMidiPrefs(const juce::File& file);
bool saveMidiPrefs(const juce::File& file, const MidiPrefs& prefs,
                   const std::function<juce::String(int)>& parameterName);

} // namespace corvex
