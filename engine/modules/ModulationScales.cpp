// The scale of each connection's block-rate modulation, worked out when the connection list changes.
#include "engine/modules/ModulationScales.h"

#include <cstdint>

#include "engine/modules/ModulationSum.h"

namespace corvex {

namespace {

// One pointer per thread. Initial-exec keeps it in the threads' static block even when the engine is
// loaded as a plugin: the dynamic model would allocate it on a thread's first touch, and that first
// touch happens while rendering.
#if defined(__GNUC__)
#define CORVEX_STATIC_TLS __attribute__((tls_model("initial-exec")))
#else
#define CORVEX_STATIC_TLS
#endif
thread_local const ModulationScaleTable* inForce CORVEX_STATIC_TLS = nullptr;

float shapedAmount(const ConnectionDescriptor& d) {
    const float a = d.amount();
    const int n = d.curveNumber();
    if (n == 0) return a;
    const float* p = AmountCurveTable[n];
    if (a >= 1.0f) return p[kAmountCurvePoints - 1];
    if (a < 0.0f) return p[0];
    const float t = 6.0f * a;
    int i = int(t);
    // A float just below 1.0 can round 6a up to 6.0; the last segment then ends on its own point.
    if (i > kAmountCurvePoints - 2) i = kAmountCurvePoints - 2;
    const float f = t - float(i);
    return (1.0f - f) * p[i] + f * p[i + 1];
}

// The selector field can name up to 2047 (or a negative number); numbers without a table entry
// route nothing rather than borrowing some other destination's scale.
float rangeFactor(const ConnectionDescriptor& d) {
    const int n = d.rangeFactorNumber();
    return (n >= 0 && n < kModulationRangeCount) ? ModulationRangeTable[n] : 0.0f;
}

} // namespace

float connectionScale(const ConnectionDescriptor& d) { return rangeFactor(d) * shapedAmount(d); }

const ModulationScaleTable* modulationScalesInForce() { return inForce; }

ScopedModulationScales::ScopedModulationScales(const ModulationScaleTable& table)
    : table_(table), previous_(inForce) {
    inForce = &table_;
}

ScopedModulationScales::~ScopedModulationScales() { inForce = previous_; }

} // namespace corvex
