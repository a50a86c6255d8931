// The four master-effect editors on a fake GUI interface: what each widget edits in either slot, the delay's
// link, the reverb's room picture, and where the widgets sit at the size the Effects page gives them.
#include <functional>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "editor/effects/CorvanAnalogChorusFlangerPanel.h"
#include "editor/effects/CorvanAnalogDelayPanel.h"
#include "editor/effects/CorvanAnalogFxReverbPanel.h"
#include "editor/effects/CorvanAnalogPhaserPanel.h"
#include "editor/effects/ReverbRoomPicture.h"
#include "tests/editor/effects/MasterEffectTestSupport.h"
#include "tests/support/FakeGui.h"

namespace corvex {
namespace {

using testing::BoundWidget;
using testing::boundWidgetsOf;
using testing::showsValue;

// The room an editor gets inside its frame on the LCD's Effects page.
constexpr int kEditorWidth = 588, kEditorHeight = 177;

using EditorMaker = std::function<std::unique_ptr<CorvanMultiEffectTemplatePanel>(MVGuiInterface*, int)>;
template <typename Editor>
EditorMaker maker() {
    return [](MVGuiInterface* gui, int n) { return std::make_unique<Editor>(gui, n); };
}

struct EditorCase {
    const char* name;
    EditorMaker make;
    // Kind and index, in the first slot's numbering, of every bound widget in the order the editor made them.
    std::vector<std::pair<char, int>> bound;
};

std::vector<EditorCase> editorCases() {
    return {
        {"chorus/flanger", maker<CorvanAnalogChorusFlangerPanel>(),
         {{'K', 189}, {'B', 986}, {'K', 199}, {'K', 190}, {'K', 191}, {'K', 192}, {'K', 193}, {'K', 194}, {'B', 987}}},
        {"delay", maker<CorvanAnalogDelayPanel>(),
         {{'K', 189}, {'B', 980}, {'K', 199}, {'K', 190}, {'K', 191}, {'K', 192}, {'K', 193}, {'K', 194}, {'K', 195},
          {'K', 196}, {'B', 983}, {'B', 984}}},
        {"reverb", maker<CorvanAnalogFxReverbPanel>(),
         {{'K', 189}, {'B', 993}, {'K', 199}, {'K', 192}, {'K', 190}, {'K', 191}, {'K', 193}}},
        {"phaser", maker<CorvanAnalogPhaserPanel>(),
         {{'K', 189}, {'B', 988}, {'K', 199}, {'C', 989}, {'K', 190}, {'K', 191}, {'K', 192}, {'C', 990},
          {'K', 193}, {'K', 194}, {'K', 195}, {'B', 991}, {'B', 992}}},
    };
}

int inSlot(int row, int n) {
    if (n == 0) return row;
    return row < 979 ? row + 11 : row + 15;
}

// Neighbouring rows get different values, so that a widget reading the wrong row shows it; none lies where a
// button's start and echo thresholds disagree.
float valueOf(int index) {
    constexpr float kValues[] = {0.1f, 0.7f, 0.2f, 0.8f, 0.3f, 0.9f, 0.4f};
    return kValues[index % 7];
}

void fillSlots(FakeGui& gui) {
    for (int n = 0; n < 2; ++n) {
        for (int row = 189; row <= 199; ++row) gui.values[inSlot(row, n)] = valueOf(inSlot(row, n));
        for (int row = 980; row <= 993; ++row) gui.values[inSlot(row, n)] = valueOf(inSlot(row, n));
    }
}

// Moves the widget as a player would; returns the edits it sent.
std::vector<FakeGui::Edit> moved(FakeGui& gui, const BoundWidget& w) {
    gui.edits.clear();
    if (w.kind == 'K')
        dynamic_cast<juce::Slider*>(w.widget)->setValue(0.123, juce::sendNotificationSync);
    else if (w.kind == 'B')
        dynamic_cast<juce::Button*>(w.widget)->triggerClick();
    else if (auto* box = dynamic_cast<juce::ComboBox*>(w.widget))
        box->setSelectedId(box->getSelectedId() == 4 ? 1 : 4, juce::sendNotificationSync);
    pumpMessages(5);
    return gui.edits;
}

TEST(MasterEffectEditors, EveryWidgetReadsEditsAndFollowsItsOwnRowInEitherSlot) {
    for (const EditorCase& c : editorCases()) {
        for (int n = 0; n < 2; ++n) {
            SCOPED_TRACE(juce::String(c.name) + " in slot " + juce::String(n + 1));
            FakeGui gui;
            fillSlots(gui);
            gui.values[inSlot(984, n)] = 0.1f;  // the delay's lines unlinked
            auto editor = c.make(&gui, n);
            const std::vector<BoundWidget> widgets = boundWidgetsOf(*editor);
            ASSERT_EQ(widgets.size(), c.bound.size());
            for (size_t i = 0; i < widgets.size(); ++i) {
                const BoundWidget& w = widgets[i];
                const int index = inSlot(c.bound[i].second, n);
                SCOPED_TRACE(index);
                EXPECT_EQ(w.kind, c.bound[i].first);
                EXPECT_TRUE(showsValue(w, gui.values[index])) << "read when made";
                const std::vector<FakeGui::Edit> edits = moved(gui, w);
                ASSERT_EQ(edits.size(), 1u);
                EXPECT_EQ(edits[0].kind, MVGuiInterface::kNewValue);
                EXPECT_EQ(edits[0].index, index);
                for (float echo : {0.0f, 0.95f}) {
                    gui.echo(index, echo);
                    EXPECT_TRUE(showsValue(w, echo)) << "after its echo";
                }
                for (int other : {inSlot(198, n), inSlot(c.bound[i].second, 1 - n)}) gui.echo(other, 0.3f);
                EXPECT_TRUE(showsValue(w, 0.95f)) << "another row's echo leaves it";
            }
        }
    }
}

TEST(MasterEffectEditors, PhaserShapeBoxesListTheShapesInTheirOrderWithTheirSteps) {
    FakeGui gui;
    gui.values[1004] = 0.1f;  // step 0 of 4: saw
    CorvanAnalogPhaserPanel phaser(&gui, 1);
    auto* box = dynamic_cast<CvnLcdComboBox*>(boundWidgetsOf(phaser)[3].widget);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->getName(), "Lfo Shape Combo");
    const juce::StringArray shapes{"Sine", "Square", "Saw", "Triangle"};
    const int ids[] = {3, 2, 1, 4};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(box->getItemText(i), shapes[i]);
        EXPECT_EQ(box->getItemId(i), ids[i]);
    }
    EXPECT_EQ(box->getText(), "Saw");
    box->setSelectedId(3, juce::sendNotificationSync);
    EXPECT_NEAR(gui.edits.back().value, 2.5f / 4.0f, 1e-6f) << "sine is step 2";
}

// The second delay line's three knobs edit the first line's rows while the link is on, and take the value of
// whichever row they edit at once: when the editor is made and on every change of the link.
TEST(MasterEffectEditors, DelayLinkBindsTheSecondLineToTheFirstLinesRows) {
    const struct {
        int n;
        float linkAtStart;
        std::vector<float> links;
    } cases[] = {{0, 0.0f, {0.5f, 0.49f, 1.0f, 0.0f}}, {1, 0.75f, {0.25f, 0.5f, -1.0f}}};
    for (const auto& c : cases) {
        FakeGui gui;
        fillSlots(gui);
        const int link = inSlot(984, c.n);
        gui.values[link] = c.linkAtStart;
        CorvanAnalogDelayPanel delay(&gui, c.n);
        std::vector<float> steps{c.linkAtStart};
        steps.insert(steps.end(), c.links.begin(), c.links.end());
        for (size_t s = 0; s < steps.size(); ++s) {
            if (s > 0) gui.echo(link, steps[s]);
            const bool linked = steps[s] >= 0.5f;
            SCOPED_TRACE(::testing::Message() << "slot " << c.n + 1 << ", link " << steps[s]);
            for (int k = 0; k < 3; ++k) {
                const int index = inSlot((linked ? 190 : 193) + k, c.n);
                const BoundWidget w{'K', index, delay.getSecondLineKnobs()[static_cast<size_t>(k)]};
                EXPECT_TRUE(showsValue(w, gui.values[index]));
                const std::vector<FakeGui::Edit> edits = moved(gui, w);
                ASSERT_EQ(edits.size(), 1u);
                EXPECT_EQ(edits[0].index, index);
                gui.echo(index, gui.values[index]);
            }
        }
    }
}

TEST(MasterEffectEditors, ReverbRoomGrowsWithTheSizeAndDarkensWithTheSecondValue) {
    const struct {
        int w, h;
        float size, fill;
        double share;  // of the picture the room spans
        float alpha;
    } cases[] = {
        {150, 150, 0.0f, 0.0f, 0.5, 0.0f},   {150, 150, 1.0f, 1.0f, 1.0, 0.5f},  {150, 150, 0.5f, 0.4f, 0.75, 0.2f},
        {200, 100, 1.0f, 0.5f, 1.0, 0.25f},  {150, 150, -1.0f, -1.0f, 0.5, 0.0f}, {150, 150, 2.0f, 3.0f, 1.0, 0.5f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.w << "x" << c.h << " size " << c.size << " fill " << c.fill);
        const ReverbRoom room = reverbRoomFor(c.w, c.h, c.size, c.fill);
        const int left = room.front.x, right = room.back.x + room.back.w;
        const int top = room.back.y, bottom = room.front.y + room.front.h;
        EXPECT_NEAR(right - left, c.share * c.w, 3.0);
        EXPECT_NEAR(bottom - top, c.share * c.h, 3.0);
        EXPECT_NEAR(left + right, c.w, 3.0) << "centred across";
        EXPECT_NEAR(top + bottom, c.h, 3.0) << "centred down";
        EXPECT_GE(left, 0);
        EXPECT_LE(right, c.w);
        EXPECT_GT(room.back.x, room.front.x) << "the back face lies to the right";
        EXPECT_LT(room.back.y, room.front.y) << "and above";
        const RoomEdge expected[4] = {
            {room.front.x, room.front.y, room.back.x, room.back.y},
            {room.front.x + room.front.w, room.front.y, room.back.x + room.back.w, room.back.y},
            {room.front.x, bottom, room.back.x, room.back.y + room.back.h},
            {room.front.x + room.front.w, bottom, room.back.x + room.back.w, room.back.y + room.back.h},
        };
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(room.edges[i].x1, expected[i].x1);
            EXPECT_EQ(room.edges[i].y1, expected[i].y1);
            EXPECT_EQ(room.edges[i].x2, expected[i].x2);
            EXPECT_EQ(room.edges[i].y2, expected[i].y2);
        }
        EXPECT_FLOAT_EQ(room.fillAlpha, c.alpha);
    }
}

TEST(MasterEffectEditors, ReverbGraphFollowsItsOwnSlotsSizeAndDamping) {
    for (int n = 0; n < 2; ++n) {
        FakeGui gui;
        fillSlots(gui);
        CorvanAnalogFxReverbPanel reverb(&gui, n);
        CorvanFxReverbGraphComponent& graph = reverb.getGraph();
        EXPECT_FLOAT_EQ(graph.getSize(), gui.values[inSlot(190, n)]);
        EXPECT_FLOAT_EQ(graph.getFill(), gui.values[inSlot(191, n)]);
        for (int other : {inSlot(190, 1 - n), inSlot(191, 1 - n), inSlot(192, n)}) gui.echo(other, 0.99f);
        EXPECT_FLOAT_EQ(graph.getSize(), gui.values[inSlot(190, n)]) << "other rows leave it";
        EXPECT_FLOAT_EQ(graph.getFill(), gui.values[inSlot(191, n)]);
        gui.echo(inSlot(190, n), 0.2f);
        gui.echo(inSlot(191, n), 0.7f);
        EXPECT_FLOAT_EQ(graph.getSize(), 0.2f);
        EXPECT_FLOAT_EQ(graph.getFill(), 0.7f);
    }
}

// At the size the Effects page gives them, every widget lies inside its editor and none covers another.
TEST(MasterEffectEditors, WidgetsFitTheirFrameWithoutOverlapping) {
    for (const EditorCase& c : editorCases()) {
        SCOPED_TRACE(c.name);
        FakeGui gui;
        auto editor = c.make(&gui, 0);
        EXPECT_EQ(editor->getSideWidth(), 0);
        editor->setSize(kEditorWidth, kEditorHeight);
        EXPECT_EQ(editor->getSideWidth(), CorvanMultiEffectTemplatePanel::kSideWidth);
        const juce::Array<juce::Component*>& children = editor->getChildren();
        for (int i = 0; i < children.size(); ++i) {
            const juce::Rectangle<int> a = children[i]->getBounds();
            EXPECT_FALSE(a.isEmpty()) << children[i]->getName();
            EXPECT_TRUE(editor->getLocalBounds().contains(a)) << children[i]->getName() << " " << a.toString();
            for (int j = i + 1; j < children.size(); ++j)
                EXPECT_FALSE(a.intersects(children[j]->getBounds()))
                    << children[i]->getName() << " " << a.toString() << " and " << children[j]->getName() << " "
                    << children[j]->getBounds().toString();
        }
    }
}

} // namespace
} // namespace corvex
