// Block-rate sum of the modulation reaching a module's inputs, with per-connection curve and range.
#include "engine/modules/ModulationSum.h"

#include <cmath>
#include <cstddef>

#include "engine/modules/ModulationScales.h"

namespace corvex {

namespace {

// The table's scales of an input's connections, when all of them lie in the table's list at a
// record boundary; null otherwise, and each connection is then looked up on its own.
const ModulationScale* scalesOfRun(const ModulationScaleTable* table, const ConnectionDescriptor* descriptors,
                                   uint32_t count) {
    if (table == nullptr) return nullptr;
    const auto at = reinterpret_cast<uintptr_t>(descriptors);
    const auto base = reinterpret_cast<uintptr_t>(table->descriptors);
    if (at < base || (at - base) % sizeof(ConnectionDescriptor) != 0) return nullptr;
    const uintptr_t index = (at - base) / sizeof(ConnectionDescriptor);
    if (index + count > uintptr_t(table->count)) return nullptr;
    return table->scales + index;
}

static_assert(kVoicesPerModulationSum <= 32, "each voice of a call has its bit in one word");

// One body for one voice and for many: with Voices fixed at 1 the compiler drops the voice loops, so
// a lone module's sum costs no more than a sum written for one voice.
template <int Voices>
void sumOfVoices(const ConnectionDescriptor* descriptors, const PortEntry* const* const* sources, uint32_t first,
                 int voices, const uint32_t* counts, int inputCount, float* out, uint32_t* sampled) {
    if constexpr (Voices > 0) voices = Voices;
    if (voices > kVoicesPerModulationSum) voices = kVoicesPerModulationSum;
    if (sampled != nullptr)
        for (int v = 0; v < voices; ++v) sampled[v] = 0;
    if (counts == nullptr) {
        for (int i = 0; i < voices * inputCount; ++i) out[i] = 0.0f;
        return;
    }
    const ModulationScaleTable* table = modulationScalesInForce();
    uint32_t at = first;
    for (int d = 0; d < inputCount; ++d) {
        const uint32_t c = counts[d];
        if (c == 0) {
            for (int v = 0; v < voices; ++v) out[v * inputCount + d] = 0.0f;
            continue;
        }
        const ModulationScale* scales = scalesOfRun(table, descriptors, c);
        // Cleared whole: a fixed size takes a few stores and no call.
        constexpr int kRoom = Voices > 0 ? Voices : kVoicesPerModulationSum;
        float sum[kRoom] = {}, flushedSum[kRoom] = {};
        uint32_t withSamples = 0; // bit v: voice v has a source with samples on this input
        for (uint32_t k = 0; k < c; ++k, ++at) {
            const float scale = scales != nullptr && scales[k].words == scaleWords(descriptors[k])
                                    ? scales[k].scale
                                    : connectionScale(descriptors[k]);
            // A module of the part or the kernel feeds every voice through one port: it is read once
            // and its term added to every voice's sums, a vector of voices at a time.
            const PortEntry* shared = sources[0][at];
            bool same = true;
            for (int v = 1; v < voices; ++v) same = same && sources[v][at] == shared;
            if (same) {
                if (shared != nullptr && !shared->isValuePort()) {
                    withSamples = ~0u;
                    continue;
                }
                const float x = shared != nullptr ? shared->value : 0.0f;
                const float term = scale * x;
                const float flushedTerm = scale * (std::fabs(x) < 1e-30f ? 0.0f : x);
                for (int v = 0; v < voices; ++v) {
                    sum[v] += term;
                    flushedSum[v] += flushedTerm;
                }
                continue;
            }
            for (int v = 0; v < voices; ++v) {
                // A missing source has nothing to publish, so it is read as a silent block-rate value.
                const PortEntry* source = sources[v][at];
                float x = 0.0f;
                if (source != nullptr) {
                    if (!source->isValuePort()) {
                        withSamples |= 1u << v;
                        continue;
                    }
                    x = source->value;
                }
                // An all-block-rate sum goes straight into block-rate state, so near-denormal values are
                // cut from it; a mixed input continues into the module's per-sample path untouched.
                sum[v] += scale * x;
                flushedSum[v] += scale * (std::fabs(x) < 1e-30f ? 0.0f : x);
            }
        }
        for (int v = 0; v < voices; ++v) out[v * inputCount + d] = (withSamples >> v) & 1u ? sum[v] : flushedSum[v];
        if (sampled != nullptr)
            for (int v = 0; v < voices; ++v) sampled[v] |= ((withSamples >> v) & 1u) << d;
        descriptors += c;
    }
}

} // namespace

void sumBlockModulationOfVoices(const ConnectionDescriptor* descriptors, const PortEntry* const* const* sources,
                                uint32_t first, int voices, const uint32_t* counts, int inputCount, float* out,
                                uint32_t* sampled) {
    sumOfVoices<0>(descriptors, sources, first, voices, counts, inputCount, out, sampled);
}

int sumBlockModulation(const ConnectionDescriptor* descriptors, const PortEntry* const* sources,
                       const uint32_t* counts, int inputCount, float* out, uint32_t* sampled) {
    const PortEntry* const* voice[1] = {sources};
    sumOfVoices<1>(descriptors, voice, 0, 1, counts, inputCount, out, sampled);
    int total = 0;
    for (int d = 0; counts != nullptr && d < inputCount; ++d) total += int(counts[d]);
    return total;
}

} // namespace corvex
