// Checks the sixteen tempo-sync slices and the code-to-frequency and code-to-period conversions.
#include "engine/dsp/TempoSync.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace corvex {
namespace {

TEST(MapParam16Segments, EachThresholdStartsTheNextCode) {
    struct Case { float threshold; float below; float at; };
    const Case cases[] = {
        {0.0625f, -8, -7}, {0.125f, -7, -6}, {0.1875f, -6, -5}, {0.25f, -5, -4}, {0.3125f, -4, -3},
        {0.375f, -3, -2},  {0.4375f, -2, 1}, {0.5f, 1, 2},      {0.5625f, 2, 3}, {0.625f, 3, 4},
        {0.6875f, 4, 5},   {0.75f, 5, 6},    {0.8125f, 6, 7},   {0.875f, 7, 8},  {0.9375f, 8, 9},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(mapParam16Segments(std::nextafter(c.threshold, 0.0f)), c.below) << "just below " << c.threshold;
        EXPECT_EQ(mapParam16Segments(c.threshold), c.at) << "at " << c.threshold;
    }
}

TEST(MapParam16Segments, ValuesOutsideTheRangeHoldTheEndCodes) {
    const float inf = std::numeric_limits<float>::infinity();
    struct Case { float x; float code; };
    const Case cases[] = {
        {0.0f, -8}, {-0.0f, -8}, {-0.5f, -8}, {-inf, -8},
        {1.0f, 9},  {1.5f, 9},   {inf, 9},    {std::numeric_limits<float>::quiet_NaN(), 9},
    };
    for (const Case& c : cases) EXPECT_EQ(mapParam16Segments(c.x), c.code) << "x " << c.x;
}

TEST(TempoSyncConversion, CodesBecomeFrequenciesAndPeriods) {
    struct Case { float code; float hz; };
    const Case cases[] = {{1, 2.0f}, {-4, 0.5f}, {9, 18.0f}, {-8, 0.25f}, {2, 4.0f}};
    for (const Case& c : cases) {
        EXPECT_FLOAT_EQ(tempoSyncFrequency(c.code, 120.0f), c.hz) << "code " << c.code;
        EXPECT_FLOAT_EQ(tempoSyncPeriodSamples(c.code, 120.0f, 44100.0f), 44100.0f / c.hz) << "code " << c.code;
    }
    EXPECT_EQ(tempoSyncPeriodSamples(2, 120.0f, 44100.0f), 11025.0f);
    EXPECT_FLOAT_EQ(tempoSyncPeriodSamples(-3, 90.0f, 48000.0f), 96000.0f);
}

TEST(TempoSyncConversion, NoTempoOrNoCodeMeansNoSync) {
    for (float bpm : {0.0f, -0.0f, -120.0f, std::numeric_limits<float>::quiet_NaN()}) {
        for (float code : {1.0f, -8.0f, 9.0f}) {
            EXPECT_EQ(tempoSyncFrequency(code, bpm), 0.0f) << "bpm " << bpm << " code " << code;
            EXPECT_EQ(tempoSyncPeriodSamples(code, bpm, 44100.0f), 0.0f) << "bpm " << bpm << " code " << code;
        }
    }
    EXPECT_EQ(tempoSyncFrequency(0.0f, 120.0f), 0.0f);
    EXPECT_EQ(tempoSyncPeriodSamples(0.0f, 120.0f, 44100.0f), 0.0f);
}

} // namespace
} // namespace corvex
