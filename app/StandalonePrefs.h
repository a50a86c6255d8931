// "standalone.prefs": the audio device state the preferences dialog keeps between runs.
#pragma once

#include <memory>

#include <juce_core/juce_core.h>

namespace corvex {

// The saved device state, or null: when the file is missing (silently), or unreadable, not XML or not ours
// (with a message on stderr); the device then opens its default.
std::unique_ptr<juce::XmlElement> readStandalonePrefs(const juce::File& file);

// Replaces the file (creating the settings folder first) with the device state, or an empty "Audio" when
// there is none. False, with a message on stderr, when it cannot be written; the old file then stays.
bool writeStandalonePrefs(const juce::File& file, const juce::XmlElement* deviceState);

} // namespace corvex
