// "Save Patch As...": what the dialog proposes for each current patch, what OK writes, and that Cancel and a
// blank name write nothing.
#include <gtest/gtest.h>

#include "editor/CorvanMultiSaveAsPanel.h"
#include "tests/editor/SaveDialogTestSupport.h"

namespace corvex::testing {
namespace {

class PatchSaveAsTest : public SaveDialogTest {};

TEST_F(PatchSaveAsTest, TheDialogProposesAFreeNameTheCurrentProjectAndTheRowsTheModeUses) {
    struct Case {
        const char* patchId;
        const char* project;
        bool lowerRowShown;
        const char* upperRowTitle;
    };
    const Case cases[] = {
        {"MINE", "Live", true, "Upper: Lead"},
        {"SOLO", "", false, "Upper: Default"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.patchId);
        temp.root().deleteRecursively();
        makeLibrary();
        patches().setCurrentPreset(findPatch(c.patchId), false);
        deliverPostedMessages();
        juce::StringArray names;
        for (const auto& [id, preset] : patchManager().getPresets())
            names.add(preset->getName());
        calls.answerDialog([&](MVModalDialogPanel& panel) {
            auto& dialog = dynamic_cast<CorvanMultiSaveAsPanel&>(panel);
            const juce::String proposed = findNamed<juce::TextEditor>(panel, "Patch Name")->getText();
            EXPECT_FALSE(names.contains(proposed)) << proposed;
            EXPECT_TRUE(proposed.startsWith(findPatch(c.patchId)->getName())) << proposed;
            juce::ComboBox* project = findNamed<juce::ComboBox>(panel, "Project");
            EXPECT_EQ(project->getText(), c.project);
            EXPECT_EQ(project->getNumItems(), 2) << "Live and Tour";
            EXPECT_TRUE(project->isTextEditable());
            EXPECT_EQ(dialog.getLowerRow().isVisible(), c.lowerRowShown);
            EXPECT_TRUE(dialog.getUpperRow().isVisible());
            EXPECT_EQ(dialog.getUpperRow().getTitle(), c.upperRowTitle);
            click(panel, "Cancel");
        });
        const auto before = files();
        patches().savePatchAs();
        ASSERT_EQ(calls.dialogs.size(), 1u);
        EXPECT_EQ(calls.dialogs[0].title, "Save Patch As...");
        EXPECT_EQ(calls.dialogs[0].width, 360);
        EXPECT_EQ(calls.dialogs[0].height, 340);
        EXPECT_TRUE(calls.dialogs[0].ended);
        EXPECT_TRUE(changedFiles(before, files()).empty()) << "Cancel writes nothing";
        EXPECT_EQ(patches().getCurrentPreset(), findPatch(c.patchId));
        calls.dialogs.clear();
        services.reset();
    }
}

TEST_F(PatchSaveAsTest, OkWritesACopyInTheTypedProjectNamingBothProgramsEvenInWholeMode) {
    makeLibrary();
    edit("SOLO", true, "FLEAD");
    calls.answerDialog([](MVModalDialogPanel& panel) {
        auto& dialog = dynamic_cast<CorvanMultiSaveAsPanel&>(panel);
        EXPECT_FALSE(dialog.getLowerRow().isVisible());
        findNamed<juce::TextEditor>(panel, "Patch Name")->setText("Solo Live");
        findNamed<juce::ComboBox>(panel, "Project")->setText("New Gig", juce::sendNotificationSync);
        click(panel, "OK");
    });
    const auto before = files();
    patches().savePatchAs();
    MorvanePreset* copy = patches().getCurrentPreset();
    ASSERT_NE(copy, findPatch("SOLO"));
    EXPECT_EQ(copy->getName(), "Solo Live");
    EXPECT_EQ(copy->getAttribute("Project"), "New Gig");
    EXPECT_EQ(copy->getAttribute("Mode"), "Whole");
    EXPECT_EQ(copy->getAttribute("Program1"), "Default");
    // The hidden Lower row still answers with its default: the modified factory program is copied.
    MorvanePreset* lowerCopy = lowerPrograms().getCurrentPreset();
    EXPECT_NE(lowerCopy, findProgram("FLEAD"));
    EXPECT_TRUE(lowerCopy->isUserPreset());
    EXPECT_EQ(copy->getAttribute("Program2"), lowerCopy->getIdentifier());
    EXPECT_EQ(changedFiles(before, files()), (std::vector<std::string>{"+User", "+User"}));
    EXPECT_EQ(findPatch("SOLO")->getAttribute("Program2"), "FLEAD") << "the patch copied from stays as it was";
}

TEST_F(PatchSaveAsTest, EachRowProposesByBankSharingAndEdits) {
    using K = ProgramSaveChoice::Kind;
    struct Case {
        const char* name;
        bool lowerLayer; // the layer edited; the other row shows an untouched program
        const char* programId;
        RowSeen edited;
    };
    const RowSeen untouched{K::kDoNotSave, true, false, false};
    const Case cases[] = {
        {"shared user program", false, "ULEAD", {K::kSaveAs, true, false, true}},
        {"unshared user program", true, "UPAD", {K::kSave, true, false, false}},
        {"factory program", true, "FLEAD", {K::kSaveAs, false, false, true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        temp.root().deleteRecursively();
        makeLibrary();
        edit("MINE", c.lowerLayer, c.programId);
        calls.answerDialog([&](MVModalDialogPanel& panel) {
            auto& dialog = dynamic_cast<CorvanMultiSaveAsPanel&>(panel);
            CorvanSaveProgramPanel& edited = c.lowerLayer ? dialog.getLowerRow() : dialog.getUpperRow();
            CorvanSaveProgramPanel& other = c.lowerLayer ? dialog.getUpperRow() : dialog.getLowerRow();
            for (const auto& [row, expected] : {std::pair{&edited, c.edited}, std::pair{&other, untouched}}) {
                const RowSeen seen = seeRow(*row);
                EXPECT_EQ(seen.kind, expected.kind) << row->getTitle();
                EXPECT_EQ(seen.saveEnabled, expected.saveEnabled) << row->getTitle();
                EXPECT_EQ(seen.warning, expected.warning) << row->getTitle();
                EXPECT_EQ(seen.characteristics, expected.characteristics) << row->getTitle();
            }
            click(panel, "Cancel");
        });
        patches().savePatchAs();
        services.reset();
    }
}

TEST_F(PatchSaveAsTest, OverwritingASharedProgramWarnsInTheRow) {
    makeLibrary();
    edit("MINE", false, "ULEAD");
    calls.answerDialog([](MVModalDialogPanel& panel) {
        CorvanSaveProgramPanel& row = dynamic_cast<CorvanMultiSaveAsPanel&>(panel).getUpperRow();
        const struct {
            const char* choice;
            bool warning;
            bool characteristics;
        } steps[] = {{"Save", true, false}, {"Do Not Save", false, false}, {"Save As", false, true}};
        for (const auto& step : steps) {
            SCOPED_TRACE(step.choice);
            click(row, step.choice);
            EXPECT_EQ(seeRow(row).warning, step.warning);
            EXPECT_EQ(seeRow(row).characteristics, step.characteristics);
        }
        click(panel, "Cancel");
    });
    patches().savePatchAs();
}

TEST_F(PatchSaveAsTest, ABlankNameIsRefusedWithAMessageAndTheDialogStaysOpen) {
    struct Case {
        bool inUpperRow; // the name of the Upper row's copy of a factory program, else the patch's
        const char* field;
        const char* blank;
    };
    const Case cases[] = {
        {false, "Patch Name", ""},
        {false, "Patch Name", "   "},
        {true, "Name", " \t "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.field) + " \"" + c.blank + "\"");
        temp.root().deleteRecursively();
        makeLibrary();
        edit("MINE", false, "FLEAD");
        const auto before = files();
        bool stayedOpen = false;
        calls.answerDialog([&](MVModalDialogPanel& panel) {
            auto& dialog = dynamic_cast<CorvanMultiSaveAsPanel&>(panel);
            juce::Component& holder = c.inUpperRow ? static_cast<juce::Component&>(dialog.getUpperRow()) : panel;
            findNamed<juce::TextEditor>(holder, c.field)->setText(c.blank);
            click(panel, "OK");
            stayedOpen = panel.dialogWindow != nullptr && panel.dialogWindow->isCurrentlyModal();
            click(panel, "Cancel");
        });
        patches().savePatchAs();
        EXPECT_TRUE(stayedOpen);
        ASSERT_EQ(calls.alerts.size(), 1u);
        EXPECT_TRUE(calls.alerts[0].warning);
        EXPECT_TRUE(calls.alerts[0].message.contains("blank")) << calls.alerts[0].message;
        EXPECT_TRUE(changedFiles(before, files()).empty());
        EXPECT_TRUE(findProgram("FLEAD")->isModified());
        calls.alerts.clear();
        calls.dialogs.clear();
        services.reset();
    }
}

} // namespace
} // namespace corvex::testing
