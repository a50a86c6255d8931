// The LCD widgets: what the bound ones send and show, the tool-bar tooltip, the LFO LED's opacity and the knob's
// tick marks.
#include <memory>

#include <gtest/gtest.h>

#include "tests/support/FakeGui.h"
#include "widgets/CvnLcdButton.h"
#include "widgets/CvnLcdComboBox.h"
#include "widgets/CvnLcdKnob.h"
#include "widgets/CvnLcdNumericalSwitch.h"
#include "widgets/CvnLcdToolBarRandomButton.h"
#include "widgets/CvnLcdToolBarSaveButton.h"
#include "widgets/CvnPenIcon.h"
#include "widgets/CvnRandomIcon.h"
#include "widgets/CvnRubberIcon.h"
#include "widgets/CvnLfoLed.h"
#include "widgets/CvnSmallLcdCheckBox.h"

namespace corvex {
namespace {

constexpr int kIndex = 33;

class ComboFixture : public ::testing::Test {
protected:
    ComboFixture() {
        for (int id = 1; id <= 4; ++id) box.addItem("item " + juce::String(id), id);
    }
    FakeGui gui;
    CvnLcdComboBox box{"combo", &gui, kIndex};
};

TEST_F(ComboFixture, InertUntilSetUpThenSendsItemCentres) {
    EXPECT_EQ(gui.listenerCount(kIndex), 0);
    box.setSelectedId(2, juce::sendNotificationSync);
    EXPECT_TRUE(gui.edits.empty()) << "not set up yet";

    gui.values[kIndex] = 0.6f;
    box.setUp();
    EXPECT_EQ(box.getNumSteps(), 4);
    EXPECT_EQ(box.getSelectedId(), 3) << "trunc(4 x 0.6) = 2, the third item";
    EXPECT_TRUE(gui.edits.empty()) << "setting up sends nothing";
    EXPECT_EQ(gui.listenerCount(kIndex), 1);

    const float centres[] = {0.125f, 0.375f, 0.625f, 0.875f};
    for (int id = 1; id <= 4; ++id) {
        gui.edits.clear();
        box.setSelectedId(id == 1 ? 2 : 1, juce::dontSendNotification);
        box.setSelectedId(id, juce::sendNotificationSync);
        ASSERT_EQ(gui.edits.size(), 1u) << id;
        EXPECT_EQ(gui.edits[0].kind, MVGuiInterface::kNewValue);
        EXPECT_EQ(gui.edits[0].index, kIndex);
        EXPECT_FLOAT_EQ(gui.edits[0].value, centres[id - 1]);
    }
}

TEST_F(ComboFixture, IgnoresNoSelection) {
    box.setUp(4);
    gui.edits.clear();
    box.setSelectedId(0, juce::sendNotificationSync);
    box.clear(juce::sendNotificationSync);
    EXPECT_TRUE(gui.edits.empty()) << "clearing the selection is no choice";
}

TEST_F(ComboFixture, EchoSelectsTheItemOfTheValueSilently) {
    box.setUp(4);
    struct Case {
        float value;
        int id;
    };
    const Case cases[] = {{0.0f, 1}, {0.2499f, 1}, {0.25f, 2}, {0.74f, 3}, {0.999f, 4}, {1.0f, 4}, {-0.3f, 1},
                          {7.0f, 4}};
    for (const Case& c : cases) {
        gui.echo(kIndex, c.value);
        EXPECT_EQ(box.getSelectedId(), c.id) << c.value;
    }
    EXPECT_TRUE(gui.edits.empty()) << "an echo is not sent back";
}

TEST(LcdComboBox, DestructorUndoesOnlyWhatSetUpDid) {
    FakeGui gui;
    { CvnLcdComboBox inert("combo", &gui, kIndex); }
    {
        CvnLcdComboBox box("combo", &gui, kIndex);
        box.addItem("a", 1);
        box.setUp();
        box.setUp(); // a second set-up does not register twice
        EXPECT_EQ(gui.listenerCount(kIndex), 1);
    }
    EXPECT_EQ(gui.listenerCount(kIndex), 0);
}

// With no items there are no steps: nothing to select and nothing to send.
TEST(LcdComboBox, EmptyBoxSendsNothing) {
    FakeGui gui;
    CvnLcdComboBox box("combo", &gui, kIndex);
    box.setUp();
    gui.echo(kIndex, 0.5f);
    EXPECT_EQ(box.getSelectedId(), 0);
    EXPECT_TRUE(gui.edits.empty());

    // Items but zero steps: no step centre exists.
    CvnLcdComboBox zero("combo", &gui, kIndex);
    zero.addItem("a", 1);
    zero.addItem("b", 2);
    zero.setUp(0);
    zero.setSelectedId(2, juce::sendNotificationSync);
    EXPECT_TRUE(gui.edits.empty());
}

TEST(LcdNumericalSwitch, ShowsOneToSixteen) {
    FakeGui gui;
    CvnLcdNumericalSwitch sw(&gui, kIndex, 1, 16);
    for (int k = 0; k < 16; ++k) {
        gui.echo(kIndex, (static_cast<float>(k) + 0.5f) / 16.0f);
        EXPECT_EQ(sw.shownNumber(), k + 1);
    }
    struct Case {
        float value;
        int shown;
    };
    const Case edges[] = {{0.0f, 1}, {1.0f, 16}, {0.9374f, 15}, {0.9375f, 16}, {0.0624f, 1}, {0.0625f, 2}};
    for (const Case& c : edges) {
        gui.echo(kIndex, c.value);
        EXPECT_EQ(sw.shownNumber(), c.shown) << c.value;
    }
}

// The numbers are drawn: at 1.0 the text "16" puts light ink in the middle of the box, at 0 the single "1"
// leaves the spot where the "6" would be dark.
TEST(LcdNumericalSwitch, DrawsTheNumberInLightText) {
    FakeGui gui;
    CvnLcdNumericalSwitch sw(&gui, kIndex, 1, 16);
    sw.setBounds(0, 0, 40, 20);
    const auto lightPixels = [&](float value) {
        gui.echo(kIndex, value);
        const juce::Image shot = snapshotOf(sw);
        int n = 0;
        for (int y = 4; y < 16; ++y)
            for (int x = 23; x < 30; ++x) n += shot.getPixelAt(x, y).getBrightness() > 0.6f ? 1 : 0;
        return n;
    };
    EXPECT_GT(lightPixels(1.0f), 3) << "the 6 of 16";
    EXPECT_EQ(lightPixels(0.0f), 0) << "only a 1, left of the probed area";
}

// Both bound two-state LCD buttons start on from 0.5 (the value's lower half is off) but need more than 0.6
// from an echo.
template <typename Button>
std::unique_ptr<Button> makeButton(FakeGui& gui, int index);
template <>
std::unique_ptr<CvnLcdButton> makeButton(FakeGui& gui, int index) {
    return std::make_unique<CvnLcdButton>("button", &gui, index);
}
template <>
std::unique_ptr<CvnSmallLcdCheckBox> makeButton(FakeGui& gui, int index) {
    return std::make_unique<CvnSmallLcdCheckBox>(&gui, index);
}

template <typename Button>
class TwoStateLcdButton : public ::testing::Test {};
using TwoStateTypes = ::testing::Types<CvnLcdButton, CvnSmallLcdCheckBox>;
TYPED_TEST_SUITE(TwoStateLcdButton, TwoStateTypes);

TYPED_TEST(TwoStateLcdButton, ConstructAndEchoThresholdsDiffer) {
    struct Case {
        float value;
        bool onAtStart;
        bool onAfterEcho;
    };
    const Case cases[] = {{0.0f, false, false}, {0.49f, false, false}, {0.5f, true, false}, {0.55f, true, false},
                          {0.6f, true, false},  {0.61f, true, true},  {1.0f, true, true}};
    for (const Case& c : cases) {
        FakeGui gui;
        gui.values[kIndex] = c.value;
        auto button = makeButton<TypeParam>(gui, kIndex);
        EXPECT_EQ(button->getToggleState(), c.onAtStart) << "start from " << c.value;
        gui.echo(kIndex, c.onAfterEcho ? 0.0f : 1.0f);
        gui.echo(kIndex, c.value);
        EXPECT_EQ(button->getToggleState(), c.onAfterEcho) << "echo of " << c.value;
        EXPECT_TRUE(gui.edits.empty()) << "echoes are not sent back";
    }
}

TYPED_TEST(TwoStateLcdButton, ClickSendsOneOrZeroWhenBound) {
    FakeGui gui;
    {
        auto button = makeButton<TypeParam>(gui, kIndex);
        button->triggerClick();
        pumpMessages(20);
        button->triggerClick();
        pumpMessages(20);
        ASSERT_EQ(gui.edits.size(), 2u);
        EXPECT_EQ(gui.edits[0].value, 1.0f);
        EXPECT_EQ(gui.edits[1].value, 0.0f);
        EXPECT_EQ(gui.edits[0].kind, MVGuiInterface::kNewValue);
        EXPECT_EQ(gui.listenerCount(kIndex), 1);
    }
    EXPECT_EQ(gui.listenerCount(kIndex), 0);

    gui.edits.clear();
    auto unbound = makeButton<TypeParam>(gui, -1);
    unbound->triggerClick();
    pumpMessages(20);
    EXPECT_TRUE(unbound->getToggleState()) << "still toggles";
    EXPECT_TRUE(gui.edits.empty());
}

struct BubbleGui : FakeGui {
    int textShown = 0;
    int textHidden = 0;
    juce::String text;
    juce::Component* at = nullptr;
    void showTextBubble(const juce::String& t, juce::Component* c) override {
        ++textShown;
        text = t;
        at = c;
    }
    void hideTextBubble() override { ++textHidden; }
};

class ToolBarFixture : public ::testing::Test {
protected:
    ToolBarFixture() {
        button.setBounds(0, 0, 24, 24);
        button.setClock([this] { return now; });
        gui.settings[guisettings::kPopupDelayTime] = "300";
    }
    void enter() { button.mouseEnter(mouseEvent(button, {5, 5})); }
    void exit() { button.mouseExit(mouseEvent(button, {30, 30})); }
    void tickAt(juce::uint32 t) {
        now = t;
        button.timerCallback();
    }
    BubbleGui gui;
    juce::uint32 now = 1000;
    CvnLcdToolBarSaveButton button{"Save patch", &gui};
};

TEST_F(ToolBarFixture, TooltipAfterTheDelayThenTimerStops) {
    enter();
    EXPECT_TRUE(button.isTimerRunning());
    tickAt(1300);
    EXPECT_EQ(gui.textShown, 0) << "exactly the delay is not yet past it";
    tickAt(1301);
    EXPECT_EQ(gui.textShown, 1);
    EXPECT_EQ(gui.text, "Save patch");
    EXPECT_EQ(gui.at, &button);
    EXPECT_TRUE(button.isTimerRunning());
    tickAt(1400);
    EXPECT_FALSE(button.isTimerRunning()) << "stops one tick after showing";
    EXPECT_EQ(gui.textShown, 1);
    exit();
    EXPECT_EQ(gui.textHidden, 1);
}

TEST_F(ToolBarFixture, HoverSettingOffShowsNothingButExitStillHides) {
    gui.settings[guisettings::kShowPopupOnOver] = guisettings::kNo;
    enter();
    EXPECT_FALSE(button.isTimerRunning());
    tickAt(5000);
    EXPECT_EQ(gui.textShown, 0);
    exit();
    EXPECT_EQ(gui.textHidden, 1);
}

TEST_F(ToolBarFixture, LeavingEarlyCancelsTheTooltip) {
    enter();
    tickAt(1100);
    exit();
    EXPECT_EQ(gui.textHidden, 1);
    tickAt(2000);
    EXPECT_EQ(gui.textShown, 0);
    EXPECT_FALSE(button.isTimerRunning());
}

// The counter wraps after 49 days; a hover that straddles the wrap still shows its tooltip.
TEST_F(ToolBarFixture, TooltipAcrossTheCounterWrap) {
    now = 0xFFFFFF00u;
    enter();
    tickAt(0x00000100u);
    EXPECT_EQ(gui.textShown, 1);
}

TEST(ToolBarIcons, PicturesHaveTheirSizesAndInk) {
    struct Case {
        juce::Image image;
        int width, height;
    };
    const Case cases[] = {{CvnPenIcon::get(), 14, 14}, {CvnRubberIcon::get(), 13, 9}, {CvnRandomIcon::get(), 20, 20}};
    for (const Case& c : cases) {
        ASSERT_TRUE(c.image.isValid());
        EXPECT_EQ(c.image.getWidth(), c.width);
        EXPECT_EQ(c.image.getHeight(), c.height);
        int ink = 0;
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x) ink += c.image.getPixelAt(x, y).getAlpha() > 128 ? 1 : 0;
        EXPECT_GT(ink, c.width * c.height / 10) << c.width << " x " << c.height;
        EXPECT_LT(ink, c.width * c.height) << "a picture, not a block";
    }
}

// The picture is centred and filled with the icon colour: grey on the dark face, dark on the grey face when on.
// The die's middle pip lies at (10, 10) of the 20 x 20 picture, (12, 12) of a 24 x 24 button; (6, 12) is inside
// the die but on no pip.
TEST(ToolBarIcons, IconTakesTheIconColour) {
    FakeGui gui;
    CvnLcdToolBarRandomButton button("Random", &gui);
    button.setBounds(0, 0, 24, 24);
    const auto at = [&](int x, int y) { return snapshotOf(button).getPixelAt(x, y).getARGB(); };
    EXPECT_EQ(at(12, 12), 0xFF9B9B9Bu);
    EXPECT_EQ(at(6, 12), 0xFF1B1B1Bu);
    button.setToggleState(true, juce::dontSendNotification);
    EXPECT_EQ(at(12, 12), 0xFF1B1B1Bu);
    EXPECT_EQ(at(6, 12), 0xFF9B9B9Bu);
}

TEST(LfoLed, OpacityFollowsTheValue) {
    FakeGui gui;
    gui.values[1012] = 1.0f;
    const juce::Image lit = CvnLfoLed::litImage();
    ASSERT_EQ(lit.getWidth(), 12);
    ASSERT_EQ(lit.getHeight(), 13);
    const int cx = 6;
    const int cy = 6;
    const int litAlpha = lit.getPixelAt(cx, cy).getAlpha();
    ASSERT_EQ(litAlpha, 255) << "the lit picture is opaque in the middle";

    CvnLfoLed led(&gui, 1012);
    EXPECT_EQ(led.getWidth(), 12);
    EXPECT_EQ(led.getHeight(), 13);
    EXPECT_EQ(gui.listenerCount(1012), 1);
    struct Case {
        float value;
        int alpha;
    };
    const Case cases[] = {{1.0f, 255}, {0.5f, 128}, {0.25f, 64}, {0.0f, 0}};
    bool first = true;
    for (const Case& c : cases) {
        if (!first) gui.echo(1012, c.value); // the first case is the start value
        first = false;
        const juce::Image shot = snapshotOf(led);
        EXPECT_NEAR(shot.getPixelAt(cx, cy).getAlpha(), c.alpha, 2) << c.value;
        if (c.value == 0.0f) {
            int ink = 0;
            for (int y = 0; y < shot.getHeight(); ++y)
                for (int x = 0; x < shot.getWidth(); ++x) ink += shot.getPixelAt(x, y).getAlpha();
            EXPECT_EQ(ink, 0) << "invisible at 0";
        }
    }
}

TEST(LfoLed, UnregistersWhenDeleted) {
    FakeGui gui;
    { CvnLfoLed led(&gui, 1013); }
    EXPECT_EQ(gui.listenerCount(1013), 0);
}

// Ticks reach 3 pixels beyond the circle's radius on the right at mid height; a 30-pixel knob draws them, a
// 29-pixel knob does not (there the right tick would run from x 26 to 28 round y 13 to 14).
TEST(LcdKnob, TickMarksOnlyFromWidthThirty) {
    struct Case {
        int width;
        int x, y;
        bool ink;
    };
    const Case cases[] = {{30, 28, 14, true}, {29, 27, 13, false}, {40, 37, 19, true}, {20, 17, 9, false}};
    for (const Case& c : cases) {
        FakeGui gui;
        CvnLcdKnob knob(&gui, kIndex);
        knob.setBounds(0, 0, c.width, c.width);
        const juce::Image shot = snapshotOf(knob);
        EXPECT_EQ(shot.getPixelAt(c.x, c.y).getAlpha() > 128, c.ink) << "width " << c.width;
    }
}

// 40 pixels: tick 4, radius 12, centre 20. At 0.5 the pointer runs up to (19, 8) (sin pi in single precision
// is just below 0, and the end point is truncated); at 0 it points to the lower left.
TEST(LcdKnob, PointerFollowsTheValue) {
    FakeGui gui;
    CvnLcdKnob knob(&gui, kIndex);
    knob.setBounds(0, 0, 40, 40);
    const auto inkAt = [&](float value, int x, int y) {
        gui.echo(kIndex, value);
        return snapshotOf(knob).getPixelAt(x, y).getAlpha() > 128;
    };
    EXPECT_TRUE(inkAt(0.5f, 19, 12));
    EXPECT_FALSE(inkAt(0.0f, 19, 12));
    EXPECT_TRUE(inkAt(0.0f, 16, 26)) << "half way to (14, 30)";
    EXPECT_TRUE(inkAt(1.0f, 24, 26)) << "half way to (26, 30)";
}

} // namespace
} // namespace corvex
