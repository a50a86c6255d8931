// The whole editor in front of the real instrument and factory bank: the layer switch folds every widget, the
// editor's own ids, the layout the saved LCD page gives and the LCD's slide, what marks a preset modified,
// what the editor leaves behind when it goes, and a patch chosen and saved from the toolbar.
#include <gtest/gtest.h>

#include <algorithm>

#include "editor/CorvanAudioFilterEditor.h"
#include "editor/CorvanControlPanel.h"
#include "editor/CorvanMultiSaveAsPanel.h"
#include "editor/lcd/CorvanAboutPanel.h"
#include "editor/lcd/CorvanExtraPanel.h"
#include "editor/lcd/LcdPage.h"
#include "editor/toolbar/CorvanToolbar.h"
#include "instrument/CorvanAudioFilter.h"
#include "instrument/params/ParameterMapper.h"
#include "presets/CorvanMultiFilterManager.h"
#include "presets/CorvanPresetServices.h"
#include "presets/MorvanePreset.h"
#include "tests/editor/ComponentSearch.h"
#include "tests/editor/ScriptedModalCalls.h"
#include "tests/presets/ManagerTestSupport.h"
#include "tests/support/FakeGui.h"
#include "tests/support/SignalChecks.h"
#include "widgets/CorvanLookAndFeel.h"
#include "widgets/MVParameterMessenger.h"
#include "tests/support/InstrumentRender.h"

namespace corvex {
namespace {

namespace P = ParameterIndex;

struct Heard : MVParameterListener {
    struct Entry {
        int index;
        float value;
        bool highlight;
    };
    std::vector<Entry> entries;
    void parameterChanged(int index, float value) override { entries.push_back({index, value, false}); }
    void highlightChanged(int index, float code) override { entries.push_back({index, code, true}); }
};

// A menu as its look-and-feel draws it: background, section headers, items with their sub-menu arrows.
juce::Image drawMenu(const juce::PopupMenu& menu) {
    juce::LookAndFeel& look = *CorvanLookAndFeel::getInstance();
    constexpr int width = 160;
    std::vector<std::pair<juce::PopupMenu::Item, int>> rows;
    int height = 4;
    for (juce::PopupMenu::MenuItemIterator it(menu); it.next();) {
        int w = 0, h = 0;
        look.getIdealPopupMenuItemSize(it.getItem().text, it.getItem().isSeparator, -1, w, h);
        rows.emplace_back(it.getItem(), h);
        height += h;
    }
    juce::Image image(juce::Image::ARGB, width, height + 4, true, juce::SoftwareImageType());
    juce::Graphics g(image);
    look.drawPopupMenuBackground(g, width, height + 4);
    int y = 4;
    for (const auto& [item, h] : rows) {
        const juce::Rectangle<int> area(0, y, width, h);
        if (item.isSectionHeader)
            look.drawPopupMenuSectionHeader(g, area, item.text);
        else
            look.drawPopupMenuItem(g, area, item.isSeparator, item.isEnabled, false, item.isTicked,
                                   item.subMenu != nullptr, item.text, {}, nullptr, nullptr);
        y += h;
    }
    return image;
}

class ProductEditorTest : public ::testing::Test {
protected:
    ProductEditorTest() {
        instrument = CorvanAudioFilter::createPluginFilter(folder, std::make_unique<CorvanPresetServices>(folder));
        instrument->prepareToPlay(44100.0, 64);
        testing::deliverPostedMessages();
    }
    ~ProductEditorTest() override {
        closeEditor();
        instrument.reset();
        root.deleteRecursively();
    }

    CorvanAudioFilterEditor& openEditor(float lcdPage = 0.05f) {
        instrument->setLcdPageValue(lcdPage);
        CorvanAudioFilterEditor::Options options;
        options.calls = &calls;
        options.folder = &folder;
        options.clock = [this] { return now; };
        editor = std::make_unique<CorvanAudioFilterEditor>(instrument.get(), std::move(options));
        instrument->setActiveEditor(editor.get());
        testing::deliverPostedMessages();
        return *editor;
    }
    void closeEditor() {
        for (int index : listened) editor->removeParameterListener(index, &heard);
        listened.clear();
        editor.reset();
    }
    void listen(std::initializer_list<int> indices) {
        for (int index : indices) {
            editor->addParameterListener(index, &heard);
            listened.push_back(index);
        }
    }
    void finishSlide() {
        now += MVComponentAnimator::kDurationMs + 100;
        editor->getAnimator().timerCallback();
    }
    CorvanMultiFilterManager& patches() { return *instrument->getPatchFilterManager(); }
    std::vector<float> render(juce::MidiBuffer midi, int blocks) { return testing::renderLeft(*instrument, midi, blocks); }

    juce::File root = juce::File::createTempFile("product-editor");
    MorvaneFindFolder folder{root, "Corvex2"};
    std::unique_ptr<CorvanAudioFilter> instrument;
    ScriptedModalCalls calls;
    juce::uint32 now = 1000;
    std::unique_ptr<CorvanAudioFilterEditor> editor;
    Heard heard;
    std::vector<int> listened;
};

// The edges of every block, on both layers: where a widget's index goes out, and which echoes come back.
TEST(LayerFolding, FoldsTheLayerBlocksAndLeavesGlobalIndicesAlone) {
    const struct {
        int index;
        int layerOf;
        int sentOnLower;  // what a widget bound to index edits while Lower is shown
        int echoOnUpper;  // who hears an echo of index while Upper is shown (-1: dropped)
        int echoOnLower;
    } cases[] = {
        {0, 0, 92, 0, -1},         {91, 0, 183, 91, -1},      {92, 1, 92, -1, 0},      {183, 1, 183, -1, 91},
        {184, -1, 184, 184, 184},  {210, -1, 210, 210, 210},  {211, 0, 222, 211, -1},  {221, 0, 232, 221, -1},
        {222, 1, 222, -1, 211},    {232, 1, 232, -1, 221},    {233, -1, 233, 233, 233}, {248, -1, 248, 248, 248},
        {249, 0, 610, 249, -1},    {609, 0, 970, 609, -1},    {610, 1, 610, -1, 249},  {970, 1, 970, -1, 609},
        {971, -1, 971, 971, 971},  {1009, -1, 1009, 1009, 1009},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        EXPECT_EQ(P::layerOf(c.index), c.layerOf);
        EXPECT_EQ(LayerFoldingEditor::foldedIndex(c.index, 0), c.index);
        EXPECT_EQ(LayerFoldingEditor::foldedIndex(c.index, 1), c.sentOnLower);
        EXPECT_EQ(LayerFoldingEditor::shownIndexOfEcho(c.index, 0), c.echoOnUpper);
        EXPECT_EQ(LayerFoldingEditor::shownIndexOfEcho(c.index, 1), c.echoOnLower);
    }
}

TEST_F(ProductEditorTest, TheEditorsOwnIdsAreAnsweredByTheEditor) {
    openEditor();
    const struct {
        const char* what;
        int id;
        float sent;
        float read;
    } cases[] = {
        {"reference tone on", P::kReferenceTone, 0.8f, 0.75f},
        {"reference tone off", P::kReferenceTone, 0.3f, 0.25f},
        {"Lower shown", P::kShownLayer, 0.75f, 1.0f},
        {"past the end: Lower", P::kShownLayer, 1.0f, 1.0f},
        {"below 0: Upper", P::kShownLayer, -0.5f, 0.0f},
        {"about shown", P::kAboutShown, 0.9f, 0.75f},
        {"about hidden", P::kAboutShown, 0.1f, 0.25f},
        {"LCD page kept", P::kLcdPage, 0.35f, 0.35f},
        {"another editor id", 1012, 0.7f, 0.0f},
        {"an id past them", 1014, 0.7f, 0.0f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        editor->notifyParameterEdit(MVGuiInterface::kNewValue, c.id, c.sent);
        EXPECT_FLOAT_EQ(editor->getParameter(c.id), c.read);
    }
    EXPECT_FLOAT_EQ(instrument->getLcdPageValue(), 0.35f);
    editor->notifyParameterEdit(MVGuiInterface::kNewValue, P::kReferenceTone, 0.8f);
    EXPECT_TRUE(instrument->getKernel()->getTestTone());

    // The about panel is centred, and the widget bound to 1017 hears where it is.
    testing::deliverPostedMessages();
    listen({P::kAboutShown, P::kPitchWheel, 1012});
    editor->notifyParameterEdit(MVGuiInterface::kNewValue, P::kAboutShown, 0.75f);
    EXPECT_TRUE(editor->getAboutPanel().isVisible());
    EXPECT_EQ(editor->getAboutPanel().getBounds().getCentre(), editor->getLocalBounds().getCentre());
    // The pitch wheel follows the MIDI wheel; editor ids still reach their listeners unfolded.
    editor->midiValueChanged(0.3f);
    editor->parameterChanged(1012, 0.6f);
    testing::deliverPostedMessages();
    ASSERT_EQ(heard.entries.size(), 3u);
    EXPECT_EQ(heard.entries[0].index, P::kAboutShown);
    EXPECT_FLOAT_EQ(heard.entries[0].value, 0.75f);
    EXPECT_EQ(heard.entries[1].index, P::kPitchWheel);
    EXPECT_FLOAT_EQ(heard.entries[1].value, 0.3f);
    EXPECT_EQ(heard.entries[2].index, 1012);

    // The about panel's own close button goes the same road.
    editor->getAboutPanel().getCloseButton().triggerClick();
    testing::deliverPostedMessages();
    EXPECT_FALSE(editor->getAboutPanel().isVisible());
    EXPECT_FLOAT_EQ(editor->getParameter(P::kAboutShown), 0.25f);
}

// A switch dispatches 1016 first, then every layer index with the new layer's value, before it returns; echoes
// of the layer not shown never reach a widget, a re-read mark reaches them as the value, and highlights fold.
TEST_F(ProductEditorTest, TheLayerSwitchRefreshesEveryLayerWidgetAndFoldsEchoes) {
    openEditor();
    instrument->setParameter(P::kCutoff, 0.2f);
    instrument->setParameter(P::unfold(P::kCutoff, 1), 0.9f);
    testing::deliverPostedMessages();
    listen({P::kShownLayer, P::kCutoff, 609, P::kVolume});

    editor->notifyParameterEdit(MVGuiInterface::kNewValue, P::kShownLayer, 0.75f);
    ASSERT_GE(heard.entries.size(), 3u) << "dispatched before the switch returned";
    EXPECT_EQ(heard.entries[0].index, P::kShownLayer);
    EXPECT_FLOAT_EQ(heard.entries[0].value, 1.0f);
    EXPECT_EQ(heard.entries[1].index, P::kCutoff);
    EXPECT_NEAR(heard.entries[1].value, instrument->getParameter(P::unfold(P::kCutoff, 1)), 1e-6);
    EXPECT_EQ(heard.entries[2].index, 609) << "the last block's last row";
    EXPECT_EQ(heard.entries.size(), 3u) << "no global index is refreshed by a layer switch";
    EXPECT_EQ(patches().getShownLayer(), 1) << "the patches heard the switch";

    heard.entries.clear();
    editor->notifyParameterEdit(MVGuiInterface::kNewValue, P::kShownLayer, 0.75f);
    EXPECT_TRUE(heard.entries.empty()) << "showing the layer already shown refreshes nothing";

    const int lowerCutoff = P::unfold(P::kCutoff, 1);
    editor->parameterChanged(P::kCutoff, 0.4f);      // Upper: not shown
    editor->parameterChanged(lowerCutoff, 0.5f);     // reaches the cutoff widget
    editor->parameterChanged(P::kVolume, 0.6f);      // global, unfolded
    editor->parameterChanged(lowerCutoff, ParameterMapper::kUseCachedValue);
    editor->parameterChanged(MVParameterMessenger::kHighlightOffset + lowerCutoff, 2.0f);
    editor->parameterChanged(MVParameterMessenger::kHighlightOffset + P::kCutoff, 3.0f);
    testing::deliverPostedMessages();
    ASSERT_EQ(heard.entries.size(), 4u);
    EXPECT_EQ(heard.entries[0].index, P::kCutoff);
    EXPECT_FLOAT_EQ(heard.entries[0].value, 0.5f);
    EXPECT_EQ(heard.entries[1].index, P::kVolume);
    EXPECT_EQ(heard.entries[2].index, P::kCutoff);
    EXPECT_NEAR(heard.entries[2].value, instrument->getParameter(lowerCutoff), 1e-4) << "read again, never -1";
    EXPECT_EQ(heard.entries[3].index, P::kCutoff);
    EXPECT_TRUE(heard.entries[3].highlight) << "a Lower highlight lights the widget";
    EXPECT_FLOAT_EQ(heard.entries[3].value, 2.0f);

    // What a widget sends on Lower edits Lower.
    editor->notifyParameterEdit(MVGuiInterface::kNewValue, P::kCutoff, 0.33f);
    EXPECT_NEAR(instrument->getParameter(lowerCutoff), 0.33f, 1e-4);
    EXPECT_NEAR(instrument->getParameter(P::kCutoff), 0.2f, 1e-4);
}

// Only a value marks a preset modified: the shown layer's program for a layer index, the patch for a global
// one; gestures, a ctrl-click for MIDI learn and the editor's own ids mark nothing.
TEST_F(ProductEditorTest, OnlyValueEditsMarkTheirPresetModified) {
    openEditor();
    // A patch whose layers play two programs, so that marking one cannot mark the other.
    for (int i = 0; i < patches().getNumPresets(); ++i) {
        MorvanePreset* p = patches().getPreset(i);
        if (p->getAttribute("Mode") != "Whole" && p->getAttribute("Program1") != p->getAttribute("Program2")) {
            patches().setCurrentPreset(p, false);
            break;
        }
    }
    testing::deliverPostedMessages();
    editor->notifyParameterEdit(MVGuiInterface::kNewValue, P::kShownLayer, 0.75f);
    MorvanePresetFilterManager& lower = *instrument->getProgramFilterManager(true);
    MorvanePresetFilterManager& upper = *instrument->getProgramFilterManager(false);
    const struct {
        const char* what;
        int kind;
        int index;
        bool lowerMarked, upperMarked, patchMarked;
    } cases[] = {
        {"gesture begin", MVGuiInterface::kGestureBegin, P::kCutoff, false, false, false},
        {"gesture end", MVGuiInterface::kGestureEnd, P::kVolume, false, false, false},
        {"an editor id", MVGuiInterface::kNewValue, P::kAboutShown, false, false, false},
        {"a layer value", MVGuiInterface::kNewValue, P::kCutoff, true, false, false},
        {"a global value", MVGuiInterface::kNewValue, P::kVolume, false, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        for (MorvanePresetFilterManager* m : {&lower, &upper, static_cast<MorvanePresetFilterManager*>(&patches())})
            m->setPresetModified(m->getCurrentPreset(), false, false);
        editor->notifyParameterEdit(c.kind, c.index, 0.4f);
        EXPECT_EQ(lower.getCurrentPreset()->isModified(), c.lowerMarked);
        EXPECT_EQ(upper.getCurrentPreset()->isModified(), c.upperMarked);
        EXPECT_EQ(patches().getCurrentPreset()->isModified(), c.patchMarked);
    }
    editor->notifyParameterEdit(MVGuiInterface::kGestureBegin, P::kShownLayer, 0.0f);
    EXPECT_EQ(editor->getParameter(P::kShownLayer), 1.0f) << "a gesture on the switch switches nothing";

    ASSERT_NE(lower.getCurrentPreset(), upper.getCurrentPreset());
    // A ctrl-click on a front-panel knob opens MIDI learn and edits nothing.
    for (MorvanePresetFilterManager* m : {&lower, &upper, static_cast<MorvanePresetFilterManager*>(&patches())})
        m->setPresetModified(m->getCurrentPreset(), false, false);
    auto* knob = testing::findFirst<juce::Slider>(editor->getControlPanel());
    ASSERT_NE(knob, nullptr);
    const juce::Point<float> centre = knob->getLocalBounds().getCentre().toFloat();
    knob->mouseDown(mouseEvent(*knob, centre, juce::ModifierKeys::ctrlModifier));
    knob->mouseUp(mouseEvent(*knob, centre, juce::ModifierKeys::ctrlModifier));
    editor->hideMidiSettings();
    EXPECT_FALSE(lower.getCurrentPreset()->isModified());
    EXPECT_FALSE(patches().getCurrentPreset()->isModified());
}

TEST_F(ProductEditorTest, TheSavedLcdPageDecidesTheFirstLayout) {
    const struct {
        float page;
        bool shown;
        int height;
        int panelY;
    } cases[] = {{0.05f, false, 488, 64}, {0.0f, false, 488, 64}, {0.15f, true, 738, 314}, {0.95f, true, 738, 314}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.page);
        openEditor(c.page);
        EXPECT_EQ(editor->getBounds(), juce::Rectangle<int>(0, 0, 1014, c.height));
        EXPECT_EQ(editor->getToolbar().getPosition(), juce::Point<int>(0, 0));
        EXPECT_EQ(editor->getBackground().getBounds(), juce::Rectangle<int>(0, 24, 1014, 40));
        EXPECT_EQ(editor->getLcdHolder().getBounds(), juce::Rectangle<int>(0, 64, 1014, 250));
        EXPECT_EQ(editor->getLcdHolder().isVisible(), c.shown);
        EXPECT_EQ(editor->isLcdShown(), c.shown);
        EXPECT_EQ(editor->getControlPanel().getPosition(), juce::Point<int>(0, c.panelY));
        EXPECT_FALSE(editor->getAboutPanel().isVisible());
        EXPECT_EQ(editor->getToolbar().getButton(CorvanToolbar::kLcdShow).getToggleState(), c.shown);
        closeEditor();
    }
}

// The front panel slides on the animator's clock; the window shrinks only once it has slid back up.
TEST_F(ProductEditorTest, TheLcdSlidesOpenAndShutWithTheToolbarsButtons) {
    openEditor();
    CorvanToolbar& toolbar = editor->getToolbar();
    toolbar.getButton(CorvanToolbar::kLcdShow).triggerClick();
    testing::deliverPostedMessages();
    EXPECT_EQ(editor->getHeight(), 738);
    EXPECT_TRUE(editor->getLcdHolder().isVisible());
    EXPECT_EQ(editor->getControlPanel().getY(), 64) << "it starts where it was";
    now += MVComponentAnimator::kDurationMs / 2;
    editor->getAnimator().timerCallback();
    EXPECT_GT(editor->getControlPanel().getY(), 64);
    EXPECT_LT(editor->getControlPanel().getY(), 314);
    finishSlide();
    EXPECT_EQ(editor->getControlPanel().getPosition(), juce::Point<int>(0, 314));

    toolbar.getButton(CorvanToolbar::kLcdHide).triggerClick();
    testing::deliverPostedMessages();
    EXPECT_EQ(editor->getHeight(), 738) << "open while it slides";
    EXPECT_TRUE(editor->getLcdHolder().isVisible());
    finishSlide();
    EXPECT_EQ(editor->getControlPanel().getPosition(), juce::Point<int>(0, 64));
    EXPECT_EQ(editor->getHeight(), 488);
    EXPECT_FALSE(editor->getLcdHolder().isVisible());

    editor->setLcdShown(false);
    EXPECT_EQ(editor->getAnimator().getAnimationCount(), 0) << "hiding what is hidden does nothing";
}

// The page the LCD shows goes into the instrument's state when it is written and when the editor closes.
TEST_F(ProductEditorTest, TheLcdPageIsKeptForTheNextEditor) {
    openEditor(0.05f);
    editor->storeLcdPageParameter();
    EXPECT_FLOAT_EQ(instrument->getLcdPageValue(), lcdpage::toValue(0));
    editor->setLcdShown(true);
    finishSlide();
    juce::MemoryBlock state;
    instrument->getStateInformation(state);
    EXPECT_FLOAT_EQ(instrument->getLcdPageValue(), lcdpage::toValue(editor->getLcdHolder().getLcd().getCurrentPage()));
    EXPECT_NE(lcdpage::fromValue(instrument->getLcdPageValue()), 0);
    closeEditor();
    openEditor(instrument->getLcdPageValue());
    EXPECT_TRUE(editor->isLcdShown());
}

TEST_F(ProductEditorTest, LeavingClearsEveryPointerToTheEditor) {
    openEditor();
    EXPECT_NE(patches().getLayerSwitch(), nullptr);
    EXPECT_NE(patches().getPrompt(), nullptr);
    closeEditor();
    EXPECT_EQ(instrument->getActiveEditor(), nullptr);
    EXPECT_EQ(patches().getLayerSwitch(), nullptr);
    EXPECT_EQ(patches().getPrompt(), nullptr);
    // What would have reached the editor now reaches nothing.
    patches().setShownLayer(1);
    instrument->setParameter(P::kVolume, 0.5f);
    testing::deliverPostedMessages();
}

// A patch chosen in the toolbar's list is heard in the very next block.
TEST_F(ProductEditorTest, APatchChosenInTheToolbarIsHeardAtOnce) {
    openEditor();
    EXPECT_EQ(patches().getCurrentPreset()->getName(), "Default");
    juce::ComboBox& list = editor->getToolbar().getPresetCombo();
    ASSERT_GT(list.getNumItems(), 2);
    juce::MidiBuffer on;
    on.addEvent(juce::MidiMessage::noteOn(1, 48, static_cast<juce::uint8>(100)), 0);
    const auto playNote = [&] {
        render({}, 200);
        const std::vector<float> sound = render(on, 200);
        juce::MidiBuffer off;
        off.addEvent(juce::MidiMessage::noteOff(1, 48), 0);
        render(off, 400);
        return sound;
    };
    const std::vector<float> before = playNote();
    const int other = list.getSelectedItemIndex() == 0 ? 1 : 0;
    list.setSelectedItemIndex(other, juce::sendNotificationSync);
    EXPECT_EQ(patches().getCurrentPreset(), patches().getPreset(other));
    const std::vector<float> after = playNote();
    double difference = 0.0;
    for (size_t i = 0; i < before.size(); ++i) difference += std::abs(before[i] - after[i]);
    EXPECT_GT(difference / static_cast<double>(before.size()), 1e-4) << "another sound plays";
    testing::deliverPostedMessages();
    EXPECT_EQ(list.getSelectedItemIndex(), other);
}

// End to end: a knob turned on the factory "Default" patch, "Save As" in the toolbar, the dialog answered:
// the player has a new user patch naming a new user copy of the factory program, and Save is offered.
TEST_F(ProductEditorTest, SavingAModifiedFactoryPatchMakesAUserProgramAndPatch) {
    openEditor();
    MorvanePreset* factoryPatch = patches().getCurrentPreset();
    MorvanePreset* factoryProgram = instrument->getProgramFilterManager(false)->getCurrentPreset();
    ASSERT_FALSE(factoryPatch->isUserPreset());
    EXPECT_FALSE(editor->getToolbar().getButton(CorvanToolbar::kSave).isEnabled());

    editor->notifyParameterEdit(MVGuiInterface::kNewValue, P::kCutoff, 0.3f);
    testing::deliverPostedMessages();
    EXPECT_TRUE(factoryProgram->isModified());
    calls.answerDialog([](MVModalDialogPanel& panel) {
        auto& dialog = dynamic_cast<CorvanMultiSaveAsPanel&>(panel);
        EXPECT_TRUE(dialog.getUpperRow().isVisible());
        testing::findNamed<juce::TextEditor>(panel, "Patch Name")->setText("My Default");
        testing::findNamed<juce::ComboBox>(panel, "Project")->setText("Mine", juce::sendNotificationSync);
        click(panel, "OK");
    });
    editor->getToolbar().getButton(CorvanToolbar::kSaveAs).triggerClick();
    testing::deliverPostedMessages();
    ASSERT_TRUE(calls.allAnswered());

    MorvanePreset* patch = patches().getCurrentPreset();
    MorvanePreset* program = instrument->getProgramFilterManager(false)->getCurrentPreset();
    ASSERT_NE(patch, factoryPatch);
    EXPECT_TRUE(patch->isUserPreset());
    EXPECT_EQ(patch->getName(), "My Default");
    EXPECT_NE(program, factoryProgram);
    EXPECT_TRUE(program->isUserPreset());
    EXPECT_EQ(patch->getAttribute("Program1"), program->getIdentifier());
    EXPECT_TRUE(editor->getToolbar().getButton(CorvanToolbar::kSave).isEnabled());
    EXPECT_TRUE(editor->getToolbar().getPresetCombo().getText().contains("My Default"));
    EXPECT_NEAR(instrument->getParameter(P::kCutoff), 0.3f, 1e-4) << "still the sound that was saved";
}

// Pictures for a person to look at: the window with the LCD shut, on the presets page, on the effects page,
// and a search menu.
TEST_F(ProductEditorTest, Snapshots) {
    openEditor(0.05f);
    EXPECT_TRUE(keepSnapshot(snapshotOf(*editor), "editor-window-lcd-closed.png"));
    closeEditor();
    openEditor(lcdpage::toValue(lcdpage::kPresets));
    EXPECT_TRUE(keepSnapshot(snapshotOf(*editor), "editor-window-presets.png"));
    closeEditor();
    openEditor(lcdpage::toValue(lcdpage::kFirstEffect));
    EXPECT_TRUE(keepSnapshot(snapshotOf(*editor), "editor-window-effects.png"));

    // The search menu drawn item by item by the look-and-feel that shows it: a shown menu closes by itself
    // when the X server does not see this process in front, so its own window cannot be pictured reliably.
    EXPECT_TRUE(keepSnapshot(drawMenu(editor->getToolbar().getSearchMenu(0)), "editor-search-menu.png"));
}

} // namespace
} // namespace corvex
