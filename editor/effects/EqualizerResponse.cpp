// The equaliser graph's maths.
#include "editor/effects/EqualizerResponse.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>

#include "engine/modules/types/ParametricEq.h"
#include "instrument/params/ParameterIndex.h"

namespace corvex::eqgraph {

namespace {

namespace fx = ParameterIndex::insertfx;

constexpr double kPi = 3.14159265358979323846;
// The engine's frequency curve at values 0, 0.1, ..., 1: its inverse turns a dragged x back into a value.
constexpr double kFrequencyPoints[] = {20, 50, 100, 500, 1000, 3500, 7000, 12000, 15000, 18000, 20000};
constexpr int kFrequencySteps = 10;
constexpr int kHandleReach = 10;

} // namespace

double frequencyHz(float value) { return eqBandFrequency(value); }
double gainDb(float value) { return eqGainDecibels(value); }
double qFactor(float value) { return eqQ(value); }

float frequencyValue(double hz) {
    if (!(hz >= kLowestHz)) return 0.0f;
    if (hz >= kHighestHz) return 1.0f;
    int i = kFrequencySteps - 1;
    while (i > 0 && kFrequencyPoints[i] > hz) --i;
    const double t = i + (hz - kFrequencyPoints[i]) / (kFrequencyPoints[i + 1] - kFrequencyPoints[i]);
    return std::clamp(static_cast<float>(t / kFrequencySteps), 0.0f, 1.0f);
}

bool switchIsOn(float value) { return std::isfinite(value) && std::clamp(static_cast<int>(value * 2.0f), 0, 1) == 1; }

BiquadCoefficients bandCoefficients(int band, const BandValues& v) {
    const double hz = frequencyHz(v.frequency);
    const double db = gainDb(v.gain);
    switch (kBandKinds[std::clamp(band, 0, kBandCount - 1)]) {
    case BandKind::LowShelf: return lowShelfCoefficients(hz, db, kRate);
    case BandKind::Peak: return peakCoefficients(hz, db, qFactor(v.q), kRate);
    case BandKind::HighShelf: break;
    }
    return highShelfCoefficients(hz, db, kRate);
}

double magnitude(const BiquadCoefficients& c, double hz) {
    const double w = 2.0 * kPi * hz / kRate;
    const std::complex<double> z1 = std::polar(1.0, -w);
    const std::complex<double> z2 = z1 * z1;
    const double den = std::abs(1.0 + c.a1 * z1 + c.a2 * z2);
    if (!(den > 0.0)) return 0.0;
    return std::abs(c.b0 + c.b1 * z1 + c.b2 * z2) / den;
}

void Response::update(const Bands& bands) {
    for (int b = 0; b < kBandCount; ++b) {
        sections_[size_t(b)] = bandCoefficients(b, bands[size_t(b)]);
        enabled_[size_t(b)] = bands[size_t(b)].enabled;
    }
}

double Response::levelDb(double hz) const {
    double product = 1.0;
    for (int b = 0; b < kBandCount; ++b)
        if (enabled_[size_t(b)]) product *= magnitude(sections_[size_t(b)], hz);
    if (!(product > 0.0) || !std::isfinite(product)) return kFloorDb;
    return std::max(20.0 * std::log10(product), kFloorDb);
}

int Axes::xOfFrequency(double hz) const {
    if (!(hz > 0.0)) return kLeft;
    return static_cast<int>(std::floor(kLeft + std::log2(hz / kLowestShownHz) * pixelsPerOctave()));
}

double Axes::frequencyAtX(double x) const {
    const double step = pixelsPerOctave();
    if (!(step > 0.0)) return kLowestShownHz;
    return kLowestShownHz * std::pow(2.0, (x - kLeft) / step);
}

double Axes::yOfLevel(double db) const {
    return plotBottom() - (db + kLevelRangeDb) / (2.0 * kLevelRangeDb) * (height - 19);
}

int Axes::curveY(const Response& response, int x) const {
    const double y = yOfLevel(response.levelDb(frequencyAtX(x)));
    const int top = kTop;
    const int bottom = std::max(top, plotBottom());
    if (!std::isfinite(y)) return bottom;
    return std::clamp(static_cast<int>(std::clamp(y, -1.0e6, 1.0e6)), top, bottom);
}

int Axes::handleY(float gainValue) const { return static_cast<int>((1.0f - gainValue) * (height - 19)) + kTop; }

float Axes::levelValueAtY(double y) const {
    const int span = height - 19;
    if (span <= 0) return 0.5f;
    return std::clamp(static_cast<float>(1.0 - (y - kTop) / span), 0.0f, 1.0f);
}

std::string axisText(double value) {
    const bool thousands = value >= 1000.0;
    if (thousands) value /= 1000.0;
    const double cut = std::floor(value * 10.0) / 10.0;
    char text[32];
    if (cut == std::floor(cut))
        std::snprintf(text, sizeof text, "%.0f", cut);
    else
        std::snprintf(text, sizeof text, "%.1f", cut);
    return std::string(text) + (thousands ? "K" : "");
}

std::string frequencyLabel(int n) {
    if (n >= 11) return axisText(kHighestHz);
    const std::string text = axisText(Axes::kLowestShownHz * std::pow(2.0, n));
    return n == 0 ? text + "Hz" : text;
}

int bandAt(const Axes& axes, const Bands& bands, int x, int y) {
    int found = -1;
    for (int b = 0; b < kBandCount; ++b) {
        const BandValues& v = bands[size_t(b)];
        if (!v.enabled) continue;
        const int hx = axes.xOfFrequency(frequencyHz(v.frequency));
        const int hy = axes.handleY(v.gain);
        if (std::abs(x - hx) <= kHandleReach && std::abs(y - hy) <= kHandleReach) found = b;
    }
    return found;
}

std::vector<Edit> dragEdits(const Axes& axes, int band, int x, int y, bool rightButton) {
    if (band < 0 || band >= kBandCount) return {};
    const float level = axes.levelValueAtY(y);
    if (rightButton) {
        if (!hasQ(band)) return {};
        return {{fx::kEqQ[band], level}};
    }
    return {{fx::kEqFrequency[band], frequencyValue(axes.frequencyAtX(x))}, {fx::kEqGain[band], level}};
}

} // namespace corvex::eqgraph
