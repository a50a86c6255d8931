// The effect frames on a fake GUI interface: the selector's value decides the editor shown and the row chosen,
// whoever changed it; choosing a row sends the new type and nothing else; a new master type shows the values the
// instrument gives its rows, not the signal that they changed.
#include <functional>
#include <memory>

#include <gtest/gtest.h>

#include "editor/effects/CorvanAnalogChorusFlangerPanel.h"
#include "editor/effects/CorvanAnalogDelayPanel.h"
#include "editor/effects/CorvanAnalogFxReverbPanel.h"
#include "editor/effects/CorvanAnalogPhaserPanel.h"
#include "editor/effects/CorvanEffectsPanel.h"
#include "editor/effects/CorvanMultiEffectsPanel.h"
#include "editor/effects/EffectTypeSelector.h"
#include "tests/editor/effects/MasterEffectTestSupport.h"
#include "tests/support/FakeGui.h"
#include "widgets/CorvanLookAndFeel.h"

namespace corvex {
namespace {

using testing::boundWidgetsOf;
using testing::showsValue;

// The size the LCD's Effects page gives a frame, and where it puts the list.
constexpr int kFrameWidth = 756, kFrameHeight = 185;
constexpr int kListTop = 35, kListHeight = 120;

TEST(EffectTypeSelector, ValuesToTypesAndBack) {
    const struct {
        float value;
        int count, type;
    } cases[] = {
        {0.0f, 5, 0},  {0.1f, 5, 0},  {0.2f, 5, 1},   {0.7f, 5, 3},  {0.99f, 5, 4}, {1.0f, 5, 4},
        {-0.5f, 5, 0}, {-1.0f, 5, 0}, {7.0f, 5, 4},   {1.0f, 6, 5},  {0.5f, 6, 3},  {-0.01f, 6, 0},
        {std::numeric_limits<float>::quiet_NaN(), 6, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(effecttypes::typeOfValue(c.value, c.count), c.type) << c.value << " of " << c.count;
    for (int count : {5, 6})
        for (int t = 0; t < count; ++t) {
            EXPECT_EQ(effecttypes::typeOfValue(effecttypes::valueOfType(t, count), count), t);
            EXPECT_NEAR(effecttypes::valueOfType(t, count), (t + 0.5) / count, 1e-6);
        }
    EXPECT_EQ(effecttypes::masterEffectNames().size(), effecttypes::kMasterTypeCount);
    EXPECT_EQ(effecttypes::insertEffectNames().size(), effecttypes::kInsertTypeCount);
}

struct FrameCase {
    const char* name;
    int selector;
    juce::StringArray names;
    std::function<std::unique_ptr<EffectFrame>(FakeGui&)> make;
};

std::vector<FrameCase> frameCases() {
    const juce::StringArray master = effecttypes::masterEffectNames();
    const juce::StringArray insert = effecttypes::insertEffectNames();
    return {
        {"master 1", 979, master, [=](FakeGui& g) { return std::make_unique<CorvanMultiEffectsPanel>(&g, master, 0); }},
        {"master 2", 994, master, [=](FakeGui& g) { return std::make_unique<CorvanMultiEffectsPanel>(&g, master, 1); }},
        {"insert 1", 249, insert, [=](FakeGui& g) { return std::make_unique<CorvanEffectsPanel>(&g, insert, 0); }},
        {"insert 2", 344, insert, [=](FakeGui& g) { return std::make_unique<CorvanEffectsPanel>(&g, insert, 1); }},
    };
}

std::unique_ptr<EffectFrame> placed(const FrameCase& c, FakeGui& gui) {
    auto frame = c.make(gui);
    frame->setListBounds(kListTop, kListHeight);
    frame->setSize(kFrameWidth, kFrameHeight);
    return frame;
}

// The frame shows type t: its editor alone, its row chosen, its name as the outline's title.
::testing::AssertionResult showsType(EffectFrame& frame, const juce::StringArray& names, int t) {
    if (frame.getVisibleEditor() != frame.getEditor(t))
        return ::testing::AssertionFailure() << "another editor is shown";
    if (t > 0 && frame.getEditor(t) == nullptr) return ::testing::AssertionFailure() << "no editor for " << t;
    int visible = 0;
    for (int type = 1; type < names.size(); ++type)
        if (frame.getEditor(type) != nullptr && frame.getEditor(type)->isVisible()) ++visible;
    if (visible != (t > 0 ? 1 : 0)) return ::testing::AssertionFailure() << visible << " editors visible";
    if (frame.getList().getSelectedRow() != t)
        return ::testing::AssertionFailure() << "row " << frame.getList().getSelectedRow() << " chosen";
    if (frame.getTitle() != names[t]) return ::testing::AssertionFailure() << "titled " << frame.getTitle();
    return ::testing::AssertionSuccess();
}

TEST(EffectFrames, TheSelectorValueDecidesTheEditorWhoeverSetsIt) {
    for (const FrameCase& c : frameCases()) {
        SCOPED_TRACE(c.name);
        FakeGui gui;
        gui.values[c.selector] = effecttypes::valueOfType(2, c.names.size());
        auto frame = placed(c, gui);
        EXPECT_EQ(frame->getSelectorIndex(), c.selector);
        EXPECT_EQ(frame->getList().getName(), "Effects List");
        EXPECT_TRUE(showsType(*frame, c.names, 2)) << "read when made";
        EXPECT_EQ(gui.listenerCount(c.selector), 1);
        const struct {
            float value;
            int type;
        } echoes[] = {{0.1f, 0}, {1.0f, c.names.size() - 1}, {-0.5f, 0}, {0.35f, c.names.size() == 5 ? 1 : 2},
                      {0.0f, 0}};
        for (int t = 0; t < c.names.size(); ++t) {
            gui.echo(c.selector, effecttypes::valueOfType(t, c.names.size()));
            EXPECT_TRUE(showsType(*frame, c.names, t)) << "type " << t;
        }
        for (const auto& e : echoes) {
            gui.echo(c.selector, e.value);
            EXPECT_TRUE(showsType(*frame, c.names, e.type)) << "value " << e.value;
        }
        EXPECT_TRUE(gui.edits.empty()) << "a row chosen by the frame itself sends nothing back";
        frame.reset();
        EXPECT_EQ(gui.listenerCount(c.selector), 0);
    }
}

TEST(EffectFrames, MasterEditorsAreTheSlotsOwnOfTheirTypes) {
    for (int n = 0; n < 2; ++n) {
        FakeGui gui;
        CorvanMultiEffectsPanel frame(&gui, effecttypes::masterEffectNames(), n);
        auto* chorus = dynamic_cast<CorvanAnalogChorusFlangerPanel*>(frame.getEditor(1));
        auto* delay = dynamic_cast<CorvanAnalogDelayPanel*>(frame.getEditor(2));
        auto* reverb = dynamic_cast<CorvanAnalogFxReverbPanel*>(frame.getEditor(3));
        auto* phaser = dynamic_cast<CorvanAnalogPhaserPanel*>(frame.getEditor(4));
        ASSERT_TRUE(chorus != nullptr && delay != nullptr && reverb != nullptr && phaser != nullptr);
        for (CorvanMultiEffectTemplatePanel* editor : {(CorvanMultiEffectTemplatePanel*)chorus,
                                                       (CorvanMultiEffectTemplatePanel*)delay,
                                                       (CorvanMultiEffectTemplatePanel*)reverb,
                                                       (CorvanMultiEffectTemplatePanel*)phaser})
            EXPECT_EQ(editor->getEffectNumber(), n);
        EXPECT_EQ(frame.getEditor(0), nullptr);
    }
}

TEST(EffectFrames, ChoosingARowSendsItsTypeUnlessItIsTheCurrentOne) {
    for (const FrameCase& c : frameCases()) {
        SCOPED_TRACE(c.name);
        FakeGui gui;
        const int count = c.names.size();
        gui.values[c.selector] = effecttypes::valueOfType(1, count);
        auto frame = placed(c, gui);
        CorvanEffectList& list = frame->getList();
        const struct {
            int row;
            bool sends;
        } steps[] = {{3, true}, {1, false}, {0, true}, {count - 1, true}, {1, false}};
        for (const auto& s : steps) {
            gui.edits.clear();
            list.selectRow(s.row);
            if (!s.sends) {
                EXPECT_TRUE(gui.edits.empty()) << "row " << s.row << " is the current type";
                continue;
            }
            ASSERT_EQ(gui.edits.size(), 1u) << "row " << s.row;
            EXPECT_EQ(gui.edits[0].kind, MVGuiInterface::kNewValue);
            EXPECT_EQ(gui.edits[0].index, c.selector);
            EXPECT_FLOAT_EQ(gui.edits[0].value, effecttypes::valueOfType(s.row, count));
            EXPECT_TRUE(frame->getVisibleEditor() == frame->getEditor(1)) << "the editor waits for the echo";
        }
        // "No Effect" chosen and echoed: no editor, and the outline keeps its title.
        gui.echo(c.selector, effecttypes::valueOfType(2, count));
        gui.edits.clear();
        list.selectRow(0);
        ASSERT_EQ(gui.edits.size(), 1u);
        gui.echo(c.selector, gui.edits[0].value);
        EXPECT_TRUE(showsType(*frame, c.names, 0));
        EXPECT_EQ(frame->getTitle(), "No Effect");
    }
}

// A new master type gives the slot's rows new meanings: the instrument first tells the editor that every row
// changed (-1, which the messenger turns into the row's value), then the new type. The shown editor must then
// show what the instrument holds for each row.
TEST(EffectFrames, ANewMasterTypeShowsTheValuesTheInstrumentBuiltForIt) {
    for (int n = 0; n < 2; ++n) {
        for (int type = 1; type < effecttypes::kMasterTypeCount; ++type) {
            SCOPED_TRACE(::testing::Message() << "slot " << n + 1 << ", type " << type);
            FakeGui gui;
            const int selector = n == 0 ? 979 : 994;
            CorvanMultiEffectsPanel frame(&gui, effecttypes::masterEffectNames(), n);
            const int offsets[2] = {11 * n, 15 * n};
            int k = 0;
            for (int row = 189; row <= 199; ++row) gui.values[row + offsets[0]] = (++k % 4 == 0) ? 0.75f : 0.3f;
            for (int row = 980; row <= 993; ++row) gui.values[row + offsets[1]] = (++k % 2 == 0) ? 0.75f : 0.1f;
            gui.values[984 + offsets[1]] = 0.1f;  // the delay's lines unlinked
            for (int row = 189; row <= 199; ++row) gui.deliver(row + offsets[0], -1.0f);
            for (int row = 980; row <= 993; ++row) gui.deliver(row + offsets[1], -1.0f);
            gui.values[selector] = effecttypes::valueOfType(type, effecttypes::kMasterTypeCount);
            gui.echo(selector, gui.values[selector]);
            ASSERT_NE(frame.getVisibleEditor(), nullptr);
            for (const testing::BoundWidget& w : boundWidgetsOf(*frame.getVisibleEditor()))
                EXPECT_TRUE(showsValue(w, gui.values[w.index]));
            if (type == 3) {
                auto* reverb = dynamic_cast<CorvanAnalogFxReverbPanel*>(frame.getVisibleEditor());
                EXPECT_FLOAT_EQ(reverb->getGraph().getSize(), gui.values[190 + offsets[0]]);
            }
        }
    }
}

// The LCD glass behind a frame, in the product's look as the editor sets it.
struct LcdGlass : juce::Component {
    explicit LcdGlass(juce::Component& frame) {
        setLookAndFeel(CorvanLookAndFeel::getInstance());
        setSize(frame.getWidth(), frame.getHeight());
        addAndMakeVisible(frame);
    }
    ~LcdGlass() override {
        removeAllChildren();
        setLookAndFeel(nullptr);
    }
    void paint(juce::Graphics& g) override { g.fillAll(CorvanLookAndFeel::getInstance()->darkColour); }
};

TEST(EffectFrames, SnapshotsOfEveryTypeInBothFrames) {
    for (const FrameCase& c : {frameCases()[0], frameCases()[2]}) {
        FakeGui gui;
        for (int row = 189; row <= 199; ++row) gui.values[row] = 0.1f * static_cast<float>(row - 188);
        for (int row = 980; row <= 993; ++row) gui.values[row] = row % 2 == 0 ? 0.75f : 0.25f;
        auto frame = placed(c, gui);
        LcdGlass glass(*frame);
        const juce::String kind = c.selector == 979 ? "master" : "insert";
        for (int t = 0; t < c.names.size(); ++t) {
            gui.echo(c.selector, effecttypes::valueOfType(t, c.names.size()));
            const juce::Image image = snapshotOf(glass);
            EXPECT_TRUE(keepSnapshot(image, "editor-effect-frame-" + kind + "-" + juce::String(t) + ".png"));
            // The outline's title is drawn in grey over the dark glass.
            const juce::Colour corner = image.getPixelAt(EffectFrame::kOutlineX, kFrameHeight / 2);
            EXPECT_GT(corner.getBrightness(), CorvanLookAndFeel::getInstance()->darkColour.getBrightness())
                << "the outline's left edge";
        }
    }
}

} // namespace
} // namespace corvex
