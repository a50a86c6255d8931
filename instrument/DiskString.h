// Text from disk as a JUCE string. JUCE decodes UTF-8 without checking it: given invalid bytes, the one-argument
// fromUTF8 writes past the buffer it sized, and the sized one reads past its end. So every text from a file
// (or from another program) is made valid first and always passed with its length.
#pragma once

#include <climits>
#include <string>
#include <string_view>

#include <juce_core/juce_core.h>

#include "instrument/midi/Utf8Text.h"

namespace corvex {

// A JUCE string ends at a zero byte; what follows one in the bytes is dropped.
inline juce::String stringFromDisk(std::string_view bytes) {
    const std::string text = validUtf8(bytes);
    const std::string_view fits = utf8Prefix(text, INT_MAX);
    return juce::String::fromUTF8(fits.data(), static_cast<int>(fits.size()));
}

} // namespace corvex
