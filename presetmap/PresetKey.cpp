#include "presetmap/PresetKey.h"

#include <charconv>

namespace corvex {

int64_t presetKeyFromId(std::string_view identifier) {
    if (identifier.substr(0, 2) != "U_") return 0;
    std::string_view number = identifier.substr(2);
    // from_chars takes a minus sign but no plus sign.
    if (!number.empty() && number.front() == '+') number.remove_prefix(1);
    int64_t key = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), key);
    (void)end;
    return error == std::errc() ? key : 0;
}

int64_t presetKeyFromId(const juce::String& identifier) {
    const char* text = identifier.toRawUTF8();
    return presetKeyFromId(std::string_view(text));
}

juce::String presetIdFromKey(int64_t key) {
    return key > 0 ? "U_" + juce::String(key) : juce::String("Default");
}

} // namespace corvex
