// Shared curves that turn parameter values into decibels, pitch ratios and soft saturation.
#pragma once

#include <cmath>

namespace corvex {

// Ratio for each whole semitone from -120 to +192, as 1.059463^n rounded to six decimals.
struct SemitoneRatioTable {
    static constexpr int kLowest = -120;
    static constexpr int kHighest = 192;
    static constexpr int kSize = kHighest - kLowest + 1;

    // One trailing 0.0 so that interpolating at exactly +192 semitones reads a neighbour
    // (weighted by zero) without leaving the array.
    float values[kSize + 1];

    constexpr float operator[](int i) const { return values[i]; }
};

namespace detail {

constexpr double powerOfSemitoneStep(int n) {
    // Squaring keeps the error at a few ulps, so the six-decimal rounding matches a libm pow.
    double base = 1.059463;
    bool invert = n < 0;
    unsigned e = unsigned(invert ? -n : n);
    double result = 1.0;
    while (e != 0) {
        if (e & 1u) result *= base;
        base *= base;
        e >>= 1;
    }
    return invert ? 1.0 / result : result;
}

constexpr double roundToSixDecimals(double x) {
    return double(static_cast<long long>(x * 1e6 + 0.5)) / 1e6;
}

constexpr SemitoneRatioTable makeSemitoneRatioTable() {
    SemitoneRatioTable t{};
    for (int i = 0; i < SemitoneRatioTable::kSize; ++i)
        t.values[i] = float(roundToSixDecimals(powerOfSemitoneStep(i + SemitoneRatioTable::kLowest)));
    t.values[SemitoneRatioTable::kSize] = 0.0f;
    return t;
}

} // namespace detail

// Built by the compiler, so it is ready before any thread can ask for a ratio.
inline constexpr SemitoneRatioTable kSemitoneRatios = detail::makeSemitoneRatioTable();

// Three straight pieces: -100 dB at 0, -80 dB at 0.05, -12 dB at 0.5, 0 dB at 0.75, +12 dB at 1.
float levelToDecibels(float level);

// The amplitude factor of a level in decibels.
inline float decibelsToGain(float db) { return float(std::pow(10.0, double(db) * 0.05)); }

// Frequency ratio for a pitch offset, interpolated in the table; offsets past either end hold the
// end value. NaN gives 1.0: a broken pitch offset leaves the pitch alone. Inline: oscillators call
// it for every sample of an audio-rate pitch.
inline float semitonesToRatio(float s) {
    const SemitoneRatioTable& t = kSemitoneRatios;
    if (std::isnan(s)) return t[-SemitoneRatioTable::kLowest];
    if (s > float(SemitoneRatioTable::kHighest)) return t[SemitoneRatioTable::kSize - 1];
    if (s < float(SemitoneRatioTable::kLowest)) return t[0];
    const float whole = std::floor(s);
    const float f = s - whole;
    const int i = int(whole) - SemitoneRatioTable::kLowest;
    return (1.0f - f) * t[i] + f * t[i + 1];
}

// semitonesToRatio for a block of 32 offsets at once, four at a time, each ratio the same as the
// one-offset form gives: for a pitch that moves every sample.
void semitonesToRatios(const float* semitones, float* ratios);
// The same for the first `count` offsets, taken four at a time: both arrays reach the next multiple
// of four.
void semitonesToRatios(const float* semitones, float* ratios, int count);

// Odd rational approximations of tanh built on a truncated exp series of 2|x|: five terms (with
// single-precision coefficients) and six terms.
double tanhApprox5(double x);
double tanhApprox6(double x);

// Piecewise-linear curve over a 14-bit parameter word: eleven points spread evenly over 0 .. 1,
// holding the end points outside.
float tenSegmentLookup(int word, const float (&points)[11]);

} // namespace corvex
