// The LFO waves by their written points, their guards and the phase reader's interpolation.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/dsp/OscillatorWaveTables.h"

namespace corvex {
namespace {

TEST(OscillatorWaveTables, WavesPassThroughTheirWrittenPoints) {
    struct Point {
        int shape;
        int index;
        float value;
    };
    const Point points[] = {
        {0, 0, -1.0f}, {0, 255, 1.0f}, {0, 256, -1.0f},                       // sawtooth and its wrap
        {1, 0, 1.0f},  {1, 127, 1.0f}, {1, 128, -1.0f}, {1, 255, -1.0f}, {1, 256, 1.0f}, // square
        {2, 0, 0.0f},  {2, 64, 1.0f},  {2, 128, 0.0f},  {2, 192, -1.0f}, {2, 256, 0.0f}, // sine
        {3, 0, 0.0f},  {3, 32, 0.5f},  {3, 64, 1.0f},   {3, 128, 0.0f},  {3, 192, -1.0f}, {3, 256, 0.0f},
    };
    const OscillatorWaveTables& tables = oscillatorWaveTables();
    for (const Point& p : points)
        EXPECT_NEAR(tables.wave(p.shape)[p.index], p.value, 1e-6f) << "shape " << p.shape << " entry " << p.index;
    EXPECT_EQ(tables.wave(-1), nullptr);
    EXPECT_EQ(tables.wave(4), nullptr);
}

TEST(OscillatorWaveTables, ThePhaseReaderInterpolatesBetweenNeighbours) {
    const float* triangle = oscillatorWaveTables().wave(3);
    // A quarter of the way from entry 16 (0.25) to entry 17 (0.265625).
    EXPECT_NEAR(OscillatorWaveTables::read(triangle, (16u << 24) | 0x400000u), 0.25f + 0.25f / 64.0f, 1e-6f);
    // The last step of the sine interpolates into the guard, not past the table.
    const float* sine = oscillatorWaveTables().wave(2);
    EXPECT_NEAR(OscillatorWaveTables::read(sine, 0xFFFFFFFFu), 0.0f, 1e-3f);
    EXPECT_NEAR(OscillatorWaveTables::read(sine, 0x40000000u), 1.0f, 1e-6f);
}

} // namespace
} // namespace corvex
