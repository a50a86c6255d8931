// Knobs and sliders under the mouse: gestures, echoes while dragging, ctrl-click for MIDI learn, the spring-back
// glide and the delayed hover bubble, with the timer running only while something needs it.
#include <vector>

#include <gtest/gtest.h>

#include "EditorFixture.h"
#include "tests/support/FakeGui.h"
#include "widgets/MVKnob.h"
#include "widgets/MVSlider.h"

namespace corvex {
namespace {

constexpr int kIndex = 17;

struct SpringKnob : MVKnob {
    SpringKnob(MVGuiInterface* gui, int index) : MVKnob(gui, index) { setSpringBack(true); }
};

class KnobFixture : public ::testing::Test {
protected:
    KnobFixture() {
        knob.setBounds(0, 0, 40, 40);
        knob.setClock([this] { return now; });
    }
    void press(juce::ModifierKeys mods = {}) { knob.mouseDown(mouseEvent(knob, {20, 20}, mods)); }
    // The library gives the full range over 250 pixels of vertical travel.
    void dragUp(float pixels) { knob.mouseDrag(mouseEvent(knob, {20, 20 - pixels}, {}, {20, 20})); }
    void release() { knob.mouseUp(mouseEvent(knob, {20, 20}, {}, {20, 20})); }

    FakeGui gui = [] {
        FakeGui g;
        g.values[kIndex] = 0.25f;
        return g;
    }();
    juce::uint32 now = 5000;
    MVKnob knob{&gui, kIndex};
};

TEST_F(KnobFixture, PressDragReleaseReportBeginValuesAndEnd) {
    EXPECT_EQ(knob.getValue(), 0.25) << "starts from the parameter";
    EXPECT_EQ(gui.listenerCount(kIndex), 1);
    press();
    EXPECT_EQ(gui.bubbleShown, 1) << "a click shows the bubble";
    dragUp(25.0f);
    release();
    ASSERT_GE(gui.edits.size(), 3u);
    EXPECT_EQ(gui.edits.front().kind, MVGuiInterface::kGestureBegin);
    EXPECT_EQ(gui.edits.back().kind, MVGuiInterface::kGestureEnd);
    EXPECT_NEAR(gui.edits.back().value, 0.35, 1e-6);
    const auto values = gui.editsOfKind(MVGuiInterface::kNewValue);
    ASSERT_FALSE(values.empty());
    EXPECT_NEAR(values.back().value, 0.35, 1e-6);
    EXPECT_EQ(gui.bubbleHidden, 1);

    gui.settings[guisettings::kShowPopupOnClick] = guisettings::kNo;
    press();
    EXPECT_EQ(gui.bubbleShown, 1) << "the preference turns the click bubble off";
    release();
}

TEST_F(KnobFixture, AnEchoNeverMovesAKnobBeingDragged) {
    press();
    dragUp(50.0f);
    const double dragged = knob.getValue();
    gui.echo(kIndex, 0.9f);
    EXPECT_EQ(knob.getValue(), dragged);
    release();
    EXPECT_EQ(knob.getValue(), dragged) << "the release itself moves nothing";
    gui.echo(kIndex, 0.9f);
    EXPECT_EQ(knob.getValue(), 0.9);
    EXPECT_EQ(gui.editsOfKind(MVGuiInterface::kNewValue).size(), 1u) << "an echo is not sent back";
}

TEST_F(KnobFixture, CtrlClickOpensMidiLearnAndNeverDrags) {
    // A real drag first leaves the library's drag state behind.
    press();
    dragUp(25.0f);
    release();
    const double before = knob.getValue();
    gui.edits.clear();

    press(kCtrl);
    EXPECT_EQ(gui.midiSettingsShown, 1);
    EXPECT_EQ(gui.midiSettingsIndex, kIndex);
    dragUp(100.0f);
    EXPECT_EQ(knob.getValue(), before);
    release();
    EXPECT_EQ(knob.getValue(), before);
    ASSERT_EQ(gui.edits.size(), 1u) << "only the release rule's gesture end";
    EXPECT_EQ(gui.edits[0].kind, MVGuiInterface::kGestureEnd);
}

TEST_F(KnobFixture, HoverShowsTheBubbleOnceTheDelayHasPassed) {
    gui.settings[guisettings::kPopupDelayTime] = "300";
    knob.mouseEnter(mouseEvent(knob, {20, 20}));
    EXPECT_TRUE(knob.isTimerRunning());
    now += 300;
    knob.timerCallback();
    EXPECT_EQ(gui.bubbleShown, 0) << "not before the delay has passed";
    now += 1;
    knob.timerCallback();
    EXPECT_EQ(gui.bubbleShown, 1);
    EXPECT_EQ(gui.bubbleIndex, kIndex);
    EXPECT_EQ(gui.bubbleAt, &knob);
    EXPECT_FALSE(knob.isTimerRunning()) << "nothing left to wait for";

    // Across the counter's wrap.
    now = 0xFFFFFF00u;
    knob.mouseEnter(mouseEvent(knob, {20, 20}));
    now = 0x100u;
    knob.timerCallback();
    EXPECT_EQ(gui.bubbleShown, 2);

    knob.mouseEnter(mouseEvent(knob, {20, 20}));
    knob.mouseExit(mouseEvent(knob, {20, 20}));
    EXPECT_FALSE(knob.isTimerRunning());
    EXPECT_FALSE(knob.isHoverPending());

    gui.settings[guisettings::kShowPopupOnOver] = guisettings::kNo;
    knob.mouseEnter(mouseEvent(knob, {20, 20}));
    EXPECT_FALSE(knob.isTimerRunning());
    EXPECT_FALSE(knob.isHoverPending());
}

TEST_F(KnobFixture, APressCancelsThePendingHover) {
    knob.mouseEnter(mouseEvent(knob, {20, 20}));
    press();
    now += 5000;
    knob.timerCallback();
    EXPECT_EQ(gui.bubbleShown, 1) << "only the click's bubble";
    EXPECT_FALSE(knob.isTimerRunning());
    release();
}

TEST(SliderHover, SliderHoverUsesTheDelayAndStopsOnExit) {
    FakeGui gui;
    juce::uint32 now = 100;
    MVSlider slider(&gui, kIndex);
    slider.setClock([&] { return now; });
    slider.mouseEnter(mouseEvent(slider, {1, 1}));
    now += 1001;
    slider.timerCallback();
    EXPECT_EQ(gui.bubbleShown, 1) << "the default delay is one second";
    EXPECT_FALSE(slider.isTimerRunning());
    slider.mouseEnter(mouseEvent(slider, {1, 1}));
    slider.mouseExit(mouseEvent(slider, {1, 1}));
    EXPECT_FALSE(slider.isTimerRunning());
    EXPECT_EQ(gui.bubbleHidden, 1);
}

TEST(SpringBack, ReleasedAtPointNineGlidesBackOneStepPerTick) {
    FakeGui gui;
    gui.values[kIndex] = 0.9f;
    SpringKnob knob(&gui, kIndex);
    knob.setBounds(0, 0, 40, 40);
    knob.mouseDown(mouseEvent(knob, {20, 20}));
    knob.timerCallback(); // while dragging it does not glide
    EXPECT_EQ(knob.getValue(), 0.9);
    knob.mouseUp(mouseEvent(knob, {20, 20}, {}, {20, 20}));
    ASSERT_TRUE(knob.isTimerRunning());

    // No message loop runs between the ticks, so the library's timer cannot add a step of its own.
    std::vector<double> shown;
    std::vector<bool> running;
    for (int tick = 0; tick < 5; ++tick) {
        knob.timerCallback();
        shown.push_back(knob.getValue());
        running.push_back(knob.isTimerRunning());
    }
    ASSERT_EQ(shown.size(), 5u);
    EXPECT_NEAR(shown[0], 0.7, 1e-9);
    EXPECT_NEAR(shown[1], 0.6, 1e-9);
    EXPECT_NEAR(shown[2], 0.55, 1e-9) << "0.55 is just over 0.05 from the centre: one more step";
    EXPECT_EQ(shown[3], 0.5);
    EXPECT_EQ(shown[4], 0.5);
    EXPECT_EQ(running, (std::vector<bool>{true, true, true, false, false}));

    // Each step goes out through the widget's own value handling, later on the message loop.
    ASSERT_TRUE(pumpUntil([&] {
        const auto values = gui.editsOfKind(MVGuiInterface::kNewValue);
        return !values.empty() && values.back().value == 0.5f;
    }));
}

TEST(ParameterIndex, MovingTheIndexMovesTheRegistrationNotTheValue) {
    FakeGui gui;
    gui.values[3] = 0.3f;
    gui.values[4] = 0.8f;
    MVSlider slider(&gui, 3);
    slider.setParameterIndex(4);
    EXPECT_EQ(gui.listenerCount(3), 0);
    EXPECT_EQ(gui.listenerCount(4), 1);
    EXPECT_NEAR(slider.getValue(), 0.3, 1e-9);
    gui.echo(4, 0.6f);
    EXPECT_NEAR(slider.getValue(), 0.6, 1e-6);
    slider.setValue(0.1, juce::sendNotificationSync);
    ASSERT_EQ(gui.edits.size(), 1u);
    EXPECT_EQ(gui.edits[0].index, 4);
}

} // namespace
} // namespace corvex
