// Discrete parameters through switches, button groups and buttons: what they send for each position and which
// position an echo shows.
#include <limits>
#include <memory>

#include <gtest/gtest.h>

#include "tests/support/FakeGui.h"
#include "instrument/params/ParameterIndex.h"
#include "widgets/MVButtonGroup.h"
#include "widgets/MVPushButton.h"
#include "widgets/MVSwitch.h"
#include "widgets/MVSwitchButton.h"

namespace corvex {
namespace {

constexpr int kIndex = 40;

TEST(DiscreteWidgets, ThreeWaySwitchSendsStepCentresAndShowsEchoes) {
    struct Case {
        bool inverted;
        int position;     // moved to by the user
        float sent;       // what reaches the interface
        float echo;       // what comes back later
        int shown;        // the position the echo shows
    };
    const Case cases[] = {
        {false, 0, 1.0f / 6, 0.0f, 0},      {false, 1, 0.5f, 0.5f, 1},          {false, 2, 5.0f / 6, 1.0f, 2},
        {false, 2, 5.0f / 6, 0.6666f, 1},   {true, 2, 1.0f / 6, 0.0f, 2},       {true, 1, 0.5f, 0.5f, 1},
        {true, 0, 5.0f / 6, 1.0f, 0},       {true, 0, 5.0f / 6, 0.8f, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "inverted " << c.inverted << " position " << c.position);
        FakeGui gui;
        gui.values[kIndex] = c.inverted ? 0.0f : 1.0f; // starts at the far end from position 0
        MVSwitch sw(&gui, kIndex, 3, c.inverted);
        EXPECT_EQ(sw.getPosition(), 2);
        sw.setValue(c.position == 2 ? 0 : 2, juce::dontSendNotification);
        sw.setValue(c.position, juce::sendNotificationSync);
        ASSERT_EQ(gui.edits.size(), 1u);
        EXPECT_EQ(gui.edits[0].kind, MVGuiInterface::kNewValue);
        EXPECT_FLOAT_EQ(gui.edits[0].value, c.sent);
        gui.echo(kIndex, c.echo);
        EXPECT_EQ(sw.getPosition(), c.shown);
        EXPECT_EQ(gui.edits.size(), 1u) << "an echo is shown without being sent back";
    }
}

TEST(DiscreteWidgets, SwitchReleaseEndsTheGestureWithThePosition) {
    FakeGui gui;
    MVSwitch sw(&gui, kIndex, 4, false);
    sw.setBounds(0, 0, 20, 60);
    sw.mouseDown(mouseEvent(sw, {10, 30}));
    sw.setValue(3, juce::dontSendNotification);
    sw.mouseUp(mouseEvent(sw, {10, 30}, {}, {10, 30}));
    const auto ends = gui.editsOfKind(MVGuiInterface::kGestureEnd);
    ASSERT_EQ(ends.size(), 1u);
    EXPECT_EQ(ends[0].value, 3.0f);
    EXPECT_EQ(gui.editsOfKind(MVGuiInterface::kGestureBegin).size(), 1u);
}

TEST(DiscreteWidgets, NotANumberNeverBecomesAPosition) {
    FakeGui gui;
    gui.values[kIndex] = std::numeric_limits<float>::quiet_NaN();
    MVSwitch sw(&gui, kIndex, 3, false);
    EXPECT_EQ(sw.getPosition(), 0);
    gui.echo(kIndex, 1.0e30f);
    EXPECT_EQ(sw.getPosition(), 2);
    MVSwitch none(&gui, kIndex, 0, false); // no positions: behaves as one, never divides by zero
    none.sliderValueChanged(&none); // its only position has nowhere to move to
    ASSERT_EQ(gui.edits.size(), 1u);
    EXPECT_FLOAT_EQ(gui.edits[0].value, 0.5f);
}

struct GroupButtons {
    juce::ToggleButton a{"a"}, b{"b"}, c{"c"};
};

TEST(DiscreteWidgets, ButtonGroupWithStoredValueAndNullMember) {
    FakeGui gui;
    gui.values[kIndex] = 0.9f;
    GroupButtons buttons;
    juce::Component parent; // the library turns off the other radio buttons of the same parent
    parent.addChildComponent(buttons.a);
    parent.addChildComponent(buttons.c);
    auto group = std::make_unique<MVButtonGroup>(&gui, kIndex);
    group->addButton(&buttons.a);
    EXPECT_TRUE(buttons.a.getToggleState()) << "a group of one shows every value on its only button";
    group->addButton(nullptr);
    EXPECT_FALSE(buttons.a.getToggleState()) << "0.9 of two steps is the null member's";
    group->addButton(&buttons.c);
    EXPECT_TRUE(buttons.c.getToggleState()) << "the third button turns on for 0.9";
    EXPECT_FALSE(buttons.a.getToggleState());
    EXPECT_EQ(buttons.a.getRadioGroupId(), group->getRadioGroupId());

    struct Case {
        float echo;
        bool aOn, cOn;
    };
    for (const Case& k : {Case{0.0f, true, false}, Case{0.5f, false, false}, Case{1.0f, false, true},
                          Case{0.34f, false, false}, Case{0.33f, true, false}}) {
        gui.echo(kIndex, k.echo);
        EXPECT_EQ(buttons.a.getToggleState(), k.aOn) << k.echo;
        EXPECT_EQ(buttons.c.getToggleState(), k.cOn) << k.echo;
    }
    EXPECT_TRUE(gui.edits.empty());

    gui.echo(kIndex, 0.5f);
    buttons.c.setToggleState(true, juce::sendNotificationSync);
    buttons.a.setToggleState(true, juce::sendNotificationSync); // the radio group turns c off: c sends nothing
    EXPECT_FALSE(buttons.c.getToggleState());
    ASSERT_EQ(gui.edits.size(), 2u);
    EXPECT_FLOAT_EQ(gui.edits[0].value, 5.0f / 6);
    EXPECT_FLOAT_EQ(gui.edits[1].value, 1.0f / 6);
    for (const auto& e : gui.edits) EXPECT_EQ(e.kind, MVGuiInterface::kNewValue) << "a group sends no gestures";
}

TEST(DiscreteWidgets, GroupOutlivingItsButtonsAndButtonsOutlivingTheGroup) {
    FakeGui gui;
    auto group = std::make_unique<MVButtonGroup>(&gui, kIndex);
    auto gone = std::make_unique<juce::ToggleButton>("gone");
    juce::ToggleButton kept("kept");
    group->addButton(gone.get());
    group->addButton(&kept);
    gone.reset();
    gui.echo(kIndex, 0.1f); // the deleted button's step: nothing to touch
    gui.echo(kIndex, 0.9f);
    EXPECT_TRUE(kept.getToggleState());
    group.reset();
    EXPECT_EQ(gui.listenerCount(kIndex), 0);
    kept.setToggleState(false, juce::sendNotificationSync);
    kept.setToggleState(true, juce::sendNotificationSync);
    EXPECT_TRUE(gui.edits.empty()) << "a deleted group no longer listens to its buttons";
}

TEST(DiscreteWidgets, PushButtonIsOnExactlyWhileHeld) {
    FakeGui gui;
    MVPushButton button(&gui);
    button.setBounds(0, 0, MVPushButton::kWidth, MVPushButton::kHeight);
    button.setVisible(true);
    EXPECT_EQ(gui.listenerCount(ParameterIndex::kLfoTrigger), 1);

    button.mouseDown(mouseEvent(button, {5, 5}));
    EXPECT_TRUE(button.getToggleState());
    button.mouseUp(mouseEvent(button, {5, 5}, {}, {5, 5}));
    EXPECT_FALSE(button.getToggleState());
    // The release was never painted pressed, so the library flashes it; the flash is no second push.
    pumpMessages(250);
    ASSERT_EQ(gui.edits.size(), 2u);
    EXPECT_EQ(gui.edits[0].kind, MVGuiInterface::kNewValue);
    EXPECT_EQ(gui.edits[0].index, ParameterIndex::kLfoTrigger);
    EXPECT_EQ(gui.edits[0].value, 1.0f);
    EXPECT_EQ(gui.edits[1].kind, MVGuiInterface::kNewValue);
    EXPECT_EQ(gui.edits[1].value, 0.0f);

    gui.echo(ParameterIndex::kLfoTrigger, 0.8f);
    EXPECT_TRUE(button.getToggleState());
    gui.echo(ParameterIndex::kLfoTrigger, 0.2f);
    EXPECT_FALSE(button.getToggleState());
    EXPECT_EQ(gui.edits.size(), 2u);

    // A ctrl-click belongs to MIDI learn, even when the mouse moves while it is down.
    button.mouseDown(mouseEvent(button, {5, 5}, kCtrl));
    button.mouseDrag(mouseEvent(button, {6, 5}, {}, {5, 5}));
    button.mouseUp(mouseEvent(button, {6, 5}, {}, {5, 5}));
    EXPECT_EQ(gui.midiSettingsIndex, ParameterIndex::kLfoTrigger);
    EXPECT_EQ(gui.edits.size(), 2u);
    EXPECT_FALSE(button.getToggleState());
}

TEST(DiscreteWidgets, SwitchButtonTogglesAndSends) {
    FakeGui gui;
    gui.values[kIndex] = 0.7f;
    MVSwitchButton button(&gui, kIndex, nullptr, 0, nullptr, 0, nullptr, 0, nullptr, 0);
    button.setBounds(0, 0, 20, 20);
    button.setVisible(true);
    EXPECT_TRUE(button.getToggleState()) << "starts from the parameter";

    const auto click = [&](juce::ModifierKeys mods) {
        button.mouseDown(mouseEvent(button, {5, 5}, mods));
        button.mouseUp(mouseEvent(button, {5, 5}, {}, {5, 5}));
    };
    click({});
    click({});
    ASSERT_EQ(gui.edits.size(), 2u);
    EXPECT_EQ(gui.edits[0].value, 0.0f);
    EXPECT_EQ(gui.edits[1].value, 1.0f);
    EXPECT_EQ(gui.edits[1].kind, MVGuiInterface::kNewValue);

    click(kCtrl);
    EXPECT_EQ(gui.midiSettingsShown, 1);
    EXPECT_EQ(gui.edits.size(), 2u) << "a ctrl-click neither toggles nor sends";
    EXPECT_TRUE(button.getToggleState());

    gui.echo(kIndex, 0.5f);
    EXPECT_FALSE(button.getToggleState());
    gui.echo(kIndex, 0.51f);
    EXPECT_TRUE(button.getToggleState());
    EXPECT_EQ(gui.edits.size(), 2u);
}

TEST(DiscreteWidgets, UnboundSwitchButtonTogglesButSendsAndHearsNothing) {
    FakeGui gui;
    MVSwitchButton button(&gui, -1, nullptr, 0, nullptr, 0, nullptr, 0, nullptr, 0);
    button.setVisible(true);
    button.setBounds(0, 0, 20, 20);
    button.mouseDown(mouseEvent(button, {5, 5}));
    button.mouseUp(mouseEvent(button, {5, 5}, {}, {5, 5}));
    EXPECT_TRUE(button.getToggleState());
    EXPECT_TRUE(gui.edits.empty());
    EXPECT_EQ(gui.listenerCount(-1), 0);
}

} // namespace
} // namespace corvex
