// Type 48: mixes the parts into three effect buses, runs the three effect slots in series and writes
// the kernel's final stereo output. Type 58, the output bus, only owns the parts' bus buffers.
#pragma once

#include "engine/modules/ModuleFramework.h"

namespace corvex {

constexpr int kEffectBuses = 3;

struct GraphRunnerParams {
    float level[4];   // per input pair
    float send[4][3]; // per input pair and bus
    float chainGain[2];
    float weight[3]; // of each effect slot's output in the final mix
    float volume;
};

// What the runner needs to run one effect slot: the slot and its input connections.
struct EffectSlotBinding {
    void* module = nullptr;
    const ConnectionDescriptor* descriptors = nullptr;
    const PortEntry* const* sources = nullptr;
    const uint32_t* counts = nullptr;
};

struct GraphRunnerModule {
    ModuleHead head;
    PortEntry ports[8]; // 0..5 effect buses, 6/7 final left and right
    EffectSlotBinding slots[kEffectBuses];
};

struct OutputBusModule {
    ModuleHead head;
    PortEntry ports[8]; // 0/1 first part, 2/3 second part
};

void graphRunnerProcess(void* module, const ConnectionDescriptor*, const PortEntry* const* sources,
                        const uint32_t* counts);
void graphRunnerLoad(const uint16_t* data, int wordCount, ParameterRecord* record, EngineContext* context);

inline constexpr ModuleOps kGraphRunnerOps{nullptr, graphRunnerProcess, graphRunnerLoad, nullptr};
inline constexpr ModuleOps kOutputBusOps{};

} // namespace corvex
