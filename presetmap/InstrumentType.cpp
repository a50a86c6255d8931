#include "presetmap/InstrumentType.h"

#include <array>

namespace corvex {

namespace {

struct TypeName {
    std::string_view value;
    int16_t code;
};

constexpr std::array<TypeName, 12> kTypeNames{{
    {"Pad", 1}, {"Bass", 2}, {"Lead", 3}, {"Efx", 4}, {"Fm", 5}, {"Brass", 6}, {"Percussive", 7},
    {"Sequence", 8}, {"Strings", 9}, {"Guitar", 10}, {"Organ", 11}, {"Piano", 11},
}};

constexpr TypeColour rgb(int r, int g, int b) { return {r / 255.0f, g / 255.0f, b / 255.0f}; }

constexpr std::array<TypeColour, kInstrumentTypeCount> kColours{{
    rgb(50, 50, 50), rgb(9, 88, 9), rgb(23, 23, 106), rgb(122, 21, 21), rgb(25, 126, 126), rgb(46, 122, 84),
    rgb(45, 84, 122), rgb(144, 144, 46), rgb(156, 95, 34), rgb(120, 160, 80), rgb(72, 66, 132), rgb(143, 54, 121),
}};

} // namespace

int16_t instrumentTypeCode(std::string_view typeValue) {
    for (const TypeName& name : kTypeNames)
        if (name.value == typeValue) return name.code;
    return 0;
}

TypeColour instrumentTypeColour(int type) {
    return type >= 0 && type < kInstrumentTypeCount ? kColours[static_cast<size_t>(type)] : kColours[0];
}

int typeMaskAfterToggle(int mask, int type, bool shown, bool shift) {
    if (type < 0 || type >= kInstrumentTypeCount) return mask;
    if (shift) return 1 << type;
    mask &= ~(1 << type);
    return shown ? mask | (1 << type) : mask;
}

} // namespace corvex
