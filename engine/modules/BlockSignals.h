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

// The per-sample steps of the sums below. The pointers are parameters so that the compiler may take
// the blocks as apart, which it needs to run the loops a vector at a time.
inline void scaledFromSilence(float* __restrict into, const float* __restrict x, float g) {
    for (int n = 0; n < kBlockFrames; ++n) into[n] = 0.0f + g * x[n];
}
inline void addScaled(float* __restrict into, const float* __restrict x, float g) {
    for (int n = 0; n < kBlockFrames; ++n) into[n] += g * x[n];
}
inline void holdFinite(float* into) {
    for (int n = 0; n < kBlockFrames; ++n) into[n] = finiteOrZero(into[n]);
}
// The one-source sum in one pass: the same value as scaledFromSilence then holdFinite.
inline void heldScaledFromSilence(float* __restrict into, const float* __restrict x, float g) {
    for (int n = 0; n < kBlockFrames; ++n) into[n] = finiteOrZero(0.0f + g * x[n]);
}

// Adds the audio-rate connections first .. first + count - 1 of one input to the block, each by
// its amount times the scale; says whether any was added.
inline bool addSources(const ConnectionDescriptor* descriptors, const PortEntry* const* sources, uint32_t first,
                       uint32_t count, float scale, float* into) {
    bool mixed = false;
    for (uint32_t k = first; k < first + count; ++k) {
        const float* samples = sources[k] ? portBuffer(*sources[k]) : nullptr;
        if (samples == nullptr) continue; // a block-rate source has no samples
        addScaled(into, samples, scale * descriptors[k].amount());
        mixed = true;
    }
    return mixed;
}

// Adds every audio-rate connection of one input to what the block holds, each by its amount times
// the scale. A broken sample counts as 0, so one NaN from a source can never reach a module's states.
inline void addInput(const ConnectionDescriptor* descriptors, const PortEntry* const* sources, uint32_t first,
                     uint32_t count, float scale, float* into) {
    if (!addSources(descriptors, sources, first, count, scale, into)) return; // the block holds what it held
    holdFinite(into);
}

// One input's block: its audio-rate connections, each by its amount times the scale, summed from
// silence. The first source is added to a silent block as it is written (0 + x keeps what the
// sum from silence gives, a -0 included), which spares clearing the block first.
inline void mixInput(const ConnectionDescriptor* descriptors, const PortEntry* const* sources, uint32_t first,
                     uint32_t count, float* into, float scale = 1.0f) {
    for (uint32_t k = first; k < first + count; ++k) {
        const float* samples = sources[k] ? portBuffer(*sources[k]) : nullptr;
        if (samples == nullptr) continue;
        const float g = scale * descriptors[k].amount();
        if (k + 1 == first + count) {
            heldScaledFromSilence(into, samples, g); // the common case: one source
            return;
        }
        scaledFromSilence(into, samples, g);
        addSources(descriptors, sources, k + 1, first + count - (k + 1), scale, into);
        holdFinite(into);
        return;
    }
    for (int n = 0; n < kBlockFrames; ++n) into[n] = 0.0f;
}

} // namespace corvex
