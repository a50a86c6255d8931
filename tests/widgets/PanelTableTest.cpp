// Panels made from a table: every bound widget kind made from a row's (gui, index) and placed from the row's
// rectangle sends its edits for that index, shows that index's echoes, and leaves the GUI interface's registry
// whichever of the two goes first.
#include <array>
#include <memory>
#include <new>

#include <gtest/gtest.h>

#include "tests/support/FakeGui.h"
#include "instrument/params/ParameterIndex.h"
#include "widgets/CorvanMoveSplitComponent.h"
#include "widgets/Cvn4PosKnob.h"
#include "widgets/CvnGreen2LedButton.h"
#include "widgets/CvnLcdButton.h"
#include "widgets/CvnLcdComboBox.h"
#include "widgets/CvnLcdKnob.h"
#include "widgets/CvnLcdNumericalSwitch.h"
#include "widgets/CvnLeftKnob.h"
#include "widgets/CvnLeftSwitch2Pos.h"
#include "widgets/CvnLfoButton.h"
#include "widgets/CvnLfoLed.h"
#include "widgets/CvnMiddle4PosKnob.h"
#include "widgets/CvnMiddleSlider.h"
#include "widgets/CvnRedLedButton.h"
#include "widgets/CvnSmallLcdCheckBox.h"
#include "widgets/CvnSwitch3Pos.h"
#include "widgets/CvnWheelKnob.h"
#include "widgets/CvnWhiteLedButton.h"
#include "widgets/MVButtonGroup.h"
#include "widgets/MVSwitch.h"
#include "widgets/PanelLayout.h"

namespace corvex {
namespace {

// Two rows of the same kind on different indices: an edit or echo reaching the wrong widget shows.
constexpr int kFirst = 40;
constexpr int kSecond = 41;

juce::Slider& slider(juce::Component& c) { return dynamic_cast<juce::Slider&>(c); }
juce::Button& button(juce::Component& c) { return dynamic_cast<juce::Button&>(c); }

void turnOn(juce::Component& c) { button(c).setToggleState(true, juce::sendNotificationSync); }
double toggle(juce::Component& c) { return button(c).getToggleState() ? 1.0 : 0.0; }
double value(juce::Component& c) { return slider(c).getValue(); }
double position(juce::Component& c) { return dynamic_cast<MVSwitch&>(c).getPosition(); }

struct Case {
    const char* kind;
    WidgetMaker make;
    void (*move)(juce::Component&); // null for a widget that only shows
    float sent;
    float echo;
    double (*shown)(juce::Component&);
    double expected;
};

// Every widget starts at 0.
const Case kCases[] = {
    {"CvnLeftKnob", &makeBound<CvnLeftKnob>, [](juce::Component& c) { slider(c).setValue(0.25, juce::sendNotificationSync); },
     0.25f, 0.75f, &value, 0.75},
    {"CvnMiddle4PosKnob", &makeBound<CvnMiddle4PosKnob>,
     [](juce::Component& c) { slider(c).setValue(0.6, juce::sendNotificationSync); }, 0.6f, 0.8f,
     [](juce::Component& c) { return 1.0 * dynamic_cast<Cvn4PosKnob&>(c).getShownFrame(); },
     1.0 * skin::kFourPositionFrames[3]},
    {"CvnWheelKnob", &makeBound<CvnWheelKnob>, [](juce::Component& c) { slider(c).setValue(0.9, juce::sendNotificationSync); },
     0.9f, 0.3f, &value, 0.3},
    {"CvnLcdKnob", &makeBound<CvnLcdKnob>, [](juce::Component& c) { slider(c).setValue(0.125, juce::sendNotificationSync); },
     0.125f, 0.5f, &value, 0.5},
    {"CvnLcdNumericalSwitch",
     [](MVGuiInterface* gui, int index) -> std::unique_ptr<juce::Component> {
         return std::make_unique<CvnLcdNumericalSwitch>(gui, index, 1, 16);
     },
     [](juce::Component& c) { slider(c).setValue(0.5, juce::sendNotificationSync); }, 0.5f, 0.1f,
     [](juce::Component& c) { return 1.0 * dynamic_cast<CvnLcdNumericalSwitch&>(c).shownNumber(); }, 2.0},
    {"CvnMiddleSlider", &makeBound<CvnMiddleSlider>,
     [](juce::Component& c) { slider(c).setValue(0.3, juce::sendNotificationSync); }, 0.3f, 0.9f, &value, 0.9},
    {"CvnSwitch3Pos", &makeBound<CvnSwitch3Pos>, [](juce::Component& c) { slider(c).setValue(1, juce::sendNotificationSync); },
     0.5f, 1.0f, &position, 2},
    // Inverted: its position 0 is the parameter's last step.
    {"CvnLeftSwitch2Pos", &makeBound<CvnLeftSwitch2Pos>,
     [](juce::Component& c) { slider(c).setValue(0, juce::sendNotificationSync); }, 0.75f, 0.1f, &position, 1},
    {"CvnGreen2LedButton", &makeBound<CvnGreen2LedButton>, &turnOn, 1.0f, 0.0f, &toggle, 0},
    {"CvnWhiteLedButton", &makeBound<CvnWhiteLedButton>, &turnOn, 1.0f, 0.0f, &toggle, 0},
    {"CvnRedLedButton", &makeBound<CvnRedLedButton>, &turnOn, 1.0f, 0.0f, &toggle, 0},
    {"CvnLfoButton", &makeBound<CvnLfoButton>, [](juce::Component& c) { button(c).setState(juce::Button::buttonDown); },
     1.0f, 0.0f, &toggle, 0},
    {"CvnLcdButton",
     [](MVGuiInterface* gui, int index) -> std::unique_ptr<juce::Component> {
         return std::make_unique<CvnLcdButton>("On", gui, index);
     },
     &turnOn, 1.0f, 0.0f, &toggle, 0},
    {"CvnSmallLcdCheckBox", &makeBound<CvnSmallLcdCheckBox>, &turnOn, 1.0f, 0.0f, &toggle, 0},
    {"CvnLcdComboBox",
     [](MVGuiInterface* gui, int index) -> std::unique_ptr<juce::Component> {
         return std::make_unique<CvnLcdComboBox>("mode", gui, index, juce::StringArray{"A", "B", "C", "D"});
     },
     [](juce::Component& c) { dynamic_cast<juce::ComboBox&>(c).setSelectedId(3, juce::sendNotificationSync); },
     0.625f, 0.9f, [](juce::Component& c) { return 1.0 * dynamic_cast<juce::ComboBox&>(c).getSelectedId(); }, 4},
    // Lit, the LED draws over the panel; at 0 it draws nothing.
    {"CvnLfoLed", &makeBound<CvnLfoLed>, nullptr, 0.0f, 1.0f,
     [](juce::Component& c) { return snapshotOf(c).getPixelAt(6, 6).getAlpha() > 0 ? 1.0 : 0.0; }, 1},
};

TEST(PanelTable, EveryKindIsMadePlacedAndBoundByItsRow) {
    for (const Case& k : kCases) {
        SCOPED_TRACE(k.kind);
        FakeGui gui;
        // Neither rectangle is the widget's own size: the table wins over a widget that sizes itself.
        const std::array<PanelRow, 2> rows{{{k.make, {7, 11, 40, 30}, kFirst}, {k.make, {60, 5, 33, 44}, kSecond}}};
        juce::Component panel;
        auto children = addChildrenFromTable(panel, &gui, rows);
        panel.setSize(120, 60);
        placeChildren(rows, children);
        for (size_t i = 0; i < rows.size(); ++i) {
            EXPECT_EQ(children[i]->getBounds(), rows[i].bounds.toRectangle());
            EXPECT_EQ(children[i]->getParentComponent(), &panel);
            EXPECT_TRUE(children[i]->isVisible());
        }
        EXPECT_EQ(gui.listenerCount(kFirst), 1);
        EXPECT_EQ(gui.listenerCount(kSecond), 1);

        if (k.move != nullptr) {
            k.move(*children[1]);
            const auto sent = gui.editsOfKind(MVGuiInterface::kNewValue);
            ASSERT_EQ(sent.size(), 1u);
            EXPECT_EQ(sent[0].index, kSecond);
            EXPECT_FLOAT_EQ(sent[0].value, k.sent);
        }
        const size_t editsBeforeEcho = gui.edits.size();
        const double secondBefore = k.shown(*children[1]);
        gui.parameterChanged(kFirst, k.echo);
        EXPECT_DOUBLE_EQ(k.shown(*children[0]), k.expected);
        EXPECT_DOUBLE_EQ(k.shown(*children[1]), secondBefore) << "an echo moves only its own index's widget";
        EXPECT_EQ(gui.edits.size(), editsBeforeEcho) << "an echo is not sent back";

        children.clear();
        EXPECT_EQ(gui.listenerCount(kFirst), 0);
        EXPECT_EQ(gui.listenerCount(kSecond), 0);
    }
}

// What a panel writes: a constant table, whose rows may take their size from the skin and may stay empty.
constexpr std::array<PanelRow, 3> kPanelRows{{
    {&makeBound<CvnLeftKnob>, PanelRect::at(4, 6, skin::kKnob), kFirst},
    {nullptr, {70, 6, 10, 10}, -1},
    {[](MVGuiInterface* gui, int index) -> std::unique_ptr<juce::Component> {
         return std::make_unique<CvnLcdNumericalSwitch>(gui, index, 0, 9);
     },
     {90, 8, 30, 16}, kSecond},
}};

TEST(PanelTable, ConstantTableWithAnEmptyRow) {
    FakeGui gui;
    juce::Component panel;
    auto children = addChildrenFromTable(panel, &gui, kPanelRows);
    ASSERT_EQ(children.size(), 3u);
    EXPECT_EQ(children[1], nullptr);
    EXPECT_EQ(panel.getNumChildComponents(), 2);
    placeChildren(kPanelRows, children);
    EXPECT_EQ(children[0]->getBounds(), juce::Rectangle<int>(4, 6, skin::kKnob.width, skin::kKnob.height));
    EXPECT_EQ(children[2]->getBounds(), juce::Rectangle<int>(90, 8, 30, 16));
    EXPECT_EQ(gui.listenerCount(kSecond), 1);
}

// Counts what reaches it after the widgets were made.
class CountingGui : public FakeGui {
public:
    int removals = 0;
    void removeParameterListener(int index, MVParameterListener* l) override {
        ++removals;
        FakeGui::removeParameterListener(index, l);
    }
};

// Builds GUI interfaces one after another in the same place, as an editor closed and opened again may be: a
// widget left over from the first must not reach the second.
class ReusedPlace {
public:
    ReusedPlace() { gui_ = new (storage_) CountingGui; }
    ~ReusedPlace() { gui_->~CountingGui(); }
    CountingGui& gui() { return *gui_; }
    void replaceGui() {
        gui_->~CountingGui();
        gui_ = new (storage_) CountingGui;
    }

private:
    alignas(CountingGui) unsigned char storage_[sizeof(CountingGui)];
    CountingGui* gui_;
};

TEST(PanelTable, AWidgetOutlivingItsGuiInterfaceNeverCallsIt) {
    for (const Case& k : kCases) {
        SCOPED_TRACE(k.kind);
        ReusedPlace place;
        auto widget = k.make(&place.gui(), kFirst);
        place.replaceGui();
        widget.reset();
        EXPECT_EQ(place.gui().removals, 0);
    }
    // The split marker listens to two fixed indices.
    ReusedPlace place;
    auto marker = std::make_unique<CorvanMoveSplitComponent>(&place.gui(), nullptr);
    EXPECT_EQ(place.gui().listenerCount(ParameterIndex::kSplitKey), 1);
    place.replaceGui();
    marker.reset();
    EXPECT_EQ(place.gui().removals, 0);
}

// A group is the one binding made of several widgets: made in one expression from the buttons a panel holds,
// and as safe in either order as they are.
TEST(PanelTable, ButtonGroupMadeWithItsButtons) {
    std::array<std::unique_ptr<juce::Component>, 3> leds;
    juce::Component panel;
    ReusedPlace place;
    for (auto& led : leds) panel.addAndMakeVisible(*(led = makeBound<CvnWhiteLedButton>(&place.gui(), -1)));
    place.gui().values[kFirst] = 0.5f;
    std::unique_ptr<MVButtonGroup> group(
        new MVButtonGroup(&place.gui(), kFirst, {&button(*leds[0]), &button(*leds[1]), &button(*leds[2])}));
    EXPECT_EQ(group->getButtonCount(), 3);
    EXPECT_EQ(toggle(*leds[1]), 1.0) << "the stored value's button is on from the start";
    turnOn(*leds[2]);
    ASSERT_EQ(place.gui().edits.size(), 1u);
    EXPECT_EQ(place.gui().edits[0].index, kFirst);
    EXPECT_FLOAT_EQ(place.gui().edits[0].value, 5.0f / 6);
    place.gui().parameterChanged(kFirst, 0.1f);
    EXPECT_EQ(toggle(*leds[0]), 1.0);
    EXPECT_EQ(place.gui().listenerCount(kFirst), 1);

    place.replaceGui();
    group.reset();
    EXPECT_EQ(place.gui().removals, 0);
}

} // namespace
} // namespace corvex
