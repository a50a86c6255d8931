// Shared curves that turn parameter values into decibels, pitch ratios and soft saturation.
#include "engine/dsp/ConversionCurves.h"

#include <cmath>
#include <cstdint>

namespace corvex {

float levelToDecibels(float v) {
    if (v < 0.05f) return 400.0f * v - 100.0f;
    if (v < 0.5f) return 151.11111f * v - 87.55556f;
    return 48.0f * v - 36.0f;
}

double tanhApprox5(double x) {
    const double y = 2.0 * std::fabs(x);
    const double c5 = double(1.0f / 120.0f);
    const double c4 = double(1.0f / 24.0f);
    const double c3 = double(1.0f / 6.0f);
    const double e5PlusOne = y * ((((y * c5 + c4) * y + c3) * y + 0.5) * y + 1.0) + 2.0;
    const double magnitude = 1.0 - 2.0 / e5PlusOne;
    return x < 0.0 ? -magnitude : magnitude;
}

double tanhApprox6(double x) {
    const double y = 2.0 * std::fabs(x);
    const double e6PlusOne =
        y * (((((y / 720.0 + 1.0 / 120.0) * y + 1.0 / 24.0) * y + 1.0 / 6.0) * y + 0.5) * y + 1.0) + 2.0;
    const double magnitude = 1.0 - 2.0 / e6PlusOne;
    return x < 0.0 ? -magnitude : magnitude;
}

void semitonesToRatios(const float* semitones, float* ratios) { semitonesToRatios(semitones, ratios, 32); }

void semitonesToRatios(const float* semitones, float* ratios, int count) {
    typedef float Float4 __attribute__((vector_size(16)));
    typedef int32_t Int4 __attribute__((vector_size(16)));
    const SemitoneRatioTable& t = kSemitoneRatios;
    const Float4 lowest = Float4{} + float(SemitoneRatioTable::kLowest);
    const Float4 highest = Float4{} + float(SemitoneRatioTable::kHighest);
    for (int k = 0; k < count; k += 4) {
        Float4 s;
        __builtin_memcpy(&s, semitones + k, sizeof s);
        // Held inside the table (NaN at 0) before it becomes an index; the ends and NaN are put
        // back below, as the one-offset form answers them.
        Float4 held = s == s ? s : Float4{};
        held = held > highest ? highest : held;
        held = held < lowest ? lowest : held;
        // floor by truncation: every whole number in the table's range is exact in a float.
        Int4 whole = __builtin_convertvector(held, Int4);
        whole -= __builtin_convertvector(whole, Float4) > held ? Int4{} + 1 : Int4{};
        const Float4 f = held - __builtin_convertvector(whole, Float4);
        const Int4 i = whole - SemitoneRatioTable::kLowest;
        const Float4 below = {t[i[0]], t[i[1]], t[i[2]], t[i[3]]};
        const Float4 above = {t[i[0] + 1], t[i[1] + 1], t[i[2] + 1], t[i[3] + 1]};
        Float4 r = (1.0f - f) * below + f * above;
        r = s < lowest ? Float4{} + t[0] : r;
        r = s > highest ? Float4{} + t[SemitoneRatioTable::kSize - 1] : r;
        r = s != s ? Float4{} + t[-SemitoneRatioTable::kLowest] : r;
        __builtin_memcpy(ratios + k, &r, sizeof r);
    }
}

float tenSegmentLookup(int word, const float (&p)[11]) {
    const float v = float(word) * (1.0f / 16384.0f);
    if (v >= 1.0f) return p[10];
    if (v < 0.0f) return p[0];
    const float t = 10.0f * v;
    int i = int(t);
    if (i > 9) i = 9;
    const float f = t - float(i);
    return (1.0f - f) * p[i] + f * p[i + 1];
}

} // namespace corvex
