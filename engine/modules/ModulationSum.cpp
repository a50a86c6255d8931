// Block-rate sum of the modulation reaching a module's inputs, with per-connection curve and range.
#include "engine/modules/ModulationSum.h"

namespace corvex {

namespace {

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

// A missing source has nothing to publish, so it is read as a silent block-rate value.
bool isBlockRate(const PortEntry* source) { return source == nullptr || source->isValuePort(); }

float blockValue(const PortEntry* source) { return source ? source->value : 0.0f; }

} // namespace

int sumBlockModulation(const ConnectionDescriptor* descriptors, const PortEntry* const* sources,
                       const uint32_t* counts, int inputCount, float* out) {
    if (counts == nullptr) {
        for (int d = 0; d < inputCount; ++d) out[d] = 0.0f;
        return 0;
    }
    int total = 0;
    for (int d = 0; d < inputCount; ++d) {
        out[d] = 0.0f;
        const uint32_t c = counts[d];
        if (c == 0) continue;

        bool allBlockRate = true;
        for (uint32_t k = 0; k < c; ++k) allBlockRate = allBlockRate && isBlockRate(sources[k]);

        float sum = 0.0f;
        for (uint32_t k = 0; k < c; ++k) {
            if (!isBlockRate(sources[k])) continue;
            float v = blockValue(sources[k]);
            // An all-block-rate sum goes straight into block-rate state, so near-denormal values are
            // cut here; a mixed input continues into the module's per-sample path untouched.
            if (allBlockRate && v > -1e-30f && v < 1e-30f) v = 0.0f;
            sum += rangeFactor(descriptors[k]) * shapedAmount(descriptors[k]) * v;
        }
        out[d] = sum;

        total += int(c);
        descriptors += c;
        sources += c;
    }
    return total;
}

} // namespace corvex
