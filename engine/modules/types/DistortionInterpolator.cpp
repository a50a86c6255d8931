// The distortion's half-band interpolator: 23 symmetric taps that double the rate of a zero-stuffed signal.
#include "engine/modules/types/DistortionInterpolator.h"

#include <array>
#include <cstddef>

namespace corvex {

namespace {

// Symmetric around tap 11. They sum to 2.0: every other input sample is a stuffed zero, so the
// doubled gain of the remaining ones keeps the level at unity.
constexpr double kHalfBand[kHalfBandTaps] = {
    -0.00062701990838, 1.03e-12,          0.00473231950196,  -5.55e-12,         -0.01964123360432,
    1.59e-11,          0.06010721422232,  -3.113e-11,        -0.16302273418814, 4.545e-11,
    0.61844801950169,  0.99999999994862,  0.61844801950169,  4.545e-11,         -0.16302273418814,
    -3.113e-11,        0.06010721422232,  1.59e-11,          -0.01964123360432, -5.55e-12,
    0.00473231950196,  1.03e-12,          -0.00062701990838,
};

// Real sample m of the history (oldest first) meets tap 2m right after it is written and tap 2m - 1
// one step later, when the oldest has left the window.
constexpr std::array<double, kHalfBandHistory> kEvenTaps = [] {
    std::array<double, kHalfBandHistory> t{};
    for (int m = 0; m < kHalfBandHistory; ++m) t[size_t(m)] = kHalfBand[2 * m];
    return t;
}();
constexpr std::array<double, kHalfBandHistory> kOddTaps = [] {
    std::array<double, kHalfBandHistory> t{};
    for (int m = 1; m < kHalfBandHistory; ++m) t[size_t(m)] = kHalfBand[2 * m - 1];
    return t;
}();

} // namespace

void HalfBandInterpolator::reset() {
    for (double& h : history) h = 0.0;
    next = 0;
}

void HalfBandInterpolator::push(double sample, double& afterSample, double& afterZero) {
    history[next] = sample;
    history[next + kHalfBandHistory] = sample;
    next = next + 1 == kHalfBandHistory ? 0 : next + 1;
    const double* window = history + next;
    double even = 0.0, odd = 0.0;
    for (int m = 0; m < kHalfBandHistory; ++m) {
        even += kEvenTaps[size_t(m)] * window[m];
        odd += kOddTaps[size_t(m)] * window[m];
    }
    afterSample = even;
    afterZero = odd;
}

} // namespace corvex
