// The keyboard modulation page: which curve point a click takes, how far a point may go, what is sent when
// the mouse lets go, and the page's children.
#include <gtest/gtest.h>

#include "editor/modulation/CorvanKeyboardPanel.h"
#include "editor/modulation/KeyboardCurve.h"
#include "instrument/params/ParameterIndex.h"
#include "tests/editor/modulation/ModulationTestSupport.h"
#include "tests/support/FakeGui.h"

namespace corvex {
namespace {

namespace P = ParameterIndex;
using keycurve::Curve;
using Pt = juce::Point<float>;

TEST(KeyboardCurve, AClickTakesTheNearestPointWithinReachAndTheEarlierOnATie) {
    const Curve straight;                              // (0, 0), (1, 1), middle (0.5, 0.5)
    const Curve crowded{0.0f, 1.0f, 0.25f, 0.0f};      // the middle beside the start
    const Curve crowdedEnd{0.0f, 1.0f, 0.75f, 1.0f};   // the middle beside the end
    const struct {
        const char* what;
        const Curve& curve;
        Pt at;
        keycurve::Point expected;
    } cases[] = {
        {"on the start", straight, {0.0f, 0.05f}, keycurve::kStart},
        {"near the end", straight, {0.95f, 0.9f}, keycurve::kEnd},
        {"on the middle", straight, {0.5f, 0.5f}, keycurve::kMiddle},
        {"just within reach", straight, {0.0f, 0.31f}, keycurve::kStart},
        {"just out of reach", straight, {0.0f, 0.32f}, keycurve::kNone},
        {"far from all", straight, {0.5f, -0.5f}, keycurve::kNone},
        {"nearer the middle than the start", crowded, {0.15f, 0.0f}, keycurve::kMiddle},
        {"start and middle tie", crowded, {0.125f, 0.0f}, keycurve::kStart},
        {"end and middle tie", crowdedEnd, {0.875f, 1.0f}, keycurve::kEnd},
    };
    for (const auto& c : cases) EXPECT_EQ(keycurve::hitTest(c.curve, c.at), c.expected) << c.what;
}

TEST(KeyboardCurve, MovesStopAtTheEdgesButKeepLevelsBelowTheMiddle) {
    const struct {
        const char* what;
        keycurve::Point point;
        Pt to;
        Curve expected;
    } cases[] = {
        {"start below the bottom", keycurve::kStart, {0.4f, -1.5f}, {-0.999f, 1.0f, 0.5f, 0.5f}},
        {"start below the middle", keycurve::kStart, {0.0f, -0.5f}, {-0.5f, 1.0f, 0.5f, 0.5f}},
        {"end sideways and above the top", keycurve::kEnd, {0.3f, 1.4f}, {0.0f, 1.0f, 0.5f, 0.5f}},
        {"end down", keycurve::kEnd, {1.0f, -0.25f}, {0.0f, -0.25f, 0.5f, 0.5f}},
        {"middle left of the start", keycurve::kMiddle, {-0.2f, 0.3f}, {0.0f, 1.0f, 0.0f, 0.3f}},
        {"middle past the end and low", keycurve::kMiddle, {1.3f, -2.0f}, {0.0f, 1.0f, 1.0f, -0.999f}},
        {"nothing selected", keycurve::kNone, {0.2f, 0.2f}, {0.0f, 1.0f, 0.5f, 0.5f}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Curve curve;
        keycurve::movePoint(curve, c.point, c.to);
        EXPECT_FLOAT_EQ(curve.y0, c.expected.y0);
        EXPECT_FLOAT_EQ(curve.y2, c.expected.y2);
        EXPECT_FLOAT_EQ(curve.x1, c.expected.x1);
        EXPECT_FLOAT_EQ(curve.y1, c.expected.y1);
    }
}

TEST(KeyboardCurve, MapsTheSquareInsideAnEightPixelMargin) {
    const struct {
        int width, height;
        Pt curve, screen;
    } cases[] = {
        {150, 100, {0.0f, 1.0f}, {8.0f, 8.0f}},     {150, 100, {1.0f, 0.0f}, {142.0f, 50.0f}},
        {150, 100, {0.5f, -1.0f}, {75.0f, 92.0f}},  {150, 101, {0.0f, -1.0f}, {8.0f, 92.0f}},
        {150, 101, {0.0f, 0.0f}, {8.0f, 50.0f}},
    };
    for (const auto& c : cases) {
        const Pt got = c.curve.transformedBy(keycurve::curveToScreen(c.width, c.height));
        EXPECT_EQ(got, c.screen) << c.width << "x" << c.height << " " << c.curve.toString();
    }
}

constexpr int kY0 = P::kVelocityCurveY0, kX1 = P::kVelocityCurveX1, kY1 = P::kVelocityCurveY1,
              kY2 = P::kVelocityCurveY2;

struct CurveFixture : ::testing::Test {
    CurveFixture() { curve.setSize(150, 100); }

    // The page opens on the straight curve.
    static FakeGui* straight(FakeGui& g) {
        g.values = {{kY0, 0.0f}, {kX1, 0.5f}, {kY1, 0.5f}, {kY2, 1.0f}};
        return &g;
    }

    // Presses where a point of the curve sits, drags to a point in curve coordinates and lets go.
    void drag(Pt from, Pt to) {
        const Pt down = curve.toScreen(from), up = curve.toScreen(to);
        curve.mouseDown(mouseEvent(curve, down, {}, down));
        curve.mouseDrag(mouseEvent(curve, up, {}, down));
        dragged = curve.getCurve();
        sentBeforeRelease = gui.edits.size();
        curve.mouseUp(mouseEvent(curve, up, {}, down));
    }

    FakeGui gui;
    CorvanKeyboardModCurveComponent curve{straight(gui), kY0, kX1, kY1, kY2};
    Curve dragged;
    size_t sentBeforeRelease = 0;
};

TEST_F(CurveFixture, SendsTheDraggedPointsValuesOnlyWhenLetGo) {
    const struct {
        const char* what;
        Pt from, to;
        std::vector<FakeGui::Edit> sent;
    } cases[] = {
        {"start below the bottom", {0.0f, 0.0f}, {0.0f, -1.2f}, {{2, kY0, -0.999f}}},
        {"end sideways to below the middle", {1.0f, 1.0f}, {0.6f, -0.5f}, {{2, kY2, -0.5f}}},
        {"middle", {0.5f, 0.5f}, {0.25f, 0.75f}, {{2, kX1, 0.25f}, {2, kY1, 0.75f}}},
        {"nowhere near a point", {0.5f, -0.6f}, {0.0f, 0.0f}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        gui.edits.clear();
        const Curve before = curve.getCurve();
        drag(c.from, c.to);
        EXPECT_EQ(sentBeforeRelease, 0u);
        ASSERT_EQ(gui.edits.size(), c.sent.size());
        for (size_t i = 0; i < c.sent.size(); ++i) {
            EXPECT_EQ(gui.edits[i].kind, c.sent[i].kind);
            EXPECT_EQ(gui.edits[i].index, c.sent[i].index);
            EXPECT_NEAR(gui.edits[i].value, c.sent[i].value, 1e-4);
        }
        if (c.sent.empty()) {
            EXPECT_EQ(dragged.y0, before.y0);
            EXPECT_EQ(dragged.x1, before.x1);
        }
    }
    EXPECT_NEAR(curve.getCurve().y2, -0.5f, 1e-4) << "the end keeps the level it was let go at";
}

TEST_F(CurveFixture, FollowsEchoesOfItsOwnIndicesWithinTheLimits) {
    const struct {
        int index;
        float value;
        Curve expected;
    } steps[] = {
        {kY2, 1.5f, {0.0f, 1.0f, 0.5f, 0.5f}},      {kY0, -0.4f, {-0.4f, 1.0f, 0.5f, 0.5f}},
        {kX1, 1.2f, {-0.4f, 1.0f, 1.0f, 0.5f}},     {kY1, -3.0f, {-0.4f, 1.0f, 1.0f, -0.999f}},
        {P::kAftertouchCurveY0, 0.9f, {-0.4f, 1.0f, 1.0f, -0.999f}},
    };
    for (const auto& s : steps) {
        gui.echo(s.index, s.value);
        const Curve& c = curve.getCurve();
        EXPECT_FLOAT_EQ(c.y0, s.expected.y0) << s.index;
        EXPECT_FLOAT_EQ(c.y2, s.expected.y2) << s.index;
        EXPECT_FLOAT_EQ(c.x1, s.expected.x1) << s.index;
        EXPECT_FLOAT_EQ(c.y1, s.expected.y1) << s.index;
    }
}

TEST(KeyboardPanel, ReadsItsCurvesAtOpeningAndPlacesItsChildren) {
    FakeGui gui;
    gui.values = {{P::kVelocityCurveY0, 0.2f}, {P::kVelocityCurveX1, 0.8f}, {P::kVelocityCurveY1, 0.1f},
                  {P::kVelocityCurveY2, 0.6f}, {P::kAftertouchCurveY2, 0.3f}};
    CorvanKeyboardPanel page(&gui);
    page.setSize(780, 200);

    const Curve& velocity = page.getVelocityCurve().getCurve();
    EXPECT_FLOAT_EQ(velocity.y0, 0.2f);
    EXPECT_FLOAT_EQ(velocity.x1, 0.8f);
    EXPECT_FLOAT_EQ(velocity.y1, 0.1f);
    EXPECT_FLOAT_EQ(velocity.y2, 0.6f);
    EXPECT_FLOAT_EQ(page.getAftertouchCurve().getCurve().y2, 0.3f);
    EXPECT_FLOAT_EQ(page.getAftertouchCurve().getCurve().y0, 0.0f);

    const struct {
        juce::Component& child;
        juce::Rectangle<int> bounds;
    } places[] = {
        {page.getVelocityCurve(), {10, 19, 150, 154}},
        {page.getVelocityOutputs(), {170, 19, 200, 154}},
        {page.getAftertouchCurve(), {400, 19, 150, 154}},
        {page.getAftertouchOutputs(), {560, 19, 200, 154}},
    };
    for (const auto& p : places) EXPECT_EQ(p.child.getBounds(), p.bounds);
    EXPECT_EQ(page.getVelocityOutputs().getTitle(), "Velocity");
    EXPECT_EQ(page.getAftertouchOutputs().getTitle(), "Aftertouch");

    gui.echo(P::kAftertouchDestination + 1, 8.5f / 9.0f);
    EXPECT_EQ(page.getAftertouchOutputs().getDestinationBox(1).getText(), "VCA");
    EXPECT_EQ(page.getVelocityOutputs().getDestinationBox(1).getText(), "None");

    gui.echo(P::kAftertouchCurveY1, -0.6f);
    gui.echo(P::kAftertouchCurveX1, 0.3f);
    testing::keepPageSnapshot(page, "editor-mod-keyboard.png");
}

} // namespace
} // namespace corvex
