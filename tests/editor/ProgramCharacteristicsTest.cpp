// The block that names a program and sets its type and characteristics, and the "Program Save As..." dialog
// around it: what they propose, what applying writes, and what OK, Cancel and a blank name do.
#include <gtest/gtest.h>

#include "editor/CorvanProgramPropertiesEditPanel.h"
#include "tests/editor/SaveDialogTestSupport.h"

namespace corvex::testing {
namespace {

juce::StringArray characteristicsOf(const MorvanePreset& preset) {
    juce::StringArray values;
    preset.getAttributeValues("Characteristics", values);
    return values;
}

class ProgramCharacteristicsTest : public SaveDialogTest {
protected:
    // A user program with more characteristics than the block has boxes.
    void makeLibraryWithRich() {
        program("User/rich.cvp", "RICH", "Rich",
                {{"Type", "Pad"},
                 {"Characteristics", "Dark"},
                 {"Characteristics", "Soft"},
                 {"Characteristics", "Bright"},
                 {"Characteristics", "Hard"}});
        makeLibrary();
        upperPrograms().setCurrentPreset(findProgram("RICH"), false);
    }
    static void choose(juce::Component& block, const juce::StringArray& boxes) {
        for (int i = 0; i < boxes.size(); ++i)
            findNamed<juce::ComboBox>(block, "Characteristics_" + juce::String(i + 1))
                ->setText(boxes[i], juce::sendNotificationSync);
    }
};

TEST_F(ProgramCharacteristicsTest, TheBlockIsFilledFromTheCurrentProgramWithAFreeName) {
    makeLibraryWithRich();
    CorvanProgramCharacteristicsPanel block(upperPrograms());
    const juce::String proposed = findNamed<juce::TextEditor>(block, "Name")->getText();
    for (const auto& [id, preset] : programManager().getPresets())
        EXPECT_NE(preset->getName(), proposed);
    EXPECT_TRUE(proposed.startsWith("Rich")) << proposed;
    EXPECT_EQ(findNamed<juce::ComboBox>(block, "Type")->getText(), "Pad");
    const juce::StringArray shown{findNamed<juce::ComboBox>(block, "Characteristics_1")->getText(),
                                  findNamed<juce::ComboBox>(block, "Characteristics_2")->getText(),
                                  findNamed<juce::ComboBox>(block, "Characteristics_3")->getText()};
    EXPECT_EQ(shown, (juce::StringArray{"Dark", "Soft", "Bright"})) << "the first three of four";
    EXPECT_EQ(findNamed<juce::ComboBox>(block, "Characteristics_1")->getItemText(0), "None");
}

TEST_F(ProgramCharacteristicsTest, ApplyingStoresTheChosenCharacteristicsOnceEach) {
    struct Case {
        const char* name;
        juce::StringArray boxes; // as set, box by box; fewer leave the rest as shown
        juce::StringArray stored;
    };
    const Case cases[] = {
        {"left as shown drops the fourth", {}, {"Dark", "Soft", "Bright"}},
        {"all None removes every one", {"None", "None", "None"}, {}},
        {"a repeat, even in another case, is stored once", {"Acid", "Soft", "acid"}, {"Soft", "Acid"}},
        {"values kept stay in their place", {"Soft", "Dark", "None"}, {"Dark", "Soft"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        temp.root().deleteRecursively();
        makeLibraryWithRich();
        CorvanProgramCharacteristicsPanel block(upperPrograms());
        choose(block, c.boxes);
        EXPECT_EQ(block.getResultingCharacteristics(), c.stored) << "what a saved-as copy is given";
        MorvanePreset* rich = findProgram("RICH");
        EXPECT_EQ(block.applyToPreset(rich), rich);
        EXPECT_EQ(characteristicsOf(*rich), c.stored);
        EXPECT_TRUE(rich->isModified());
        services.reset();
    }
}

TEST_F(ProgramCharacteristicsTest, ApplyingToAFactoryProgramEditsACurrentUserCopyAndLeavesTheFactoryFile) {
    makeLibrary();
    upperPrograms().setCurrentPreset(findProgram("FLEAD"), false);
    const auto before = files();
    CorvanProgramCharacteristicsPanel block(upperPrograms());
    findNamed<juce::TextEditor>(block, "Name")->setText("Thin Lead");
    choose(block, {"Bright"});
    MorvanePreset* factory = findProgram("FLEAD");
    MorvanePreset* edited = block.applyToPreset(factory);
    ASSERT_NE(edited, nullptr);
    EXPECT_NE(edited, factory);
    EXPECT_TRUE(edited->isUserPreset());
    EXPECT_EQ(upperPrograms().getCurrentPreset(), edited);
    EXPECT_EQ(edited->getName(), "Thin Lead");
    EXPECT_EQ(characteristicsOf(*edited), (juce::StringArray{"Soft", "Bright"}));
    EXPECT_EQ(factory->getName(), "Fat Lead");
    EXPECT_EQ(characteristicsOf(*factory), (juce::StringArray{"Dark", "Soft"}));
    EXPECT_EQ(changedFiles(before, files()), std::vector<std::string>{"+User"}) << "only the copy is written";
}

TEST_F(ProgramCharacteristicsTest, TheSaveAsDialogConfirmsOnlyOnOkWithAName) {
    struct Case {
        const char* name;
        const char* typed; // nullptr keeps the proposal
        const char* button;
        bool confirmed;
        bool warned;
    };
    const Case cases[] = {
        {"OK", nullptr, "OK", true, false},
        {"Cancel", nullptr, "Cancel", false, false},
        {"blank name", "  ", "OK", false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        temp.root().deleteRecursively();
        makeLibrary();
        upperPrograms().setCurrentPreset(findProgram("ULEAD"), false);
        const auto before = files();
        CorvanProgramPropertiesEditPanel panel(calls, upperPrograms());
        calls.answerDialog([&](MVModalDialogPanel& shown) {
            if (c.typed != nullptr)
                findNamed<juce::TextEditor>(shown, "Name")->setText(c.typed);
            click(shown, c.button);
        });
        calls.runDialog(panel, "Program Save As...", 200, 220);
        EXPECT_EQ(panel.isConfirmed(), c.confirmed);
        EXPECT_EQ(calls.dialogs.back().ended, !c.warned) << "a refused name keeps the dialog open";
        EXPECT_EQ(calls.alerts.size(), c.warned ? 1u : 0u);
        EXPECT_TRUE(changedFiles(before, files()).empty()) << "the dialog itself writes nothing";
        calls.alerts.clear();
        services.reset();
    }
}

TEST_F(ProgramCharacteristicsTest, ABlankCopyNameInTheFactoryDialogIsRefused) {
    makeLibrary();
    edit("MINE", false, "FLEAD");
    const auto before = files();
    calls.answerDialog([](MVModalDialogPanel& panel) {
        findNamed<juce::TextEditor>(panel, "Name")->setText(" ");
        click(panel, "OK");
        EXPECT_TRUE(panel.dialogWindow->isCurrentlyModal());
        click(panel, "Cancel");
    });
    patches().savePatch();
    ASSERT_EQ(calls.alerts.size(), 1u);
    EXPECT_TRUE(calls.alerts[0].warning);
    EXPECT_TRUE(changedFiles(before, files()).empty());
    EXPECT_TRUE(findProgram("FLEAD")->isModified());
}

} // namespace
} // namespace corvex::testing
