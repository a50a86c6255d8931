// Checks the level, pitch-ratio, saturation and ten-segment curves against their stated values.
#include "engine/dsp/ConversionCurves.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace corvex {
namespace {

const SemitoneRatioTable& T = kSemitoneRatios;

// Entry i of the table by its written rule: 1.059463^(i - 120), rounded to six decimal places.
float ruleEntry(int i) { return float(std::round(std::pow(1.059463, i - 120) * 1e6) / 1e6); }

TEST(LevelToDecibels, MeetsTheStatedPointsAndJoinsWithoutSteps) {
    struct Case { float level; float db; };
    const Case cases[] = {{0.0f, -100.0f}, {0.05f, -80.0f}, {0.5f, -12.0f}, {0.75f, 0.0f}, {1.0f, 12.0f}};
    for (const Case& c : cases) EXPECT_NEAR(levelToDecibels(c.level), c.db, 1e-3) << "level " << c.level;

    for (float joint : {0.05f, 0.5f}) {
        const float below = std::nextafter(joint, 0.0f);
        EXPECT_NEAR(levelToDecibels(below), levelToDecibels(joint), 1e-3) << "joint " << joint;
    }
}

TEST(SemitoneRatioTable, FollowsItsRuleAndStaysNearPowersOfTwo) {
    EXPECT_FLOAT_EQ(T[0], 0.000977f);
    EXPECT_FLOAT_EQ(T[120], 1.0f);
    EXPECT_FLOAT_EQ(T[132], 1.999998f);
    EXPECT_NEAR(T[312], 65534.88f, 0.01f);
    EXPECT_EQ(T[SemitoneRatioTable::kSize], 0.0f);

    for (int i = 0; i < SemitoneRatioTable::kSize; ++i) EXPECT_EQ(T[i], ruleEntry(i)) << "entry " << i;
    for (int octave = -10; octave <= 16; ++octave)
        EXPECT_NEAR(T[120 + 12 * octave] / std::ldexp(1.0, octave), 1.0, 5e-4) << "octave " << octave;
}

TEST(SemitonesToRatio, InterpolatesAndHoldsTheEnds) {
    struct Case { const char* what; float semitones; float ratio; };
    const Case cases[] = {
        {"unison", 0.0f, 1.0f},
        {"one octave", 12.0f, 1.999998f},
        {"half a semitone below -2", -2.5f, 0.5f * (ruleEntry(117) + ruleEntry(118))},
        {"a quarter above unison", 0.25f, 0.75f * ruleEntry(120) + 0.25f * ruleEntry(121)},
        {"top of the table", 192.0f, 65534.88f},
        {"above the table", 300.0f, 65534.88f},
        {"bottom of the table", -120.0f, 0.000977f},
        {"below the table", -200.0f, 0.000977f},
        {"plus infinity", std::numeric_limits<float>::infinity(), 65534.88f},
        {"minus infinity", -std::numeric_limits<float>::infinity(), 0.000977f},
        {"NaN leaves the pitch alone", std::numeric_limits<float>::quiet_NaN(), 1.0f},
    };
    for (const Case& c : cases) EXPECT_FLOAT_EQ(semitonesToRatio(c.semitones), c.ratio) << c.what;
}

TEST(SemitonesToRatio, TracksEqualTemperamentAcrossTheRange) {
    for (int octave = -10; octave <= 16; ++octave)
        EXPECT_NEAR(semitonesToRatio(12.0f * float(octave)) / std::ldexp(1.0, octave), 1.0, 5e-4) << "octave " << octave;

    // Between whole semitones a straight line under-reads the exponential by up to about 4e-4,
    // added to the six-decimal rounding of the smallest entries: 1e-3 is under two cents.
    for (float s = -119.7f; s < 192.0f; s += 0.37f)
        EXPECT_NEAR(semitonesToRatio(s) / std::exp2(s / 12.0), 1.0, 1e-3) << "semitones " << s;
}

// The interpolation must pick the pair of entries around the offset on both sides of zero: a
// whole semitone reads its own entry, anything just below it lies between that entry and the one
// before, and -0 reads the same as 0.
TEST(SemitonesToRatio, ReadsThePairOfEntriesAroundTheOffset) {
    const int lowest = SemitoneRatioTable::kLowest;
    for (int w = lowest + 1; w <= SemitoneRatioTable::kHighest; ++w) {
        const float whole = float(w);
        EXPECT_EQ(semitonesToRatio(whole), T[w - lowest]) << "semitone " << w;
        for (float below : {std::nextafter(whole, -1000.0f), whole - 0.5f, whole - 0.999f}) {
            const float r = semitonesToRatio(below);
            EXPECT_GE(r, T[w - 1 - lowest]) << "semitones " << below;
            EXPECT_LE(r, T[w - lowest]) << "semitones " << below;
        }
    }
    EXPECT_EQ(semitonesToRatio(-0.0f), semitonesToRatio(0.0f));
}

// The block form answers every offset as the one-offset form does, bit for bit: whole and broken
// offsets, both sides of zero, the table's ends and past them, NaN and infinities.
TEST(SemitonesToRatio, TheBlockFormMatchesTheOneOffsetForm) {
    const float inf = std::numeric_limits<float>::infinity();
    std::vector<float> offsets = {0.0f, -0.0f, 1e-40f, -1e-40f, -120.0f, 192.0f, -120.5f, 192.5f, 191.999f,
                                  -119.999f, 1e30f, -1e30f, inf, -inf, std::numeric_limits<float>::quiet_NaN(),
                                  -0.5f, 0.5f, 12.0f, -12.0f, std::nextafter(7.0f, 0.0f), std::nextafter(-7.0f, 0.0f)};
    for (float s = -130.0f; s < 200.0f; s += 0.731f) offsets.push_back(s);
    while (offsets.size() % 32 != 0) offsets.push_back(3.25f);
    for (size_t first = 0; first < offsets.size(); first += 32) {
        float ratios[32];
        semitonesToRatios(offsets.data() + first, ratios);
        for (size_t k = 0; k < 32; ++k) {
            const float alone = semitonesToRatio(offsets[first + k]);
            EXPECT_EQ(std::memcmp(&alone, &ratios[k], sizeof(float)), 0)
                << "semitones " << offsets[first + k] << ": " << alone << " against " << ratios[k];
        }
    }
}

TEST(TanhApprox, IsZeroAtZeroOddAndBounded) {
    for (auto f : {tanhApprox5, tanhApprox6}) {
        EXPECT_EQ(f(0.0), 0.0);
        for (double x : {1e-6, 0.3, 1.0, 2.0, 5.0, 40.0}) {
            EXPECT_EQ(f(-x), -f(x)) << "x " << x;
            EXPECT_GT(f(x), 0.0) << "x " << x;
            EXPECT_LT(f(x), 1.0) << "x " << x;
        }
        EXPECT_NEAR(f(100.0), 1.0, 1e-8);
        EXPECT_NEAR(f(-100.0), -1.0, 1e-8);
        EXPECT_EQ(f(std::numeric_limits<double>::infinity()), 1.0);
        EXPECT_EQ(f(-1e300), -1.0);
    }
}

TEST(TanhApprox, SixthTermSetsThemApart) {
    // Hand sums of the truncated series of e^y at y = 1 and y = 2.
    struct Case { double x; double five; double six; };
    const Case cases[] = {{0.5, 0.4618834, 0.4620844}, {1.0, 0.7580645, 0.7606383}};
    for (const Case& c : cases) {
        EXPECT_NEAR(tanhApprox5(c.x), c.five, 1e-6) << "x " << c.x;
        EXPECT_NEAR(tanhApprox6(c.x), c.six, 1e-6) << "x " << c.x;
    }
}

TEST(TanhApprox, StaysCloseToTanh) {
    // Measured worst errors over |x| <= 10: 0.00964 (five terms, near |x| = 1.94) and
    // 0.00444 (six terms, near |x| = 2.14); both vanish towards 0 and towards saturation.
    struct Case { double (*f)(double); double tolerance; };
    const Case cases[] = {{tanhApprox5, 0.0097}, {tanhApprox6, 0.0045}};
    for (const Case& c : cases) {
        double previous = -1.0;
        for (double x = -10.0; x <= 10.0; x += 1e-3) {
            const double y = c.f(x);
            EXPECT_NEAR(y, std::tanh(x), c.tolerance) << "x " << x;
            EXPECT_GE(y, previous) << "not monotonic at x " << x;
            previous = y;
        }
        EXPECT_NEAR(c.f(0.01), std::tanh(0.01), 1e-7);
        EXPECT_NEAR(c.f(20.0), std::tanh(20.0), 1e-5);
    }
}

TEST(TenSegmentLookup, InterpolatesElevenPointsAndHoldsTheEnds) {
    const float squares[11] = {0, 1, 4, 9, 16, 25, 36, 49, 64, 81, 100};
    struct Case { int word; float expected; };
    const Case cases[] = {
        {-40000, 0.0f}, {-1, 0.0f},     {0, 0.0f},        {1638, 0.99976f}, {4096, 6.5f},
        {8192, 25.0f},  {16383, 99.9884f}, {16384, 100.0f}, {40000, 100.0f},
    };
    for (const Case& c : cases) EXPECT_NEAR(tenSegmentLookup(c.word, squares), c.expected, 1e-3) << "word " << c.word;
}

} // namespace
} // namespace corvex
