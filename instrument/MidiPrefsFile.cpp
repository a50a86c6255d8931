// "midi.prefs": the receive channel and the controller map, as XML in the settings folder.
#include "instrument/MidiPrefsFile.h"

#include <iostream>

#include "instrument/MorvaneFindFolder.h"

namespace corvex {

namespace {
constexpr const char* kRoot = "MorvaneMidiMapping";
} // namespace

juce::String midiPrefsToXml(const MidiPrefs& prefs, const std::function<juce::String(int)>& parameterName) {
    juce::XmlElement root(kRoot);
    root.setAttribute("channel", prefs.channel);
    for (const ControllerEntry& e : prefs.entries) {
        juce::XmlElement* cc = root.createNewChildElement("CC");
        cc->setAttribute("cc_number", static_cast<int>(e.code));
        cc->setAttribute("param_number", static_cast<int>(e.index));
        cc->setAttribute("param_name", parameterName ? parameterName(e.index) : juce::String());
    }
    return root.toString();
}

std::optional<MidiPrefs> loadMidiPrefs(const juce::File& file) {
    if (!file.existsAsFile())
        return std::nullopt;
    // Judged by its size before it is read: a huge file is refused without filling memory first.
    if (file.getSize() > static_cast<juce::int64>(kMaxMidiPrefsBytes)) {
        std::cerr << "midi.prefs: " << file.getFullPathName() << " is too large, ignored\n";
        return std::nullopt;
    }
    juce::MemoryBlock bytes;
    if (!file.loadFileAsData(bytes)) {
        std::cerr << "midi.prefs: cannot read " << file.getFullPathName() << ", ignored\n";
        return std::nullopt;
    }
    // The XML reader of the GUI library is not safe on hostile text; the file's bytes go to ours instead.
    return midiPrefsFromXml(std::string_view(static_cast<const char*>(bytes.getData()), bytes.getSize()));
}

bool saveMidiPrefs(const juce::File& file, const MidiPrefs& prefs,
                   const std::function<juce::String(int)>& parameterName) {
    return writeSettingsFile(file, midiPrefsToXml(prefs, parameterName));
}

} // namespace corvex
