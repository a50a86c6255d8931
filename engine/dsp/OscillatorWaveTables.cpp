#include "engine/dsp/OscillatorWaveTables.h"

#include <cmath>

namespace corvex {

namespace {

OscillatorWaveTables makeTables() {
    OscillatorWaveTables t{};
    constexpr int kSteps = OscillatorWaveTables::kSize - 1;
    float* saw = t.waves[0];
    float* square = t.waves[1];
    float* sine = t.waves[2];
    float* triangle = t.waves[3];
    for (int i = 0; i < kSteps; ++i) {
        // The ramp reaches +1 on its last step, and the guard wraps back to its start.
        saw[i] = -1.0f + 2.0f * static_cast<float>(i) / 255.0f;
        square[i] = i < kSteps / 2 ? 1.0f : -1.0f;
    }
    saw[kSteps] = -1.0f;
    square[kSteps] = 1.0f;
    for (int i = 0; i <= kSteps; ++i) {
        const double x = static_cast<double>(i) / kSteps;
        sine[i] = static_cast<float>(std::sin(2.0 * 3.14159265358979323846 * x));
        triangle[i] = static_cast<float>(x < 0.25 ? 4.0 * x : x < 0.75 ? 2.0 - 4.0 * x : 4.0 * x - 4.0);
    }
    return t;
}

const OscillatorWaveTables kTables = makeTables();

} // namespace

const OscillatorWaveTables& oscillatorWaveTables() { return kTables; }

} // namespace corvex
