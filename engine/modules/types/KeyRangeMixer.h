// Type 46: the key-range and part-setup block of the kernel, and a stereo mixer of the parts.
#pragma once

#include "engine/modules/ModuleFramework.h"

namespace corvex {

constexpr int kKeyRangeParts = 4;

struct KeyRangeParams {
    uint32_t bits[kKeyRangeParts]; // bit 0: the part is present
    uint8_t lowKey[kKeyRangeParts];
    uint8_t highKey[kKeyRangeParts];
    float level[kKeyRangeParts];
};

struct KeyRangeMixerModule {
    ModuleHead head;
    PortEntry ports[2];
};

void keyRangeProcess(void* module, const ConnectionDescriptor*, const PortEntry* const* sources, const uint32_t* counts);
void keyRangeLoad(const uint16_t* data, int wordCount, ParameterRecord* record, EngineContext* context);

inline constexpr ModuleOps kKeyRangeOps{nullptr, keyRangeProcess, keyRangeLoad, nullptr};

} // namespace corvex
