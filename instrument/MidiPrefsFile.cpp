// "midi.prefs": the receive channel and the controller map, as XML in the settings folder.
#include "instrument/MidiPrefsFile.h"

#include <charconv>
#include <iostream>
#include <string>

#include "instrument/MorvaneFindFolder.h"
#include "instrument/midi/ControllerCodes.h"

namespace corvex {

namespace {

constexpr const char* kRoot = "MorvaneMidiMapping";

// getIntAttribute would read "12abc" as 12 and wrap huge numbers; a hand-edited file gets neither.
std::optional<long long> readInteger(const juce::XmlElement& e, const char* name) {
    if (!e.hasAttribute(name))
        return std::nullopt;
    const std::string text = e.getStringAttribute(name).trim().toStdString();
    long long value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || text.empty())
        return std::nullopt;
    return value;
}

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

std::optional<MidiPrefs> midiPrefsFromXml(const juce::String& text) {
    const std::unique_ptr<juce::XmlElement> root = juce::parseXML(text);
    if (root == nullptr) {
        std::cerr << "midi.prefs: not readable XML, ignored\n";
        return std::nullopt;
    }
    if (!root->hasTagName(kRoot)) {
        std::cerr << "midi.prefs: root is <" << root->getTagName() << ">, ignored\n";
        return std::nullopt;
    }
    MidiPrefs prefs;
    if (root->hasAttribute("channel")) {
        const std::optional<long long> channel = readInteger(*root, "channel");
        if (channel && *channel >= 0 && *channel <= 16)
            prefs.channel = static_cast<int>(*channel);
        else
            std::cerr << "midi.prefs: channel \"" << root->getStringAttribute("channel")
                      << "\" skipped, receiving on all channels\n";
    }
    for (const juce::XmlElement* cc : root->getChildWithTagNameIterator("CC")) {
        const std::optional<long long> code = readInteger(*cc, "cc_number");
        const std::optional<long long> index = readInteger(*cc, "param_number");
        if (!code || !index || !isValidControllerCode(*code) || !isValidParameterIndex(*index)) {
            std::cerr << "midi.prefs: CC entry cc_number=\"" << cc->getStringAttribute("cc_number")
                      << "\" param_number=\"" << cc->getStringAttribute("param_number") << "\" skipped\n";
            continue;
        }
        prefs.entries.push_back({static_cast<int32_t>(*code), static_cast<int16_t>(*index)});
    }
    return prefs;
}

std::optional<MidiPrefs> loadMidiPrefs(const juce::File& file) {
    if (!file.existsAsFile())
        return std::nullopt;
    return midiPrefsFromXml(file.loadFileAsString());
}

bool saveMidiPrefs(const juce::File& file, const MidiPrefs& prefs,
                   const std::function<juce::String(int)>& parameterName) {
    return writeSettingsFile(file, midiPrefsToXml(prefs, parameterName));
}

} // namespace corvex
