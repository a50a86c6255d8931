// The distortion's half-band interpolator: 23 symmetric taps that double the rate of a zero-stuffed signal.
#pragma once

#include <cstdint>

namespace corvex {

constexpr int kHalfBandTaps = 23;
// Every other sample the filter sees is a stuffed zero, so it keeps only the real ones.
constexpr int kHalfBandHistory = (kHalfBandTaps + 1) / 2;

// The zero-stuffed stream x, 0, x, 0 ... split into its two phases: the even taps meet the real
// samples as one is written, the odd taps (the centre among them) as the zero after it is written.
// Each sample is kept twice, half a buffer apart, so that the newest ones always lie side by side.
struct HalfBandInterpolator {
    double history[2 * kHalfBandHistory];
    int32_t next; // where the next real sample goes; also the oldest one's place

    void reset();
    // Writes one real sample and the zero after it; answers the filter's output after each.
    void push(double sample, double& afterSample, double& afterZero);
};

} // namespace corvex
