// A minimum-phase band-limited unit step, 64 points per sample, that oscillators add at every discontinuity.
#include "engine/dsp/BandLimitedStepTable.h"

#include <cmath>
#include <complex>
#include <mutex>
#include <vector>

#include "engine/dsp/SampleGuards.h"

namespace corvex {

namespace detail {
float gBandLimitedStep[BandLimitedStep::kSize];
float gBandLimitedStepRows[BandLimitedStep::kRows][BandLimitedStep::kRowLength];
} // namespace detail

namespace {

using Complex = std::complex<double>;

// A sinc of 16 zero crossings on each side with its cutoff a little under Nyquist, under a
// Kaiser window: this cutoff and window give the step its rise over two samples and its 20 %
// overshoot one sample later.
constexpr double kCutoff = 0.9; // of Nyquist
constexpr double kKaiserBeta = 4.2;
// The cepstrum folds back on itself in a short transform; 16384 points keep that error below
// the table's own float precision where the step matters.
constexpr int kTransformSize = 16384;

std::once_flag gPrepared;

void transform(std::vector<Complex>& a, bool inverse) {
    const size_t n = a.size();
    for (size_t i = 1, j = 0; i < n; ++i) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) std::swap(a[i], a[j]);
    }
    for (size_t length = 2; length <= n; length <<= 1) {
        const double angle = 2.0 * kPi / double(length) * (inverse ? 1.0 : -1.0);
        const Complex unit(std::cos(angle), std::sin(angle));
        for (size_t i = 0; i < n; i += length) {
            Complex w(1.0);
            for (size_t j = 0; j < length / 2; ++j) {
                const Complex u = a[i + j];
                const Complex v = a[i + j + length / 2] * w;
                a[i + j] = u + v;
                a[i + j + length / 2] = u - v;
                w *= unit;
            }
        }
    }
    if (inverse)
        for (Complex& x : a) x /= double(n);
}

double besselI0(double x) {
    double sum = 1.0, term = 1.0;
    for (int k = 1; k < 60; ++k) {
        const double t = x / (2.0 * k);
        term *= t * t;
        sum += term;
    }
    return sum;
}

// The band-limited impulse, linear phase: centred in the span, sampled 64 times per sample.
std::vector<double> windowedSinc() {
    constexpr int n = BandLimitedStep::kSpan * BandLimitedStep::kPhases + 1;
    std::vector<double> h(n);
    for (int i = 0; i < n; ++i) {
        const double t = double(i - (n - 1) / 2) / BandLimitedStep::kPhases;
        const double x = kPi * kCutoff * t;
        const double sinc = x == 0.0 ? 1.0 : std::sin(x) / x;
        const double r = 2.0 * double(i) / double(n - 1) - 1.0;
        const double window = besselI0(kKaiserBeta * std::sqrt(std::max(0.0, 1.0 - r * r))) / besselI0(kKaiserBeta);
        h[size_t(i)] = kCutoff * sinc * window;
    }
    return h;
}

// The same magnitude response with all of its delay moved to the front (through the real
// cepstrum), so the step rises at once instead of ringing ahead of the edge.
std::vector<double> minimumPhase(const std::vector<double>& h) {
    std::vector<Complex> a(kTransformSize, 0.0);
    for (size_t i = 0; i < h.size(); ++i) a[i] = h[i];
    transform(a, false);
    for (Complex& x : a) x = std::log(std::max(std::abs(x), 1e-100));
    transform(a, true);
    for (int i = 1; i < kTransformSize / 2; ++i) a[size_t(i)] *= 2.0;
    for (int i = kTransformSize / 2 + 1; i < kTransformSize; ++i) a[size_t(i)] = 0.0;
    transform(a, false);
    for (Complex& x : a) x = std::exp(x);
    transform(a, true);
    std::vector<double> out(kTransformSize);
    for (int i = 0; i < kTransformSize; ++i) out[size_t(i)] = a[size_t(i)].real();
    return out;
}

void generate() {
    const std::vector<double> impulse = minimumPhase(windowedSinc());
    // The whole impulse's area is the step's final height; the table keeps its first 32 samples.
    double area = 0.0;
    for (double v : impulse) area += v;
    double sum = 0.0;
    constexpr int stepPoints = BandLimitedStep::kSpan * BandLimitedStep::kPhases;
    for (int i = 0; i < stepPoints; ++i) {
        sum += impulse[size_t(i)];
        detail::gBandLimitedStep[i] = float(sum / area);
    }
    for (int i = stepPoints; i < BandLimitedStep::kSize; ++i) detail::gBandLimitedStep[i] = 1.0f;
    for (int j = 0; j < BandLimitedStep::kRows; ++j)
        for (int k = 0; k < BandLimitedStep::kRowLength; ++k) {
            const int i = j + k * BandLimitedStep::kPhases;
            detail::gBandLimitedStepRows[j][k] = i < BandLimitedStep::kSize ? detail::gBandLimitedStep[i] : 1.0f;
        }
}

} // namespace

void prepareBandLimitedStepTable() { std::call_once(gPrepared, generate); }

} // namespace corvex
