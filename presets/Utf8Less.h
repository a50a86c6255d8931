// String order for the library's tables: the order of juce::String's operator<, at the speed of strcmp.
#pragma once

#include <cstring>

#include <juce_core/juce_core.h>

namespace corvex {

// UTF-8 bytes sort as their code points do, and juce::String keeps UTF-8, so comparing the bytes gives the
// same order as comparing characters without decoding them; rebuilding an index is mostly comparisons.
struct Utf8Less {
    bool operator()(const juce::String& a, const juce::String& b) const {
        return std::strcmp(a.toRawUTF8(), b.toRawUTF8()) < 0;
    }
};

} // namespace corvex
