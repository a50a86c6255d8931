// Running one slot's modules of several voices through a lane kernel, a run of voices at a time.
#pragma once

#include <cstdint>

namespace corvex {

struct ConnectionDescriptor;
struct PortEntry;

// Voices prepared and run together: two 512-bit vectors of doubles, or one of floats. A run of 32
// would give the cascade more chains to overlap, but its voices' blocks and states no longer stay in
// the first-level cache: 32 voices play faster in two runs of 16.
constexpr int kVoicesPerLaneRun = 16;

// prepare(module, descriptors, sources, counts, lane) does a voice's block-rate work and says
// whether its block still needs the lane loop; finish(module, lane) takes the lane's states back.
template <typename Module, typename Lane, typename Prepare, typename Finish>
void runInLanes(void* const* modules, int count, const ConnectionDescriptor* descriptors,
                const PortEntry* const* const* sources, const uint32_t* counts, void (*kernel)(Lane*, int),
                Prepare prepare, Finish finish) {
    Lane lanes[kVoicesPerLaneRun];
    Module* owners[kVoicesPerLaneRun];
    for (int first = 0; first < count; first += kVoicesPerLaneRun) {
        const int end = count - first < kVoicesPerLaneRun ? count : first + kVoicesPerLaneRun;
        int n = 0;
        for (int v = first; v < end; ++v) {
            auto& m = *static_cast<Module*>(modules[v]);
            if (!prepare(m, descriptors, sources[v], counts, lanes[n])) continue;
            owners[n++] = &m;
        }
        if (n == 0) continue;
        kernel(lanes, n);
        for (int i = 0; i < n; ++i) finish(*owners[i], lanes[i]);
    }
}

} // namespace corvex
