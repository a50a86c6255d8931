// Where the chorus reads its delay lines: interpolated taps and the feedback tap, held inside the line.
#pragma once

#include <cmath>
#include <cstdint>

namespace corvex {

constexpr int kChorusLineLength = 8192;

// A tap reads two neighbouring samples, i and the older j, and blends them with an allpass of
// coefficient a.
struct ChorusTapPosition {
    int32_t newer;
    int32_t older;
    double allpass;
};

// The read happens before the write at writeIndex, so one sample of delay is the newest sample and
// kChorusLineLength - 1 reaches the oldest pair still held. Any delay, however the modulation
// pushed it (NaN included), lands in that range: a read never leaves the line.
inline ChorusTapPosition chorusTapPosition(int32_t writeIndex, double delay) {
    constexpr double kShortest = 1.0;
    constexpr double kLongest = double(kChorusLineLength - 1);
    if (!(delay >= kShortest)) delay = kShortest;
    if (delay > kLongest) delay = kLongest;
    const int32_t whole = int32_t(delay);
    const double frac = delay - double(whole);
    int32_t i = writeIndex - whole;
    if (i < 0) i += kChorusLineLength;
    const int32_t j = i == 0 ? kChorusLineLength - 1 : i - 1;
    return {i, j, 1.0 - frac};
}

// The feedback tap, in single precision as the smoothed delay is kept; a delay of 0 reads the oldest
// sample, the one about to be overwritten. The position is rounded down: rounded towards zero, a
// fractional delay would read one sample twice each time the write index passes it.
inline int32_t chorusFeedbackIndex(int32_t writeIndex, float delay) {
    constexpr float kLongest = float(kChorusLineLength - 1);
    if (!(delay >= 0.0f)) delay = 0.0f;
    if (delay > kLongest) delay = kLongest;
    int32_t q = int32_t(std::floor(float(writeIndex) - delay));
    if (q < 0) q += kChorusLineLength;
    return q;
}

} // namespace corvex
