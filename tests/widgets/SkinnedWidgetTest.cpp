// The front panel's skinned widgets: their fixed sizes and parameter indices, the four-position knob's detent
// frames, the wheel's return to centre and the thumbs kept inside their sliders.
#include <cmath>
#include <functional>
#include <memory>

#include <gtest/gtest.h>

#include "tests/support/FakeGui.h"
#include "instrument/params/ParameterIndex.h"
#include "widgets/CvnBlueLedButton.h"
#include "widgets/CvnFlatKnob.h"
#include "widgets/CvnGreen2LedButton.h"
#include "widgets/CvnLeft4PosKnob.h"
#include "widgets/CvnLeftKnob.h"
#include "widgets/CvnLeftSlider.h"
#include "widgets/CvnLeftSwitch2Pos.h"
#include "widgets/CvnLfoButton.h"
#include "widgets/CvnMiddle4PosKnob.h"
#include "widgets/CvnMiddleKnob.h"
#include "widgets/CvnMiddleSlider.h"
#include "widgets/CvnOrangeLedButton.h"
#include "widgets/CvnRedLedButton.h"
#include "widgets/CvnRightSlider.h"
#include "widgets/CvnRightSwitch2Pos.h"
#include "widgets/CvnSwitch3Pos.h"
#include "widgets/CvnWheelKnob.h"
#include "widgets/CvnWhiteLedButton.h"
#include "widgets/CvnYellowLedButton.h"

namespace corvex {
namespace {

constexpr int kGiven = 77;

TEST(SkinnedWidgets, SizesAndIndicesAreFixed) {
    FakeGui gui;
    struct Case {
        const char* name;
        std::function<std::unique_ptr<juce::Component>()> make;
        int width;
        int height;
        int listenedIndex; // -1: hears no parameter
    };
    const auto knob = [&](auto* w) { return std::unique_ptr<juce::Component>(w); };
    const Case cases[] = {
        {"left 4-pos", [&] { return knob(new CvnLeft4PosKnob(&gui)); }, 48, 37, 211},
        {"middle 4-pos", [&] { return knob(new CvnMiddle4PosKnob(&gui, kGiven)); }, 48, 37, kGiven},
        {"left knob", [&] { return knob(new CvnLeftKnob(&gui, kGiven)); }, 48, 37, kGiven},
        {"middle knob", [&] { return knob(new CvnMiddleKnob(&gui, kGiven)); }, 48, 37, kGiven},
        {"flat knob", [&] { return knob(new CvnFlatKnob(&gui, kGiven)); }, 59, 51, kGiven},
        {"wheel", [&] { return knob(new CvnWheelKnob(&gui)); }, 72, 33, 978},
        {"left slider", [&] { return knob(new CvnLeftSlider(&gui, kGiven)); }, 25, 50, kGiven},
        {"middle slider", [&] { return knob(new CvnMiddleSlider(&gui, kGiven)); }, 25, 50, kGiven},
        {"right slider", [&] { return knob(new CvnRightSlider(&gui, kGiven)); }, 25, 50, kGiven},
        {"blue led", [&] { return knob(new CvnBlueLedButton(&gui)); }, 16, 26, -1},
        {"green led", [&] { return knob(new CvnGreen2LedButton(&gui, kGiven)); }, 16, 26, kGiven},
        {"orange led", [&] { return knob(new CvnOrangeLedButton(&gui, kGiven)); }, 16, 26, kGiven},
        {"red led", [&] { return knob(new CvnRedLedButton(&gui)); }, 16, 26, 1011},
        {"white led", [&] { return knob(new CvnWhiteLedButton(&gui)); }, 16, 26, -1},
        {"yellow led", [&] { return knob(new CvnYellowLedButton(&gui)); }, 16, 26, -1},
        {"lfo button", [&] { return knob(new CvnLfoButton(&gui)); }, 36, 18, 245},
        {"left 2-pos", [&] { return knob(new CvnLeftSwitch2Pos(&gui, kGiven)); }, 18, 31, kGiven},
        {"right 2-pos", [&] { return knob(new CvnRightSwitch2Pos(&gui, kGiven)); }, 21, 32, kGiven},
        {"3-pos", [&] { return knob(new CvnSwitch3Pos(&gui, kGiven)); }, 18, 31, kGiven},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto widget = c.make();
        EXPECT_EQ(widget->getWidth(), c.width);
        EXPECT_EQ(widget->getHeight(), c.height);
        for (const int index : {211, 245, 978, 1011, kGiven})
            EXPECT_EQ(gui.listenerCount(index), index == c.listenedIndex ? 1 : 0) << index;
        // Every widget shows something: its picture was found and decoded.
        const juce::Image shot = snapshotOf(*widget);
        int drawn = 0;
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x) drawn += shot.getPixelAt(x, y).getAlpha() > 0 ? 1 : 0;
        EXPECT_GT(drawn, 40);
    }
}

TEST(SkinnedWidgets, SwitchesKeepTheirPositionOrder) {
    FakeGui gui;
    CvnLeftSwitch2Pos left(&gui, kGiven);
    CvnRightSwitch2Pos right(&gui, kGiven);
    CvnSwitch3Pos three(&gui, kGiven);
    EXPECT_TRUE(left.isInverted());
    EXPECT_TRUE(right.isInverted());
    EXPECT_FALSE(three.isInverted());
    EXPECT_EQ(left.getPositionCount(), 2);
    EXPECT_EQ(three.getPositionCount(), 3);
}

TEST(SkinnedWidgets, RedLedReportsToTheEditorOnlyIndexAndBlueToNothing) {
    FakeGui gui;
    CvnRedLedButton red(&gui);
    red.triggerClick();
    pumpMessages(20);
    ASSERT_FALSE(gui.edits.empty());
    for (const auto& e : gui.edits) EXPECT_EQ(e.index, 1011);
    gui.edits.clear();
    CvnBlueLedButton blue(&gui);
    blue.triggerClick();
    pumpMessages(20);
    EXPECT_TRUE(blue.getToggleState()) << "an unbound button still toggles";
    EXPECT_TRUE(gui.edits.empty());
}

TEST(FourPositionKnob, ShowsOnlyTheDetentFrames) {
    struct Case {
        float value;
        int frame;
    };
    const Case cases[] = {{1.0f, 43}, {0.2499f, 24}, {0.25f, 30}, {-0.1f, 24}, {0.5f, 37}, {0.7499f, 37},
                          {0.75f, 43}, {0.0f, 24}};
    FakeGui gui;
    CvnMiddle4PosKnob knob(&gui, kGiven);
    const juce::Image strip = juce::ImageCache::getFromMemory(CorvexArtwork::knob_middle_png,
                                                             CorvexArtwork::knob_middle_pngSize);
    const int h = strip.getHeight() / 64;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        gui.echo(kGiven, c.value);
        EXPECT_EQ(knob.getShownFrame(), c.frame);
        // What is drawn is that frame of the strip, unscaled at the origin.
        const juce::Image shot = snapshotOf(knob);
        int differing = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < strip.getWidth(); ++x)
                differing += shot.getPixelAt(x, y) != strip.getPixelAt(x, c.frame * h + y) ? 1 : 0;
        EXPECT_EQ(differing, 0);
    }
    EXPECT_EQ(Cvn4PosKnob::frameForValue(std::nan("")), 24);
    // Dragged, the knob shows the position of the value it now holds.
    knob.setValue(0.6, juce::dontSendNotification);
    EXPECT_EQ(knob.getShownFrame(), 37);
}

TEST(WheelKnob, SpringsBackToTheCentreWhenReleased) {
    FakeGui gui;
    gui.values[ParameterIndex::kPitchWheel] = 0.5f;
    CvnWheelKnob wheel(&gui);
    ASSERT_TRUE(wheel.hasSpringBack());
    wheel.mouseDown(mouseEvent(wheel, {36, 16}));
    wheel.mouseDrag(mouseEvent(wheel, {36, -84}, {}, {36, 16}));
    ASSERT_GT(wheel.getValue(), 0.8);
    wheel.mouseUp(mouseEvent(wheel, {36, -84}, {}, {36, 16}));
    for (int tick = 0; tick < 20 && wheel.isTimerRunning(); ++tick) {
        wheel.timerCallback();
        pumpMessages(5);
    }
    EXPECT_EQ(wheel.getValue(), 0.5);
    EXPECT_FALSE(wheel.isTimerRunning());
    const auto values = gui.editsOfKind(MVGuiInterface::kNewValue);
    ASSERT_FALSE(values.empty());
    EXPECT_EQ(values.back().value, 0.5f) << "the instrument hears the wheel come to rest";
}

TEST(SkinnedSlider, AThumbWiderThanTheSliderKeepsItsCapInside) {
    FakeGui gui;
    CvnMiddleSlider slider(&gui, kGiven); // a 29-pixel thumb on a 25-pixel slider
    slider.setValue(0.5, juce::dontSendNotification);
    const juce::Image shot = snapshotOf(slider);
    const int y = slider.getThumbY() + 13 / 2;
    int left = 25;
    int right = -1;
    for (int x = 0; x < 25; ++x)
        if (shot.getPixelAt(x, y).getAlpha() > 200) {
            left = std::min(left, x);
            right = std::max(right, x);
        }
    ASSERT_GE(right, 0);
    EXPECT_GT(left, 0) << "the cap's left edge is visible";
    EXPECT_LT(right, 24) << "the cap's right edge is visible";
    EXPECT_LE(std::abs(left + right - 24), 1) << "centred on the slider";
}

} // namespace
} // namespace corvex
