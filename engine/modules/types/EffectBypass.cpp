// The master effect slot's "no effect" module (type 22): both inputs pass to the outputs unchanged.
#include "engine/modules/types/EffectBypass.h"

#include <cstddef>

#include "engine/modules/BlockBufferStore.h"
#include "engine/modules/ModulePools.h"

namespace corvex {

static_assert(sizeof(EffectBypassModule) <= sizeof(VoiceModuleWrapperA), "the bypass comes from pool 1");
static_assert(offsetof(EffectBypassModule, ports) == offsetof(PortedModule, ports),
              "the framework finds the ports where every ported module keeps them");

namespace {

// An output without a connected input (or without a buffer on either side) keeps what it held.
void pass(PortEntry& output, const PortEntry* source) {
    float* out = portBuffer(output);
    const float* in = source ? portBuffer(*source) : nullptr;
    if (out == nullptr || in == nullptr || out == in) return;
    for (int n = 0; n < kBlockFrames; ++n) out[n] = in[n];
}

} // namespace

void processEffectBypass(void* module, const ConnectionDescriptor* descriptors, const PortEntry* const* sources,
                         const uint32_t* counts) {
    if (counts == nullptr || descriptors == nullptr || sources == nullptr) return;
    auto& m = *static_cast<EffectBypassModule*>(module);
    if (counts[0] > 0) pass(m.ports[0], sources[0]);
    if (counts[1] > 0) pass(m.ports[1], sources[counts[0]]);
}

} // namespace corvex
