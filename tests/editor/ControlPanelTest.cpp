// The front panel: its table laid out on the panel without overlaps and with room for every label, every row
// made as its class and bound to its index, the button groups, the preferred-patch and project LEDs, the small
// LCD and the split marker, on the real preset library behind a fake GUI interface.
#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "editor/CorvanControlPanel.h"
#include "presets/CorvanMultiFilterManager.h"
#include "presets/MorvanePreset.h"
#include "presets/MorvanePresetManager.h"
#include "tests/editor/LibraryTestSupport.h"
#include "tests/editor/ScriptedModalCalls.h"
#include "tests/support/FakeGui.h"
#include "tests/support/Snapshots.h"
#include "widgets/CvnBlueLedButton.h"
#include "widgets/CvnFlatKnob.h"
#include "widgets/CvnGreen2LedButton.h"
#include "widgets/CvnLeft4PosKnob.h"
#include "widgets/CvnLeftKnob.h"
#include "widgets/CvnLeftSlider.h"
#include "widgets/CvnLeftSwitch2Pos.h"
#include "widgets/CvnLfoButton.h"
#include "widgets/CvnLfoLed.h"
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

namespace fp = frontpanel;
namespace P = ParameterIndex;

fp::Rect textBox(const fp::Row& row) {
    return fp::labelBoxOf(row, CorvanControlPanel::labelFont().getStringWidth(row.label));
}

const fp::Section* sectionHolding(const fp::Rect& r) {
    for (const fp::Section& s : fp::kSections)
        if (s.frame.contains(r)) return &s;
    return nullptr;
}

juce::String describe(const fp::Rect& r) {
    return "(" + juce::String(r.x) + ", " + juce::String(r.y) + ", " + juce::String(r.width) + " x " +
           juce::String(r.height) + ")";
}

// Every widget, the LCD and the keyboard inside the panel and apart from one another; every widget, label and
// title inside its own section, and no text over a widget or over other text.
TEST(FrontPanelTable, WidgetsLabelsAndTitlesFitTheirSectionsWithoutOverlapping) {
    struct Placed {
        juce::String what;
        fp::Rect rect;
    };
    std::vector<Placed> widgets{{"small LCD", fp::kSmallLcd}, {"keyboard", fp::kKeyboard}};
    std::vector<Placed> texts;
    for (const fp::Row& row : fp::kRows) {
        const fp::Rect r = fp::boundsOf(row);
        const juce::String name = juce::String(row.label) + " at " + describe(r);
        widgets.push_back({name, r});
        ASSERT_NE(juce::String(row.label).trim(), "") << name << " has a label";
        const fp::Section* home = sectionHolding(r);
        ASSERT_NE(home, nullptr) << name << " lies inside a section";
        EXPECT_TRUE(home->frame.contains(textBox(row))) << name << "'s label stays in " << home->title;
        texts.push_back({"label " + name, textBox(row)});
    }
    EXPECT_NE(sectionHolding(fp::kSmallLcd), nullptr);
    for (const fp::Section& s : fp::kSections) {
        const fp::Rect title = fp::titleBoxOf(s);
        const int width = CorvanControlPanel::titleFont().getStringWidth(s.title);
        EXPECT_LE(width, title.width) << s.title;
        texts.push_back({juce::String("title ") + s.title, {title.x, title.y, width, title.height}});
    }
    const fp::Rect panel{0, 0, fp::kWidth, fp::kHeight};
    for (size_t i = 0; i < widgets.size(); ++i) {
        EXPECT_TRUE(panel.contains(widgets[i].rect)) << widgets[i].what;
        for (size_t j = i + 1; j < widgets.size(); ++j)
            EXPECT_FALSE(widgets[i].rect.overlaps(widgets[j].rect)) << widgets[i].what << " / " << widgets[j].what;
        for (const Placed& text : texts)
            EXPECT_FALSE(widgets[i].rect.overlaps(text.rect)) << widgets[i].what << " / " << text.what;
    }
    for (size_t i = 0; i < texts.size(); ++i)
        for (size_t j = i + 1; j < texts.size(); ++j)
            EXPECT_FALSE(texts[i].rect.overlaps(texts[j].rect)) << texts[i].what << " / " << texts[j].what;
    // The marker lies over the keyboard's top, and over nothing else.
    EXPECT_TRUE(panel.contains(fp::kSplitMarker));
    for (const Placed& w : widgets)
        if (w.what != "keyboard") {
            EXPECT_FALSE(fp::kSplitMarker.overlaps(w.rect)) << w.what;
        }
}

class ControlPanelTest : public Library {
protected:
    ControlPanelTest() {
        program("Factory/Default.cvp", "Default", "Default");
        program("Factory/Brass.cvp", "PBRASS", "Brass Section");
        program("Factory/Strings.cvp", "PSTR", "Warm Strings");
        patch("Factory/Default.cvm", "Default", "Default", "Default", "Default", "Whole");
        patch("Factory/Split.cvm", "MSPLIT", "Bass and Brass", "PBRASS", "PSTR", "Split");
        start();
        panel = std::make_unique<CorvanControlPanel>(&gui, &patches(), calls);
        panel->setVisible(true);
    }
    ~ControlPanelTest() override { panel.reset(); }

    // The LED of a row of the table, found by its role, index and label.
    juce::Button* led(fp::Role role, int index, const char* label) {
        for (int i = 0; i < fp::kRowCount; ++i)
            if (fp::kRows[i].role == role && fp::kRows[i].index == index && juce::String(fp::kRows[i].label) == label)
                return dynamic_cast<juce::Button*>(panel->getWidget(i));
        ADD_FAILURE() << "no LED " << label;
        return nullptr;
    }
    static void press(juce::Button* b) { b->setToggleState(!b->getToggleState(), juce::sendNotificationSync); }
    std::set<int> litPreferredSlots() {
        std::set<int> lit;
        for (int k = 0; k < CorvanControlPanel::kPreferredSlots; ++k)
            if (panel->getPreferredLed(k)->getToggleState()) lit.insert(k);
        return lit;
    }
    void choosePatch(const juce::String& id) {
        patches().setCurrentPreset(patches().getPresetByName(id), true);
        testing::deliverPostedMessages();
    }
    void showSplitAt(int note) {
        for (const auto& [index, value] : {std::pair{P::kSplitKey, (static_cast<float>(note) + 0.5f) / 128.0f},
                                          std::pair{P::kKeyMode, 0.9f}}) {
            gui.values[index] = value;
            gui.echo(index, value);
        }
    }

    FakeGui gui;
    ScriptedModalCalls calls;
    std::unique_ptr<CorvanControlPanel> panel;
};

// Moves a widget the way its kind is moved; false for a widget that only shows a value.
bool operate(juce::Component* widget) {
    if (auto* push = dynamic_cast<MVPushButton*>(widget)) {
        push->setState(juce::Button::buttonDown);
        push->setState(juce::Button::buttonNormal);
    } else if (auto* button = dynamic_cast<juce::Button*>(widget)) {
        button->setToggleState(!button->getToggleState(), juce::sendNotificationSync);
    } else if (auto* slider = dynamic_cast<juce::Slider*>(widget)) {
        const double middle = 0.5 * (slider->getMinimum() + slider->getMaximum());
        slider->setValue(slider->getValue() > middle ? slider->getMinimum() : slider->getMaximum(),
                         juce::sendNotificationSync);
    } else {
        return false;
    }
    return true;
}

TEST_F(ControlPanelTest, EveryRowIsMadeAsItsClassWhereTheTableSaysAndEditsAndFollowsItsIndex) {
    using Check = std::function<bool(juce::Component*)>;
    const auto is = [](auto* typed) { return Check([](juce::Component* c) { return dynamic_cast<decltype(typed)>(c) != nullptr; }); };
    const std::map<fp::Widget, Check> classes{
        {fp::Widget::LeftKnob, is((CvnLeftKnob*)nullptr)},
        {fp::Widget::MiddleKnob, is((CvnMiddleKnob*)nullptr)},
        {fp::Widget::Left4PosKnob, is((CvnLeft4PosKnob*)nullptr)},
        {fp::Widget::Middle4PosKnob, is((CvnMiddle4PosKnob*)nullptr)},
        {fp::Widget::FlatKnob, is((CvnFlatKnob*)nullptr)},
        {fp::Widget::Wheel, is((CvnWheelKnob*)nullptr)},
        {fp::Widget::LeftSlider, is((CvnLeftSlider*)nullptr)},
        {fp::Widget::MiddleSlider, is((CvnMiddleSlider*)nullptr)},
        {fp::Widget::RightSlider, is((CvnRightSlider*)nullptr)},
        {fp::Widget::LeftSwitch2, is((CvnLeftSwitch2Pos*)nullptr)},
        {fp::Widget::RightSwitch2, is((CvnRightSwitch2Pos*)nullptr)},
        {fp::Widget::Switch3, is((CvnSwitch3Pos*)nullptr)},
        {fp::Widget::OrangeLed, is((CvnOrangeLedButton*)nullptr)},
        {fp::Widget::GreenLed, is((CvnGreen2LedButton*)nullptr)},
        {fp::Widget::BlueLed, is((CvnBlueLedButton*)nullptr)},
        {fp::Widget::WhiteLed, is((CvnWhiteLedButton*)nullptr)},
        {fp::Widget::YellowLed, is((CvnYellowLedButton*)nullptr)},
        {fp::Widget::RedLed, is((CvnRedLedButton*)nullptr)},
        {fp::Widget::LfoLamp, is((CvnLfoLed*)nullptr)},
        {fp::Widget::LfoButton, is((CvnLfoButton*)nullptr)},
    };
    std::set<int> bound;
    for (int i = 0; i < fp::kRowCount; ++i) {
        const fp::Row& row = fp::kRows[i];
        juce::Component* widget = panel->getWidget(i);
        SCOPED_TRACE(juce::String(row.label) + " row " + juce::String(i) + " index " + juce::String(row.index));
        ASSERT_NE(widget, nullptr);
        EXPECT_TRUE(classes.at(row.widget)(widget));
        EXPECT_EQ(widget->getParentComponent(), panel.get());
        EXPECT_EQ(widget->getBounds(), juce::Rectangle<int>(fp::boundsOf(row).x, fp::boundsOf(row).y,
                                                             fp::boundsOf(row).width, fp::boundsOf(row).height));
        if (row.role != fp::Role::Bound) continue;
        EXPECT_TRUE(bound.insert(row.index).second) << "one widget per index";

        gui.echo(row.index, 0.0f);
        const juce::Image at0 = snapshotOf(*widget);
        gui.echo(row.index, 1.0f);
        const juce::Image at1 = snapshotOf(*widget);
        bool moved = false;
        for (int y = 0; y < at0.getHeight() && !moved; ++y)
            for (int x = 0; x < at0.getWidth() && !moved; ++x) moved = at0.getPixelAt(x, y) != at1.getPixelAt(x, y);
        EXPECT_TRUE(moved) << "the widget follows its index's echo";

        gui.edits.clear();
        if (!operate(widget)) continue;
        const auto values = gui.editsOfKind(MVGuiInterface::kNewValue);
        ASSERT_FALSE(values.empty()) << "an edit is sent";
        EXPECT_EQ(values.back().index, row.index);
    }
}

TEST_F(ControlPanelTest, ButtonGroupsLightTheirStepAndSendItsCentre) {
    const struct {
        int index;
        float echoed;
        const char* lit; // nullptr: no LED lit
        const char* clicked;
        float sent;
    } cases[] = {
        // The voice and arpeggio modes have five steps; their first, where the other plays, has no LED.
        {P::kPolyMode, 0.1f, nullptr, "Mono", 0.3f},
        {P::kPolyMode, 0.9f, "Poly2", "Uni", 0.5f},
        {P::kArpeggioMode, 0.1f, nullptr, "Up", 0.3f},
        {P::kArpeggioMode, 0.7f, "U+D", "Rnd", 0.9f},
        {P::kArpeggioRange, 0.0f, "1", "4", 0.875f},
        // Whole is the mode's first step though its LED stands right of the other two.
        {P::kKeyMode, 0.1f, "Whole", "Dual", 0.5f},
        {P::kKeyMode, 0.5f, "Dual", "Whole", 1.0f / 6.0f},
        {P::kShownLayer, 0.75f, "Lower", "Upper", 0.25f},
        {P::kShownLayer, 0.25f, "Upper", "Lower", 0.75f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(juce::String(c.index) + " " + c.clicked);
        ASSERT_NE(panel->getGroup(c.index), nullptr);
        gui.echo(c.index, c.echoed);
        for (const fp::Row& row : fp::kRows)
            if (row.role == fp::Role::GroupStep && row.index == c.index) {
                EXPECT_EQ(led(fp::Role::GroupStep, c.index, row.label)->getToggleState(),
                          c.lit != nullptr && juce::String(c.lit) == row.label)
                    << row.label;
            }
        gui.edits.clear();
        press(led(fp::Role::GroupStep, c.index, c.clicked));
        ASSERT_EQ(gui.edits.size(), 1u);
        EXPECT_EQ(gui.edits[0].index, c.index);
        EXPECT_NEAR(gui.edits[0].value, c.sent, 1e-6);
    }
}

TEST_F(ControlPanelTest, ShiftClickStoresThePatchInASlotAndAPlainClickPlaysIt) {
    MorvanePreferedPresetManager& slots = patchManager().getPreferred();
    panel->modifierKeysChanged(juce::ModifierKeys(juce::ModifierKeys::shiftModifier));
    press(panel->getPreferredLed(3));
    press(panel->getPreferredLed(10));
    EXPECT_EQ(slots.getName(3), "Default");
    EXPECT_EQ(slots.getName(10), "Default");
    EXPECT_EQ(litPreferredSlots(), (std::set<int>{3, 10})) << "a patch in two slots lights both";

    choosePatch("MSPLIT");
    EXPECT_EQ(litPreferredSlots(), std::set<int>{}) << "another patch is current";
    press(panel->getPreferredLed(5));
    EXPECT_EQ(litPreferredSlots(), std::set<int>{5});

    panel->modifierKeysChanged(juce::ModifierKeys());
    press(panel->getPreferredLed(10));
    testing::deliverPostedMessages();
    EXPECT_EQ(patches().getCurrentPreset()->getIdentifier(), "Default") << "the slot's patch plays";
    EXPECT_EQ(litPreferredSlots(), (std::set<int>{3, 10}));
    EXPECT_EQ(slots.getName(5), "MSPLIT") << "recalling stores nothing";

    press(panel->getPreferredLed(15));
    testing::deliverPostedMessages();
    EXPECT_EQ(patches().getCurrentPreset()->getIdentifier(), "Default") << "an empty slot changes nothing";
    EXPECT_EQ(litPreferredSlots(), (std::set<int>{3, 10}));
}

TEST_F(ControlPanelTest, TheProjectLedsRunTheirFlowAndGoDarkAfterwards) {
    calls.answerFileToOpen(std::nullopt);
    press(panel->getImportLed());
    EXPECT_EQ(calls.chooserTitles.size(), 1u) << "the import asked for a file";
    EXPECT_FALSE(panel->getImportLed()->getToggleState());

    calls.answerDialog([](MVModalDialogPanel& dialog) { click(dialog, "Cancel"); });
    press(panel->getExportLed());
    ASSERT_EQ(calls.dialogs.size(), 1u);
    EXPECT_EQ(calls.dialogs[0].title, "Export Project");
    EXPECT_FALSE(panel->getExportLed()->getToggleState());
}

TEST_F(ControlPanelTest, TheSmallLcdNamesTheProgramsOnTheMessagesThatCanChangeThem) {
    CorvanSmallLcd& lcd = panel->getSmallLcd();
    const auto shows = [&](const char* upper, const char* lower, bool lowerShown) {
        EXPECT_EQ(lcd.getUpperLine().getName(), upper);
        EXPECT_EQ(lcd.getLowerLine().getName(), lower);
        EXPECT_EQ(lcd.getLowerLine().isVisible(), lowerShown);
    };
    shows("U: Default", "L: Default", false);

    MorvanePreset* whole = patches().getCurrentPreset();
    const struct {
        const char* what;
        std::function<void()> change;
        int message;
        const char *upper, *lower;
        bool lowerShown;
    } steps[] = {
        {"the mode changes unannounced", [&] { whole->setAttribute("Mode", "Dual", false); }, 3, "U: Default",
         "L: Default", false},
        {"an import", [] {}, 5, "U: Default", "L: Default", false},
        {"the attributes changed", [] {}, MorvanePresetManager::kChanged, "U: Default", "L: Default", true},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.what);
        s.change();
        lcd.presetFilterChanged(s.message, MorvanePresetFilterManager::kPatches, 0, nullptr);
        shows(s.upper, s.lower, s.lowerShown);
    }
    choosePatch("MSPLIT");
    shows("U: Brass Section", "L: Warm Strings", true);
    // A modified program shows it at the next notice of a changed flag, not before.
    patches().getUpperPrograms()->getCurrentPreset()->setModified(true);
    shows("U: Brass Section", "L: Warm Strings", true);
    lcd.presetFilterChanged(MorvanePresetManager::kReverted, MorvanePresetFilterManager::kPatches, 0, nullptr);
    shows("U: Brass Section*", "L: Warm Strings", true);
}

// The highest alpha of a line drawn alone: full-coverage pixels of its glyphs carry the colour's alpha.
float drawnAlpha(CvnSmallLcdButton& line, bool mouseOver) {
    juce::Image image(juce::Image::ARGB, line.getWidth(), line.getHeight(), true);
    juce::Graphics g(image);
    line.paintButton(g, mouseOver, false);
    int highest = 0;
    for (int y = 0; y < image.getHeight(); ++y)
        for (int x = 0; x < image.getWidth(); ++x) highest = std::max(highest, int(image.getPixelAt(x, y).getAlpha()));
    return static_cast<float>(highest) / 255.0f;
}

TEST_F(ControlPanelTest, TheSmallLcdSwitchesTheLayerAndDrawsTheChosenLineBrighter) {
    choosePatch("MSPLIT");
    CorvanSmallLcd& lcd = panel->getSmallLcd();
    gui.edits.clear();
    press(&lcd.getLowerLine());
    ASSERT_EQ(gui.edits.size(), 1u);
    EXPECT_EQ(gui.edits[0].index, P::kShownLayer);
    EXPECT_NEAR(gui.edits[0].value, 0.75f, 1e-6);

    gui.echo(P::kShownLayer, 1.0f);
    EXPECT_TRUE(lcd.getLowerLine().getToggleState());
    EXPECT_FALSE(lcd.getUpperLine().getToggleState());
    EXPECT_TRUE(led(fp::Role::GroupStep, P::kShownLayer, "Lower")->getToggleState()) << "the panel's LEDs agree";
    EXPECT_NEAR(drawnAlpha(lcd.getLowerLine(), false), 0.8f, 0.02f);
    EXPECT_NEAR(drawnAlpha(lcd.getLowerLine(), true), 0.8f, 0.02f) << "the chosen line stays as it is";
    EXPECT_NEAR(drawnAlpha(lcd.getUpperLine(), false), 0.5f, 0.02f);
    EXPECT_NEAR(drawnAlpha(lcd.getUpperLine(), true), 1.0f, 0.02f);
}

TEST_F(ControlPanelTest, TheSplitMarkerTakesOnlyClicksOnItsPointAndLeavesTheKeysToTheKeyboard) {
    showSplitAt(60);
    CorvanMoveSplitComponent& marker = panel->getSplitMarker();
    ASSERT_TRUE(marker.isVisible());
    const int pointX = fp::kSplitMarker.x + marker.getMarkerX() + CorvanMoveSplitComponent::kMarkerSize / 2;
    EXPECT_EQ(panel->getComponentAt(pointX, fp::kSplitMarker.y + 3), &marker);
    // Points of the marker's strip that lie over keys, under and beside its point.
    for (const int x : {pointX, fp::kKeyboard.x + 3, fp::kKeyboard.right() - 3, pointX + 40}) {
        for (const int y : {fp::kKeyboard.y + 2, fp::kSplitMarker.bottom() - 2}) {
            juce::Component* hit = panel->getComponentAt(x, y);
            EXPECT_NE(dynamic_cast<MVKeyboard::CNote*>(hit), nullptr) << x << ", " << y;
        }
    }
}

TEST_F(ControlPanelTest, SnapshotsOfTheWholeAndTheSplitPanel) {
    keepSnapshot(snapshotOf(*panel), "editor-front-panel-whole.png");
    choosePatch("MSPLIT");
    showSplitAt(60);
    keepSnapshot(snapshotOf(*panel), "editor-front-panel-split.png");
}

} // namespace
} // namespace corvex
