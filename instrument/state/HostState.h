// The state a host keeps for the instrument: the LCD page value as a float, then the multi filter
// manager's own state.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "instrument/params/ByteStream.h"

namespace corvex {

// The multi filter manager's share of the host state.
class HostStateFilter {
public:
    virtual ~HostStateFilter() = default;
    virtual void writeState(std::vector<uint8_t>& out) = 0;
    // False when any of the state is refused; then nothing of it has been applied.
    virtual bool readState(ByteReader& in) = 0;
};

// The destination's whole content becomes the state.
void writeHostState(float lcdPageValue, HostStateFilter& filter, std::vector<uint8_t>& destination);

// The page value comes from the host's bytes: when it is missing or is not a page value (0 to 1), nothing
// is read and false comes back, with a line on stderr. It is taken only when the filter manager takes its
// part too.
bool readHostState(const uint8_t* data, size_t size, float& lcdPageValue, HostStateFilter& filter);

} // namespace corvex
