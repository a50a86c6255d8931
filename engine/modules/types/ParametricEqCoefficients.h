// Second-order shelving and peak sections of the parametric equaliser, from the classic bilinear designs.
#pragma once

namespace corvex {

// y = b0 u + b1 u1 + b2 u2 - a1 y1 - a2 y2 (a0 normalised to 1).
struct BiquadCoefficients {
    double b0, b1, b2, a1, a2;
};

// Frequencies are expected from 20 Hz to below half the rate and Q above 0; a gain of 0 dB gives a
// section that passes its input unchanged.
BiquadCoefficients lowShelfCoefficients(double frequency, double gainDb, double rate);
BiquadCoefficients peakCoefficients(double frequency, double gainDb, double q, double rate);
BiquadCoefficients highShelfCoefficients(double frequency, double gainDb, double rate);

} // namespace corvex
