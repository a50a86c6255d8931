// The small conversions every module applies to its parameter words and incoming values.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>

namespace corvex {

// A parameter word as the fraction of 16384 it stands for.
inline float wordValue(int32_t word) { return float(word) * (1.0f / 16384.0f); }

// A broken value (NaN, infinity) counts as 0. Written as one comparison so that a loop of them runs a
// vector at a time.
inline float finiteOrZero(float v) { return std::fabs(v) <= std::numeric_limits<float>::max() ? v : 0.0f; }

// NaN lands on the lowest value.
inline float heldWithin(float v, float lowest, float highest) {
    if (!(v > lowest)) return lowest;
    return v < highest ? v : highest;
}

// Linear interpolation between N evenly spaced points over 0..1; values outside (and NaN) hold an end.
template <size_t N>
float pointCurve(const float (&points)[N], float x) {
    if (x >= 1.0f) return points[N - 1];
    if (!(x >= 0.0f)) return points[0];
    const float t = float(N - 1) * x;
    size_t i = size_t(t);
    if (i > N - 2) i = N - 2; // x just below 1 can round t onto the last point
    const float f = t - float(i);
    return (1.0f - f) * points[i] + f * points[i + 1];
}

} // namespace corvex
