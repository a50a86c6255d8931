// The X/Y page: the trail's strokes, which layer's points the screen draws and when, the page's places and
// bindings, and the trails the running kernel's points draw through the real instrument and editor.
#include <gtest/gtest.h>

#include <cmath>

#include "editor/LayerFoldingEditor.h"
#include "editor/modulation/CorvanQuorbitPanel.h"
#include "editor/modulation/QuorbitTrails.h"
#include "instrument/CorvanAudioFilter.h"
#include "instrument/params/ParameterIndex.h"
#include "presets/CorvanPresetServices.h"
#include "tests/editor/modulation/ModulationTestSupport.h"
#include "tests/presets/ManagerTestSupport.h"
#include "tests/support/FakeGui.h"
#include "widgets/MVParameterMessenger.h"

namespace corvex {
namespace {

namespace P = ParameterIndex;
using Pt = juce::Point<float>;
using R = juce::Rectangle<int>;
constexpr float kPi = 3.14159265f;

TEST(QuorbitTrails, LongerJumpsDrawThinnerFainterSegments) {
    const struct {
        Pt from, to;
        float alpha, thickness;
    } cases[] = {
        {{0.0f, 0.0f}, {0.0f, 0.0f}, 1.0f, 2.0f},
        {{0.5f, 0.5f}, {0.5f, 1.0f}, 1.0f - 0.25f / 3.0f, 1.75f},
        {{0.0f, 0.0f}, {1.0f, 1.0f}, 1.0f / 3.0f, 0.0f}, // across the whole square
        {{1.0f, 0.0f}, {0.0f, 1.0f}, 1.0f / 3.0f, 0.0f},
    };
    for (const auto& c : cases) {
        const quorbit::Stroke s = quorbit::strokeFor(c.from, c.to);
        EXPECT_NEAR(s.alpha, c.alpha, 1e-6) << c.from.toString() << " -> " << c.to.toString();
        EXPECT_NEAR(s.thickness, c.thickness, 1e-6) << c.from.toString() << " -> " << c.to.toString();
    }
}

TEST(QuorbitTrails, ShownLayerAndLabelAngle) {
    const std::pair<float, int> layers[] = {{-0.5f, 0}, {0.0f, 0}, {0.49f, 0}, {0.5f, 1}, {1.0f, 1}, {2.0f, 1}};
    for (const auto& [value, layer] : layers) EXPECT_EQ(quorbit::shownLayer(value), layer) << value;

    const struct {
        float cosine, sine, angle;
    } angles[] = {
        {1.0f, 0.0f, 0.0f}, {0.0f, -1.0f, kPi / 2}, {-1.0f, 0.0f, kPi}, {0.0f, 1.0f, 1.5f * kPi}, {1.01f, 0.0f, 0.0f},
    };
    for (const auto& a : angles) EXPECT_NEAR(quorbit::labelAngle(a.cosine, a.sine), a.angle, 1e-5) << a.sine;
}

TEST(QuorbitTrails, PagePlaces) {
    const struct {
        int width, height;
        R freeRun, rotationGroup, angleLabel, lastShapeLabel, screen, yOutput, xOutput;
        juce::Point<int> yCorner, xCorner; // the third corner of each connector
    } cases[] = {
        {650, 250, {50, 24, 60, 14}, {25, 165, 220, 57}, {71, 175, 60, 14}, {31, 198, 60, 14}, {261, 28, 204, 204},
         {481, 11, 160, 113}, {481, 126, 160, 113}, {473, 19}, {473, 182}},
        {610, 221, {47, 19, 60, 14}, {22, 145, 220, 57}, {71, 155, 60, 14}, {28, 178, 60, 14}, {255, 28, 175, 175},
         {443, 11, 160, 98}, {443, 111, 160, 98}, {436, 19}, {436, 160}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(juce::String(c.width) + "x" + juce::String(c.height));
        const quorbit::PagePlaces p = quorbit::pageLayout(c.width, c.height);
        EXPECT_EQ(p.freeRun, c.freeRun);
        EXPECT_EQ(p.sync, c.freeRun.translated(110, 0));
        EXPECT_EQ(p.groups[2], c.rotationGroup);
        EXPECT_EQ(p.groups[1].getY() - p.groups[0].getY(), p.groups[2].getY() - p.groups[1].getY());
        EXPECT_EQ(p.angleLabel, c.angleLabel);
        EXPECT_EQ(p.angle, R(131, c.angleLabel.getY(), 18, 18));
        EXPECT_EQ(p.lfos[2].shapeLabel, c.lastShapeLabel);
        EXPECT_EQ(p.lfos[0].rate.getY(), p.groups[0].getY() + 10);
        EXPECT_EQ(p.screen, c.screen);
        EXPECT_EQ(p.yOutput, c.yOutput);
        EXPECT_EQ(p.xOutput, c.xOutput);
        EXPECT_EQ(p.toYOutput[0], juce::Point<int>(c.screen.getCentreX(), 28));
        EXPECT_EQ(p.toYOutput[2], c.yCorner);
        EXPECT_EQ(p.toYOutput[4], juce::Point<int>(c.yOutput.getX(), c.yOutput.getY() + c.yOutput.getHeight() / 2));
        EXPECT_EQ(p.toXOutput[2], c.xCorner);
        EXPECT_EQ(p.toXOutput[3].getX(), c.xOutput.getX());
    }
}

// A fake GUI whose GUI messages go through the editor's real messenger: posted, delivered later, freed once.
struct MessengerGui : FakeGui {
    void addGuiMessageListener(int id, MVGuiMessageListener* l) override { messenger.addGuiMessageListener(id, l); }
    void removeGuiMessageListener(int id, MVGuiMessageListener* l) override {
        messenger.removeGuiMessageListener(id, l);
    }
    void postGuiMessage(int id, std::shared_ptr<const void> payload) override {
        messenger.postGuiMessage(id, std::move(payload));
    }
    MVParameterMessenger messenger;
};

std::shared_ptr<PointRecord> points(int layer, std::initializer_list<std::array<float, 4>> list) {
    auto record = std::make_shared<PointRecord>();
    record->layer = layer;
    for (const auto& p : list) record->values.insert(record->values.end(), p.begin(), p.end());
    record->groupCount = static_cast<int>(list.size());
    return record;
}

// The paint around a point of the unit square: the alpha summed over the 3 x 3 pixels nearest it.
float inkAt(const juce::Image& trail, Pt unit) {
    const int x = juce::roundToInt(2.0f + unit.x * static_cast<float>(trail.getWidth() - 4));
    const int y = juce::roundToInt(2.0f + (1.0f - unit.y) * static_cast<float>(trail.getHeight() - 4));
    float ink = 0.0f;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) ink += trail.getPixelAt(x + dx, y + dy).getFloatAlpha();
    return ink;
}

bool isBlank(const juce::Image& trail) {
    for (int y = 0; y < trail.getHeight(); ++y)
        for (int x = 0; x < trail.getWidth(); ++x)
            if (trail.getPixelAt(x, y).getAlpha() != 0) return false;
    return true;
}

// The screen on a window of its own, so that it is on show.
struct ScreenFixture : ::testing::Test {
    ScreenFixture() {
        window.setSize(104, 104);
        window.addChildComponent(screen);
        screen.setBounds(0, 0, 104, 104);
        screen.setVisible(true);
        window.addToDesktop(juce::ComponentPeer::windowIsTemporary);
        window.setVisible(true);
    }

    MessengerGui gui;
    juce::Component window;
    CorvanQuorbitScreen screen{&gui};
};

TEST_F(ScreenFixture, DrawsOnlyTheBlocksLayerWhileOnShow) {
    ASSERT_TRUE(screen.isShowing());
    const struct {
        const char* what;
        bool showing;
        std::shared_ptr<PointRecord> block;
        bool upperDrawn, lowerDrawn;
        float lowerSine;
    } steps[] = {
        {"hidden: dropped", false, points(1, {{0.5f, 0.5f, 0.0f, 1.0f}}), false, false, 0.0f},
        {"a third layer is no layer", true, points(2, {{0.5f, 0.5f, 0.0f, 1.0f}}), false, false, 0.0f},
        {"a negative layer neither", true, points(-1, {{0.5f, 0.5f, 0.0f, 1.0f}}), false, false, 0.0f},
        {"no points", true, points(1, {}), false, false, 0.0f},
        {"the Lower layer while Upper is shown", true, points(1, {{0.5f, 0.5f, 0.6f, 0.8f}}), false, true, 0.8f},
        {"the Upper layer", true, points(0, {{0.25f, 0.25f, 1.0f, 0.0f}}), true, true, 0.8f},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.what);
        screen.setVisible(s.showing);
        screen.addTrajectory(*s.block);
        EXPECT_EQ(!isBlank(screen.getTrail(0)), s.upperDrawn);
        EXPECT_EQ(!isBlank(screen.getTrail(1)), s.lowerDrawn);
        EXPECT_FLOAT_EQ(screen.getRotation(1).y, s.lowerSine);
    }
    EXPECT_GT(inkAt(screen.getTrail(1), {0.5f, 0.5f}), 1.0f) << "the Lower point's dot";
    EXPECT_EQ(screen.getShownLayer(), 0);
    gui.echo(P::kShownLayer, 1.0f);
    EXPECT_EQ(screen.getShownLayer(), 1) << "a layer switch shows the other trail";

    screen.setSize(104, 80);
    EXPECT_TRUE(isBlank(screen.getTrail(0)) && isBlank(screen.getTrail(1))) << "a resize restarts both trails";
    EXPECT_EQ(screen.getTrail(1).getBounds(), R(0, 0, 104, 80));
}

TEST_F(ScreenFixture, EveryPointFadesTheWholeTrail) {
    const Pt first{0.2f, 0.2f}, last{0.8f, 0.8f};
    screen.addTrajectory(*points(0, {{first.x, first.y, 1.0f, 0.0f}, {last.x, last.y, 1.0f, 0.0f}}));
    const float start = inkAt(screen.getTrail(0), first);
    ASSERT_GT(start, 1.0f);
    // Forty more points in ten blocks: 2 % each (less a little for the 8-bit alphas' rounding), not per block.
    const std::array<float, 4> here{last.x, last.y, 1.0f, 0.0f};
    for (int i = 0; i < 10; ++i) screen.addTrajectory(*points(0, {here, here, here, here}));
    const float kept = inkAt(screen.getTrail(0), first) / start;
    EXPECT_GT(kept, std::pow(0.96f, 40.0f));
    EXPECT_LT(kept, std::pow(0.99f, 40.0f));
    EXPECT_GT(inkAt(screen.getTrail(0), last), 2.0f) << "the current point stays bright";
}

TEST_F(ScreenFixture, TakesPostedBlocksWithoutKeepingThem) {
    std::weak_ptr<PointRecord> watch;
    {
        auto block = points(0, {{0.5f, 0.5f, 1.0f, 0.0f}});
        watch = block;
        gui.postGuiMessage(CorvanQuorbitScreen::kTrajectoryMessage + 1, points(0, {{0.1f, 0.1f, 1.0f, 0.0f}}));
        gui.postGuiMessage(CorvanQuorbitScreen::kTrajectoryMessage, std::move(block));
    }
    EXPECT_FALSE(watch.expired()) << "the message owns it until delivered";
    testing::deliverPostedMessages();
    EXPECT_TRUE(watch.expired()) << "freed once delivered";
    EXPECT_GT(inkAt(screen.getTrail(0), {0.5f, 0.5f}), 1.0f);
    EXPECT_EQ(inkAt(screen.getTrail(0), {0.1f, 0.1f}), 0.0f) << "another id's block is not drawn";
}

TEST(QuorbitScreen, ReadsTheShownLayerAndUnregistersWhenItGoes) {
    MessengerGui gui;
    gui.values[P::kShownLayer] = 0.75f;
    {
        CorvanQuorbitScreen screen(&gui);
        EXPECT_EQ(screen.getShownLayer(), 1);
        EXPECT_EQ(gui.messenger.guiMessageListenerCount(CorvanQuorbitScreen::kTrajectoryMessage), 1);
        EXPECT_EQ(gui.listenerCount(P::kShownLayer), 1);
    }
    EXPECT_EQ(gui.messenger.guiMessageListenerCount(CorvanQuorbitScreen::kTrajectoryMessage), 0);
    EXPECT_EQ(gui.listenerCount(P::kShownLayer), 0);
}

TEST(QuorbitPanel, EachWidgetEditsItsIndex) {
    FakeGui gui;
    CorvanQuorbitPanel page(&gui);
    page.setSize(650, 250);
    const struct {
        const char* what;
        juce::Slider& knob;
        int index;
    } knobs[] = {
        {"rate 1", page.getRateKnob(0), P::kQuorbitRate},     {"rate 2", page.getRateKnob(1), P::kQuorbitRate + 1},
        {"rate 3", page.getRateKnob(2), P::kQuorbitRate + 2}, {"angle", page.getAngleKnob(), P::kQuorbitAngle},
    };
    for (const auto& k : knobs) {
        gui.echo(k.index, 0.3f);
        EXPECT_NEAR(k.knob.getValue(), 0.3, 1e-6) << k.what;
    }
    const std::pair<juce::Button&, int> buttons[] = {{page.getFreeRunButton(), P::kQuorbitFreeRun},
                                                     {page.getSyncButton(), P::kQuorbitSync}};
    for (const auto& [button, index] : buttons) {
        gui.edits.clear();
        button.setToggleState(true, juce::sendNotificationSync);
        ASSERT_EQ(gui.edits.size(), 1u);
        EXPECT_EQ(gui.edits[0].index, index);
    }
    for (int i = 0; i < 3; ++i) {
        CvnLcdComboBox& shape = page.getShapeBox(i);
        EXPECT_EQ(shape.getName(), "Lfo Shape Combo " + juce::String(i));
        ASSERT_EQ(shape.getNumItems(), 4);
        EXPECT_EQ(shape.getItemText(0), "Sine");
        EXPECT_EQ(shape.getItemId(0), 3);
        gui.echo(P::kQuorbitShape + i, 0.1f); // the first step
        EXPECT_EQ(shape.getText(), "Saw");
        gui.edits.clear();
        shape.setSelectedId(4, juce::sendNotificationSync);
        ASSERT_EQ(gui.edits.size(), 1u);
        EXPECT_EQ(gui.edits[0].index, P::kQuorbitShape + i);
        EXPECT_FLOAT_EQ(gui.edits[0].value, 3.5f / 4.0f);
    }
    EXPECT_EQ(page.getXOutput().getTitle(), "X Output");
    gui.echo(P::kQuorbitYDestination + 2, 8.5f / 9.0f);
    EXPECT_EQ(page.getYOutput().getDestinationBox(2).getText(), "VCA");
    gui.echo(P::kQuorbitXAmount + 1, 0.6f);
    EXPECT_NEAR(page.getXOutput().getAmountKnob(1).getValue(), 0.6, 1e-6);
    EXPECT_EQ(page.getScreen().getBounds(), quorbit::pageLayout(650, 250).screen);
}

TEST(QuorbitPanel, HidingThePageStopsTheScreen) {
    FakeGui gui;
    CorvanQuorbitPanel page(&gui);
    page.setSize(650, 250);
    page.addToDesktop(juce::ComponentPeer::windowIsTemporary);
    page.setVisible(true);
    ASSERT_TRUE(page.getScreen().isShowing());
    page.setVisible(false);
    EXPECT_FALSE(page.getScreen().isVisible());
    page.getScreen().addTrajectory(*points(0, {{0.5f, 0.5f, 1.0f, 0.0f}}));
    EXPECT_TRUE(isBlank(page.getScreen().getTrail(0)));
    page.setVisible(true);
    page.getScreen().addTrajectory(*points(0, {{0.5f, 0.5f, 1.0f, 0.0f}}));
    EXPECT_FALSE(isBlank(page.getScreen().getTrail(0)));
}

// The real instrument renders, its kernel reports where the X/Y point went, the editor hands the points on.
class QuorbitInstrumentTest : public ::testing::Test {
protected:
    QuorbitInstrumentTest() {
        instrument = CorvanAudioFilter::createPluginFilter(folder, std::make_unique<CorvanPresetServices>(folder));
        instrument->prepareToPlay(44100.0, 64);
        editor = std::make_unique<LayerFoldingEditor>(instrument.get(), folder);
        instrument->setActiveEditor(editor.get());
        page = std::make_unique<CorvanQuorbitPanel>(editor.get());
        lcd = std::make_unique<testing::LcdPage>(*page);
        lcd->setSize(650, 250);
        page->setBounds(lcd->getLocalBounds());
    }
    ~QuorbitInstrumentTest() override {
        lcd.reset();
        page.reset();
        instrument->setActiveEditor(nullptr);
        editor.reset();
        instrument.reset();
        root.deleteRecursively();
    }
    void render(int blocks) {
        std::vector<float> left(64), right(64);
        juce::MidiBuffer midi;
        for (int b = 0; b < blocks; ++b) {
            float* outs[2] = {left.data(), right.data()};
            instrument->processBlock(outs, 2, 64, false, midi);
        }
    }
    // Renders and lets the message loop run until the Upper trail shows something or two seconds pass.
    bool runUntilATrailIsDrawn() {
        const juce::uint32 end = juce::Time::getMillisecondCounter() + 2000;
        while (juce::Time::getMillisecondCounter() < end) {
            render(32);
            juce::MessageManager::getInstance()->runDispatchLoopUntil(10);
            if (!isBlank(page->getScreen().getTrail(0))) return true;
        }
        return false;
    }

    juce::File root = juce::File::createTempFile("quorbit-instrument");
    MorvaneFindFolder folder{root, "Corvex2"};
    std::unique_ptr<CorvanAudioFilter> instrument;
    std::unique_ptr<LayerFoldingEditor> editor;
    std::unique_ptr<CorvanQuorbitPanel> page;
    std::unique_ptr<testing::LcdPage> lcd;
};

TEST_F(QuorbitInstrumentTest, TheRunningKernelDrawsTrailsOnlyWhileThePageIsShown) {
    // The three LFOs running at a few hertz, so that the point travels.
    for (int i = 0; i < 3; ++i) instrument->setParameter(P::kQuorbitRate + i, 0.55f + 0.05f * float(i));
    // Hidden first: the points arrive and are dropped.
    render(400);
    juce::MessageManager::getInstance()->runDispatchLoopUntil(120);
    EXPECT_TRUE(isBlank(page->getScreen().getTrail(0)));

    lcd->addToDesktop(juce::ComponentPeer::windowIsTemporary);
    lcd->setVisible(true);
    ASSERT_TRUE(page->getScreen().isShowing());
    ASSERT_TRUE(runUntilATrailIsDrawn()) << "no trail within two seconds";
    for (int i = 0; i < 10; ++i) runUntilATrailIsDrawn(); // a longer stretch of trail for the picture
    const juce::Image picture = snapshotOf(*lcd);
    EXPECT_TRUE(keepSnapshot(picture, "editor-mod-quorbit-kernel.png"));
    EXPECT_GT(picture.getPixelAt(page->getScreen().getBounds().getCentreX(), 30).getBrightness(), 0.2f)
        << "the screen's frame is drawn";
}

} // namespace
} // namespace corvex
