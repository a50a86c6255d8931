// The constants and guards every module applies where samples leave it or its states carry over.
#pragma once

#include <cmath>

namespace corvex {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2.0 * kPi;
constexpr float kPiFloat = float(kPi);
constexpr float kTwoPiFloat = float(kTwoPi);
constexpr float kHalfPiFloat = float(0.5 * kPi);

// Far above the quietest sound and far below where denormals start: a decaying tail or state under
// it is cut to silence before the processor slows down on it.
constexpr double kFlushBelow = 1e-30;
constexpr float kFlushBelowFloat = float(kFlushBelow);
// No signal comes near this; a float holds little more.
constexpr double kLoudest = 1e30;

inline double flushed(double v) { return (v > -kFlushBelow && v < kFlushBelow) ? 0.0 : v; }
inline float flushed(float v) { return (v > -kFlushBelowFloat && v < kFlushBelowFloat) ? 0.0f : v; }

// False for NaN too.
inline bool withinRange(double v) { return std::fabs(v) < kLoudest; }

// A computed sample as the block stores it: flushed, held within the loudest, a NaN as silence.
inline float toSample(double y) {
    if (y > -kFlushBelow && y < kFlushBelow) return 0.0f;
    if (!(std::fabs(y) < kLoudest))
        return y > 0.0 ? float(kLoudest) : (y < 0.0 ? float(-kLoudest) : 0.0f);
    return float(y);
}

// As toSample, but a NaN passes through as NaN: for loops whose vector forms must agree with it lane
// for lane, and whose callers guard their inputs instead.
inline float clampedSample(double y) {
    if (y > -kFlushBelow && y < kFlushBelow) return 0.0f;
    return float(y > kLoudest ? kLoudest : (y < -kLoudest ? -kLoudest : y));
}

} // namespace corvex
