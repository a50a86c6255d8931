// Second-order shelving and peak sections of the parametric equaliser, from the classic bilinear designs.
#include "engine/modules/types/ParametricEqCoefficients.h"

#include <cmath>

#include "engine/dsp/SampleGuards.h"

namespace corvex {

namespace {

constexpr double kRoot2 = 1.41421356237309504880;

// Pre-warped so that the analog corner lands exactly on the digital one.
double warped(double frequency, double rate) { return std::tan(kPi * frequency / rate); }

double linearGain(double gainDb) { return std::pow(10.0, std::fabs(gainDb) / 20.0); }

} // namespace

// A cut is the exact inverse of the boost of the same size: numerator and denominator swap.
BiquadCoefficients lowShelfCoefficients(double frequency, double gainDb, double rate) {
    const double k = warped(frequency, rate);
    const double kk = k * k;
    const double v = linearGain(gainDb);
    const double rv = std::sqrt(2.0 * v);
    if (gainDb >= 0.0) {
        const double d = 1.0 + kRoot2 * k + kk;
        return {(1.0 + rv * k + v * kk) / d, 2.0 * (v * kk - 1.0) / d, (1.0 - rv * k + v * kk) / d,
                2.0 * (kk - 1.0) / d, (1.0 - kRoot2 * k + kk) / d};
    }
    const double d = 1.0 + rv * k + v * kk;
    return {(1.0 + kRoot2 * k + kk) / d, 2.0 * (kk - 1.0) / d, (1.0 - kRoot2 * k + kk) / d, 2.0 * (v * kk - 1.0) / d,
            (1.0 - rv * k + v * kk) / d};
}

BiquadCoefficients peakCoefficients(double frequency, double gainDb, double q, double rate) {
    const double k = warped(frequency, rate);
    const double kk = k * k;
    const double v = linearGain(gainDb);
    const double kq = k / q;
    const double centre = 2.0 * (kk - 1.0);
    if (gainDb >= 0.0) {
        const double d = 1.0 + kq + kk;
        return {(1.0 + v * kq + kk) / d, centre / d, (1.0 - v * kq + kk) / d, centre / d, (1.0 - kq + kk) / d};
    }
    const double d = 1.0 + v * kq + kk;
    return {(1.0 + kq + kk) / d, centre / d, (1.0 - kq + kk) / d, centre / d, (1.0 - v * kq + kk) / d};
}

BiquadCoefficients highShelfCoefficients(double frequency, double gainDb, double rate) {
    const double k = warped(frequency, rate);
    const double kk = k * k;
    const double v = linearGain(gainDb);
    const double rv = std::sqrt(2.0 * v);
    if (gainDb >= 0.0) {
        const double d = 1.0 + kRoot2 * k + kk;
        return {(v + rv * k + kk) / d, 2.0 * (kk - v) / d, (v - rv * k + kk) / d, 2.0 * (kk - 1.0) / d,
                (1.0 - kRoot2 * k + kk) / d};
    }
    const double d = v + rv * k + kk;
    const double rInv = std::sqrt(2.0 / v);
    const double e = 1.0 + rInv * k + kk / v;
    return {(1.0 + kRoot2 * k + kk) / d, 2.0 * (kk - 1.0) / d, (1.0 - kRoot2 * k + kk) / d, 2.0 * (kk / v - 1.0) / e,
            (1.0 - rInv * k + kk / v) / e};
}

} // namespace corvex
