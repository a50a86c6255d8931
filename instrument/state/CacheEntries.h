// The 'info' payload, and the checks of the cache payloads before anything in them is applied.
#pragma once

#include <cstdint>
#include <vector>

namespace corvex {

class ChunksWriter;

// The 'info' chunk both streams begin with: the text "version" and the format version.
void writeInfoChunk(ChunksWriter& writer);

// The version an 'info' payload names; false when its text is not terminated.
bool readInfoVersion(const std::vector<uint8_t>& payload, int& version);

// Whole entries only, each with a non-empty key, a usable value and an index of the right range: the
// Upper layer's rows for a 'cach' payload, the global rows for a 'cmul' payload. A line on stderr names
// the first bad entry.
bool checkLayerCache(const std::vector<uint8_t>& payload);
bool checkGlobalCache(const std::vector<uint8_t>& payload);

} // namespace corvex
