// Checks the block-rate modulation sum: curves, range factors, the tiny-value flush and input layout.
#include "engine/modules/ModulationSum.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <vector>

namespace corvex {
namespace {

constexpr uint16_t selector(int rangeNumber, int curve) {
    return uint16_t((rangeNumber << 4) | curve);
}

struct Wire {
    int16_t amount;
    uint16_t selector;
    float value;
    bool audioRate = false;
    bool missing = false;
};

// Lays connections out back to back by input, as a module receives them.
class ModulationSumTest : public ::testing::Test {
protected:
    static constexpr float kUnwritten = 12345.0f;

    int run(std::initializer_list<std::vector<Wire>> inputs) {
        out.fill(kUnwritten);
        int n = 0;
        int d = 0;
        for (const auto& input : inputs) {
            counts[d++] = uint32_t(input.size());
            for (const Wire& w : input) {
                descriptors[n] = ConnectionDescriptor{{0x1234, 0x0567, uint16_t(w.amount), w.selector}};
                ports[n].word = w.audioRate ? 5u : 0u;
                ports[n].value = w.value;
                sources[n] = w.missing ? nullptr : &ports[n];
                ++n;
            }
        }
        return sumBlockModulation(descriptors.data(), sources.data(), counts.data(), d, out.data(), &sampled);
    }

    float single(int16_t amount, uint16_t sel, float value) {
        EXPECT_EQ(run({{{amount, sel, value}}}), 1);
        return out[0];
    }

    std::array<ConnectionDescriptor, 32> descriptors{};
    std::array<PortEntry, 32> ports{};
    std::array<const PortEntry*, 32> sources{};
    std::array<uint32_t, 8> counts{};
    std::array<float, 8> out{};
    uint32_t sampled = ~0u;
};

TEST_F(ModulationSumTest, UnwiredInputsReadZero) {
    EXPECT_EQ(run({{}, {}, {}}), 0);
    for (int d = 0; d < 3; ++d) EXPECT_EQ(out[d], 0.0f) << "input " << d;

    out.fill(kUnwritten);
    EXPECT_EQ(sumBlockModulation(descriptors.data(), sources.data(), nullptr, 4, out.data()), 0);
    for (int d = 0; d < 4; ++d) EXPECT_EQ(out[d], 0.0f) << "input " << d;
}

TEST_F(ModulationSumTest, AmountCurveAndFactorShapeOneConnection) {
    struct Case { const char* what; int16_t amount; uint16_t sel; float value; float expected; };
    const Case cases[] = {
        {"curve 2 at full amount", 16384, selector(3, 2), 0.5f, 24.0f},
        {"curve 2 at half amount lands on point 3", 8192, selector(3, 2), 0.5f, 6.0f},
        {"no curve keeps a half amount linear", 8192, selector(3, 0), 0.5f, 12.0f},
        {"no curve keeps a negative amount", -16384, selector(0, 0), 1.0f, -1.0f},
        {"no curve keeps amounts up to 2", 32767, selector(0, 0), 1.0f, 32767.0f / 16384.0f},
        {"a curve holds its last point above 1", 32767, selector(0, 3), 1.0f, 1.0f},
        {"bipolar curve at amount 0", 0, selector(0, 15), 1.0f, -1.0f},
        {"negative source value", 16384, selector(5, 0), -0.25f, -25.0f},
    };
    for (const Case& c : cases) EXPECT_FLOAT_EQ(single(c.amount, c.sel, c.value), c.expected) << c.what;
}

TEST_F(ModulationSumTest, NegativeAmountOnACurveTakesItsFirstPoint) {
    EXPECT_FLOAT_EQ(single(-16384, selector(0, 0), 1.0f), -1.0f);
    for (int curve = 1; curve <= 14; ++curve) {
        EXPECT_EQ(single(-16384, selector(0, curve), 1.0f), 0.0f) << "curve " << curve;
        EXPECT_EQ(single(-1, selector(0, curve), 1.0f), 0.0f) << "curve " << curve;
    }
    EXPECT_FLOAT_EQ(single(-16384, selector(0, 15), 1.0f), -1.0f);
    EXPECT_FLOAT_EQ(single(-1, selector(0, 15), 1.0f), -1.0f);
}

TEST_F(ModulationSumTest, CurvesPassThroughTheirPoints) {
    struct Case { int curve; float points[7]; };
    const Case cases[] = {
        {1, {0.0f, 0.047f, 0.269f, 0.51f, 0.735f, 0.947f, 1.0f}},
        {2, {0.0f, 0.0833f, 0.125f, 0.25f, 0.33333f, 0.66666f, 1.0f}},
        {3, {0.0f, 0.0637f, 0.2808f, 0.4996f, 0.7243f, 0.9431f, 1.0f}},
        {4, {0.0f, 0.0833f, 0.27778f, 0.44444f, 0.66667f, 0.916667f, 1.0f}},
        {9, {0.0f, 0.047f, 0.269f, 0.51f, 0.735f, 0.947f, 1.0f}},
        {14, {0.0f, 0.047f, 0.269f, 0.51f, 0.735f, 0.947f, 1.0f}},
        {15, {-1.0f, -0.666f, -0.333f, 0.0f, 0.333f, 0.666f, 1.0f}},
    };
    for (const Case& c : cases) {
        for (int k = 0; k <= 6; ++k) {
            // k/6 is not a whole amount word; the nearest word sits within 1e-4 of the point.
            const int16_t word = int16_t(16384 * k / 6.0 + 0.5);
            EXPECT_NEAR(single(word, selector(0, c.curve), 1.0f), c.points[k], 1e-4)
                << "curve " << c.curve << " point " << k;
        }
        // Midway between points 1 and 2 (amount 0.25) the curve is their mean.
        EXPECT_NEAR(single(4096, selector(0, c.curve), 1.0f), 0.5f * (c.points[1] + c.points[2]), 1e-6)
            << "curve " << c.curve;
    }
}

TEST_F(ModulationSumTest, RangeFactorScalesTheConnection) {
    const float factors[13] = {1.0f, 7.0f, 9.0f, 48.0f, 72.4f, 100.0f, 108.0f,
                               11.9f, 35.99f, 27.1f, 24.0f, 0.34481f, 56.1f};
    for (int n = 0; n < 13; ++n)
        EXPECT_FLOAT_EQ(single(8192, selector(n, 0), 0.5f), factors[n] * 0.25f) << "range " << n;
}

TEST_F(ModulationSumTest, UnknownRangeNumberContributesNothingButCounts) {
    for (uint16_t sel : {selector(13, 0), selector(2047, 0), uint16_t(0xFFF0), uint16_t(0x8001)}) {
        EXPECT_EQ(run({{{16384, sel, 1.0f}, {16384, selector(1, 0), 0.5f}}}), 2) << "selector " << sel;
        EXPECT_FLOAT_EQ(out[0], 3.5f) << "selector " << sel;
    }
}

TEST_F(ModulationSumTest, TinyValuesFlushOnlyWhenTheWholeInputIsBlockRate) {
    struct Case { const char* what; float value; bool withAudioSource; float expected; };
    const Case cases[] = {
        {"block rate only", 1e-31f, false, 0.0f},
        {"block rate only, negative", -1e-31f, false, 0.0f},
        {"block rate only, at the threshold", 1e-30f, false, 1e-28f},
        {"beside an audio-rate source", 1e-31f, true, 1e-29f},
    };
    for (const Case& c : cases) {
        std::vector<Wire> input = {{16384, selector(5, 0), c.value}};
        if (c.withAudioSource) input.push_back({16384, selector(5, 0), 1000.0f, true});
        EXPECT_EQ(run({input}), int(input.size())) << c.what;
        EXPECT_FLOAT_EQ(out[0], c.expected) << c.what;
    }
}

TEST_F(ModulationSumTest, InputsKeepTheirOwnConnectionsAndSkipAudioRate) {
    const int total = run({
        {{16384, selector(0, 0), 0.5f}, {-8192, selector(1, 0), 1.0f}},
        {},
        {{16384, selector(0, 0), 99.0f, true}, {16384, selector(2, 0), 0.25f}},
        {{16384, selector(0, 0), 7.0f, true}},
    });
    EXPECT_EQ(total, 5);
    EXPECT_FLOAT_EQ(out[0], 0.5f - 3.5f);
    EXPECT_EQ(out[1], 0.0f);
    EXPECT_FLOAT_EQ(out[2], 2.25f);
    EXPECT_EQ(out[3], 0.0f);
    EXPECT_EQ(out[4], kUnwritten) << "only inputCount outputs are written";
    EXPECT_EQ(sampled, 0b1100u) << "the inputs with a source of samples";
}

TEST_F(ModulationSumTest, MissingSourceReadsAsSilentBlockRateValue) {
    Wire missing{16384, selector(0, 0), 50.0f};
    missing.missing = true;
    EXPECT_EQ(run({{missing, {16384, selector(0, 0), 1e-31f}, {16384, selector(0, 0), 2.0f}}}), 3);
    EXPECT_FLOAT_EQ(out[0], 2.0f);
}

// Voices of one slot share their connections and differ in what their sources hold: every voice's
// sums, taken together, are what that voice gets alone, bit for bit, through each kind of source.
TEST(ModulationSumOfVoices, EachVoiceGetsWhatItGetsAlone) {
    constexpr int kVoices = 11;
    constexpr int kInputs = 3;
    const uint32_t counts[kInputs] = {3, 0, 4};
    constexpr int kWires = 7;
    const uint16_t selectors[kWires] = {selector(3, 0), selector(5, 2), selector(0, 15), selector(8, 3),
                                        selector(1, 1), selector(12, 4), selector(3, 0)};
    std::array<ConnectionDescriptor, kWires> descriptors{};
    for (int k = 0; k < kWires; ++k)
        descriptors[size_t(k)] = ConnectionDescriptor{{0x1234, 0x0567, uint16_t(900 + 2000 * k), selectors[k]}};
    // Ordinary values, values under the flush level, an audio-rate source and a missing one, mixed
    // differently in each voice.
    const float values[] = {0.37f, -0.8f, 1e-31f, -4e-32f, 0.0f, -0.0f, 2.5f, 1e-29f};
    std::array<std::array<PortEntry, kWires>, kVoices> ports{};
    std::array<std::array<const PortEntry*, kWires>, kVoices> bound{};
    const PortEntry* const* sources[kVoices];
    for (int v = 0; v < kVoices; ++v) {
        for (int k = 0; k < kWires; ++k) {
            PortEntry& p = ports[size_t(v)][size_t(k)];
            p.value = values[(v * 3 + k) % 8];
            p.word = (v + k) % 5 == 0 ? 5u : 0u; // audio rate
            bound[size_t(v)][size_t(k)] = (v + 2 * k) % 7 == 0 ? nullptr : &p;
        }
        sources[v] = bound[size_t(v)].data();
    }
    // Voice 0's first input mixes an audio-rate source with one tiny value: the sum keeps the value.
    ports[0][0].word = 5u;
    ports[0][1].value = 1e-31f;
    bound[0][0] = &ports[0][0];
    bound[0][1] = &ports[0][1];
    bound[0][2] = nullptr;
    float together[kVoices * kInputs];
    uint32_t sampledTogether[kVoices];
    sumBlockModulationOfVoices(descriptors.data(), sources, 0, kVoices, counts, kInputs, together, sampledTogether);
    for (int v = 0; v < kVoices; ++v) {
        float alone[kInputs];
        uint32_t sampledAlone = ~0u;
        sumBlockModulation(descriptors.data(), sources[v], counts, kInputs, alone, &sampledAlone);
        EXPECT_EQ(sampledAlone, sampledTogether[v]) << "voice " << v;
        for (int d = 0; d < kInputs; ++d)
            EXPECT_EQ(std::memcmp(&alone[d], &together[v * kInputs + d], sizeof(float)), 0)
                << "voice " << v << ", input " << d << ": " << alone[d] << " against " << together[v * kInputs + d];
    }

    EXPECT_NE(together[0], 0.0f);
    EXPECT_EQ(sampledTogether[0] & 1u, 1u) << "voice 0's first input has an audio-rate source";

    // Unwired voices read zero everywhere.
    float unwired[2 * kInputs];
    uint32_t sampledUnwired[2] = {~0u, ~0u};
    sumBlockModulationOfVoices(descriptors.data(), sources, 0, 2, nullptr, kInputs, unwired, sampledUnwired);
    for (float x : unwired) EXPECT_EQ(x, 0.0f);
    for (uint32_t bits : sampledUnwired) EXPECT_EQ(bits, 0u);
}

} // namespace
} // namespace corvex
