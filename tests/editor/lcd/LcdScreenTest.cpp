// The LCD screen in its holder: the page it opens on and the page it reports, the effects and modulations
// frames with their tabs and sub-pages, the layout at the screen's size and snapshots of every page. The
// sub-pages are only ever looked at as components: created, placed, shown or hidden.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "editor/CorvanPresetPanel.h"
#include "editor/lcd/CorvanExtraPanel.h"
#include "editor/lcd/CorvanMainEffectPanel.h"
#include "editor/lcd/CorvanMainLcdPanel.h"
#include "editor/lcd/CorvanMainSequencerPanel.h"
#include "editor/lcd/LcdPage.h"
#include "instrument/params/ParameterIndex.h"
#include "tests/editor/PresetPageTestSupport.h"
#include "tests/editor/ScriptedModalCalls.h"
#include "tests/support/FakeGui.h"

namespace corvex {
namespace {

using Slot = CorvanMainEffectPanel::Slot;
using SubPage = CorvanMainSequencerPanel::SubPage;
constexpr int kNoSubPage = -1;

// A click on a toggling tab, delivered at once (tab captions change with the effects, so no search by text).
// The screen's own tabs are in no radio group: a click toggles them either way, and either way selects.
void press(juce::Button& button) {
    button.setToggleState(!button.getToggleState() || button.getRadioGroupId() != 0, juce::sendNotificationSync);
}

juce::String currentTabName(const CorvanMainLcdPanel& lcd) {
    return lcd.getTabButton(lcd.getCurrentTab())->getName();
}

// The one sub-page of the frame that is visible, kNoSubPage when none is (or more than one).
int visibleSlot(const CorvanMainEffectPanel& effects) {
    int shown = kNoSubPage, count = 0;
    for (int s = 0; s < CorvanMainEffectPanel::kSlotCount; ++s)
        if (effects.getSlotPage(static_cast<Slot>(s))->isVisible()) shown = s, ++count;
    return count == 1 ? shown : kNoSubPage;
}
int visibleSubPage(const CorvanMainSequencerPanel& modulations) {
    int shown = kNoSubPage, count = 0;
    for (int s = 0; s < CorvanMainSequencerPanel::kSubPageCount; ++s)
        if (modulations.getSubPage(static_cast<SubPage>(s))->isVisible()) shown = s, ++count;
    return count == 1 ? shown : kNoSubPage;
}

class LcdScreen : public ::testing::Test {
protected:
    std::unique_ptr<CorvanMainLcdPanel> openAt(float storedPage) {
        gui.values[ParameterIndex::kLcdPage] = storedPage;
        return std::make_unique<CorvanMainLcdPanel>(&gui, nullptr, calls);
    }

    FakeGui gui;
    ScriptedModalCalls calls;
};

TEST(LcdPage, StoredValuesReadBackAsTheirPageAndOutOfRangeValuesAsTheNearest) {
    for (int page = lcdpage::kHidden; page <= lcdpage::kLast; ++page)
        EXPECT_EQ(lcdpage::fromValue(lcdpage::toValue(page)), page);
    struct Case {
        float value;
        int page;
    };
    const Case cases[] = {{0.0f, 0},  {0.099f, 0}, {0.35f, 3}, {0.899f, 8},
                          {1.0f, 9},  {2.0f, 9},   {-0.3f, 0}, {std::numeric_limits<float>::quiet_NaN(), 0}};
    for (const Case& c : cases) EXPECT_EQ(lcdpage::fromValue(c.value), c.page) << c.value;
}

TEST_F(LcdScreen, OpensOnTheStoredPageAndReportsItBack) {
    struct Case {
        float stored;
        const char* tab;
        int subPage; // the modulation sub-page or effect slot visible, kNoSubPage for the presets
        int reported;
    };
    const Case cases[] = {
        {0.05f, "Presets", kNoSubPage, 1}, // hidden: the first tab, as the tabs start
        {0.15f, "Presets", kNoSubPage, 1},
        {0.25f, "Modulations", CorvanMainSequencerPanel::kQuorbit, 2},
        {0.35f, "Modulations", CorvanMainSequencerPanel::kSequencer, 3},
        {0.45f, "Modulations", CorvanMainSequencerPanel::kKeyboard, 4},
        {0.55f, "Effects", CorvanMainEffectPanel::kPreEffect, 6}, // no slot stored: the first opens
        {0.65f, "Effects", CorvanMainEffectPanel::kPreEffect, 6},
        {0.75f, "Effects", CorvanMainEffectPanel::kPostEffect, 7},
        {0.85f, "Effects", CorvanMainEffectPanel::kMasterEffect1, 8},
        {0.95f, "Effects", CorvanMainEffectPanel::kMasterEffect2, 9},
        {2.0f, "Effects", CorvanMainEffectPanel::kMasterEffect2, 9},
        {-0.3f, "Presets", kNoSubPage, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        auto lcd = openAt(c.stored);
        EXPECT_EQ(currentTabName(*lcd), c.tab);
        EXPECT_EQ(lcd->getCurrentPage(), c.reported);
        EXPECT_TRUE(lcd->getPage(lcd->getCurrentTab())->isVisible());
        if (juce::String(c.tab) == "Modulations") {
            EXPECT_EQ(visibleSubPage(*lcd->getModulationPage()), c.subPage);
        }
        if (juce::String(c.tab) == "Effects") {
            EXPECT_EQ(visibleSlot(*lcd->getEffectPage()), c.subPage);
        }
        // What the editor stores from the report opens the same page again.
        EXPECT_EQ(openAt(lcdpage::toValue(lcd->getCurrentPage()))->getCurrentPage(), c.reported);
    }
}

TEST_F(LcdScreen, ChoosingTabsAndSubPagesChangesThePageReported) {
    auto lcd = openAt(0.15f);
    CorvanMainSequencerPanel& modulations = *lcd->getModulationPage();
    CorvanMainEffectPanel& effects = *lcd->getEffectPage();
    struct Step {
        juce::Button* button;
        int reported;
    };
    const Step steps[] = {
        {lcd->getTabButton(1), 2},
        {modulations.getTab(CorvanMainSequencerPanel::kKeyboard), 4},
        {modulations.getTab(CorvanMainSequencerPanel::kSequencer), 3},
        {lcd->getTabButton(2), 5}, // the effects page before any slot was chosen
        {effects.getTab(CorvanMainEffectPanel::kPostEffect), 7},
        {effects.getTab(CorvanMainEffectPanel::kMasterEffect2), 9},
        {effects.getTab(CorvanMainEffectPanel::kPreEffect), 6},
        {lcd->getTabButton(1), 3}, // the modulations page kept its sub-page
        {lcd->getTabButton(0), 1},
        {lcd->getTabButton(2), 6},
    };
    for (size_t i = 0; i < std::size(steps); ++i) {
        SCOPED_TRACE(i);
        press(*steps[i].button);
        EXPECT_EQ(lcd->getCurrentPage(), steps[i].reported);
    }
}

TEST_F(LcdScreen, AHiddenPageHidesItsSubPageAndShowsOnlyTheChosenOneAgain) {
    auto lcd = openAt(0.35f);
    CorvanMainSequencerPanel& modulations = *lcd->getModulationPage();
    ASSERT_EQ(visibleSubPage(modulations), CorvanMainSequencerPanel::kSequencer);

    press(*lcd->getTabButton(2));
    for (int s = 0; s < CorvanMainSequencerPanel::kSubPageCount; ++s)
        EXPECT_FALSE(modulations.getSubPage(static_cast<SubPage>(s))->isVisible()) << s;
    press(*lcd->getTabButton(1));
    EXPECT_EQ(visibleSubPage(modulations), CorvanMainSequencerPanel::kSequencer);

    modulations.setVisible(false);
    EXPECT_FALSE(modulations.getSubPage(CorvanMainSequencerPanel::kSequencer)->isVisible());
    modulations.setVisible(true);
    EXPECT_EQ(visibleSubPage(modulations), CorvanMainSequencerPanel::kSequencer);
}

TEST_F(LcdScreen, EffectTabsReadTheEffectTheirSlotHoldsAndFollowItsEchoes) {
    gui.values[ParameterIndex::kInsertEffectType[0]] = 0.5f;
    gui.values[ParameterIndex::kMasterEffectType[1]] = 0.45f;
    auto effects = std::make_unique<CorvanMainEffectPanel>(&gui);
    auto text = [&](Slot slot) { return effects->getTab(slot)->getButtonText(); };
    EXPECT_EQ(text(CorvanMainEffectPanel::kPreEffect), "Param EQ");
    EXPECT_EQ(text(CorvanMainEffectPanel::kPostEffect), "No Effect");
    EXPECT_EQ(text(CorvanMainEffectPanel::kMasterEffect2), "St. Delay");

    struct Case {
        int index;
        float value;
        Slot slot;
        const char* text;
    };
    const Case cases[] = {
        {ParameterIndex::kInsertEffectType[0], 1.0f, CorvanMainEffectPanel::kPreEffect, "Ring Mod"},
        {ParameterIndex::kInsertEffectType[1], 0.2f, CorvanMainEffectPanel::kPostEffect, "Chorus/Flanger"},
        {ParameterIndex::kInsertEffectType[1], 0.75f, CorvanMainEffectPanel::kPostEffect, "Phaser"},
        {ParameterIndex::kMasterEffectType[0], 0.5f, CorvanMainEffectPanel::kMasterEffect1, "St. Delay"},
        {ParameterIndex::kMasterEffectType[0], 0.99f, CorvanMainEffectPanel::kMasterEffect1, "St. Phaser"},
        {ParameterIndex::kMasterEffectType[1], 0.7f, CorvanMainEffectPanel::kMasterEffect2, "St. Fx Reverb"},
        {ParameterIndex::kMasterEffectType[1], -0.5f, CorvanMainEffectPanel::kMasterEffect2, "No Effect"},
        // A Lower twin or a neighbouring row is none of the tabs' business.
        {ParameterIndex::unfold(ParameterIndex::kInsertEffectType[0], 1), 0.0f, CorvanMainEffectPanel::kPreEffect,
         "Ring Mod"},
        {ParameterIndex::kInsertEffectType[0] + 1, 0.0f, CorvanMainEffectPanel::kPreEffect, "Ring Mod"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(juce::String(c.index) + " " + juce::String(c.value));
        gui.echo(c.index, c.value);
        EXPECT_EQ(text(c.slot), c.text);
    }

    effects.reset();
    for (int index : {ParameterIndex::kInsertEffectType[0], ParameterIndex::kInsertEffectType[1],
                      ParameterIndex::kMasterEffectType[0], ParameterIndex::kMasterEffectType[1]})
        EXPECT_EQ(gui.listenerCount(index), 0) << "still listening to " << index;
}

TEST_F(LcdScreen, PagesAndTabsTakeTheirPlacesAtTheScreensSize) {
    CorvanExtraPanel holder(&gui, nullptr, calls);
    ASSERT_EQ(holder.getBounds(), juce::Rectangle<int>(0, 0, 1014, 250));
    CorvanMainLcdPanel& lcd = holder.getLcd();
    EXPECT_EQ(lcd.getBounds(), juce::Rectangle<int>(23, 19, 966, 215));
    const juce::Rectangle<int> page(5, 25, 956, 185);
    for (int tab = 0; tab < lcd.getNumTabs(); ++tab) EXPECT_EQ(lcd.getPage(tab)->getBounds(), page) << tab;

    // At height 185 the effects' row unit is 9 and the modulations' 27.
    const CorvanMainEffectPanel& effects = *lcd.getEffectPage();
    const juce::Rectangle<int> effectTabs[] = {{46, 32, 80, 14}, {46, 78, 80, 14}, {55, 133, 80, 14},
                                               {55, 156, 80, 14}};
    for (int s = 0; s < CorvanMainEffectPanel::kSlotCount; ++s) {
        EXPECT_EQ(effects.getTab(static_cast<Slot>(s))->getBounds(), effectTabs[s]) << s;
        EXPECT_EQ(effects.getSlotPage(static_cast<Slot>(s))->getBounds(), juce::Rectangle<int>(200, 0, 756, 185));
    }
    const CorvanMainSequencerPanel& modulations = *lcd.getModulationPage();
    const juce::Rectangle<int> modulationTabs[] = {{30, 27, 60, 25}, {30, 79, 60, 25}, {30, 131, 60, 25}};
    for (int s = 0; s < CorvanMainSequencerPanel::kSubPageCount; ++s) {
        EXPECT_EQ(modulations.getTab(static_cast<SubPage>(s))->getBounds(), modulationTabs[s]) << s;
        EXPECT_EQ(modulations.getSubPage(static_cast<SubPage>(s))->getBounds(),
                  juce::Rectangle<int>(150, 0, 806, 185));
    }

    // Too low for its rows: the row unit goes negative, and the frames still lay out and draw.
    CorvanMainEffectPanel squashed(&gui);
    squashed.setSize(300, 50);
    EXPECT_LT(CorvanMainEffectPanel::layoutFor(50).rowUnit, 0);
    EXPECT_TRUE(snapshotOf(squashed).isValid());
    CorvanMainSequencerPanel flat(&gui);
    flat.setSize(300, 40);
    EXPECT_TRUE(snapshotOf(flat).isValid());
}

TEST_F(LcdScreen, TheHolderHidesTheScreenWithItAndItsGlassLeavesTheScreenReadable) {
    gui.values[ParameterIndex::kLcdPage] = 0.35f;
    CorvanExtraPanel holder(&gui, nullptr, calls);
    CorvanMainLcdPanel& lcd = holder.getLcd();
    juce::Component& sequencer = *lcd.getModulationPage()->getSubPage(CorvanMainSequencerPanel::kSequencer);

    holder.setVisible(false);
    EXPECT_FALSE(lcd.isVisible());
    EXPECT_FALSE(lcd.getModulationPage()->isVisible());
    EXPECT_FALSE(sequencer.isVisible());
    holder.setVisible(true);
    EXPECT_TRUE(lcd.isVisible());
    EXPECT_TRUE(sequencer.isVisible());

    // The glass over the screen shades it by a few levels at most, away from the bezel's lip.
    const juce::Image withGlass = snapshotOf(holder);
    const juce::Image bare = snapshotOf(lcd);
    int worst = 0;
    for (int y = 10; y < lcd.getHeight() - 10; y += 7)
        for (int x = 10; x < lcd.getWidth() - 10; x += 7) {
            const juce::Colour a = withGlass.getPixelAt(lcd.getX() + x, lcd.getY() + y), b = bare.getPixelAt(x, y);
            worst = std::max({worst, std::abs(a.getRed() - b.getRed()), std::abs(a.getGreen() - b.getGreen()),
                              std::abs(a.getBlue() - b.getBlue())});
        }
    EXPECT_LE(worst, 24);
    // ... and the bezel around it is the frame's picture.
    EXPECT_NE(withGlass.getPixelAt(5, 125), bare.getPixelAt(5, 125));
}

class LcdScreenSnapshots : public PageLibrary {};

TEST_F(LcdScreenSnapshots, EveryPageInTheHolder) {
    testing::deliverPostedMessages();
    gui.values[ParameterIndex::kInsertEffectType[0]] = 0.3f;
    gui.values[ParameterIndex::kMasterEffectType[0]] = 0.7f;
    gui.values[ParameterIndex::kLcdPage] = lcdpage::toValue(lcdpage::kPresets);
    CorvanExtraPanel holder(&gui, &patches(), calls);
    testing::deliverPostedMessages();
    CorvanMainLcdPanel& lcd = holder.getLcd();
    ASSERT_TRUE(keepSnapshot(snapshotOf(holder), "editor-lcd-holder-presets.png"));

    press(*lcd.getTabButton(1));
    press(*lcd.getModulationPage()->getTab(CorvanMainSequencerPanel::kSequencer));
    ASSERT_TRUE(keepSnapshot(snapshotOf(lcd), "editor-lcd-modulations.png"));
    press(*lcd.getTabButton(2));
    ASSERT_TRUE(keepSnapshot(snapshotOf(lcd), "editor-lcd-effects-none.png"));
    press(*lcd.getEffectPage()->getTab(CorvanMainEffectPanel::kPostEffect));
    ASSERT_TRUE(keepSnapshot(snapshotOf(lcd), "editor-lcd-effects-post.png"));
    press(*lcd.getEffectPage()->getTab(CorvanMainEffectPanel::kMasterEffect1));
    ASSERT_TRUE(keepSnapshot(snapshotOf(holder), "editor-lcd-holder-effects-master1.png"));
    EXPECT_EQ(lcd.getCurrentPage(), 8);
}

} // namespace
} // namespace corvex
