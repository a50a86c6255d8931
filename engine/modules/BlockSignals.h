// Whole blocks of samples at a module's edges: silenced outputs and inputs summed from their connections.
#pragma once

#include <cstdint>

#include "engine/dsp/ConnectionDescriptor.h"
#include "engine/dsp/ModuleValues.h"
#include "engine/modules/BlockBufferStore.h"

namespace corvex {

inline void silence(float* out) {
    if (out != nullptr)
        for (int n = 0; n < kBlockFrames; ++n) out[n] = 0.0f;
}

// Adds every audio-rate connection of one input to what the block holds, each by its amount times
// the scale. A broken sample counts as 0, so one NaN from a source can never reach a module's states.
inline void addInput(const ConnectionDescriptor* descriptors, const PortEntry* const* sources, uint32_t first,
                     uint32_t count, float scale, float* into) {
    bool mixed = false;
    for (uint32_t k = first; k < first + count; ++k) {
        const float* samples = sources[k] ? portBuffer(*sources[k]) : nullptr;
        if (samples == nullptr) continue; // a block-rate source has no samples
        const float g = scale * descriptors[k].amount();
        for (int n = 0; n < kBlockFrames; ++n) into[n] += g * samples[n];
        mixed = true;
    }
    if (!mixed) return; // nothing was added to what the block held
    for (int n = 0; n < kBlockFrames; ++n) into[n] = finiteOrZero(into[n]);
}

// One input's block: its audio-rate connections summed from silence.
inline void mixInput(const ConnectionDescriptor* descriptors, const PortEntry* const* sources, uint32_t first,
                     uint32_t count, float* into) {
    for (int n = 0; n < kBlockFrames; ++n) into[n] = 0.0f;
    addInput(descriptors, sources, first, count, 1.0f, into);
}

} // namespace corvex
