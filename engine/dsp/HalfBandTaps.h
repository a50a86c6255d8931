// The distortion's half-band taps: 23 symmetric taps that double the rate of a zero-stuffed signal.
#pragma once

#include <array>
#include <cstddef>

namespace corvex {

constexpr int kHalfBandTaps = 23;
// Every other sample the filter sees is a stuffed zero, so it keeps only the real ones.
constexpr int kHalfBandHistory = (kHalfBandTaps + 1) / 2;

// Symmetric around tap 11. They sum to 2.0: every other input sample is a stuffed zero, so the
// doubled gain of the remaining ones keeps the level at unity.
inline constexpr double kHalfBand[kHalfBandTaps] = {
    -0.00062701990838, 1.03e-12,          0.00473231950196,  -5.55e-12,         -0.01964123360432,
    1.59e-11,          0.06010721422232,  -3.113e-11,        -0.16302273418814, 4.545e-11,
    0.61844801950169,  0.99999999994862,  0.61844801950169,  4.545e-11,         -0.16302273418814,
    -3.113e-11,        0.06010721422232,  1.59e-11,          -0.01964123360432, -5.55e-12,
    0.00473231950196,  1.03e-12,          -0.00062701990838,
};

// Real sample m of the window (oldest first) meets tap 2m right after it is written and tap 2m - 1
// one step later, when the oldest has left the window.
inline constexpr std::array<double, kHalfBandHistory> kEvenTaps = [] {
    std::array<double, kHalfBandHistory> t{};
    for (int m = 0; m < kHalfBandHistory; ++m) t[size_t(m)] = kHalfBand[2 * m];
    return t;
}();
inline constexpr std::array<double, kHalfBandHistory> kOddTaps = [] {
    std::array<double, kHalfBandHistory> t{};
    for (int m = 1; m < kHalfBandHistory; ++m) t[size_t(m)] = kHalfBand[2 * m - 1];
    return t;
}();

} // namespace corvex
