// The step graph on a fake GUI interface: where the pointer lands, what each tool sends and when, the length
// drag, the bubble's text and timing, and which play-step reports repaint.
#include <set>

#include <gtest/gtest.h>

#include "editor/sequencer/CorvanSequencerGraphComponent.h"
#include "editor/sequencer/SequencerGraphMaths.h"
#include "tests/editor/sequencer/SequencerTestSupport.h"

namespace corvex {
namespace {

namespace P = ParameterIndex;
using testing::BubbleRecordingGui;

// 10-pixel steps; the grid runs from y = 24 to 124, so a pixel is a hundredth of the range and the centre is 74.
constexpr int kWidth = 17 + 32 * 10;
constexpr int kHeight = 124;

TEST(SequencerGraphMaths, PointerToStepAndValue) {
    struct Case {
        int x, y;
        int step;
        float value;
    } const cases[] = {
        {15, 124, 0, 0.0f},   {25, 74, 1, 0.5f},    {164, 99, 14, 0.25f}, {334, 24, 31, 1.0f},
        {400, 0, 31, 1.0f},   // right of the frame and above the grid: the last step at the top
        {-5, 500, 0, 0.0f},   // left and below: the first step at the bottom
        {335, 49, 31, 0.75f}, // the frame's right edge would be a 33rd step
    };
    for (const Case& c : cases) {
        const seqgraph::PointerStep p = seqgraph::pointerStep({c.x, c.y}, 10, kHeight);
        EXPECT_EQ(p.step, c.step) << c.x << ", " << c.y;
        EXPECT_FLOAT_EQ(p.value, c.value) << c.x << ", " << c.y;
    }
}

TEST(SequencerGraphMaths, StepTextShowsValueAndSemitones) {
    struct Case {
        int step;
        float value;
        const char* text;
    } const cases[] = {
        {0, 0.5f, "Step: 1\nVal: 0.000\nQ: +0 semi-tones"},
        {4, 1.0f, "Step: 5\nVal: 1.000\nQ: +24 semi-tones"},
        {31, 0.0f, "Step: 32\nVal: -1.000\nQ: -24 semi-tones"},
        {2, 0.25f, "Step: 3\nVal: -0.500\nQ: -12 semi-tones"},
        {7, 0.51f, "Step: 8\nVal: 0.020\nQ: +0 semi-tones"}, // under half a semitone rounds to none
        {7, 0.52f, "Step: 8\nVal: 0.040\nQ: +1 semi-tones"},
        {7, 0.48f, "Step: 8\nVal: -0.040\nQ: -1 semi-tones"},
    };
    for (const Case& c : cases) EXPECT_EQ(seqgraph::stepText(c.step, c.value), c.text);
}

TEST(SequencerGraphMaths, BarsStandOnTheCentreLine) {
    struct Case {
        float value;
        bool linked;
        juce::Rectangle<int> bar;
    } const cases[] = {
        {1.0f, false, {46, 24, 9, 50}}, {0.75f, false, {46, 49, 9, 25}}, {0.5f, true, {46, 74, 10, 0}},
        {0.25f, true, {46, 74, 10, 25}}, {0.0f, false, {46, 74, 9, 50}},
    };
    for (const Case& c : cases) EXPECT_EQ(seqgraph::barOf(3, c.value, c.linked, 10, kHeight), c.bar) << c.value;
}

class SequencerGraphTest : public ::testing::Test {
protected:
    SequencerGraphTest() {
        gui.fillSteps(0.3f);
        graph = std::make_unique<CorvanSequencerGraphComponent>(&gui);
        graph->setBounds(0, 0, kWidth, kHeight);
        graph->setClock([this] { return now; });
    }
    // The pointer over step s at value v.
    static juce::Point<int> at(int s, float v) { return {20 + 10 * s, kHeight - static_cast<int>(v * 100.0f)}; }

    BubbleRecordingGui gui;
    juce::uint32 now = 5000;
    std::unique_ptr<CorvanSequencerGraphComponent> graph;
};

TEST_F(SequencerGraphTest, ListensWhileItLivesAndReadsTheLayerAtConstruction) {
    gui.values[P::kSequencerFirstAccent + 4] = 0.5f; // two steps: 0.5 is the second
    gui.values[P::kSequencerLength] = 7.5f / 32.0f;
    {
        CorvanSequencerGraphComponent fresh(&gui);
        EXPECT_FLOAT_EQ(fresh.getStepValue(9), 0.3f);
        EXPECT_TRUE(fresh.isStepAccented(4));
        EXPECT_FALSE(fresh.isStepAccented(3));
        EXPECT_FALSE(fresh.isStepLinked(4));
        EXPECT_EQ(fresh.getLengthIndex(), 7);
        for (int id : {P::kSequencerFirstStep, P::kSequencerFirstStep + 31, P::kSequencerLength,
                       P::kUpperSequencerStep, P::kLowerSequencerStep, P::kShownLayer})
            EXPECT_EQ(gui.listenerCount(id), 2) << id;
    }
    EXPECT_EQ(gui.listenerCount(P::kSequencerFirstStep), 1);
    EXPECT_EQ(gui.listenerCount(P::kShownLayer), 1);

    gui.echo(P::kSequencerFirstStep + 2, 0.9f);
    gui.echo(P::kSequencerLength, 1.0f);
    EXPECT_FLOAT_EQ(graph->getStepValue(2), 0.9f);
    EXPECT_EQ(graph->getLengthIndex(), 31);
}

TEST_F(SequencerGraphTest, PenAndEraserSendEachStepAsTheyDraw) {
    graph->press(at(3, 0.8f));
    graph->drag(at(4, 0.6f));
    graph->drag(at(40, 0.9f)); // past the right edge: the last step
    graph->release();
    graph->setTool(SequencerTool::Eraser);
    graph->press(at(4, 0.1f));
    graph->release();
    const struct {
        int step;
        float value;
    } expected[] = {{3, 0.8f}, {4, 0.6f}, {31, 0.9f}, {4, 0.5f}};
    ASSERT_EQ(gui.edits.size(), std::size(expected));
    for (size_t i = 0; i < gui.edits.size(); ++i) {
        EXPECT_EQ(gui.edits[i].kind, MVGuiInterface::kNewValue);
        EXPECT_EQ(gui.edits[i].index, P::kSequencerFirstStep + expected[i].step);
        EXPECT_NEAR(gui.edits[i].value, expected[i].value, 1e-6f);
    }
    EXPECT_FLOAT_EQ(graph->getStepValue(4), 0.5f);
    EXPECT_FLOAT_EQ(graph->getStepValue(31), 0.9f);
}

// Drawn from step 20 back to 5, the line runs from step 5's value to the anchor's; shrunk to step 15 it gives
// steps 5 to 14 back to what the layer holds; only the release sends, all 32 steps in order.
TEST_F(SequencerGraphTest, LineSendsOnReleaseAndRestoresWhatItLeaves) {
    graph->setTool(SequencerTool::Line);
    graph->press(at(20, 0.9f));
    ASSERT_EQ(gui.edits.size(), 1u) << "the press alone is a line of one step";
    gui.edits.clear();
    graph->drag(at(5, 0.4f));
    EXPECT_TRUE(gui.edits.empty()) << "nothing is sent while the line is drawn";
    EXPECT_FLOAT_EQ(graph->getStepValue(5), 0.4f);
    EXPECT_FLOAT_EQ(graph->getStepValue(20), 0.9f);
    EXPECT_NEAR(graph->getStepValue(11), 0.4f + 0.5f * 6.0f / 15.0f, 1e-6f);
    EXPECT_FLOAT_EQ(graph->getStepValue(21), 0.3f);

    graph->drag(at(15, 0.7f));
    for (int s = 5; s < 15; ++s) EXPECT_FLOAT_EQ(graph->getStepValue(s), 0.3f) << "step " << s << " restored";
    EXPECT_NEAR(graph->getStepValue(17), 0.7f + 0.2f * 2.0f / 5.0f, 1e-6f);
    EXPECT_TRUE(gui.edits.empty());

    graph->release();
    ASSERT_EQ(gui.edits.size(), 32u);
    for (int s = 0; s < 32; ++s) {
        EXPECT_EQ(gui.edits[size_t(s)].index, P::kSequencerFirstStep + s);
        EXPECT_FLOAT_EQ(gui.edits[size_t(s)].value, graph->getStepValue(s));
    }
}

TEST_F(SequencerGraphTest, ALinePressThatDoesNotMoveSendsItsStepAtOnce) {
    graph->setTool(SequencerTool::Line);
    graph->press(at(6, 0.2f));
    ASSERT_EQ(gui.edits.size(), 1u);
    EXPECT_EQ(gui.edits[0].index, P::kSequencerFirstStep + 6);
    EXPECT_FLOAT_EQ(gui.edits[0].value, 0.2f);
}

TEST_F(SequencerGraphTest, LengthDragsFromTheBarAndStopsAtBothEnds) {
    gui.values[P::kSequencerLength] = 3.5f / 32.0f;
    gui.echo(P::kSequencerLength, 3.5f / 32.0f); // 4 steps: the bar ends at x = 56
    struct Case {
        int pressX;
        int dragX;
        int index;    // -1: no drag
    } const cases[] = {
        {40, -50, 0}, {56, 900, 31}, {57, 100, -1} /* beyond the bar */, {16, 100, -1} /* its left edge */,
    };
    for (const Case& c : cases) {
        gui.edits.clear();
        graph->press({c.pressX, 15});
        graph->drag({c.dragX, 15});
        graph->release();
        if (c.index < 0) {
            EXPECT_TRUE(gui.edits.empty()) << c.pressX;
            continue;
        }
        ASSERT_EQ(gui.edits.size(), 1u) << c.pressX;
        EXPECT_EQ(gui.edits[0].index, P::kSequencerLength);
        EXPECT_FLOAT_EQ(gui.edits[0].value, (c.index + 0.5f) / 32.0f);
        EXPECT_EQ(graph->getLengthIndex(), c.index);
        gui.echo(P::kSequencerLength, 3.5f / 32.0f);
    }
}

// A graph squeezed below a pixel a step, or with no grid height, has nothing to map a pointer onto.
TEST(SequencerGraphSize, ATinyGraphIgnoresInput) {
    for (const juce::Rectangle<int> bounds : {juce::Rectangle<int>(0, 0, 40, 120), juce::Rectangle<int>(0, 0, 400, 24)}) {
        BubbleRecordingGui gui;
        CorvanSequencerGraphComponent graph(&gui);
        graph.setBounds(bounds);
        for (SequencerTool tool : {SequencerTool::Pen, SequencerTool::Line}) {
            graph.setTool(tool);
            for (juce::Point<int> p : {juce::Point<int>(20, 5), juce::Point<int>(30, 60), juce::Point<int>(30, 23)}) {
                graph.press(p);
                graph.drag(p + juce::Point<int>(10, 10));
                graph.hover(p);
                graph.release();
            }
        }
        EXPECT_TRUE(gui.edits.empty());
        EXPECT_EQ(gui.shown, 0);
        EXPECT_FALSE(graph.isTimerRunning());
    }
}

TEST_F(SequencerGraphTest, PressShowsTheBubbleOnlyWhenAskedButDrawingAlwaysUpdatesIt) {
    graph->press(at(2, 0.75f));
    EXPECT_EQ(gui.shown, 1);
    EXPECT_EQ(gui.shownText, seqgraph::stepText(2, 0.75f));
    EXPECT_EQ(gui.at, graph.get());
    graph->release();

    gui.settings[guisettings::kShowPopupOnClick] = guisettings::kNo;
    graph->press(at(9, 0.25f));
    graph->drag(at(10, 1.0f));
    EXPECT_EQ(gui.shown, 1) << "no new bubble";
    EXPECT_EQ(gui.text, seqgraph::stepText(10, 1.0f)) << "the bubble already shown follows the pen";
}

TEST_F(SequencerGraphTest, HoverShowsTheStoredValueAfterTheDelayAndNoTimerOutlivesIt) {
    gui.settings[guisettings::kPopupDelayTime] = "300";
    gui.values[P::kSequencerFirstStep + 6] = 0.25f;
    gui.echo(P::kSequencerFirstStep + 6, 0.25f);

    graph->hover(at(6, 0.9f));
    EXPECT_TRUE(graph->isTimerRunning());
    now = 5200;
    graph->hover(at(6, 0.1f)); // the same step keeps its start time
    now = 5300;
    graph->timerCallback();
    EXPECT_EQ(gui.shown, 0) << "exactly the delay is not past it";
    now = 5301;
    graph->timerCallback();
    EXPECT_EQ(gui.shown, 1);
    EXPECT_EQ(gui.shownText, seqgraph::stepText(6, 0.25f)) << "the stored value, not the pointer's";
    EXPECT_FALSE(graph->isTimerRunning()) << "stops once shown";

    // Whatever ends the hover stops the timer at once: leaving, the length band, a press.
    struct Ending {
        const char* what;
        std::function<void()> act;
    } const endings[] = {
        {"leave", [&] { graph->leave(); }},
        {"length band", [&] { graph->hover({100, 10}); }},
        {"press", [&] { graph->press(at(8, 0.5f)); graph->release(); }},
    };
    for (const Ending& e : endings) {
        graph->hover(at(12, 0.5f));
        ASSERT_TRUE(graph->isTimerRunning()) << e.what;
        e.act();
        EXPECT_FALSE(graph->isTimerRunning()) << e.what;
        EXPECT_FALSE(graph->isHoverPending()) << e.what;
        graph->hover(at(13, 0.5f)); // a new step starts again after any of them
        graph->leave();
    }
    const int hides = gui.hidden;
    graph->hover({100, 10});
    EXPECT_EQ(gui.hidden, hides + 1) << "the length band hides the bubble";

    gui.settings[guisettings::kShowPopupOnOver] = guisettings::kNo;
    graph->hover(at(20, 0.5f));
    EXPECT_FALSE(graph->isTimerRunning()) << "hover bubbles switched off";
}

// A cached image stands in for the window: the graph's repaints reach it while the graph is visible.
struct RepaintCounter : juce::CachedComponentImage {
    int* count;
    explicit RepaintCounter(int* c) : count(c) {}
    void paint(juce::Graphics&) override {}
    bool invalidateAll() override { return ++*count, true; }
    bool invalidate(const juce::Rectangle<int>&) override { return ++*count, true; }
    void releaseResources() override {}
};

TEST_F(SequencerGraphTest, PlayStepReportsRepaintOnlyForTheShownLayer) {
    int repaints = 0;
    graph->setVisible(true);
    graph->setCachedComponentImage(new RepaintCounter(&repaints));
    const auto report = [](int step) { return (step + 0.5f) / 32.0f; };
    struct Case {
        const char* what;
        int id;
        float value;
        int repaints;
        int upperStep, lowerStep;
    } const cases[] = {
        {"Upper steps on", P::kUpperSequencerStep, report(5), 1, 5, 0},
        {"the same step again", P::kUpperSequencerStep, report(5), 0, 5, 0},
        {"Lower, not shown", P::kLowerSequencerStep, report(9), 0, 5, 9},
        {"Lower is shown", P::kShownLayer, 1.0f, 1, 5, 9},
        {"Lower steps on", P::kLowerSequencerStep, report(10), 1, 5, 10},
        {"Upper, not shown", P::kUpperSequencerStep, report(6), 0, 6, 10},
        {"past the last step", P::kLowerSequencerStep, 1.0f, 1, 6, 31},
    };
    for (const Case& c : cases) {
        repaints = 0;
        gui.echo(c.id, c.value);
        EXPECT_EQ(repaints, c.repaints) << c.what;
        EXPECT_EQ(graph->getPlayStep(0), c.upperStep) << c.what;
        EXPECT_EQ(graph->getPlayStep(1), c.lowerStep) << c.what;
    }
    graph->setCachedComponentImage(nullptr);
}

// The playing step is drawn hollow, its neighbours filled; an accented step is brighter.
TEST_F(SequencerGraphTest, PlayingStepIsHollow) {
    for (int s : {3, 4, 5}) gui.echo(P::kSequencerFirstStep + s, 1.0f);
    graph->setStepAccent(5, true);
    gui.echo(P::kUpperSequencerStep, 3.5f / 32.0f);
    const juce::Image shot = snapshotOf(*graph);
    const auto alphaAt = [&](int step) { return shot.getPixelAt(20 + 10 * step, 50).getAlpha(); };
    EXPECT_EQ(alphaAt(3), 0) << "hollow";
    EXPECT_GT(alphaAt(4), 0);
    EXPECT_GT(alphaAt(5), alphaAt(4));
    EXPECT_GT(shot.getPixelAt(16 + 30, 50).getAlpha(), 0) << "its outline";
}

} // namespace
} // namespace corvex
