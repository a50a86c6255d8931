// The insert-effect editors on a fake GUI interface: every widget of the five editors bound to the right row of
// either chain and following its echoes, the modulation slots' layout, the equaliser's band switches and
// sub-panels, and one snapshot of each editor at the size the effects page gives it.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "editor/effects/CorvanChorusFlangerPanel.h"
#include "editor/effects/CorvanDistortionPanel.h"
#include "editor/effects/CorvanParamEqPanel.h"
#include "editor/effects/CorvanPhaserPanel.h"
#include "editor/effects/CorvanRingModPanel.h"
#include "editor/LayerFoldingEditor.h"
#include "instrument/CorvanAudioFilter.h"
#include "presets/CorvanPresetServices.h"
#include "tests/editor/ComponentSearch.h"
#include "tests/presets/ManagerTestSupport.h"
#include "tests/support/FakeGui.h"
#include "tests/support/Snapshots.h"
#include "widgets/CorvanLookAndFeel.h"
#include "widgets/CvnLcdNumericalSwitch.h"

namespace corvex {
namespace {

namespace P = ParameterIndex;
namespace fx = ParameterIndex::insertfx;

// The size the effects page gives an editor: its frame's width less the list, its height less the margins.
constexpr int kEditorWidth = 598;
constexpr int kEditorHeight = 182;

enum class Kind { Chorus, Distortion, Eq, Phaser, RingMod };

std::unique_ptr<CorvanEffectTemplatePanel> makeEditor(Kind kind, MVGuiInterface* gui, int chain) {
    switch (kind) {
    case Kind::Chorus: return std::make_unique<CorvanChorusFlangerPanel>(gui, chain);
    case Kind::Distortion: return std::make_unique<CorvanDistortionPanel>(gui, chain);
    case Kind::Eq: return std::make_unique<CorvanParamEqPanel>(gui, chain);
    case Kind::Phaser: return std::make_unique<CorvanPhaserPanel>(gui, chain);
    case Kind::RingMod: break;
    }
    return std::make_unique<CorvanRingModPanel>(gui, chain);
}

// What shows a widget's value: a knob's or switch's value, a box's item, a button's state.
struct Shown {
    juce::Component* widget;
    double value;
};
std::vector<Shown> shownValues(juce::Component& root) {
    std::vector<Shown> out;
    std::function<void(juce::Component&)> walk = [&](juce::Component& c) {
        for (juce::Component* child : c.getChildren()) {
            if (auto* s = dynamic_cast<juce::Slider*>(child)) out.push_back({child, s->getValue()});
            else if (auto* b = dynamic_cast<juce::ComboBox*>(child)) out.push_back({child, double(b->getSelectedId())});
            else if (auto* t = dynamic_cast<juce::Button*>(child)) out.push_back({child, t->getToggleState() ? 1.0 : 0.0});
            walk(*child);
        }
    };
    walk(root);
    return out;
}

// The widgets whose shown value moves when `index` echoes first a low and then a high value.
std::vector<juce::Component*> widgetsMovedBy(juce::Component& root, FakeGui& gui, int index) {
    gui.echo(index, 0.23f);
    const std::vector<Shown> before = shownValues(root);
    gui.echo(index, 0.77f);
    const std::vector<Shown> after = shownValues(root);
    std::vector<juce::Component*> moved;
    for (size_t i = 0; i < before.size() && i < after.size(); ++i)
        if (before[i].value != after[i].value) moved.push_back(after[i].widget);
    return moved;
}

// A widget as a test names it: its kind and, for boxes and buttons, its name or text.
std::string describe(juce::Component* c) {
    if (auto* b = dynamic_cast<juce::ComboBox*>(c)) return "box " + b->getName().toStdString();
    if (auto* t = dynamic_cast<juce::Button*>(c)) return "button " + t->getButtonText().toStdString();
    if (dynamic_cast<CvnLcdNumericalSwitch*>(c) != nullptr) return "switch";
    if (dynamic_cast<CvnLcdKnob*>(c) != nullptr) return "knob";
    return "other";
}

struct Binding {
    int index; // chain 0
    std::vector<std::string> widgets;
};

std::vector<Binding> slotBindings(int firstSource, std::initializer_list<const char*> names) {
    std::vector<Binding> out;
    int n = 0;
    for (const char* name : names) {
        out.push_back({fx::kFirstValue + 2 * n, {"knob"}});
        out.push_back({fx::kFirstAmount + 2 * n, {"knob"}});
        out.push_back({firstSource + n, {std::string("box ") + name + " Mod ComboBox"}});
        ++n;
    }
    return out;
}

std::vector<Binding> expectedBindings(Kind kind) {
    std::vector<Binding> out{{fx::kDryWet, {"knob"}}, {fx::kOutput, {"knob"}}};
    auto add = [&out](std::vector<Binding> more) { out.insert(out.end(), more.begin(), more.end()); };
    switch (kind) {
    case Kind::Chorus:
        add(slotBindings(fx::kChorusFirstSource, {"Delay", "Feedback", "Rate", "Amount"}));
        add({{fx::kChorusBypass, {"button Bypass"}},
             {fx::kChorusType, {"switch"}},
             {fx::kChorusSpread, {"knob"}},
             {fx::kChorusSync, {"button Sync."}}});
        break;
    case Kind::Distortion:
        add(slotBindings(fx::kDistortionFirstSource, {"Drive"}));
        add({{fx::kDistortionBypass, {"button Bypass"}},
             {fx::kDistortionQuality, {"button Low Quality", "button High Quality"}},
             // The curve repaints on the second value too, and shows nothing of it.
             {fx::kFirstValue + 4, {}}});
        break;
    case Kind::Eq: {
        add({{fx::kEqBypass, {"button Bypass"}}});
        const char* letters = "FGFGQFGQFG";
        for (int n = 0; n < 10; ++n) {
            out.push_back({fx::kFirstValue + 2 * n, {"knob"}});
            out.push_back({fx::kFirstAmount + 2 * n, {"knob"}});
            out.push_back({fx::kEqFirstSource + n, {std::string("box ") + letters[n] + " Mod ComboBox"}});
        }
        for (int b = 0; b < 4; ++b) out.push_back({fx::kEqBandSwitch[b], {"button Band " + std::to_string(b + 1)}});
        break;
    }
    case Kind::Phaser:
        add(slotBindings(fx::kPhaserFirstSource, {"Sweep Start", "Feedback", "Sweep Amount", "Sweep Rate"}));
        add({{fx::kPhaserBypass, {"button Bypass"}},
             {fx::kPhaserLfoShape, {"box Lfo Shape Combo"}},
             {fx::kPhaserStages, {"switch"}},
             {fx::kPhaserSync, {"button Sync."}}});
        break;
    case Kind::RingMod:
        add(slotBindings(fx::kRingModFirstSource, {"Mod. Freq.", "Mod. Amount"}));
        add({{fx::kRingModBypass, {"button Bypass"}}});
        break;
    }
    return out;
}

class InsertEffectEditorsTest : public ::testing::Test {
protected:
    FakeGui gui;
};

TEST_F(InsertEffectEditorsTest, ChainFoldingMovesOnlyTheEffectBlocks) {
    struct Case {
        int chain, index, folded;
    };
    const Case cases[] = {
        {0, 48, 48},   {1, 48, 70},   {1, 69, 91},   {1, 49, 71},   {1, 339, 434}, {1, 249, 344},
        {1, 343, 438}, {1, 47, 47},   {1, 184, 184}, {1, 979, 979}, {1, 248, 248}, {0, 339, 339},
    };
    for (const Case& c : cases) {
        CorvanRingModPanel panel(&gui, c.chain);
        EXPECT_EQ(panel.folded(c.index), c.folded) << c.chain << " " << c.index;
        EXPECT_EQ(fx::chainZeroIndex(c.folded), c.chain == 0 ? c.folded : c.index) << c.folded;
    }
}

TEST_F(InsertEffectEditorsTest, ModulationSlotsLayOutEitherWayRound) {
    using R = juce::Rectangle<int>;
    struct Case {
        int x, y, w, h;
        bool comboFirst;
        R label, value, source, amount;
    };
    // 150 wide: a 71-pixel box (0.48 in single precision falls just short of 72), a 42-pixel knob, gaps of 9.
    const Case cases[] = {
        {100, 10, 150, 50, true, R(100, 40, 150, 20), R(100 + 71 + 9 + 18 + 9, 10, 42, 42), R(100, 24, 71, 14),
         R(180, 22, 18, 18)},
        {100, 10, 150, 50, false, R(100, 40, 150, 20), R(100, 10, 42, 42), R(100 + 42 + 9 + 18 + 9, 24, 71, 14),
         R(151, 22, 18, 18)},
        {0, 0, 127, 45, true, R(0, 25, 127, 20), R(60 + 7 + 18 + 7, 0, 35, 35), R(0, 10, 60, 14), R(67, 8, 18, 18)},
    };
    for (const Case& c : cases) {
        const auto b = CorvanEffectTemplatePanel::slotBounds(c.x, c.y, c.w, c.h, c.comboFirst);
        EXPECT_EQ(b.label, c.label) << c.w << c.comboFirst;
        EXPECT_EQ(b.value, c.value) << c.w << c.comboFirst;
        EXPECT_EQ(b.source, c.source) << c.w << c.comboFirst;
        EXPECT_EQ(b.amount, c.amount) << c.w << c.comboFirst;
    }
}

// Each row of a chain moves exactly the widgets it should, and the editor listens to no other row.
TEST_F(InsertEffectEditorsTest, EveryWidgetOfEveryEditorFollowsItsRowInBothChains) {
    for (Kind kind : {Kind::Chorus, Kind::Distortion, Kind::Eq, Kind::Phaser, Kind::RingMod}) {
        for (int chain : {0, 1}) {
            auto editor = makeEditor(kind, &gui, chain);
            editor->setBounds(0, 0, kEditorWidth, kEditorHeight);
            std::set<int> expected;
            size_t widgetCount = 0;
            for (const Binding& b : expectedBindings(kind)) {
                const int index = P::foldEffectIndex(chain, b.index);
                expected.insert(index);
                widgetCount += b.widgets.size();
                std::vector<std::string> moved;
                for (juce::Component* w : widgetsMovedBy(*editor, gui, index)) moved.push_back(describe(w));
                EXPECT_EQ(moved, b.widgets) << int(kind) << " chain " << chain << " index " << index;
            }
            std::set<int> listened;
            for (int index = 0; index < P::kCount; ++index)
                if (gui.listenerCount(index) > 0) listened.insert(index);
            EXPECT_EQ(listened, expected) << int(kind) << " chain " << chain;
            EXPECT_EQ(shownValues(*editor).size(), widgetCount + (kind == Kind::Eq ? 2u : 0u)) << int(kind);
        }
        EXPECT_EQ(gui.listenerCount(P::foldEffectIndex(1, fx::kDryWet)), 0) << "unbound when gone";
    }
}

TEST_F(InsertEffectEditorsTest, WidgetsSendTheirEditsToTheChainsRows) {
    CorvanPhaserPanel phaser(&gui, 1);
    auto* shape = testing::findNamed<juce::ComboBox>(phaser, "Lfo Shape Combo");
    ASSERT_NE(shape, nullptr);
    // Listed "Sine", "Square", "Saw", "Triangle", while the steps run saw, square, sine, triangle.
    EXPECT_EQ(shape->getItemText(2), "Saw");
    shape->setSelectedId(3, juce::sendNotificationSync);
    auto* sync = findButton(phaser, "Sync.");
    sync->triggerClick();
    juce::MessageManager::getInstance()->runDispatchLoopUntil(5);
    CorvanDistortionPanel distortion(&gui, 1);
    findButton(distortion, "High Quality")->triggerClick();
    juce::MessageManager::getInstance()->runDispatchLoopUntil(5);
    const auto edits = gui.editsOfKind(MVGuiInterface::kNewValue);
    ASSERT_EQ(edits.size(), 3u);
    EXPECT_EQ(edits[0].index, 435);
    EXPECT_FLOAT_EQ(edits[0].value, 0.625f);
    EXPECT_EQ(edits[1].index, 437);
    EXPECT_FLOAT_EQ(edits[1].value, 1.0f);
    EXPECT_EQ(edits[2].index, 89);
    EXPECT_FLOAT_EQ(edits[2].value, 0.75f);
}

TEST_F(InsertEffectEditorsTest, BandSwitchesEnableTheirBandsInBothSubPanels) {
    for (int chain : {0, 1}) {
        gui.values[P::foldEffectIndex(chain, fx::kEqBandSwitch[2])] = 1.0f;
        CorvanParamEqPanel eq(&gui, chain);
        auto enabledOf = [&](const juce::String& mod) {
            return testing::findNamed<juce::ComboBox>(eq, mod)->isEnabled();
        };
        // Rows F2 .. Q2 are band 2's, F3 .. Q3 band 3's: the third switch starts on, the others off.
        auto* bandTwoBox = testing::findNamed<juce::ComboBox>(eq, "Q Mod ComboBox");
        EXPECT_FALSE(bandTwoBox->isEnabled()) << chain;
        std::vector<juce::Component*> qLabels;
        for (juce::Component* c : eq.getChildren())
            for (juce::Component* d : c->getChildren())
                if (auto* l = dynamic_cast<juce::Label*>(d); l != nullptr && l->getText() == "Q") qLabels.push_back(d);
        ASSERT_EQ(qLabels.size(), 4u);
        EXPECT_EQ(std::count_if(qLabels.begin(), qLabels.end(), [](auto* c) { return c->isEnabled(); }), 2) << chain;
        struct Step {
            float value;
            bool on;
        };
        for (const Step s : {Step{0.49f, false}, Step{0.5f, true}, Step{1.0f, true}, Step{0.0f, false}}) {
            gui.echo(P::foldEffectIndex(chain, fx::kEqBandSwitch[1]), s.value);
            EXPECT_EQ(bandTwoBox->isEnabled(), s.on) << s.value;
            EXPECT_EQ(std::count_if(qLabels.begin(), qLabels.end(), [](auto* c) { return c->isEnabled(); }),
                      s.on ? 4 : 2)
                << s.value;
            EXPECT_TRUE(findButton(eq, "Band 2")->isEnabled());
        }
        EXPECT_FALSE(enabledOf("F Mod ComboBox")) << "band 1 is off";
        gui.values.clear();
    }
}

TEST_F(InsertEffectEditorsTest, ControlsAndModsChooseTheSubPanel) {
    CorvanParamEqPanel eq(&gui, 0);
    auto* controls = testing::findFirst<CorvanParamEqSubPanel1>(eq);
    auto* mods = testing::findFirst<CorvanParamEqSubPanel2>(eq);
    EXPECT_EQ(eq.getShownSubPanel(), controls);
    struct Step {
        const char* click;
        bool controlsShown;
    };
    for (const Step s : {Step{"Mods", false}, Step{"Mods", false}, Step{"Controls", true}, Step{"Controls", true}}) {
        findButton(eq, s.click)->triggerClick();
        juce::MessageManager::getInstance()->runDispatchLoopUntil(5);
        EXPECT_EQ(controls->isVisible(), s.controlsShown) << s.click;
        EXPECT_EQ(mods->isVisible(), !s.controlsShown) << s.click;
    }
    EXPECT_TRUE(gui.edits.empty()) << "choosing a sub-panel edits nothing";
}

// The editors in front of the real instrument: choosing another effect gives the chain's rows new meanings,
// and the instrument asks the widgets to read them again.
class InsertEffectEditorsOnInstrumentTest : public ::testing::Test {
protected:
    InsertEffectEditorsOnInstrumentTest() {
        instrument = CorvanAudioFilter::createPluginFilter(folder, std::make_unique<CorvanPresetServices>(folder));
        instrument->prepareToPlay(44100.0, 64);
        editor = std::make_unique<LayerFoldingEditor>(instrument.get(), folder);
        instrument->setActiveEditor(editor.get());
        testing::deliverPostedMessages();
    }
    ~InsertEffectEditorsOnInstrumentTest() override {
        instrument->setActiveEditor(nullptr);
        editor.reset();
        instrument.reset();
        root.deleteRecursively();
    }
    void chooseEffect(int chain, int type) {
        editor->notifyParameterEdit(MVGuiInterface::kNewValue, P::foldEffectIndex(chain, fx::kType),
                                    (float(type) + 0.5f) / 6.0f);
        testing::deliverPostedMessages();
    }

    juce::File root = juce::File::createTempFile("insert-effect-editors");
    MorvaneFindFolder folder{root, "Corvex2"};
    std::unique_ptr<CorvanAudioFilter> instrument;
    std::unique_ptr<LayerFoldingEditor> editor;
};

// A panel that lived through the change shows what one made afterwards reads: the rows' values, never the
// request to read them again.
TEST_F(InsertEffectEditorsOnInstrumentTest, AfterAnEffectChangeEveryWidgetShowsTheRowsValue) {
    const std::pair<Kind, int> changes[] = {{Kind::Phaser, 4}, {Kind::Eq, 3}, {Kind::Distortion, 2},
                                            {Kind::RingMod, 5}, {Kind::Chorus, 1}};
    for (int chain : {0, 1}) {
        for (const auto& [kind, type] : changes) {
            auto lived = makeEditor(kind, editor.get(), chain);
            chooseEffect(chain, type);
            auto fresh = makeEditor(kind, editor.get(), chain);
            const std::vector<Shown> before = shownValues(*lived);
            const std::vector<Shown> after = shownValues(*fresh);
            ASSERT_EQ(before.size(), after.size());
            for (size_t i = 0; i < before.size(); ++i)
                EXPECT_EQ(before[i].value, after[i].value)
                    << "type " << type << " chain " << chain << " widget " << i << " " << describe(after[i].widget);
        }
    }
}

// The editor as the screen shows it: over the LCD's dark ground.
juce::Image onScreen(juce::Component& editor) {
    juce::Image image(juce::Image::ARGB, editor.getWidth(), editor.getHeight(), true);
    juce::Graphics g(image);
    g.fillAll(juce::Colour(CorvanLookAndFeel::kDark));
    g.drawImageAt(snapshotOf(editor), 0, 0);
    return image;
}

TEST_F(InsertEffectEditorsTest, SnapshotsOfTheFiveEditors) {
    // Two bands boosting and two cutting, so the curve shows both.
    gui.values = {{49, 0.25f}, {51, 0.8f}, {53, 0.45f}, {55, 0.15f}, {57, 0.4f}, {59, 0.62f}, {61, 0.95f},
                  {63, 0.3f},  {65, 0.75f}, {67, 0.3f},  {335, 1.0f}, {336, 1.0f}, {337, 1.0f}, {338, 1.0f},
                  {48, 0.7f},  {69, 0.6f},  {300, 0.35f}};
    const std::pair<Kind, const char*> editors[] = {{Kind::Chorus, "chorus-flanger"},
                                                    {Kind::Distortion, "distortion"},
                                                    {Kind::Eq, "param-eq"},
                                                    {Kind::Phaser, "phaser"},
                                                    {Kind::RingMod, "ring-mod"}};
    for (const auto& [kind, name] : editors) {
        auto editor = makeEditor(kind, &gui, 0);
        editor->setBounds(0, 0, kEditorWidth, kEditorHeight);
        EXPECT_TRUE(keepSnapshot(onScreen(*editor), juce::String("editor-insert-") + name + ".png")) << name;
        if (kind != Kind::Eq) continue;
        findButton(*editor, "Mods")->triggerClick();
        juce::MessageManager::getInstance()->runDispatchLoopUntil(5);
        EXPECT_TRUE(keepSnapshot(onScreen(*editor), "editor-insert-param-eq-mods.png"));
    }
}

} // namespace
} // namespace corvex
