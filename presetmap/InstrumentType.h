// The twelve instrument types the map tells apart, from a program's "Type", and the colour of each.
#pragma once

#include <cstdint>
#include <string_view>

namespace corvex {

constexpr int kInstrumentTypeCount = 12;

// 1 "Pad" ... 10 "Guitar", 11 for both "Organ" and "Piano" (drawn alike); 0 for any other value or none.
int16_t instrumentTypeCode(std::string_view typeValue);

// A set of instrument types: bit t for type t.
constexpr int kAllInstrumentTypes = (1 << kInstrumentTypeCount) - 1;

constexpr bool typeInMask(int mask, int type) {
    return type >= 0 && type < kInstrumentTypeCount && (mask & (1 << type)) != 0;
}

// The set after the player ticks (shown) or unticks one type; with Shift held, that type alone.
int typeMaskAfterToggle(int mask, int type, bool shown, bool shift);

struct TypeColour {
    float red, green, blue;
};

// The background's glow colour of a type code; code 0's grey for a code outside 0..11.
TypeColour instrumentTypeColour(int type);

} // namespace corvex
