// The master effect slot's "no effect" module (type 22): both inputs pass to the outputs unchanged.
#pragma once

#include <cstdint>

#include "engine/modules/ModuleFramework.h"

namespace corvex {

struct EffectBypassModule {
    ModuleHead head;
    PortEntry ports[2];
};

void processEffectBypass(void* module, const ConnectionDescriptor* descriptors, const PortEntry* const* sources,
                         const uint32_t* counts);

// No parameters: the slot's block holds only its header.
inline constexpr ModuleOps kEffectBypassOps{nullptr, processEffectBypass, nullptr, nullptr};

} // namespace corvex
