#include "engine/modules/types/GraphRunner.h"

#include <algorithm>

#include "engine/modules/BlockBufferStore.h"
#include "engine/modules/BlockSignals.h"

namespace corvex {

namespace {

const float kSilence[kBlockFrames] = {};

const float* samplesOf(const PortEntry* port) {
    const float* s = port ? portBuffer(*port) : nullptr;
    return s ? s : kSilence;
}

const float* slotOutput(const EffectSlotBinding& slot, int port) {
    return samplesOf(slot.module ? modulePortAddress(slot.module, port) : nullptr);
}

// The mixing steps take their blocks as parameters, the written one restrict, so that the compiler
// may run them a vector at a time: it cannot rule out that a port block overlaps a source block.
void sendBus(float* __restrict out, const float* const* in, const float (&gains)[4]) {
    for (int n = 0; n < kBlockFrames; ++n) {
        float sum = 0.0f;
        for (int k = 0; k < 4; ++k) sum += in[2 * k][n] * gains[k];
        out[n] = sum;
    }
}

void finalMix(float* __restrict out, const float* const (&slots)[3], const float (&weights)[3], float volume) {
    for (int n = 0; n < kBlockFrames; ++n)
        out[n] = volume * (weights[0] * slots[0][n] + weights[1] * slots[1][n] + weights[2] * slots[2][n]);
}

} // namespace

void graphRunnerLoad(const uint16_t* data, int wordCount, ParameterRecord* record, EngineContext*) {
    if (record == nullptr || wordCount < 29) return;
    GraphRunnerParams& p = record->as<GraphRunnerParams>();
    auto f = [data](int j) { return static_cast<float>(data[j + 2]) * (1.0f / 16384.0f); };
    for (int k = 0; k < 4; ++k) {
        p.level[k] = f(7 + 4 * k);
        for (int b = 0; b < 3; ++b) p.send[k][b] = f(8 + 4 * k + b);
    }
    p.chainGain[0] = f(23);
    p.chainGain[1] = f(24);
    for (int w = 0; w < 3; ++w) p.weight[w] = f(25 + w);
    p.volume = f(28);
}

void graphRunnerProcess(void* module, const ConnectionDescriptor*, const PortEntry* const* sources,
                        const uint32_t* counts) {
    auto& m = *static_cast<GraphRunnerModule*>(module);
    if (m.head.record == nullptr) return;
    const GraphRunnerParams& p = m.head.record->as<GraphRunnerParams>();

    // The first connection into each of the eight part inputs; a silent block where there is none.
    const float* in[8];
    int first = 0;
    for (int i = 0; i < 8; ++i) {
        const uint32_t n = counts ? counts[i] : 0;
        in[i] = n > 0 ? samplesOf(sources[first]) : kSilence;
        first += static_cast<int>(n);
    }

    float* out[8];
    for (int i = 0; i < 8; ++i) out[i] = portBuffer(m.ports[i]);

    for (int b = 0; b < kEffectBuses; ++b) {
        float* left = out[2 * b];
        float* right = out[2 * b + 1];
        if (!left || !right) continue;
        float gains[4];
        for (int k = 0; k < 4; ++k) gains[k] = p.level[k] * p.send[k][b];
        sendBus(left, in, gains);
        sendBus(right, in + 1, gains);
    }

    // Each slot feeds the next one's bus through its chain gain.
    for (int s = 0; s < kEffectBuses; ++s) {
        const EffectSlotBinding& slot = m.slots[s];
        if (slot.module) processModuleByType(slot.module, slot.descriptors, slot.sources, slot.counts);
        if (s + 1 < kEffectBuses) {
            float* left = out[2 * (s + 1)];
            float* right = out[2 * (s + 1) + 1];
            if (!left || !right) continue;
            const float* effectLeft = slotOutput(slot, 0);
            const float* effectRight = slotOutput(slot, 1);
            const float g = p.chainGain[s];
            addScaled(left, effectLeft, g);
            addScaled(right, effectRight, g);
        }
    }

    float* finalLeft = out[6];
    float* finalRight = out[7];
    if (!finalLeft || !finalRight) return;
    const float* l[3] = {slotOutput(m.slots[0], 0), slotOutput(m.slots[1], 0), slotOutput(m.slots[2], 0)};
    const float* r[3] = {slotOutput(m.slots[0], 1), slotOutput(m.slots[1], 1), slotOutput(m.slots[2], 1)};
    finalMix(finalLeft, l, p.weight, p.volume);
    finalMix(finalRight, r, p.weight, p.volume);
}

} // namespace corvex
