// "midi.prefs": the receive channel and the controller map, as XML in the settings folder.
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include <juce_core/juce_core.h>

#include "instrument/midi/ControllerMap.h"

namespace corvex {

struct MidiPrefs {
    int channel = 0;
    std::vector<ControllerEntry> entries;
};

juce::String midiPrefsToXml(const MidiPrefs& prefs, const std::function<juce::String(int)>& parameterName);

// Nothing when the text is not XML or not ours; otherwise every valid part, each skipped part logged to stderr.
std::optional<MidiPrefs> midiPrefsFromXml(const juce::String& text);

std::optional<MidiPrefs> loadMidiPrefs(const juce::File& file);
bool saveMidiPrefs(const juce::File& file, const MidiPrefs& prefs,
                   const std::function<juce::String(int)>& parameterName);

} // namespace corvex
