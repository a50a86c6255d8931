// Checks and measurements of rendered blocks shared by the sound tests.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cstring>
#include <vector>

namespace corvex::testing {

// Counts samples that are NaN, infinite or denormal: a healthy block has none. The bits are read
// directly because with denormals-are-zero set, float comparisons see a denormal as zero.
inline int badSamples(const float* samples, size_t n) {
    int bad = 0;
    for (size_t i = 0; i < n; ++i) {
        uint32_t bits = 0;
        std::memcpy(&bits, &samples[i], sizeof(bits));
        const uint32_t exponent = bits & 0x7F800000u;
        const uint32_t mantissa = bits & 0x007FFFFFu;
        if (exponent == 0x7F800000u || (exponent == 0 && mantissa != 0)) ++bad;
    }
    return bad;
}

inline double rms(const std::vector<float>& x) {
    double sum = 0.0;
    for (float s : x) sum += static_cast<double>(s) * s;
    return x.empty() ? 0.0 : std::sqrt(sum / static_cast<double>(x.size()));
}

// Frequency from the rising zero crossings, interpolated between samples.
inline double zeroCrossingFrequency(const std::vector<float>& x, double rate) {
    double first = -1.0, last = -1.0;
    int crossings = 0;
    for (size_t i = 1; i < x.size(); ++i) {
        if (x[i - 1] < 0.0f && x[i] >= 0.0f) {
            const double t = static_cast<double>(i - 1) + x[i - 1] / (x[i - 1] - x[i]);
            if (first < 0.0) first = t;
            last = t;
            ++crossings;
        }
    }
    if (crossings < 2) return 0.0;
    return (crossings - 1) * rate / (last - first);
}

// Fundamental frequency from the autocorrelation of the signal less its mean: the shortest lag
// whose peak comes within 10% of the strongest (so a period is not mistaken for two), refined by a
// parabola through its neighbours; robust for rich and slightly detuned waveforms.
inline double autocorrelationFrequency(const std::vector<float>& x, double rate, double lowHz, double highHz) {
    const size_t minLag = static_cast<size_t>(rate / highHz);
    const size_t maxLag = static_cast<size_t>(rate / lowHz) + 1;
    if (x.size() < 2 * maxLag + 2 || minLag < 2) return 0.0;
    double mean = 0.0;
    for (float v : x) mean += v;
    mean /= static_cast<double>(x.size());
    const size_t n = x.size() - maxLag - 1;
    std::vector<double> r(maxLag + 2, 0.0);
    for (size_t lag = minLag - 1; lag <= maxLag + 1; ++lag)
        for (size_t i = 0; i < n; ++i) r[lag] += (x[i] - mean) * (x[i + lag] - mean);
    double strongest = 0.0;
    for (size_t lag = minLag; lag <= maxLag; ++lag) strongest = std::max(strongest, r[lag]);
    size_t best = 0;
    for (size_t lag = minLag; lag <= maxLag && best == 0; ++lag)
        if (r[lag] >= 0.9 * strongest && r[lag] >= r[lag - 1] && r[lag] >= r[lag + 1]) best = lag;
    if (best == 0) return 0.0;
    const double a = r[best - 1], b = r[best], c = r[best + 1];
    const double denominator = a - 2.0 * b + c;
    const double shift = denominator != 0.0 ? 0.5 * (a - c) / denominator : 0.0;
    return rate / (static_cast<double>(best) + shift);
}

} // namespace corvex::testing
