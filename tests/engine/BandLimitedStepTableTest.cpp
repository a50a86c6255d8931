// The generated band-limited step against its reference taps: rise, overshoot, settling, guard entries.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/dsp/BandLimitedStepTable.h"

namespace corvex {
namespace {

constexpr int kPhases = BandLimitedStep::kPhases;
constexpr int kStepEntries = BandLimitedStep::kPhases * BandLimitedStep::kSpan;

class BandLimitedStepTableTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { prepareBandLimitedStepTable(); }
    static float entry(int n) { return bandLimitedStepTable()[n]; }
};

// The reference taps fix the step's character: it starts at zero, rises through half height in
// its second sample and overshoots by 17 % in its third. The generated curve keeps each tap
// within 0.005 of them.
TEST_F(BandLimitedStepTableTest, TapsAtPhaseZeroMatchTheReference) {
    const float reference[] = {0.0f, 0.0667f, 0.5546f, 1.1699f, 1.0055f, 0.9293f, 1.0801f, 0.9371f};
    for (int k = 0; k < 8; ++k) EXPECT_NEAR(entry(kPhases * k), reference[k], 0.005f) << "tap " << k;
    EXPECT_EQ(BandLimitedStep::kSize, 2112);
}

TEST_F(BandLimitedStepTableTest, PeaksNearEntry208AndSettlesToOne) {
    const float* t = bandLimitedStepTable();
    const int peak = int(std::max_element(t, t + kStepEntries) - t);
    EXPECT_NEAR(peak, 208, 2);
    EXPECT_NEAR(t[peak], 1.2009f, 0.005f);

    // The ringing dies away sample by sample: each quarter of the span rings less than the one
    // before, and the last sample sits within 0.0005 of the final height.
    auto ringing = [t](int fromSample, int toSample) {
        float worst = 0.0f;
        for (int n = fromSample * kPhases; n < toSample * kPhases; ++n) worst = std::max(worst, std::fabs(t[n] - 1.0f));
        return worst;
    };
    EXPECT_GT(ringing(4, 8), ringing(8, 16));
    EXPECT_GT(ringing(8, 16), ringing(16, 24));
    EXPECT_GT(ringing(16, 24), ringing(24, 32));
    EXPECT_LT(ringing(31, 32), 0.0005f);
    EXPECT_LT(ringing(16, 32), 0.02f);
}

TEST_F(BandLimitedStepTableTest, GuardEntriesHoldOneSoALateStepStaysInside) {
    for (int n = kStepEntries; n < BandLimitedStep::kSize; ++n) ASSERT_EQ(entry(n), 1.0f) << n;
    // The rise is smooth between its 64 points: no neighbouring entries jump.
    for (int n = 1; n < kStepEntries; ++n) ASSERT_LT(std::fabs(entry(n) - entry(n - 1)), 0.03f) << n;
}

// Minimum phase: the step's change comes at once, not ahead of time. Four fifths of the squared
// slope lies in the first four samples (a linear-phase step, centred in the span, has next to
// none there), and nothing moves before the start.
TEST_F(BandLimitedStepTableTest, RisesAtOnceWithoutPreRinging) {
    double early = 0.0, total = 0.0;
    for (int n = 1; n < kStepEntries; ++n) {
        const double d = double(entry(n)) - double(entry(n - 1));
        total += d * d;
        if (n < 4 * kPhases) early += d * d;
    }
    EXPECT_GT(early / total, 0.8);
    EXPECT_NEAR(entry(0), 0.0f, 1e-4f);
    for (int n = 0; n < kPhases / 2; ++n) EXPECT_LT(std::fabs(entry(n)), 0.01f) << n;
}

} // namespace
} // namespace corvex
