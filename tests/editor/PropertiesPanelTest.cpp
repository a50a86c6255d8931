// The patch's and the programs' properties panels on the real library: what each filter-manager message
// shows again, when editors appear, what each edit writes into the preset, and what is refused.
#include <gtest/gtest.h>

#include "editor/CorvanMultiPropertiesPanel.h"
#include "editor/CorvanProgramPropertiesPanel.h"
#include "editor/PropertyEdits.h"
#include "tests/editor/LibraryTestSupport.h"
#include "tests/editor/ScriptedModalCalls.h"
#include "tests/support/Snapshots.h"
#include "widgets/CorvanLookAndFeel.h"

namespace corvex {
namespace {

using testing::deliverPostedMessages;

// Their places on the LCD's preset page.
constexpr int kPatchWidth = 380, kPatchHeight = 36;
constexpr int kProgramWidth = 185, kProgramHeight = 96;

// The LCD page behind the panels: its dark fill and the product look, which the patch panel takes from it.
struct LcdBackground : juce::Component {
    explicit LcdBackground(juce::Component& panel) {
        setLookAndFeel(CorvanLookAndFeel::getInstance());
        setSize(panel.getWidth(), panel.getHeight());
        addAndMakeVisible(panel);
    }
    ~LcdBackground() override {
        removeAllChildren();
        setLookAndFeel(nullptr);
    }
    void paint(juce::Graphics& g) override { g.fillAll(CorvanLookAndFeel::getInstance()->darkColour); }
};

juce::String labelText(juce::Component& panel, const juce::String& name) {
    juce::Label* label = findNamed<juce::Label>(panel, name);
    return label != nullptr ? label->getText() : "<no label " + name + ">";
}

juce::StringArray characteristicsOf(const MorvanePreset& program) {
    juce::StringArray values;
    program.getAttributeValues("Characteristics", values);
    return values;
}

// How many pixels of the padlock's place carry paint.
int paintedPixelsAt(juce::Component& panel, juce::Rectangle<int> area) {
    const juce::Image image = snapshotOf(panel);
    int painted = 0;
    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
            painted += image.getPixelAt(x, y).getAlpha() != 0;
    return painted;
}

// Two programs and a patch of the User bank beside factory ones, the user patch current.
class PanelLibrary : public Library {
protected:
    PanelLibrary() {
        program("Factory/Default.cvp", "Default", "Default");
        program("Factory/fp.cvp", "FP", "Fact Prog", {{"Type", "Pad"}, {"Characteristics", "Bright"}});
        program("User/u1.cvp", "U1", "Warm Lead",
                {{"Type", "Lead"}, {"Characteristics", "Dark"}, {"Characteristics", "Soft"}});
        program("User/u2.cvp", "U2", "Deep Bass",
                {{"Type", "Bass"}, {"Characteristics", "Acid"}, {"Characteristics", "Bright"}, {"Characteristics", "Hard"}});
        program("User/u3.cvp", "U3", "Thin", {{"Characteristics", "Soft"}});
        patch("Factory/Default.cvm", "Default", "Default", "Default", "Default", "Whole");
        patch("Factory/fpatch.cvm", "FPatch", "Fact Patch", "FP", "FP", "Split", {{"Project", "Gala"}});
        patch("User/up.cvm", "UP", "My Patch", "U1", "U2", "Split", {{"Project", "Live"}});
        start();
        showPatch("UP");
    }
    void showPatch(const juce::String& id) {
        patches().setCurrentPreset(findPatch(id), true);
        deliverPostedMessages();
    }
};

class PropertiesPanelTest : public PanelLibrary {
protected:
    PropertiesPanelTest() {
        patchPanel.setSize(kPatchWidth, kPatchHeight);
        upperPanel.setSize(kProgramWidth, kProgramHeight);
        lowerPanel.setSize(kProgramWidth, kProgramHeight);
        // The panels show nothing until a message comes; the first ones came before they listened.
        patchPanel.refresh(patches().getCurrentPreset());
        upperPanel.refresh(upperPrograms().getCurrentPreset());
        lowerPanel.refresh(lowerPrograms().getCurrentPreset());
    }

    ScriptedModalCalls calls;
    CorvanMultiPropertiesPanel patchPanel{&patches(), calls};
    CorvanProgramPropertiesPanel upperPanel{&upperPrograms(), calls};
    CorvanProgramPropertiesPanel lowerPanel{&lowerPrograms(), calls};
};

TEST_F(PropertiesPanelTest, EachMessageShowsAgainWhatItChanged) {
    enum Shown { kNothing, kName, kAll };
    const struct {
        int id;
        Shown patch, program;
    } cases[] = {
        {0, kNothing, kNothing}, {1, kNothing, kAll}, {2, kAll, kAll},         {3, kNothing, kNothing},
        {4, kAll, kAll},         {5, kNothing, kNothing}, {6, kNothing, kNothing}, {7, kNothing, kNothing},
        {8, kName, kName},       {9, kNothing, kNothing}, {12, kNothing, kNothing},
    };
    const struct {
        const char* what;
        PresetPropertiesPanel& panel;
        MorvanePreset* preset;
    } panels[] = {{"patch", patchPanel, findPatch("UP")}, {"program", upperPanel, findProgram("U1")}};
    for (const auto& c : cases) {
        for (size_t p = 0; p < std::size(panels); ++p) {
            const auto& [what, panel, preset] = panels[p];
            preset->setName("Before");
            deliverPostedMessages();
            panel.refresh(preset);
            // Renamed behind the panel's back: only the message tells it.
            preset->setName("After");
            panel.presetFilterChanged(c.id, 0, 0, nullptr);
            const Shown expected = p == 0 ? c.patch : c.program;
            EXPECT_EQ(labelText(panel, "Name"), expected == kNothing ? "Before*" : "After*") << what << " " << c.id;
            EXPECT_EQ(findNamed<CvnLcdTextEditor>(panel, "")->getText(), expected == kAll ? "After" : "Before")
                << what << " " << c.id;
            deliverPostedMessages();
        }
    }
}

TEST_F(PropertiesPanelTest, EditorsShowOnlyOnTheActivePanelForAUserPresetAndAFactoryOneShowsItsPadlock) {
    const juce::Rectangle<int> patchPadlock{135, (kPatchHeight - 14) / 2, 10, 15};
    const juce::Rectangle<int> programPadlock{135, (kProgramHeight - 56) / 4, 10, 15};
    const struct {
        const char* patch;
        bool active, editors, padlock;
    } cases[] = {
        {"UP", true, true, false},
        {"UP", false, false, false},
        {"FPatch", true, false, true},
        {"FPatch", false, false, true},
    };
    for (const auto& c : cases) {
        showPatch(c.patch);
        patchPanel.setActive(c.active);
        upperPanel.setActive(c.active);
        for (PresetPropertiesPanel* panel : {static_cast<PresetPropertiesPanel*>(&patchPanel),
                                             static_cast<PresetPropertiesPanel*>(&upperPanel)}) {
            const bool isPatch = panel == &patchPanel;
            const juce::String what = juce::String(c.patch) + (isPatch ? " patch" : " program") +
                                      (c.active ? " active" : " inactive");
            EXPECT_EQ(panel->isShowingEditors(), c.editors) << what;
            EXPECT_EQ(findNamed<juce::Label>(*panel, "Name")->isVisible(), !c.editors) << what;
            const char* other = isPatch ? "Project" : "Type";
            EXPECT_EQ(findNamed<juce::ComboBox>(*panel, other)->isVisible(), c.editors) << what;
            EXPECT_EQ(findNamed<juce::Label>(*panel, other)->isVisible(), !c.editors) << what;
            EXPECT_EQ(paintedPixelsAt(*panel, isPatch ? patchPadlock : programPadlock) > 0, c.padlock) << what;
        }
    }

    // The page turns from "Patch" to "Lower": the patch shows labels again, the Lower program its editors.
    showPatch("UP");
    patchPanel.setActive(true);
    lowerPanel.setActive(false);
    patchPanel.setActive(false);
    lowerPanel.setActive(true);
    EXPECT_FALSE(patchPanel.isShowingEditors());
    EXPECT_TRUE(lowerPanel.isShowingEditors());
    for (const char* name : {"Characteristics_1", "Characteristics_2", "Characteristics_3"})
        EXPECT_TRUE(findNamed<juce::ComboBox>(lowerPanel, name)->isVisible()) << name;
}

TEST_F(PropertiesPanelTest, EachEditWritesItsAttributeAtOnceAndMarksThePresetModifiedButNotItsFile) {
    patchPanel.setActive(true);
    upperPanel.setActive(true);
    const auto files = filesUnder(settings());
    const auto choose = [](juce::Component& panel, const char* box, const juce::String& text) {
        findNamed<juce::ComboBox>(panel, box)->setText(text, juce::sendNotificationSync);
    };
    const auto type = [](PresetPropertiesPanel& panel, const juce::String& text, bool returnKey) {
        CvnLcdTextEditor* editor = findNamed<CvnLcdTextEditor>(panel, "");
        editor->setText(text, false);
        if (returnKey)
            panel.textEditorReturnKeyPressed(*editor);
        else
            panel.textEditorFocusLost(*editor);
    };
    const struct {
        const char* what;
        std::function<void()> edit;
        PresetPropertiesPanel& panel;
        MorvanePreset* preset;
        std::function<juce::String(const MorvanePreset&)> value;
        juce::String expected;
        const char* label;
        juce::String shown;
    } cases[] = {
        {"patch name, Return", [&] { type(patchPanel, "Night Set", true); }, patchPanel, findPatch("UP"),
         [](const MorvanePreset& p) { return p.getName(); }, "Night Set", "Name", "Night Set*"},
        {"program name, focus lost", [&] { type(upperPanel, "Bright Lead", false); }, upperPanel, findProgram("U1"),
         [](const MorvanePreset& p) { return p.getName(); }, "Bright Lead", "Name", "Bright Lead*"},
        {"patch project", [&] { choose(patchPanel, "Project", "Tour"); }, patchPanel, findPatch("UP"),
         [](const MorvanePreset& p) { return p.getAttribute("Project"); }, "Tour", "Project", "Tour"},
        {"program type", [&] { choose(upperPanel, "Type", "Pad"); }, upperPanel, findProgram("U1"),
         [](const MorvanePreset& p) { return p.getAttribute("Type"); }, "Pad", "Type", "Pad"},
        {"a characteristic set to None", [&] { choose(upperPanel, "Characteristics_2", "None"); }, upperPanel,
         findProgram("U1"), [](const MorvanePreset& p) { return characteristicsOf(p).joinIntoString(","); }, "Dark",
         "Characteristics", "Dark"},
        {"a characteristic added", [&] { choose(upperPanel, "Characteristics_3", "Hard"); }, upperPanel,
         findProgram("U1"), [](const MorvanePreset& p) { return characteristicsOf(p).joinIntoString(","); }, "Dark,Hard",
         "Characteristics", "Dark, Hard"},
    };
    for (const auto& c : cases) {
        c.preset->setModified(false);
        c.edit();
        EXPECT_EQ(c.value(*c.preset), c.expected) << c.what;
        EXPECT_TRUE(c.preset->isModified()) << c.what;
        EXPECT_EQ(labelText(c.panel, c.label), c.shown) << c.what;
        deliverPostedMessages();
    }
    EXPECT_TRUE(findNamed<juce::ComboBox>(patchPanel, "Project")->getText() == "Tour");
    EXPECT_EQ(filesUnder(settings()), files) << "nothing reaches a file before a save";
    EXPECT_TRUE(calls.alerts.empty());
}

TEST_F(PropertiesPanelTest, ABlankNameOrProjectIsRefusedWithAMessageAndTheOldOneStays) {
    patchPanel.setActive(true);
    upperPanel.setActive(true);
    MorvanePreset* patch = findPatch("UP");
    MorvanePreset* program = findProgram("U1");
    for (const juce::String blank : {"", "   ", "\t \n"}) {
        for (PresetPropertiesPanel* panel : {static_cast<PresetPropertiesPanel*>(&patchPanel),
                                             static_cast<PresetPropertiesPanel*>(&upperPanel)}) {
            calls.alerts.clear();
            CvnLcdTextEditor* editor = findNamed<CvnLcdTextEditor>(*panel, "");
            editor->setText(blank, false);
            panel->textEditorReturnKeyPressed(*editor);
            // Focus leaves after the alert: nothing more happens.
            panel->textEditorFocusLost(*editor);
            ASSERT_EQ(calls.alerts.size(), 1u);
            EXPECT_TRUE(calls.alerts[0].warning);
            EXPECT_EQ(editor->getText(), panel == &patchPanel ? "My Patch" : "Warm Lead");
        }
        calls.alerts.clear();
        juce::ComboBox* project = findNamed<juce::ComboBox>(patchPanel, "Project");
        project->setText(blank, juce::sendNotificationSync);
        ASSERT_EQ(calls.alerts.size(), 1u) << "project";
        EXPECT_EQ(project->getText(), "Live");
    }
    EXPECT_EQ(patch->getName(), "My Patch");
    EXPECT_EQ(patch->getAttribute("Project"), "Live");
    EXPECT_EQ(program->getName(), "Warm Lead");
    EXPECT_FALSE(patch->isModified());
    EXPECT_FALSE(program->isModified());
}

TEST_F(PropertiesPanelTest, TheCharacteristicBoxesEndAsTheProgramsValuesEachOnce) {
    MorvanePreset& program = *findProgram("U1");
    const struct {
        const char* what;
        juce::StringArray held, chosen, expected;
        bool modified;
    } cases[] = {
        {"one set to None", {"Dark", "Soft"}, {"Dark", "None", "None"}, {"Dark"}, true},
        {"one chosen in two boxes", {}, {"Dark", "Dark", "None"}, {"Dark"}, true},
        {"two spellings of one", {}, {"Dark", "dark", "None"}, {"Dark"}, true},
        {"a new spelling", {"Dark"}, {"dark", "None", "None"}, {"dark"}, true},
        {"a value twice in the file", {"Dark", "Dark"}, {"Dark", "None", "None"}, {"Dark"}, true},
        {"more values than boxes", {"Acid", "Dark", "Hard", "Soft"}, {"Acid", "Dark", "Hard"}, {"Acid", "Dark", "Hard"}, true},
        {"nothing changed", {"Dark", "Soft"}, {"Dark", "Soft", "None"}, {"Dark", "Soft"}, false},
        {"blank text", {}, {" ", "None", ""}, {}, false},
    };
    for (const auto& c : cases) {
        program.removeAttribute("Characteristics", {});
        for (const juce::String& value : c.held)
            program.setAttribute("Characteristics", value, true);
        program.setModified(false);
        propertyedits::setCharacteristics(program, c.chosen);
        EXPECT_EQ(characteristicsOf(program), c.expected) << c.what;
        EXPECT_EQ(program.isModified(), c.modified) << c.what;
    }
}

TEST_F(PropertiesPanelTest, BoxesFollowTheProgramShownAndNeverWriteIntoIt) {
    upperPanel.setActive(true);
    // From three characteristics to one, to one on a factory program, to two: no box carries a value over
    // into the program shown (leaving a program would undo it, so each is checked while shown).
    const struct {
        const char* id;
        juce::StringArray values;
    } shownInTurn[] = {{"U2", {"Acid", "Bright", "Hard"}}, {"U3", {"Soft"}}, {"FP", {"Bright"}}, {"U1", {"Dark", "Soft"}}};
    for (const auto& program : shownInTurn) {
        upperPrograms().setCurrentPreset(findProgram(program.id), true);
        deliverPostedMessages();
        EXPECT_EQ(characteristicsOf(*findProgram(program.id)), program.values) << program.id;
        EXPECT_FALSE(findProgram(program.id)->isModified()) << program.id;
    }
    MorvanePreset* u1 = findProgram("U1");
    juce::StringArray shown;
    for (const char* name : {"Characteristics_1", "Characteristics_2", "Characteristics_3"})
        shown.add(findNamed<juce::ComboBox>(upperPanel, name)->getText());
    EXPECT_EQ(shown, (juce::StringArray{"Dark", "Soft", "None"}));
    upperPanel.setActive(false);
    EXPECT_EQ(labelText(upperPanel, "Characteristics"), "Dark, Soft");

    // Two choices made before the panel hears of the first: each value stored once.
    upperPanel.setActive(true);
    findNamed<juce::ComboBox>(upperPanel, "Characteristics_1")->setText("Bright", juce::sendNotificationSync);
    findNamed<juce::ComboBox>(upperPanel, "Characteristics_2")->setText("Hard", juce::sendNotificationSync);
    EXPECT_EQ(characteristicsOf(*u1), (juce::StringArray{"Bright", "Hard"}));
}

TEST_F(PropertiesPanelTest, ASaveDropsTheStarFromTheName) {
    upperPanel.setActive(true);
    CvnLcdTextEditor* editor = findNamed<CvnLcdTextEditor>(upperPanel, "");
    editor->setText("Bright Lead", false);
    upperPanel.textEditorReturnKeyPressed(*editor);
    deliverPostedMessages();
    EXPECT_EQ(labelText(upperPanel, "Name"), "Bright Lead*");
    ASSERT_TRUE(upperPrograms().savePreset(findProgram("U1")));
    deliverPostedMessages();
    EXPECT_EQ(labelText(upperPanel, "Name"), "Bright Lead");
}

TEST_F(PropertiesPanelTest, SnapshotsOnTheLcdAtTheirRealSizes) {
    const struct {
        const char* name;
        const char* patch;
        bool active;
    } shots[] = {{"factory", "FPatch", false}, {"user", "UP", true}};
    for (const auto& shot : shots) {
        showPatch(shot.patch);
        patchPanel.setActive(shot.active);
        upperPanel.setActive(shot.active);
        LcdBackground patchLcd(patchPanel);
        keepSnapshot(snapshotOf(patchLcd), juce::String("editor-multi-properties-") + shot.name + ".png");
        LcdBackground programLcd(upperPanel);
        keepSnapshot(snapshotOf(programLcd), juce::String("editor-program-properties-") + shot.name + ".png");
        EXPECT_EQ(snapshotOf(programLcd).getWidth(), kProgramWidth);
    }
}

} // namespace
} // namespace corvex
