// Shared curves that turn parameter values into decibels, pitch ratios and soft saturation.
#include "engine/dsp/ConversionCurves.h"

#include <cmath>

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
