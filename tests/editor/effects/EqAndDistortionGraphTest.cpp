// The equaliser graph: its maths (value curves, mirrored cut and boost, axes and labels), the curve it draws
// set against the engine's equaliser measured on an impulse, and what a drag on its handles edits; the
// distortion graph's drive table and curve.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <complex>
#include <vector>

#include "editor/effects/CorvanDistortionGraphComponent.h"
#include "editor/effects/CorvanEqualizerGraphComponent.h"
#include "editor/effects/DistortionCurve.h"
#include "editor/effects/EqualizerResponse.h"
#include "engine/modules/BlockBufferStore.h"
#include "engine/modules/ModuleFramework.h"
#include "engine/modules/ModulePools.h"
#include "engine/modules/types/ParametricEq.h"
#include "instrument/params/ParameterIndex.h"
#include "tests/engine/ModuleRig.h"
#include "tests/support/FakeGui.h"

namespace corvex {
namespace {

namespace P = ParameterIndex;
namespace fx = ParameterIndex::insertfx;
using eqgraph::Axes;
using eqgraph::Bands;

constexpr int kGraphWidth = 418;
constexpr int kGraphHeight = 104;

Bands bandsOf(std::array<float, 10> values, std::array<bool, 4> on) {
    Bands b;
    for (int band = 0; band < 4; ++band) b[size_t(band)].enabled = on[size_t(band)];
    const int slots[10][2] = {{0, 0}, {0, 1}, {1, 0}, {1, 1}, {1, 2}, {2, 0}, {2, 1}, {2, 2}, {3, 0}, {3, 1}};
    for (int p = 0; p < 10; ++p) {
        eqgraph::BandValues& v = b[size_t(slots[p][0])];
        (slots[p][1] == 0 ? v.frequency : slots[p][1] == 1 ? v.gain : v.q) = values[size_t(p)];
    }
    return b;
}

double levelOf(const Bands& bands, double hz) {
    eqgraph::Response r;
    r.update(bands);
    return r.levelDb(hz);
}

TEST(EqMaths, ValueCurvesAndTheirInverse) {
    struct Case {
        float value;
        double hz, db, q;
    };
    const Case cases[] = {{0.0f, 20, -20, 1},          {0.5f, 3500, 0, 6},         {1.0f, 20000, 20, 20},
                          {-0.5f, 20, -20, 1},         {1.5f, 20000, 20, 20},      {0.05f, 35, 20 * std::log10(0.19), 1.25},
                          {0.55f, 5250, 20 * std::log10(1.9), 4 + 0.75 * 4}};
    for (const Case& c : cases) {
        EXPECT_NEAR(eqgraph::frequencyHz(c.value), c.hz, 1e-2) << c.value;
        EXPECT_NEAR(eqgraph::gainDb(c.value), c.db, 1e-3) << c.value;
        EXPECT_NEAR(eqgraph::qFactor(c.value), c.q, 1e-3) << c.value;
    }
    for (float v = 0.0f; v <= 1.0f; v += 0.0625f)
        EXPECT_NEAR(eqgraph::frequencyValue(eqgraph::frequencyHz(v)), v, 1e-5) << v;
    EXPECT_EQ(eqgraph::frequencyValue(19.9), 0.0f);
    EXPECT_EQ(eqgraph::frequencyValue(std::nan("")), 0.0f);
    EXPECT_EQ(eqgraph::frequencyValue(20000.0), 1.0f);
    EXPECT_EQ(eqgraph::frequencyValue(1e9), 1.0f);
}

TEST(EqMaths, FlatAtHalfGainAndCutsMirrorBoosts) {
    const double probes[] = {25, 90, 400, 1000, 2500, 7000, 12000, 19000};
    // Every band on at 0 dB: flat, whatever the frequency and Q; every band off: flat too.
    for (float f : {0.0f, 0.3f, 0.77f, 1.0f}) {
        const Bands flat = bandsOf({f, 0.5f, f, 0.5f, f, f, 0.5f, 1.0f - f, f, 0.5f}, {true, true, true, true});
        const Bands off = bandsOf({f, 1.0f, f, 0.0f, f, f, 1.0f, f, f, 0.0f}, {false, false, false, false});
        for (double hz : probes) {
            EXPECT_NEAR(levelOf(flat, hz), 0.0, 1e-9) << f << " " << hz;
            EXPECT_EQ(levelOf(off, hz), 0.0) << f << " " << hz;
        }
    }
    // Each band alone, at full boost and full cut: -20 and +20 dB at the peaks' centres, mirror images elsewhere.
    for (int band = 0; band < 4; ++band) {
        std::array<bool, 4> on{};
        on[size_t(band)] = true;
        const std::array<float, 10> base{0.3f, 0.5f, 0.35f, 0.5f, 0.3f, 0.6f, 0.5f, 0.5f, 0.65f, 0.5f};
        std::array<float, 10> boost = base, cut = base;
        const size_t gain[4] = {1, 3, 6, 9};
        boost[gain[band]] = 1.0f;
        cut[gain[band]] = 0.0f;
        for (double hz : probes) {
            const double up = levelOf(bandsOf(boost, on), hz);
            EXPECT_NEAR(up, -levelOf(bandsOf(cut, on), hz), 1e-9) << band << " " << hz;
            EXPECT_LE(up, 20.0 + 1e-9);
            EXPECT_GE(up, -1e-9);
        }
        if (eqgraph::hasQ(band)) {
            const double centre = eqgraph::frequencyHz(base[gain[band] - 1]);
            EXPECT_NEAR(levelOf(bandsOf(boost, on), centre), 20.0, 1e-6) << band;
            EXPECT_NEAR(levelOf(bandsOf(cut, on), centre), -20.0, 1e-6) << band;
        }
    }
}

TEST(EqMaths, AxesLabelsAndTheirGuards) {
    const char* expected[] = {"12Hz", "24", "48", "96", "192", "384", "768", "1.5K", "3K", "6.1K", "12.2K", "20K"};
    for (int n = 0; n <= 11; ++n) EXPECT_EQ(eqgraph::frequencyLabel(n), expected[n]) << n;
    EXPECT_EQ(eqgraph::axisText(-40), "-40");
    EXPECT_EQ(eqgraph::axisText(0), "0");
    EXPECT_EQ(eqgraph::axisText(2.55), "2.5");

    for (int width : {200, 418, 611}) {
        const Axes a{width, kGraphHeight};
        for (int x = Axes::kLeft; x < Axes::kLeft + a.plotWidth(); x += 7)
            EXPECT_NEAR(a.xOfFrequency(a.frequencyAtX(x + 0.5)), x, 0) << width;
        EXPECT_EQ(a.xOfFrequency(12.0), 35);
        EXPECT_EQ(a.plotWidth(), a.xOfFrequency(20000.0) - 36);
    }
    const Axes a{kGraphWidth, kGraphHeight};
    EXPECT_DOUBLE_EQ(a.yOfLevel(40.0), 5.0);
    EXPECT_DOUBLE_EQ(a.yOfLevel(-40.0), kGraphHeight - 14.0);
    EXPECT_EQ(a.handleY(0.5f), 5 + (kGraphHeight - 19) / 2);
    EXPECT_FLOAT_EQ(a.levelValueAtY(5.0), 1.0f);
    EXPECT_FLOAT_EQ(a.levelValueAtY(-50.0), 1.0f);
    EXPECT_FLOAT_EQ(a.levelValueAtY(1000.0), 0.0f);

    // Far beyond +40 dB (all four bands boosting at one spot) the curve stays inside the plot.
    eqgraph::Response loud;
    loud.update(bandsOf({1.0f, 1.0f, 0.975f, 1.0f, 1.0f, 0.975f, 1.0f, 1.0f, 0.5f, 1.0f}, {true, true, true, true}));
    EXPECT_GT(loud.levelDb(19000.0), 40.0);
    EXPECT_EQ(a.curveY(loud, a.xOfFrequency(19000.0)), 5);

    // Graphs too small to hold a plot divide by nothing and draw nothing wild.
    for (const Axes tiny : {Axes{0, 0}, Axes{45, 19}, Axes{30, 10}}) {
        EXPECT_TRUE(std::isfinite(tiny.frequencyAtX(100))) << tiny.width;
        EXPECT_TRUE(std::isfinite(tiny.levelValueAtY(3))) << tiny.height;
        const int y = tiny.curveY(loud, 40);
        EXPECT_GE(y, Axes::kTop);
    }
    FakeGui gui;
    CorvanEqualizerGraphComponent graph(0, &gui);
    for (auto [w, h] : {std::pair{0, 0}, std::pair{40, 15}, std::pair{46, 20}}) {
        graph.setSize(w, h);
        juce::Image image(juce::Image::ARGB, std::max(w, 1), std::max(h, 1), true);
        juce::Graphics g(image);
        graph.paintEntireComponent(g, false);
    }
}

// The engine's own equaliser, fed one impulse: its spectrum at a frequency is what the player hears there.
class EqGraphAgainstEngine : public testing::ModuleRig {
protected:
    static constexpr int kBlocks = 512;

    std::vector<double> impulseResponse(const std::array<float, 10>& values, const std::array<bool, 4>& on) {
        std::array<uint16_t, 2 + 25> data{};
        auto word = [](float v) { return uint16_t(int16_t(std::trunc(v * 16384.0))); };
        for (int p = 0; p < 10; ++p) data[size_t(2 + 7 + p)] = word(values[size_t(p)]);
        for (int b = 0; b < 4; ++b) data[size_t(2 + 17 + b)] = on[size_t(b)] ? 1 : 0;
        data[2 + 21] = 16384; // all wet
        data[2 + 23] = 12288; // unity output
        blockLoaderFor(ModuleType::ParametricEq)(data.data(), 25, &record, &context);
        void* m = pools->poolForType(ModuleType::ParametricEq)->allocate();
        initModuleByType(m, ModuleType::ParametricEq, &record, 0, &context);
        acquirePortBuffer(*modulePortAddress(m, 0));
        PortEntry audio = bufferPort();
        testing::Wiring<12> w(16);
        w.connect(0, &audio);
        std::vector<double> out;
        for (int b = 0; b < kBlocks; ++b) {
            for (int n = 0; n < kBlockFrames; ++n) portBuffer(audio)[n] = (b == 0 && n == 0) ? 1.0f : 0.0f;
            processModuleByType(m, w.descriptors.data(), w.sources.data(), w.counts.data());
            const float* o = portBuffer(*modulePortAddress(m, 0));
            out.insert(out.end(), o, o + kBlockFrames);
        }
        releasePortUser(audio);
        resetModuleByType(m);
        pools->poolForType(ModuleType::ParametricEq)->release(m);
        return out;
    }

    static double levelAt(const std::vector<double>& impulse, double hz) {
        std::complex<double> sum;
        for (size_t n = 0; n < impulse.size(); ++n)
            sum += impulse[n] * std::polar(1.0, -2.0 * 3.14159265358979323846 * hz * double(n) / eqgraph::kRate);
        return 20.0 * std::log10(std::abs(sum));
    }

    ParameterRecord record;
};

TEST_F(EqGraphAgainstEngine, TheDrawnCurveIsWhatTheEngineEqualiserPlays) {
    struct Case {
        const char* name;
        std::array<float, 10> values; // F1 G1 F2 G2 Q2 F3 G3 Q3 F4 G4
        std::array<bool, 4> on;
    };
    const Case cases[] = {
        {"boost and cut", {0.25f, 0.8f, 0.45f, 0.15f, 0.4f, 0.62f, 0.95f, 0.3f, 0.75f, 0.3f}, {true, true, true, true}},
        {"peaks only", {0.1f, 0.0f, 0.33f, 1.0f, 0.1f, 0.71f, 0.05f, 0.5f, 0.9f, 1.0f}, {false, true, true, false}},
        {"shelves only", {0.32f, 0.1f, 0.5f, 1.0f, 0.5f, 0.5f, 1.0f, 0.5f, 0.58f, 0.9f}, {true, false, false, true}},
    };
    FakeGui gui;
    for (const Case& c : cases) {
        for (int p = 0; p < 10; ++p) gui.values[P::foldEffectIndex(1, fx::kFirstValue + 2 * p)] = c.values[size_t(p)];
        for (int b = 0; b < 4; ++b) gui.values[P::foldEffectIndex(1, fx::kEqBandSwitch[b])] = c.on[size_t(b)] ? 1.0f : 0.0f;
        CorvanEqualizerGraphComponent graph(1, &gui);
        graph.setSize(kGraphWidth, kGraphHeight);
        const std::vector<double> impulse = impulseResponse(c.values, c.on);
        const Axes a = graph.axes();
        for (int x = Axes::kLeft + 20; x < Axes::kLeft + a.plotWidth(); x += 45) {
            const double hz = a.frequencyAtX(x);
            const double heard = levelAt(impulse, hz);
            EXPECT_NEAR(levelOf(graph.getBands(), hz), heard, 0.05) << c.name << " at " << hz << " Hz";
            const double y = std::clamp(a.yOfLevel(heard), 5.0, double(kGraphHeight - 14));
            EXPECT_NEAR(graph.curveYAt(x), y, 1.0) << c.name << " at " << hz << " Hz";
        }
    }
}

// A drag edits the band under the mouse: frequency and gain with the left button, a peak's Q with the right.
TEST(EqGraphDrag, HandlesTakeTheEditsTheirButtonsMean) {
    struct Case {
        const char* name;
        int chain;
        std::vector<std::pair<int, float>> values; // chain-0 rows
        int pressBand;                            // whose handle is pressed; -1 presses empty plot
        bool right;
        int dragged;
        std::vector<int> editedRows; // chain-0 rows, in order
    };
    const std::vector<std::pair<int, float>> allOn{{335, 1.0f}, {336, 1.0f}, {337, 1.0f}, {338, 1.0f},
                                                   {49, 0.2f},  {53, 0.4f},  {59, 0.6f},  {65, 0.8f}};
    std::vector<std::pair<int, float>> stacked = allOn;
    stacked.push_back({53, 0.2f}); // band 2's handle on band 1's
    const Case cases[] = {
        {"low shelf, left", 0, allOn, 0, false, 0, {49, 51}},
        {"peak 1, right", 0, allOn, 1, true, 1, {57}},
        {"peak 2, right, chain 1", 1, allOn, 2, true, 2, {63}},
        {"high shelf, right", 0, allOn, 3, true, 3, {}},
        {"high shelf, left, chain 1", 1, allOn, 3, false, 3, {65, 67}},
        {"empty plot", 0, allOn, -1, false, -1, {}},
        {"band switched off", 0, {{336, 1.0f}, {53, 0.8f}, {49, 0.2f}}, 0, false, -1, {}},
        {"stacked handles", 0, stacked, 0, false, 1, {53, 55}},
    };
    for (const Case& c : cases) {
        FakeGui gui;
        for (auto [row, v] : c.values) gui.values[P::foldEffectIndex(c.chain, row)] = v;
        CorvanEqualizerGraphComponent graph(c.chain, &gui);
        graph.setSize(kGraphWidth, kGraphHeight);
        const Axes a = graph.axes();
        juce::Point<float> at(float(Axes::kLeft + a.plotWidth() - 2), 8.0f);
        if (c.pressBand >= 0) {
            const eqgraph::BandValues& band = graph.getBands()[size_t(c.pressBand)];
            at = {float(a.xOfFrequency(eqgraph::frequencyHz(band.frequency)) + 3), float(a.handleY(band.gain) - 2)};
        }
        const juce::ModifierKeys mods = c.right ? juce::ModifierKeys(juce::ModifierKeys::rightButtonModifier)
                                                : juce::ModifierKeys();
        graph.mouseDown(mouseEvent(graph, at, mods, at));
        EXPECT_EQ(graph.getDraggedBand(), c.dragged) << c.name;
        const juce::Point<float> to(float(a.xOfFrequency(1000.0)), float(a.handleY(0.75f)));
        graph.mouseDrag(mouseEvent(graph, to, mods, at));
        std::vector<int> rows;
        for (const FakeGui::Edit& e : gui.edits) {
            EXPECT_EQ(e.kind, MVGuiInterface::kNewValue) << c.name;
            rows.push_back(fx::chainZeroIndex(e.index));
            if (c.chain == 1) {
                EXPECT_NE(e.index, rows.back()) << c.name << " edits chain 1's rows";
            }
            const bool isFrequency = rows.back() == 49 || rows.back() == 53 || rows.back() == 59 || rows.back() == 65;
            EXPECT_NEAR(e.value, isFrequency ? eqgraph::frequencyValue(a.frequencyAtX(to.x)) : 0.75f, 0.012)
                << c.name;
        }
        EXPECT_EQ(rows, c.editedRows) << c.name;
    }
}

TEST(EqGraphFollows, EchoesOfItsChainRedrawTheCurve) {
    FakeGui gui;
    CorvanEqualizerGraphComponent graph(1, &gui);
    graph.setSize(kGraphWidth, kGraphHeight);
    const int x = graph.axes().xOfFrequency(1000.0);
    const int flat = graph.curveYAt(x);
    gui.echo(P::foldEffectIndex(1, fx::kEqGain[1]), 1.0f);
    gui.echo(P::foldEffectIndex(1, fx::kEqFrequency[1]), eqgraph::frequencyValue(1000.0));
    EXPECT_EQ(graph.curveYAt(x), flat) << "band 2 is still off";
    gui.echo(P::foldEffectIndex(1, fx::kEqBandSwitch[1]), 1.0f);
    EXPECT_NEAR(graph.curveYAt(x), graph.axes().yOfLevel(20.0), 1.0);
    gui.echo(fx::kEqBandSwitch[1], 0.0f);
    EXPECT_NEAR(graph.curveYAt(x), graph.axes().yOfLevel(20.0), 1.0) << "chain 0's switch is another row";
    EXPECT_EQ(gui.listenerCount(P::foldEffectIndex(1, fx::kEqQ[2])), 1);
}

TEST(DistortionGraph, DriveSteepensTheCurve) {
    struct Case {
        float drive;
        double steepness;
    };
    const Case cases[] = {{0.0f, 1.0},  {0.05f, 1.1},  {0.1f, 1.2}, {0.5f, 2.6},         {0.95f, 5.725},
                          {1.0f, 6.0},  {1.5f, 6.0},   {-0.1f, 1.0}, {std::nanf(""), 1.0}};
    for (const Case& c : cases) EXPECT_NEAR(distortiongraph::driveSteepness(c.drive), c.steepness, 1e-6) << c.drive;

    // Low input at the bottom left, high at the top right; at full drive the ends flatten to the plot's edges.
    EXPECT_EQ(distortiongraph::curveY(0, 136, 136, 1.0), int((std::tanh(1.0) + 1.0) * 68));
    EXPECT_EQ(distortiongraph::curveY(68, 136, 136, 1.0), 68);
    EXPECT_EQ(distortiongraph::curveY(0, 136, 136, 6.0), 135);
    EXPECT_EQ(distortiongraph::curveY(135, 136, 136, 6.0), 0);
    EXPECT_EQ(distortiongraph::curveY(10, 0, 136, 6.0), 68);

    FakeGui gui;
    gui.values[71] = 1.0f;
    CorvanDistortionGraphComponent graph(1, &gui);
    EXPECT_FLOAT_EQ(graph.getDrive(), 1.0f);
    gui.echo(75, 0.0f);
    EXPECT_FLOAT_EQ(graph.getDrive(), 1.0f) << "the second value only repaints";
    gui.echo(71, 0.3f);
    EXPECT_FLOAT_EQ(graph.getDrive(), 0.3f);
}

} // namespace
} // namespace corvex
