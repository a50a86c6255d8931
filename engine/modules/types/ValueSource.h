// Type 1: turns a value or key events into a four-state edge signal (0 low, 1 rising, 2 high, 3 falling).
#pragma once

#include "engine/modules/ModuleFramework.h"

namespace corvex {

enum GateState : int32_t { GateLow = 0, GateRising = 1, GateHigh = 2, GateFalling = 3 };

struct ValueSourceParams {
    float value; // parameter 5
};

void valueSourceInit(void* module, EngineContext* context);
void valueSourceProcess(void* module, const ConnectionDescriptor*, const PortEntry* const*, const uint32_t*);
void valueSourceLoad(const uint16_t* data, int wordCount, ParameterRecord* record, EngineContext* context);
void valueSourceSet(int16_t value, int parameter, float* echoValue, int* echoCode, ParameterRecord* record,
                    EngineContext* context);

inline constexpr ModuleOps kValueSourceOps{valueSourceInit, valueSourceProcess, valueSourceLoad, valueSourceSet};

// Voice assignment strikes (rising) and releases (falling) a voice through its value source.
inline void setGate(void* valueSource, GateState state) {
    if (valueSource) static_cast<ValueSourceModule*>(valueSource)->port.intValue = state;
}
inline int gateOf(const void* valueSource) {
    return valueSource ? static_cast<const ValueSourceModule*>(valueSource)->port.intValue : GateLow;
}

} // namespace corvex
