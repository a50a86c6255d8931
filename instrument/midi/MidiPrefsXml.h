// Reading "midi.prefs" (the receive channel and the controller map) from text that anyone may have written.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "instrument/midi/ControllerMap.h"

namespace corvex {

struct MidiPrefs {
    int channel = 0;
    std::vector<ControllerEntry> entries;
};

// A settings file this large was not written by us; reading it whole would only waste memory.
constexpr size_t kMaxMidiPrefsBytes = 1 << 20;

// Nothing when the text is not XML or not ours; otherwise every valid part, each skipped part logged to stderr.
std::optional<MidiPrefs> midiPrefsFromXml(std::string_view text);

} // namespace corvex
