// The guards every module shares at its edges: point curves, flushes, the sample clamps and input sums.
#include "engine/dsp/ModuleValues.h"
#include "engine/dsp/SampleGuards.h"
#include "engine/modules/BlockSignals.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace corvex {
namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

// The envelope, LFO and quorbit times look their words up here: a broken value must land on a point,
// not on an index made from NaN.
TEST(PointCurve, InterpolatesAndHoldsItsEndsForAnyValue) {
    constexpr float points[] = {10.0f, 20.0f, 40.0f};
    struct Case { float x; float expected; };
    const Case cases[] = {{0.0f, 10.0f}, {0.25f, 15.0f}, {0.5f, 20.0f}, {0.75f, 30.0f}, {1.0f, 40.0f},
                          {-0.5f, 10.0f}, {2.0f, 40.0f}, {kNaN, 10.0f}, {std::nextafter(1.0f, 0.0f), 40.0f}};
    for (const Case& c : cases) EXPECT_NEAR(pointCurve(points, c.x), c.expected, 1e-4) << "x " << c.x;
}

TEST(SampleGuards, FlushTinyValuesAndHoldBrokenOnesWithinTheLoudest) {
    EXPECT_EQ(flushed(1e-31), 0.0);
    EXPECT_EQ(flushed(-1e-31f), 0.0f);
    EXPECT_EQ(flushed(2e-30), 2e-30);
    EXPECT_EQ(toSample(1e-31), 0.0f);
    EXPECT_EQ(clampedSample(-1e-31), 0.0f);

    struct Case { double y; float sample; float clamped; };
    const Case cases[] = {{0.25, 0.25f, 0.25f}, {1e40, 1e30f, 1e30f}, {-kInfinity, -1e30f, -1e30f}};
    for (const Case& c : cases) {
        EXPECT_EQ(toSample(c.y), c.sample) << c.y;
        EXPECT_EQ(clampedSample(c.y), c.clamped) << c.y;
    }
    // A module's output gets silence for a NaN; the filter lanes, whose vector forms must agree with
    // their one-voice loop, keep it.
    EXPECT_EQ(toSample(double(kNaN)), 0.0f);
    EXPECT_TRUE(std::isnan(clampedSample(double(kNaN))));
    EXPECT_FALSE(withinRange(double(kNaN)));
}

struct Source {
    BlockBufferStore store;
    PortEntry port;

    explicit Source(float value) {
        store.init();
        port.word = 1; // a buffer port
        port.store = &store;
        acquirePortBuffer(port);
        for (int n = 0; n < kBlockFrames; ++n) portBuffer(port)[n] = value;
    }
};

ConnectionDescriptor amount(float a) { return {{0, 0, uint16_t(int16_t(a * 16384.0f)), 0}}; }

TEST(BlockSignals, MixInputSumsAudioConnectionsAndDropsBrokenSamples) {
    Source one(1.0f), half(0.5f), broken(kNaN);
    PortEntry value; // a block-rate port has no samples
    const ConnectionDescriptor descriptors[] = {amount(0.5f), amount(1.0f), amount(1.0f), amount(1.0f)};
    const PortEntry* sources[] = {&one.port, &half.port, &value, nullptr};
    float into[kBlockFrames];
    for (float& x : into) x = 9.0f;
    mixInput(descriptors, sources, 0, 4, into);
    for (float x : into) EXPECT_FLOAT_EQ(x, 1.0f);

    const PortEntry* brokenSources[] = {&broken.port};
    mixInput(descriptors, brokenSources, 0, 1, into);
    for (float x : into) EXPECT_EQ(x, 0.0f);

    // addInput scales and adds to what the block holds.
    for (float& x : into) x = 0.25f;
    addInput(descriptors, sources, 1, 1, 2.0f, into);
    for (float x : into) EXPECT_FLOAT_EQ(x, 1.25f);

    silence(into);
    for (float x : into) EXPECT_EQ(x, 0.0f);
    silence(nullptr);
}

} // namespace
} // namespace corvex
