#include "engine/modules/types/ValueSource.h"

namespace corvex {

void valueSourceInit(void* module, EngineContext*) {
    auto& m = *static_cast<ValueSourceModule*>(module);
    m.port.intValue = GateLow;
    // The value already stored is no edge: only a later change is.
    m.target = m.head.record ? m.head.record->as<ValueSourceParams>().value : 0.0f;
}

// A strike's 1 lasts one block, then holds as 2; a release's 3 lasts one block, then rests at 0.
void valueSourceProcess(void* module, const ConnectionDescriptor*, const PortEntry* const*, const uint32_t*) {
    auto& m = *static_cast<ValueSourceModule*>(module);
    int& state = m.port.intValue;
    if (state == GateRising) {
        state = GateHigh;
    } else if (state == GateFalling) {
        state = GateLow;
    } else if (m.head.record) {
        const float value = m.head.record->as<ValueSourceParams>().value;
        if (value != m.target) {
            m.target = value;
            state = value > 0.5f ? GateRising : GateFalling;
        }
    }
}

void valueSourceLoad(const uint16_t*, int, ParameterRecord* record, EngineContext*) {
    if (record) record->as<ValueSourceParams>().value = 0.0f;
}

void valueSourceSet(int16_t value, int parameter, float* echoValue, int*, ParameterRecord* record, EngineContext*) {
    if (record == nullptr || parameter != 5) return;
    const float v = static_cast<float>(value) * (1.0f / 16384.0f);
    record->as<ValueSourceParams>().value = v;
    if (echoValue) *echoValue = v;
}

} // namespace corvex
