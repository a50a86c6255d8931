// "midi.prefs": the receive channel and the controller map, as XML in the settings folder.
#include "instrument/MidiPrefsFile.h"

#include <iostream>

#include "instrument/MorvaneFindFolder.h"
#include "instrument/SafeFileRead.h"

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
    // Judged before it is read: a huge file is refused without filling memory first, and a FIFO or a device
    // named like it neither holds the start up nor feeds it without end.
    const FileRead read = readRegularFile(file, static_cast<int64_t>(kMaxMidiPrefsBytes));
    if (read.status != FileRead::kRead) {
        if (read.status != FileRead::kMissing)
            std::cerr << "midi.prefs: " << file.getFullPathName() << " " << whyUnread(read.status) << ", ignored\n";
        return std::nullopt;
    }
    const juce::MemoryBlock& bytes = read.bytes;
    // The XML reader of the GUI library is not safe on hostile text; the file's bytes go to ours instead.
    return midiPrefsFromXml(std::string_view(static_cast<const char*>(bytes.getData()), bytes.getSize()));
}

bool saveMidiPrefs(const juce::File& file, const MidiPrefs& prefs,
                   const std::function<juce::String(int)>& parameterName) {
    return writeSettingsFile(file, midiPrefsToXml(prefs, parameterName));
}

} // namespace corvex
