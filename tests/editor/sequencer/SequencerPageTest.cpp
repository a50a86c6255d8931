// The sequencer page and its panels on a fake GUI interface: bindings, play and stop, sync and the rate,
// quantisation lines, links gated by re-triggering, marks that follow the layer, and a snapshot; then the page
// in front of the real instrument, where a sequence drawn with the pen is heard.
#include <gtest/gtest.h>

#include "editor/LayerFoldingEditor.h"
#include "editor/sequencer/CorvanSequencerPanel.h"
#include "instrument/CorvanAudioFilter.h"
#include "presets/CorvanPresetServices.h"
#include "tests/editor/ComponentSearch.h"
#include "tests/editor/modulation/ModulationTestSupport.h"
#include "tests/editor/sequencer/SequencerTestSupport.h"
#include "tests/presets/ManagerTestSupport.h"
#include "tests/support/SignalChecks.h"
#include "widgets/CvnLcdComboBox.h"
#include "widgets/CvnPenIcon.h"
#include "widgets/CvnRubberIcon.h"

namespace corvex {
namespace {

namespace P = ParameterIndex;
using testing::BubbleRecordingGui;
using testing::findNamed;

constexpr int kPageWidth = 790;
constexpr int kPageHeight = 200;

TEST(SequencerFirstPanel, WidgetsEditTheirRows) {
    BubbleRecordingGui gui;
    CorvanSequencerFirstPanel panel(&gui);
    panel.setSize(185, 182);
    for (int index : {P::kSequencerRate, P::kSequencerAccentAttack, P::kSequencerAccentDecay, P::kSequencerAccentLevel,
                      P::kSequencerSmooth, P::kSequencerSwing}) {
        auto* knob = dynamic_cast<juce::Slider*>(panel.getWidgetFor(index));
        ASSERT_NE(knob, nullptr) << index;
        gui.edits.clear();
        knob->setValue(0.7, juce::sendNotificationSync);
        ASSERT_FALSE(gui.edits.empty()) << index;
        EXPECT_EQ(gui.edits.back().index, index);
    }
    struct Case {
        int index;
        int itemId;
        float sent;
    } const combos[] = {
        {P::kSequencerStartMode, 3, 2.5f / 3.0f},
        {P::kSequencerMode, 4, 3.5f / 5.0f},
        {P::kSequencerQuantize, 17, 16.5f / 129.0f},
    };
    for (const Case& c : combos) {
        auto* box = dynamic_cast<juce::ComboBox*>(panel.getWidgetFor(c.index));
        ASSERT_NE(box, nullptr) << c.index;
        gui.edits.clear();
        box->setSelectedId(c.itemId, juce::sendNotificationSync);
        ASSERT_EQ(gui.edits.size(), 1u) << c.index;
        EXPECT_EQ(gui.edits[0].index, c.index);
        EXPECT_FLOAT_EQ(gui.edits[0].value, c.sent);
    }
    gui.echo(P::kSequencerMode, 0.1f);
    EXPECT_EQ(dynamic_cast<juce::ComboBox*>(panel.getWidgetFor(P::kSequencerMode))->getText(), "")
        << "step 0 of the mode has no item";
    EXPECT_EQ(panel.getWidgetFor(P::kSequencerQuantize)->getY(), panel.getWidgetFor(P::kSequencerSync)->getY());
    EXPECT_EQ(panel.getAccentGroup(), juce::Rectangle<int>(15, 151, 155, 31));
}

// The quantise box is only 40 pixels wide; its text must still show.
TEST(SequencerFirstPanel, TheNarrowQuantiseBoxShowsItsText) {
    BubbleRecordingGui gui;
    gui.values[P::kSequencerQuantize] = 16.5f / 129.0f;
    CorvanSequencerFirstPanel panel(&gui);
    panel.setSize(185, 182);
    juce::Component& box = *panel.getWidgetFor(P::kSequencerQuantize);
    ASSERT_EQ(dynamic_cast<juce::ComboBox&>(box).getText(), "1/16");
    const juce::Image shot = snapshotOf(box);
    int ink = 0;
    for (int y = 2; y < 12; ++y)
        for (int x = 2; x < 26; ++x) ink += shot.getPixelAt(x, y).getBrightness() > 0.5f ? 1 : 0;
    EXPECT_GT(ink, 10);
}

TEST(SequencerFirstPanel, PlayAndStopSendOnlyValuesOfTheTriggerButton) {
    BubbleRecordingGui gui;
    CorvanSequencerFirstPanel panel(&gui);
    auto* play = findNamed<juce::Button>(panel, "Play");
    auto* stop = findNamed<juce::Button>(panel, "Stop");
    ASSERT_NE(play, nullptr);
    ASSERT_NE(stop, nullptr);
    for (juce::Button* b : {play, play, stop}) panel.buttonClicked(b);
    ASSERT_EQ(gui.edits.size(), 3u);
    const float sent[] = {1.0f, 1.0f, 0.0f};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(gui.edits[i].kind, MVGuiInterface::kNewValue);
        EXPECT_EQ(gui.edits[i].index, P::kSequencerTrigger);
        EXPECT_EQ(gui.edits[i].value, sent[i]);
    }
}

// Tempo sync takes the rate away, also on a page opened while sync is on.
TEST(SequencerFirstPanel, SyncDisablesTheRateAlsoAtConstruction) {
    for (float start : {0.0f, 1.0f}) {
        BubbleRecordingGui gui;
        gui.values[P::kSequencerSync] = start;
        CorvanSequencerFirstPanel panel(&gui);
        juce::Component* knob = panel.getWidgetFor(P::kSequencerRate);
        juce::Component* label = findNamed<juce::Label>(panel, "Rate Label");
        const struct {
            float value;
            bool enabled;
        } steps[] = {{start, start < 0.5f}, {0.75f, false}, {0.49f, true}, {0.5f, false}, {0.0f, true}};
        bool first = true;
        for (const auto& s : steps) {
            if (!first) gui.echo(P::kSequencerSync, s.value);
            first = false;
            EXPECT_EQ(knob->isEnabled(), s.enabled) << "sync at " << s.value;
            EXPECT_EQ(label->isEnabled(), s.enabled) << "sync at " << s.value;
        }
    }
}

// Each quantise item, chosen in the first panel and echoed to the third, brightens every beat-th step line.
TEST(SequencerPage, QuantiseItemsGiveTheirBeat) {
    BubbleRecordingGui gui;
    CorvanSequencerPanel page(&gui);
    auto& box = dynamic_cast<juce::ComboBox&>(*page.getFirstPanel().getWidgetFor(P::kSequencerQuantize));
    struct Case {
        const char* item;
        int beat;
    } const cases[] = {{"1/2", 0},   {"1/4", 1},   {"1/4T", 1},   {"1/8", 2},   {"1/8T", 3},    {"1/16", 4},
                       {"1/16T", 6}, {"1/32", 8},  {"1/32T", 12}, {"1/64", 16}, {"1/128", 32}};
    ASSERT_EQ(box.getNumItems(), static_cast<int>(std::size(cases)));
    for (int i = 0; i < box.getNumItems(); ++i) {
        EXPECT_EQ(box.getItemText(i), cases[i].item);
        gui.edits.clear();
        box.setSelectedItemIndex(i, juce::sendNotificationSync);
        ASSERT_EQ(gui.edits.size(), 1u) << cases[i].item;
        gui.echo(P::kSequencerQuantize, gui.edits[0].value);
        EXPECT_EQ(page.getThirdPanel().getQuantisationBeat(), cases[i].beat) << cases[i].item;
    }
}

class SequencerThirdPanelTest : public ::testing::Test {
protected:
    SequencerThirdPanelTest() {
        gui.fillSteps(0.5f);
        for (int s : {2, 7}) gui.values[P::kSequencerFirstLink + s] = 1.0f;
        gui.values[P::kSequencerFirstAccent + 3] = 0.5f; // on from the start; an echo needs more than 0.6
        panel = std::make_unique<CorvanSequencerThirdPanel>(&gui);
        panel->setSize(445, 182);
    }
    CorvanSequencerGraphComponent& graph() { return panel->getGraph(); }
    using Row = CorvanSequencerThirdPanel::Row;

    BubbleRecordingGui gui;
    std::unique_ptr<CorvanSequencerThirdPanel> panel;
};

TEST_F(SequencerThirdPanelTest, LaysOutBoxesUnderTheirStepsAndToolsBeside) {
    EXPECT_EQ(graph().getBounds(), juce::Rectangle<int>(27, 0, 418, 138));
    EXPECT_EQ(graph().getStepWidth(), 12);
    EXPECT_EQ(panel->getGraphRight(), 42 + 32 * 12);
    const struct {
        Row row;
        const char* letter;
        int index, y;
    } rows[] = {{Row::kLinkRow, "L", P::kSequencerFirstLink, 142},
                {Row::kGlideRow, "G", P::kSequencerFirstGlide, 156},
                {Row::kAccentRow, "A", P::kSequencerFirstAccent, 170}};
    for (const auto& r : rows) {
        for (int s : {0, 31}) {
            CvnSmallLcdCheckBox& box = panel->getBox(r.row, s);
            EXPECT_EQ(box.getName(), r.letter + juce::String(s));
            EXPECT_EQ(box.getBounds(), juce::Rectangle<int>(42 + 12 * s + 1, r.y, 9, 9)) << r.letter << s;
            EXPECT_EQ(gui.listenerCount(r.index + s), r.row == Row::kGlideRow ? 1 : 2) << r.letter << s;
        }
    }
    EXPECT_EQ(findNamed<juce::Button>(*panel, "Clear Sequence")->getBounds(), juce::Rectangle<int>(0, 115, 23, 23));
    EXPECT_TRUE(panel->getBox(Row::kAccentRow, 3).getToggleState());
    EXPECT_TRUE(graph().isStepAccented(3));

    gui.edits.clear();
    panel->getBox(Row::kGlideRow, 5).setToggleState(true, juce::sendNotificationSync);
    ASSERT_EQ(gui.edits.size(), 1u);
    EXPECT_EQ(gui.edits[0].index, P::kSequencerFirstGlide + 5);
}

// Links are shown and editable only while steps re-trigger; the rows of the layer stay as they are.
TEST_F(SequencerThirdPanelTest, RetriggerGatesLinks) {
    const auto linksShown = [&] {
        int n = 0;
        for (int s = 0; s < 32; ++s) n += graph().isStepLinked(s) ? 1 : 0;
        return n;
    };
    EXPECT_FALSE(panel->isLinkEnabled());
    EXPECT_FALSE(panel->getRowLabel(Row::kLinkRow).isEnabled());
    EXPECT_FALSE(panel->getBox(Row::kLinkRow, 2).isEnabled());
    EXPECT_TRUE(panel->getBox(Row::kGlideRow, 2).isEnabled());
    EXPECT_EQ(linksShown(), 0) << "stored links hidden";

    gui.echo(P::kSequencerRetrigger, 1.0f);
    EXPECT_TRUE(panel->getRowLabel(Row::kLinkRow).isEnabled());
    EXPECT_TRUE(panel->getBox(Row::kLinkRow, 2).isEnabled());
    EXPECT_TRUE(panel->getBox(Row::kLinkRow, 7).getToggleState());
    EXPECT_TRUE(graph().isStepLinked(2) && graph().isStepLinked(7));
    EXPECT_EQ(linksShown(), 2);

    panel->getBox(Row::kLinkRow, 9).setToggleState(true, juce::sendNotificationSync);
    EXPECT_TRUE(graph().isStepLinked(9)) << "a click marks the graph";

    gui.edits.clear();
    gui.echo(P::kSequencerRetrigger, 0.0f);
    EXPECT_EQ(linksShown(), 0);
    EXPECT_FALSE(panel->getBox(Row::kLinkRow, 7).isEnabled());
    EXPECT_TRUE(gui.edits.empty()) << "the link rows are not touched";

    // A page opened while re-triggering shows the links at once.
    gui.values[P::kSequencerRetrigger] = 1.0f;
    CorvanSequencerThirdPanel opened(&gui);
    EXPECT_TRUE(opened.isLinkEnabled());
    EXPECT_TRUE(opened.getGraph().isStepLinked(7));
}

// A preset load or a layer switch echoes every row: the graph's marks follow, links only while they show.
TEST_F(SequencerThirdPanelTest, MarksFollowTheLayersRows) {
    gui.echo(P::kSequencerFirstAccent + 3, 0.0f);
    gui.echo(P::kSequencerFirstAccent + 12, 1.0f);
    EXPECT_FALSE(graph().isStepAccented(3));
    EXPECT_TRUE(graph().isStepAccented(12));
    gui.echo(P::kSequencerFirstLink + 4, 1.0f);
    EXPECT_FALSE(graph().isStepLinked(4)) << "links hidden without re-triggering";
    gui.echo(P::kSequencerRetrigger, 1.0f);
    gui.echo(P::kSequencerFirstLink + 2, 0.0f);
    gui.echo(P::kSequencerFirstLink + 20, 1.0f);
    EXPECT_FALSE(graph().isStepLinked(2));
    EXPECT_TRUE(graph().isStepLinked(20));
}

TEST_F(SequencerThirdPanelTest, ToolButtonsChooseTheToolAndFillOrClearTheSteps) {
    const struct {
        const char* name;
        SequencerTool tool;
    } tools[] = {{"Line Tool", SequencerTool::Line}, {"Eraser Tool", SequencerTool::Eraser},
                 {"Pen Tool", SequencerTool::Pen}};
    EXPECT_TRUE(findNamed<juce::Button>(*panel, "Pen Tool")->getToggleState());
    for (const auto& t : tools) {
        auto* button = findNamed<juce::Button>(*panel, t.name);
        button->setToggleState(true, juce::sendNotificationSync);
        EXPECT_EQ(graph().getTool(), t.tool) << t.name;
        int on = 0;
        for (const auto& other : tools) on += findNamed<juce::Button>(*panel, other.name)->getToggleState() ? 1 : 0;
        EXPECT_EQ(on, 1) << "one tool at a time";
    }

    panel->buttonClicked(findNamed<juce::Button>(*panel, "Random Sequence"));
    ASSERT_EQ(gui.edits.size(), 32u);
    std::set<float> distinct;
    for (int s = 0; s < 32; ++s) {
        EXPECT_EQ(gui.edits[size_t(s)].index, P::kSequencerFirstStep + s);
        EXPECT_GE(gui.edits[size_t(s)].value, 0.0f);
        EXPECT_LT(gui.edits[size_t(s)].value, 1.0f);
        distinct.insert(gui.edits[size_t(s)].value);
    }
    EXPECT_GT(distinct.size(), 16u);
    gui.edits.clear();
    panel->buttonClicked(findNamed<juce::Button>(*panel, "Clear Sequence"));
    ASSERT_EQ(gui.edits.size(), 32u);
    for (int s = 0; s < 32; ++s) {
        EXPECT_EQ(gui.edits[size_t(s)].index, P::kSequencerFirstStep + s);
        EXPECT_EQ(gui.edits[size_t(s)].value, 0.5f);
    }
}

// The chosen tool's icon is dark on its lit face, the others grey; a disabled page shows them faint.
TEST_F(SequencerThirdPanelTest, ToolIconsShowWhichToolIsOnAndWhetherThePageIsEnabled) {
    const struct {
        const char* name;
        juce::Image icon;
    } tools[] = {{"Pen Tool", CvnPenIcon::get()}, {"Eraser Tool", CvnRubberIcon::get()}};
    for (const auto& t : tools) {
        auto& button = *findNamed<juce::Button>(*panel, t.name);
        juce::Point<int> ink;
        for (int y = 0; y < t.icon.getHeight(); ++y)
            for (int x = 0; x < t.icon.getWidth(); ++x)
                if (t.icon.getPixelAt(x, y).getAlpha() == 255) ink = {x, y};
        ink += {(button.getWidth() - t.icon.getWidth()) / 2, (button.getHeight() - t.icon.getHeight()) / 2};
        const auto inkColour = [&] { return snapshotOf(button).getPixelAt(ink.x, ink.y); };
        panel->setEnabled(true);
        button.setToggleState(true, juce::sendNotificationSync);
        EXPECT_EQ(inkColour().getARGB(), CorvanLookAndFeel::kDark) << t.name << " on";
        button.setToggleState(false, juce::dontSendNotification);
        EXPECT_EQ(inkColour().getARGB(), CorvanLookAndFeel::kGrey) << t.name << " off";
        panel->setEnabled(false);
        const juce::Colour faint = inkColour();
        EXPECT_NE(faint.getARGB(), CorvanLookAndFeel::kGrey) << t.name << " disabled";
        EXPECT_GT(faint.getBrightness(), juce::Colour(CorvanLookAndFeel::kDark).getBrightness()) << t.name;
    }
}

TEST(SequencerPage, PlacesThePanelsAndHidesTheGraphWithIt) {
    BubbleRecordingGui gui;
    CorvanSequencerPanel page(&gui);
    page.setSize(kPageWidth, kPageHeight);
    EXPECT_EQ(page.getFirstPanel().getBounds(), juce::Rectangle<int>(9, 9, 185, 182));
    EXPECT_EQ(page.getThirdPanel().getBounds(), juce::Rectangle<int>(209, 9, 445, 182));
    EXPECT_EQ(page.getOutputPanel().getBounds(), juce::Rectangle<int>(209 + 426 + 15, 9, 790 - 48 - 426 - 185, 182));
    EXPECT_EQ(page.getOutputPanel().getTitle(), "Outputs");
    page.setVisible(true);
    EXPECT_TRUE(page.getThirdPanel().getGraph().isVisible());
    page.setVisible(false);
    EXPECT_FALSE(page.getThirdPanel().getGraph().isVisible()) << "a hidden page repaints no playing step";
}

// Random steps, a few accents and links, step lines every 4 steps and step 6 playing.
TEST(SequencerPage, Snapshot) {
    BubbleRecordingGui gui;
    juce::Random random(38);
    for (int s = 0; s < 32; ++s) gui.values[P::kSequencerFirstStep + s] = random.nextFloat();
    for (int s : {0, 4, 8, 12, 13}) gui.values[P::kSequencerFirstAccent + s] = 1.0f;
    for (int s : {2, 3, 9, 10}) gui.values[P::kSequencerFirstLink + s] = 1.0f;
    gui.values[P::kSequencerRetrigger] = 1.0f;
    gui.values[P::kSequencerQuantize] = 16.5f / 129.0f;
    gui.values[P::kSequencerLength] = 15.5f / 32.0f;
    gui.values[P::kSequencerSync] = 1.0f;
    gui.values[P::kSequencerMode] = 1.5f / 5.0f;
    gui.values[P::kSequencerFirstDestination] = 1.5f / 9.0f;
    CorvanSequencerPanel page(&gui);
    page.setSize(kPageWidth, kPageHeight);
    gui.echo(P::kUpperSequencerStep, 6.5f / 32.0f);
    const juce::Image shot = testing::keepPageSnapshot(page, "editor-sequencer-page.png");
    // The graph's frame top edge and the playing step's hollow middle.
    CorvanSequencerGraphComponent& graph = page.getThirdPanel().getGraph();
    const juce::Point<int> origin = graph.getScreenPosition() - page.getScreenPosition();
    const juce::Rectangle<int> bar = seqgraph::barOf(6, graph.getStepValue(6), false, graph.getStepWidth(),
                                                     graph.getHeight()) + origin;
    ASSERT_GT(bar.getHeight(), 4);
    EXPECT_EQ(shot.getPixelAt(bar.getCentreX(), bar.getCentreY()).getARGB(), CorvanLookAndFeel::kDark);
    EXPECT_NE(shot.getPixelAt(bar.getX(), bar.getCentreY()).getARGB(), CorvanLookAndFeel::kDark);
}

class SequencerInstrumentTest : public ::testing::Test {
protected:
    static constexpr double kRate = 44100.0;
    static constexpr int kBlock = 64;

    SequencerInstrumentTest() {
        instrument = CorvanAudioFilter::createPluginFilter(folder, std::make_unique<CorvanPresetServices>(folder));
        instrument->prepareToPlay(kRate, kBlock);
        editor = std::make_unique<LayerFoldingEditor>(instrument.get(), folder);
        instrument->setActiveEditor(editor.get());
        page = std::make_unique<CorvanSequencerPanel>(editor.get());
        page->setSize(kPageWidth, kPageHeight);
        page->setVisible(true);
        render({}, 0.05);
        testing::deliverPostedMessages();
    }
    ~SequencerInstrumentTest() override {
        page.reset();
        instrument->setActiveEditor(nullptr);
        editor.reset();
        instrument.reset();
        root.deleteRecursively();
    }
    std::vector<float> render(juce::MidiBuffer midi, double seconds) {
        std::vector<float> out, left(kBlock), right(kBlock);
        for (int b = 0; b < static_cast<int>(seconds * kRate / kBlock); ++b) {
            float* outs[2] = {left.data(), right.data()};
            instrument->processBlock(outs, 2, kBlock, false, midi);
            midi.clear();
            out.insert(out.end(), left.begin(), left.end());
        }
        return out;
    }
    static double frequency(const std::vector<float>& x, double from, double to) {
        return testing::autocorrelationFrequency(
            std::vector<float>(x.begin() + static_cast<long>(from * kRate), x.begin() + static_cast<long>(to * kRate)),
            kRate, 40.0, 2000.0);
    }
    // What the instrument's idle timer does every 50 ms, then the editor's posted echoes.
    void deliverKernelReports() {
        instrument->getKernel()->drainNotifications();
        testing::deliverPostedMessages();
    }
    CorvanSequencerGraphComponent& graph() { return page->getThirdPanel().getGraph(); }
    // The pointer over step s at the top of the grid or on the centre line.
    juce::Point<int> top(int s) { return {seqgraph::kFrameLeft + s * graph().getStepWidth() + 2, seqgraph::kGridTop}; }
    juce::Point<int> centre(int s) {
        return {seqgraph::kFrameLeft + s * graph().getStepWidth() + 2, seqgraph::centreLine(graph().getHeight())};
    }

    juce::File root = juce::File::createTempFile("sequencer-instrument");
    MorvaneFindFolder folder{root, "Corvex2"};
    std::unique_ptr<CorvanAudioFilter> instrument;
    std::unique_ptr<LayerFoldingEditor> editor;
    std::unique_ptr<CorvanSequencerPanel> page;
};

// Two steps drawn with the pen, the first two octaves up and the second at the key's pitch, routed to VCO 1's
// pitch: a held key plays both in turn, and the graph outlines the step the kernel reports.
TEST_F(SequencerInstrumentTest, ASequenceDrawnWithThePenIsHeard) {
    instrument->setParameter(P::kOscMix, 0.0f); // VCO 1 alone
    page->getOutputPanel().getDestinationBox(0).setSelectedId(2, juce::sendNotificationSync); // VCO1 Pitch
    page->getOutputPanel().getSwitch(0)->setToggleState(true, juce::sendNotificationSync); // in semitones
    graph().press(top(0));
    graph().drag(centre(1));
    graph().release();
    graph().press({seqgraph::kFirstBarLeft + 2, 15}); // the length bar, dragged back to two steps
    graph().drag({seqgraph::kFrameLeft + graph().getStepWidth() + 2, 15});
    graph().release();
    testing::deliverPostedMessages();
    ASSERT_FLOAT_EQ(instrument->getParameter(P::kSequencerFirstStep), 1.0f);
    ASSERT_FLOAT_EQ(instrument->getParameter(P::kSequencerFirstStep + 1), 0.5f);
    ASSERT_FLOAT_EQ(instrument->getParameter(P::kSequencerLength), 1.5f / 32.0f);

    juce::MidiBuffer on;
    on.addEvent(juce::MidiMessage::noteOn(1, 60, juce::uint8(100)), 0);
    const std::vector<float> firstStep = render(on, 0.45);
    deliverKernelReports();
    EXPECT_EQ(graph().getPlayStep(0), 0);
    const std::vector<float> secondStep = render({}, 0.5);
    deliverKernelReports();
    EXPECT_EQ(graph().getPlayStep(0), 1) << "the kernel's report of the second step reached the graph";

    const double high = frequency(firstStep, 0.1, 0.4);
    const double low = frequency(secondStep, 0.15, 0.45);
    ASSERT_GT(low, 100.0);
    EXPECT_NEAR(high / low, 4.0, 0.1) << high << " Hz then " << low << " Hz";
}

} // namespace
} // namespace corvex
