// One filter manager's section of the host state: the current preset's identifier, the size of its payload
// and the payload padded to whole words, then the filter columns.
#pragma once

#include <cstdint>
#include <vector>

#include <juce_core/juce_core.h>

#include "instrument/params/ByteStream.h"
#include "presets/FilterColumns.h"

namespace corvex {

struct PresetStateSection {
    juce::String identifier;
    std::vector<uint8_t> payload;
    FilterColumns::Map columns;
};

namespace statesection {

void write(const PresetStateSection& section, std::vector<uint8_t>& out);
// The section whole, or false for one cut short or with a count or size out of bounds. Nothing of the
// payload is checked here.
bool read(ByteReader& in, PresetStateSection& section);

} // namespace statesection

} // namespace corvex
