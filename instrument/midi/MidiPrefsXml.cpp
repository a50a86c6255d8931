// Reading "midi.prefs" (the receive channel and the controller map) from text that anyone may have written.
#include "instrument/midi/MidiPrefsXml.h"

#include <charconv>
#include <cstring>
#include <iostream>
#include <string>

#include <pugixml.hpp>

#include "instrument/midi/ControllerCodes.h"
#include "instrument/midi/Utf8Text.h"

namespace corvex {

namespace {

constexpr const char* kRoot = "MorvaneMidiMapping";

std::string_view trimmed(std::string_view s) {
    const auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    while (!s.empty() && isSpace(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isSpace(s.back()))
        s.remove_suffix(1);
    return s;
}

// A hand-edited file may hold "12abc" or a number past 32 bits: both are refused, never truncated or wrapped.
std::optional<long long> readInteger(const pugi::xml_attribute& attribute) {
    if (!attribute)
        return std::nullopt;
    const std::string_view text = trimmed(attribute.value());
    long long value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

// Attribute text echoed into a message, cut short so that a hostile file cannot flood the log, and never
// through a character, so that the log stays readable text.
std::string shown(const pugi::xml_attribute& attribute) {
    constexpr size_t kLongest = 32;
    const std::string value = validUtf8(attribute.value());
    const std::string_view kept = utf8Prefix(value, kLongest);
    return kept.size() == value.size() ? value : std::string(kept) + "...";
}

} // namespace

std::optional<MidiPrefs> midiPrefsFromXml(std::string_view text) {
    if (text.size() > kMaxMidiPrefsBytes) {
        std::cerr << "midi.prefs: " << text.size() << " bytes is too large, ignored\n";
        return std::nullopt;
    }
    pugi::xml_document document;
    const pugi::xml_parse_result parsed = document.load_buffer(text.data(), text.size());
    if (!parsed) {
        std::cerr << "midi.prefs: not readable XML (" << parsed.description() << " at byte " << parsed.offset
                  << "), ignored\n";
        return std::nullopt;
    }
    const pugi::xml_node root = document.document_element();
    if (std::strcmp(root.name(), kRoot) != 0) {
        std::cerr << "midi.prefs: root is <" << validUtf8(root.name()) << ">, ignored\n";
        return std::nullopt;
    }
    MidiPrefs prefs;
    if (const pugi::xml_attribute channelText = root.attribute("channel")) {
        const std::optional<long long> channel = readInteger(channelText);
        if (channel && *channel >= 0 && *channel <= 16)
            prefs.channel = static_cast<int>(*channel);
        else
            std::cerr << "midi.prefs: channel \"" << shown(channelText) << "\" skipped, receiving on all channels\n";
    }
    for (const pugi::xml_node cc : root.children("CC")) {
        const std::optional<long long> code = readInteger(cc.attribute("cc_number"));
        const std::optional<long long> index = readInteger(cc.attribute("param_number"));
        if (!code || !index || !isValidControllerCode(*code) || !isValidParameterIndex(*index)) {
            std::cerr << "midi.prefs: CC entry cc_number=\"" << shown(cc.attribute("cc_number"))
                      << "\" param_number=\"" << shown(cc.attribute("param_number")) << "\" skipped\n";
            continue;
        }
        prefs.entries.push_back({static_cast<int32_t>(*code), static_cast<int16_t>(*index)});
    }
    return prefs;
}

} // namespace corvex
