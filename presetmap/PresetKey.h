// A patch's place on the map is found again by a 64-bit key read from its identifier ("U_" and digits).
#pragma once

#include <cstdint>
#include <string_view>

#include <juce_core/juce_core.h>

namespace corvex {

// The signed decimal number after "U_", read up to the first character that is not part of it; 0 for an
// identifier of another form, one without digits, or a number that does not fit 64 bits.
int64_t presetKeyFromId(std::string_view identifier);
int64_t presetKeyFromId(const juce::String& identifier);

// "U_" and the key for a key above 0, else "Default": the identifier a key is looked up by when the library
// did not name one.
juce::String presetIdFromKey(int64_t key);

} // namespace corvex
