// The split-point marker over the keyboard: where a split value puts it, what dragging it sends and where the
// drag stops, when it shows, and its hover and bubble behaviour.
#include <limits>

#include <gtest/gtest.h>

#include "tests/support/FakeGui.h"
#include "widgets/CorvanKeyboard.h"
#include "widgets/CorvanMoveSplitComponent.h"

namespace corvex {
namespace {

constexpr int kMode = ParameterIndex::kKeyMode;
constexpr int kSplit = ParameterIndex::kSplitKey;

float noteValue(int note) { return (note + 0.5f) / 128.0f; }

class SplitFixture : public ::testing::Test {
protected:
    SplitFixture() { marker.setBounds(170, 259, 805, 30); } // the front panel's place: 12 pixels over the keys

    FakeGui gui = [] {
        FakeGui g;
        g.values[kSplit] = noteValue(60);
        g.values[kMode] = 5.0f / 6.0f; // "Split"
        return g;
    }();
    CorvanKeyboard keyboard{&gui};
    CorvanMoveSplitComponent marker{&gui, &keyboard};
};

TEST_F(SplitFixture, SplitValueMarksItsWhiteKey) {
    EXPECT_EQ(marker.getSplitWhiteIndex(), 14) << "read at construction: C 60 is two octaves above C 36";
    EXPECT_EQ(marker.getMarkerX(), 793 * 14 / 36);
    struct Case {
        int note;
        int index;
    };
    // White keys from C 36: C# marks C, F# marks F, B is the seventh white key of its octave.
    for (const Case& c : {Case{61, 14}, Case{60, 14}, Case{62, 15}, Case{65, 17}, Case{66, 17}, Case{71, 20},
                          Case{36, 0}, Case{96, 35}, Case{24, -7}}) {
        gui.echo(kSplit, noteValue(c.note));
        EXPECT_EQ(marker.getSplitWhiteIndex(), c.index) << c.note;
    }
    EXPECT_EQ(gui.listenerCount(kMode), 1);
    EXPECT_EQ(gui.listenerCount(kSplit), 1);
}

TEST_F(SplitFixture, ShownOnlyInSplitMode) {
    EXPECT_TRUE(marker.isVisible()) << "resized reads the mode";
    struct Case {
        float mode;
        bool shown;
    };
    for (const Case& c : {Case{1.0f / 6, false}, Case{0.5f, false}, Case{5.0f / 6, true}, Case{0.66f, false},
                          Case{0.6667f, true}, Case{-0.5f, false}, Case{1.0f, true}}) {
        gui.echo(kMode, c.mode);
        EXPECT_EQ(marker.isVisible(), c.shown) << c.mode;
    }
}

TEST_F(SplitFixture, DraggingSendsWhiteKeysAndStopsShortOfTheEnds) {
    const int x = marker.getMarkerX();
    marker.mouseDown(mouseEvent(marker, juce::Point<float>(x + 6.0f, 6.0f)));
    EXPECT_TRUE(marker.isDragging());
    EXPECT_EQ(gui.bubbleShown, 1);
    EXPECT_EQ(gui.bubbleIndex, kSplit);
    struct Case {
        float mx;
        int index;
        int note;
    };
    // index = (mx - 6) x 36 / 793: the G of the third octave, then both ends.
    const Case cases[] = {{6.0f + 793.0f * 18 / 36 + 1, 18, 67}, {-50.0f, 1, 38}, {2000.0f, 35, 96}};
    for (const Case& c : cases) {
        gui.edits.clear();
        marker.mouseDrag(mouseEvent(marker, juce::Point<float>(c.mx, 6.0f)));
        EXPECT_EQ(marker.getSplitWhiteIndex(), c.index) << c.mx;
        ASSERT_EQ(gui.edits.size(), 1u) << c.mx;
        EXPECT_EQ(gui.edits[0].kind, MVGuiInterface::kNewValue);
        EXPECT_EQ(gui.edits[0].index, kSplit);
        EXPECT_FLOAT_EQ(gui.edits[0].value, noteValue(c.note)) << c.mx;
    }
    gui.edits.clear();
    marker.mouseDrag(mouseEvent(marker, juce::Point<float>(2100.0f, 6.0f)));
    EXPECT_TRUE(gui.edits.empty()) << "the same key again sends nothing";
    marker.mouseUp(mouseEvent(marker, juce::Point<float>(2100.0f, 6.0f)));
    EXPECT_FALSE(marker.isDragging());
    EXPECT_EQ(gui.bubbleHidden, 1);
}

TEST_F(SplitFixture, APressBesideTheTriangleStartsNoDrag) {
    const int x = marker.getMarkerX();
    for (const auto p : {juce::Point<float>(x, 6), juce::Point<float>(x + 12, 6), juce::Point<float>(x + 6, 12),
                         juce::Point<float>(x + 6, 0)}) {
        marker.mouseDown(mouseEvent(marker, p));
        EXPECT_FALSE(marker.isDragging()) << p.toString();
        marker.mouseDrag(mouseEvent(marker, juce::Point<float>(400, 6)));
    }
    EXPECT_TRUE(gui.edits.empty());
    EXPECT_EQ(gui.bubbleShown, 0);
}

TEST_F(SplitFixture, TheBubblePreferenceAndTheHoverImage) {
    gui.settings[guisettings::kShowPopupOnClick] = guisettings::kNo;
    const int x = marker.getMarkerX();
    marker.mouseDown(mouseEvent(marker, juce::Point<float>(x + 6.0f, 3.0f)));
    EXPECT_TRUE(marker.isDragging());
    EXPECT_EQ(gui.bubbleShown, 0);
    marker.mouseUp(mouseEvent(marker, juce::Point<float>(x + 6.0f, 3.0f)));

    marker.mouseMove(mouseEvent(marker, juce::Point<float>(x + 6.0f, 3.0f)));
    ASSERT_TRUE(marker.isHovered());
    // The triangle's top middle: the orange brightened by 0.6 under the mouse, plain after the mouse leaves.
    juce::Colour shown = snapshotOf(marker).getPixelAt(x + 6, 1);
    EXPECT_EQ(shown.getARGB(), juce::Colour(220, 144, 121).getARGB());
    marker.mouseExit(mouseEvent(marker, juce::Point<float>(-5.0f, 3.0f)));
    shown = snapshotOf(marker).getPixelAt(x + 6, 1);
    EXPECT_EQ(shown.getARGB(), juce::Colour(199, 78, 42).getARGB());
}

TEST(SplitMarker, ANarrowComponentNeverDividesByZero) {
    FakeGui gui;
    gui.values[kMode] = 1.0f;
    CorvanMoveSplitComponent marker(&gui, nullptr);
    marker.setBounds(0, 0, 12, 12);
    marker.mouseDown(mouseEvent(marker, {6, 6}));
    marker.mouseDrag(mouseEvent(marker, {10, 6}));
    EXPECT_TRUE(gui.edits.empty());
    gui.echo(kSplit, std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(marker.getSplitWhiteIndex(), 0);
}

} // namespace
} // namespace corvex
