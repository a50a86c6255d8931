// The about panel: its two bubble switches read and write the GUI preferences, its close button asks the
// editor to hide it, and its credits roll by the clock, pausing after each show and coming round again.
#include <gtest/gtest.h>

#include "editor/lcd/CorvanAboutPanel.h"
#include "instrument/params/ParameterIndex.h"
#include "tests/support/FakeGui.h"

namespace corvex {
namespace {

// A click as the user makes it, through the message queue, done when this returns.
void clickNow(juce::Button& button) {
    button.triggerClick();
    juce::MessageManager::getInstance()->runDispatchLoopUntil(20);
}

// Rows of the view with any ink in them, of the rows from `from` to `to`.
int inkedRows(juce::Component& view, int from, int to) {
    const juce::Image image = snapshotOf(view);
    int rows = 0;
    for (int y = from; y < to; ++y)
        for (int x = 0; x < image.getWidth(); ++x)
            if (image.getPixelAt(x, y).getAlpha() > 0) {
                ++rows;
                break;
            }
    return rows;
}

TEST(AboutPanel, BubbleSwitchesShowTheirSettingsAndWriteThemWhenClicked) {
    struct Case {
        const char* overStored; // nullptr: absent
        const char* clickStored;
        bool overOn, clickOn;
    };
    const Case cases[] = {
        {nullptr, nullptr, true, true},
        {"no", nullptr, false, true},
        {nullptr, "no", true, false},
        {"yes", "something else", true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(juce::String(c.overStored) + "/" + juce::String(c.clickStored));
        FakeGui gui;
        if (c.overStored != nullptr) gui.settings[guisettings::kShowPopupOnOver] = c.overStored;
        if (c.clickStored != nullptr) gui.settings[guisettings::kShowPopupOnClick] = c.clickStored;
        CorvanAboutPanel about(&gui);
        EXPECT_EQ(about.getPopupOnOverButton().getToggleState(), c.overOn);
        EXPECT_EQ(about.getPopupOnClickButton().getToggleState(), c.clickOn);

        struct Switch {
            juce::Button& button;
            const char* key;
            bool startsOn;
        };
        for (const Switch& s : {Switch{about.getPopupOnOverButton(), guisettings::kShowPopupOnOver, c.overOn},
                                Switch{about.getPopupOnClickButton(), guisettings::kShowPopupOnClick, c.clickOn}}) {
            SCOPED_TRACE(s.key);
            clickNow(s.button);
            EXPECT_EQ(gui.settings[s.key], s.startsOn ? "no" : "yes");
            EXPECT_EQ(s.button.getToggleState(), !s.startsOn);
            clickNow(s.button);
            EXPECT_EQ(gui.settings[s.key], s.startsOn ? "yes" : "no");
            EXPECT_EQ(s.button.getToggleState(), s.startsOn);
        }
        EXPECT_TRUE(gui.edits.empty()) << "the switches edit no parameter";
    }
}

TEST(AboutPanel, BubbleSwitchesDrawTheirStateInGrey) {
    FakeGui gui;
    gui.settings[guisettings::kShowPopupOnClick] = "no";
    CorvanAboutPanel about(&gui);
    juce::Button& on = about.getPopupOnOverButton();
    juce::Button& off = about.getPopupOnClickButton();
    ASSERT_EQ(on.getBounds(), juce::Rectangle<int>(222, 122, 43, 16));
    ASSERT_EQ(off.getBounds(), juce::Rectangle<int>(222, 102, 43, 16));
    const juce::Image onPicture = snapshotOf(on), offPicture = snapshotOf(off);
    int onInk = 0, offInk = 0, differing = 0, notGrey = 0;
    for (int y = 0; y < onPicture.getHeight(); ++y)
        for (int x = 0; x < onPicture.getWidth(); ++x) {
            const juce::Colour a = onPicture.getPixelAt(x, y), b = offPicture.getPixelAt(x, y);
            onInk += a.getAlpha() > 128 ? 1 : 0;
            offInk += b.getAlpha() > 128 ? 1 : 0;
            differing += a != b ? 1 : 0;
            notGrey += a.getAlpha() == 255 && a.getRed() != 0x9B ? 1 : 0;
        }
    EXPECT_GT(onInk, 100);
    EXPECT_GT(offInk, 40);
    EXPECT_GT(differing, 100) << "on and off look different";
    EXPECT_EQ(notGrey, 0) << "drawn as a grey mask";
}

TEST(AboutPanel, TheCloseButtonAsksTheEditorToHideThePanel) {
    FakeGui gui;
    CorvanAboutPanel about(&gui);
    about.setVisible(true);
    clickNow(about.getCloseButton());
    ASSERT_EQ(gui.edits.size(), 1u);
    EXPECT_EQ(gui.edits[0].kind, MVGuiInterface::kNewValue);
    EXPECT_EQ(gui.edits[0].index, ParameterIndex::kAboutShown);
    EXPECT_EQ(gui.edits[0].value, 0.0f);
    EXPECT_TRUE(gui.settings.empty());
    EXPECT_EQ(about.getCloseButton().getBounds(), juce::Rectangle<int>(688, 15, 12, 12));
}

TEST(AboutPanel, CreditsPauseAfterEachShowThenRollByTheClockAndComeRoundAgain) {
    FakeGui gui;
    juce::uint32 now = 70000;
    CorvanAboutPanel about(&gui, [&now] { return now; });
    CScrollableText& credits = about.getCredits();
    EXPECT_FALSE(credits.isTimerRunning()) << "a hidden panel runs no timer";
    const int h = credits.getHeight();
    ASSERT_EQ(h, 130);

    about.setVisible(true);
    EXPECT_TRUE(credits.isTimerRunning());
    const int H = credits.getImageHeight();
    ASSERT_GT(H, 2 * h) << "more credits than one view";
    const juce::uint32 shown = now;
    struct Step {
        juce::uint32 elapsed; // since the show
        int offset;
    };
    const auto rolled = [&](int rows) { return static_cast<juce::uint32>(1000 + 100 * rows); };
    const Step steps[] = {
        {0, h},
        {1000, h},                  // still in the pause
        {1099, h},
        {1100, h + 1},
        {1350, h + 3},              // by elapsed time, not by ticks
        {rolled(H - h), H},
        {rolled(H - h + 1), 1},     // past the end: round to the blank lead-in
        {rolled(H - h + h / 2), h / 2},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.elapsed);
        now = shown + s.elapsed;
        credits.timerCallback();
        EXPECT_EQ(credits.getOffset(), s.offset);
    }
    // Half way through the lead-in the text rises from the bottom edge into an otherwise blank view.
    EXPECT_EQ(inkedRows(credits, 0, h / 2 - 1), 0);
    EXPECT_GT(inkedRows(credits, h / 2, h), 0);

    about.setVisible(false);
    EXPECT_FALSE(credits.isTimerRunning());
    now += 5000;
    about.setVisible(true);
    EXPECT_EQ(credits.getOffset(), h) << "every show starts from the first line";
    EXPECT_GT(inkedRows(credits, 0, 14), 0) << "the first line at the top of the view";
    now += 900;
    credits.timerCallback();
    EXPECT_EQ(credits.getOffset(), h);
    ASSERT_TRUE(keepSnapshot(snapshotOf(about), "editor-about-panel.png"));
}

} // namespace
} // namespace corvex
