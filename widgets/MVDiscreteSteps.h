// A discrete parameter of N steps travels as the centre of its step, (i + 0.5) / N, and is read back as
// trunc(N x v) within 0..N-1.
#pragma once

#include <algorithm>

namespace corvex {

inline float stepCentre(int step, int count) {
    count = std::max(count, 1);
    step = std::clamp(step, 0, count - 1);
    return (static_cast<float>(step) + 0.5f) / static_cast<float>(count);
}

// A value that is not a number reads as the first step; the product is clamped before it becomes an int, so no
// value can overflow the conversion.
inline int stepOf(float value, int count) {
    count = std::max(count, 1);
    const float scaled = static_cast<float>(count) * value;
    if (!(scaled > 0.0f)) return 0;
    if (scaled >= static_cast<float>(count)) return count - 1;
    return std::min(static_cast<int>(scaled), count - 1);
}

} // namespace corvex
