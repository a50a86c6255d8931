// The modulation output panels: where the rows go, what each widget edits, and the "Q" switches that grey out
// their own row's amount.
#include <gtest/gtest.h>

#include "editor/modulation/CorvanKeyboardModOutputPanel.h"
#include "editor/modulation/CorvanModOutputPanel.h"
#include "editor/modulation/ModOutputLayout.h"
#include "instrument/params/ParameterIndex.h"
#include "tests/editor/modulation/ModulationTestSupport.h"
#include "tests/support/FakeGui.h"

namespace corvex {
namespace {

namespace P = ParameterIndex;
using R = juce::Rectangle<int>;

// The sequencer's outputs, the one panel with switches and a "ReTrig" button.
constexpr int kSeqDestination = 583, kSeqAmount = 45, kSeqSwitch = 586, kSeqRetrigger = 589;

TEST(ModOutputLayout, PlacesRowsOnePerLineOrInTwoColumnsWhenTooLow) {
    const struct {
        const char* what;
        int width, height;
        bool switches, retrigger;
        int columns;
        R box[3], knob0, toggle0, retrigger_;
    } cases[] = {
        {"X/Y output", 160, 100, false, false, 1,
         {{8, 16, 121, 14}, {8, 43, 121, 14}, {8, 70, 121, 14}}, {134, 16, 18, 18}, {152, 16, 20, 14},
         {8, 97, 121, 14}},
        {"sequencer outputs", 200, 120, true, true, 1,
         {{8, 14, 141, 14}, {8, 39, 141, 14}, {8, 64, 141, 14}}, {154, 14, 18, 18}, {172, 14, 20, 14},
         {8, 89, 141, 14}},
        // Row 0 keeps a line of its own; rows 1 and 2 share the second.
        {"too low for three lines", 160, 30, false, false, 2,
         {{8, 4, 88, 14}, {8, 19, 88, 14}, {129, 19, 88, 14}}, {101, 4, 18, 18}, {119, 4, 20, 14},
         {8, 34, 88, 14}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const modoutput::Places p = modoutput::layout(c.width, c.height, c.switches, c.retrigger);
        EXPECT_EQ(p.columns, c.columns);
        for (size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(p.rows[i].destination, c.box[i]) << "row " << i;
            EXPECT_EQ(p.rows[i].amount.getPosition(), p.rows[i].destination.getTopRight().translated(5, 0));
        }
        EXPECT_EQ(p.rows[0].amount, c.knob0);
        EXPECT_EQ(p.rows[0].toggle, c.toggle0);
        EXPECT_EQ(p.retrigger, c.retrigger_);
    }
    EXPECT_GT(modoutput::layout(0, 0, true, true).columns, 1) << "an empty panel still gets a layout";
}

// Every panel of the pages, as the pages make them.
struct Instance {
    const char* title;
    bool keyboard;
    int destination, amount, switchIndex, retrigger;
};
constexpr Instance kInstances[] = {
    {"X Output", false, P::kQuorbitXDestination, P::kQuorbitXAmount, -1, -1},
    {"Y Output", false, P::kQuorbitYDestination, P::kQuorbitYAmount, -1, -1},
    {"Outputs", false, kSeqDestination, kSeqAmount, kSeqSwitch, kSeqRetrigger},
    {"Velocity", true, P::kVelocityDestination, P::kVelocityAmount, -1, -1},
    {"Aftertouch", true, P::kAftertouchDestination, P::kAftertouchAmount, -1, -1},
};

std::unique_ptr<CorvanModOutputPanel> make(FakeGui& gui, const Instance& in) {
    if (in.keyboard)
        return std::make_unique<CorvanKeyboardModOutputPanel>(&gui, in.title, in.destination, in.amount);
    return std::make_unique<CorvanModOutputPanel>(&gui, in.title, in.destination, in.amount, in.switchIndex,
                                                  in.retrigger);
}

TEST(ModOutputPanel, EachRowEditsItsDestinationAndAmountAndFollowsTheirEchoes) {
    for (const Instance& in : kInstances) {
        SCOPED_TRACE(in.title);
        FakeGui gui;
        gui.values[in.destination + 2] = 6.5f / 9.0f; // read when the box is made
        auto panel = make(gui, in);
        panel->setSize(160, 100);

        EXPECT_EQ(panel->getRetriggerButton() != nullptr, in.retrigger >= 0);
        EXPECT_EQ(panel->getDestinationBox(2).getText(), "VCF Cutoff");
        for (int i = 0; i < 3; ++i) {
            SCOPED_TRACE(i);
            CvnLcdComboBox& box = panel->getDestinationBox(i);
            EXPECT_EQ(box.getName(), "Start Mode Combo " + juce::String(i));
            ASSERT_EQ(box.getNumItems(), 9);
            EXPECT_EQ(box.getItemText(8), "VCA");
            EXPECT_EQ(box.getItemId(1), 2);

            gui.echo(in.destination + i, 3.5f / 9.0f);
            EXPECT_EQ(box.getText(), "VCO1 PW");
            gui.edits.clear();
            box.setSelectedId(9, juce::sendNotificationSync);
            ASSERT_EQ(gui.edits.size(), 1u);
            EXPECT_EQ(gui.edits[0].index, in.destination + i);
            EXPECT_FLOAT_EQ(gui.edits[0].value, 8.5f / 9.0f);

            gui.echo(in.amount + i, 0.25f);
            EXPECT_NEAR(panel->getAmountKnob(i).getValue(), 0.25, 1e-6);
            EXPECT_EQ(panel->getSwitch(i) != nullptr, in.switchIndex >= 0);
            EXPECT_EQ(panel->getAmountKnob(i).getBounds(),
                      modoutput::layout(160, 100, in.switchIndex >= 0, in.retrigger >= 0).rows[size_t(i)].amount);
        }
    }
}

TEST(ModOutputPanel, SwitchesAndRetriggerEditTheirIndices) {
    FakeGui gui;
    CorvanModOutputPanel panel(&gui, "Outputs", kSeqDestination, kSeqAmount, kSeqSwitch, kSeqRetrigger);
    for (int i = 0; i < 3; ++i) {
        gui.edits.clear();
        panel.getSwitch(i)->setToggleState(true, juce::sendNotificationSync);
        ASSERT_EQ(gui.edits.size(), 1u);
        EXPECT_EQ(gui.edits[0].index, kSeqSwitch + i);
        EXPECT_EQ(gui.edits[0].value, 1.0f);
        EXPECT_EQ(panel.getSwitch(i)->getButtonText(), "Q");
    }
    gui.edits.clear();
    panel.getRetriggerButton()->setToggleState(true, juce::sendNotificationSync);
    ASSERT_EQ(gui.edits.size(), 1u);
    EXPECT_EQ(gui.edits[0].index, kSeqRetrigger);
    EXPECT_EQ(panel.getRetriggerButton()->getButtonText(), "ReTrig");
}

TEST(ModOutputPanel, ASwitchOnGreysOutOnlyItsOwnAmountFromTheStart) {
    FakeGui gui;
    gui.values[kSeqSwitch + 2] = 0.5f; // on when the page opens
    gui.values[kSeqSwitch + 1] = 0.49f;
    CorvanModOutputPanel panel(&gui, "Outputs", kSeqDestination, kSeqAmount, kSeqSwitch, kSeqRetrigger);
    auto enabled = [&] {
        std::string s;
        for (int i = 0; i < 3; ++i) s += panel.getAmountKnob(i).isEnabled() ? '1' : '0';
        return s;
    };
    EXPECT_EQ(enabled(), "110") << "read at construction";

    const struct {
        const char* what;
        int index;
        float value;
        const char* enabled;
    } steps[] = {
        {"row 0 on", kSeqSwitch, 1.0f, "010"},
        {"row 2 off", kSeqSwitch + 2, 0.0f, "011"},
        {"below the switches", kSeqSwitch - 1, 1.0f, "011"},
        {"above the switches", kSeqSwitch + 3, 1.0f, "011"},
        {"the retrigger is no switch", kSeqRetrigger, 1.0f, "011"},
        {"row 1 at the middle is on", kSeqSwitch + 1, 0.5f, "001"},
        {"row 0 just below the middle is off", kSeqSwitch, 0.499f, "101"},
    };
    for (const auto& s : steps) {
        gui.echo(s.index, s.value);
        EXPECT_EQ(enabled(), s.enabled) << s.what;
    }
}

TEST(ModOutputPanel, APanelWithoutSwitchesKeepsItsAmountsWhateverItHears) {
    FakeGui gui;
    CorvanKeyboardModOutputPanel panel(&gui, "Velocity", P::kVelocityDestination, P::kVelocityAmount);
    for (int index : {-1, 0, 1, 2, P::kVelocityDestination, P::kVelocityAmount}) panel.parameterChanged(index, 1.0f);
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(panel.getAmountKnob(i).isEnabled());
        EXPECT_EQ(panel.getSwitch(i), nullptr);
    }
}

TEST(ModOutputPanel, UnregistersEveryListenerWhenItGoes) {
    FakeGui gui;
    {
        CorvanModOutputPanel panel(&gui, "Outputs", kSeqDestination, kSeqAmount, kSeqSwitch, kSeqRetrigger);
        EXPECT_EQ(gui.listenerCount(kSeqSwitch + 1), 2) << "the button and the panel";
    }
    for (int index : {kSeqDestination, kSeqAmount + 2, kSeqSwitch, kSeqSwitch + 2, kSeqRetrigger})
        EXPECT_EQ(gui.listenerCount(index), 0) << index;
}

TEST(ModOutputPanel, Snapshot) {
    FakeGui gui;
    gui.values[kSeqSwitch + 1] = 1.0f;
    gui.values[kSeqDestination] = 1.5f / 9.0f;
    CorvanModOutputPanel outputs(&gui, "Outputs", kSeqDestination, kSeqAmount, kSeqSwitch, kSeqRetrigger);
    outputs.setSize(200, 120);
    testing::keepPageSnapshot(outputs, "editor-mod-outputs.png");
    CorvanKeyboardModOutputPanel velocity(&gui, "Velocity", P::kVelocityDestination, P::kVelocityAmount);
    velocity.setSize(200, 150);
    const juce::Image image = testing::keepPageSnapshot(velocity, "editor-mod-velocity-outputs.png");
    EXPECT_GT(image.getPixelAt(3, 75).getBrightness(), 0.3f) << "the group outline's left edge";
    EXPECT_LT(image.getPixelAt(100, 140).getBrightness(), 0.2f) << "the LCD's dark below the rows";
}

} // namespace
} // namespace corvex
