#include "instrument/state/HostState.h"

#include <cmath>
#include <cstdio>

namespace corvex {

void writeHostState(float lcdPageValue, HostStateFilter& filter, std::vector<uint8_t>& destination) {
    destination.clear();
    ByteWriter w(destination);
    w.writeFloat(lcdPageValue);
    filter.writeState(destination);
}

bool readHostState(const uint8_t* data, size_t size, float& lcdPageValue, HostStateFilter& filter) {
    ByteReader in(data, size);
    float page = 0.0f;
    if (!in.readFloat(page) || !std::isfinite(page) || page < 0.0f || page > 1.0f) {
        std::fprintf(stderr, "Host state : no LCD page value, state ignored\n");
        return false;
    }
    if (!filter.readState(in)) return false;
    lcdPageValue = page;
    return true;
}

} // namespace corvex
