// Saving a patch through the dialogs: which dialog each modified program raises, what it proposes, and what
// ends up written for OK, Cancel and the close button.
#include <gtest/gtest.h>

#include "tests/editor/SaveDialogTestSupport.h"

namespace corvex::testing {
namespace {

enum class Answer { none, ok, cancel, close };

void answer(MVModalDialogPanel& panel, Answer how) {
    if (how == Answer::ok)
        click(panel, "OK");
    else if (how == Answer::cancel)
        click(panel, "Cancel");
    else if (how == Answer::close && panel.dialogWindow != nullptr)
        panel.dialogWindow->closeButtonPressed();
}

class PatchSaveFlowTest : public SaveDialogTest {};

TEST_F(PatchSaveFlowTest, EachKindOfModifiedProgramRaisesItsDialogAndItsAnswerIsCarriedOut) {
    using K = ProgramSaveChoice::Kind;
    struct Case {
        const char* name;
        const char* patchId;
        bool lowerLayer;
        const char* programId;
        Answer how;
        // Empty: no dialog.
        const char* title;
        RowSeen seen;
        std::vector<std::string> written;
        // A program saved as a copy hands its edits to the copy, which the layer then plays.
        bool programStillModified;
    };
    const Case cases[] = {
        {"factory program", "MINE", false, "FLEAD", Answer::ok, "Upper \"Fat Lead\" cannot be saved.",
         {K::kSaveAs, false, false, true}, {"+User", "User/mine.cvm"}, false},
        {"shared user program", "MINE", false, "ULEAD", Answer::ok, "Upper \"Lead\" used by another Patch!",
         {K::kSaveAs, true, false, true}, {"+User", "User/mine.cvm"}, false},
        {"unshared user program", "MINE", true, "UPAD", Answer::none, "", {}, {"User/mine.cvm", "User/upad.cvp"}, false},
        {"Whole mode leaves Lower alone", "SOLO", true, "FLEAD", Answer::none, "", {}, {"User/solo.cvm"}, true},
        {"Cancel", "MINE", false, "FLEAD", Answer::cancel, "Upper \"Fat Lead\" cannot be saved.",
         {K::kSaveAs, false, false, true}, {}, true},
        {"close button", "MINE", false, "ULEAD", Answer::close, "Upper \"Lead\" used by another Patch!",
         {K::kSaveAs, true, false, true}, {}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        temp.root().deleteRecursively();
        makeLibrary();
        edit(c.patchId, c.lowerLayer, c.programId);
        MorvanePreset* patch = findPatch(c.patchId);
        patches().setPresetModified(patch, true, false);
        const auto before = files();
        RowSeen seen{};
        const bool asks = juce::String(c.title).isNotEmpty();
        if (asks)
            calls.answerDialog([&](MVModalDialogPanel& panel) {
                auto* dialog = dynamic_cast<CorvanProgramSaveDialogPanel*>(&panel);
                ASSERT_NE(dialog, nullptr);
                seen = seeRow(dialog->getRow());
                answer(panel, c.how);
            });

        patches().savePatch();
        ASSERT_EQ(calls.dialogs.size(), asks ? 1u : 0u);
        if (asks) {
            EXPECT_EQ(calls.dialogs[0].title, c.title);
            EXPECT_EQ(calls.dialogs[0].width, 400);
            EXPECT_EQ(calls.dialogs[0].height, 280);
            EXPECT_TRUE(calls.dialogs[0].ended);
            EXPECT_EQ(seen.kind, c.seen.kind);
            EXPECT_EQ(seen.saveEnabled, c.seen.saveEnabled);
            EXPECT_EQ(seen.warning, c.seen.warning);
            EXPECT_EQ(seen.characteristics, c.seen.characteristics);
        }
        EXPECT_EQ(changedFiles(before, files()), c.written);
        EXPECT_EQ(findProgram(c.programId)->isModified(), c.programStillModified);
        EXPECT_EQ(patch->isModified(), c.written.empty()) << "the patch is saved unless the user cancelled";
        if (c.how == Answer::ok) {
            MorvanePreset* copy = upperPrograms().getCurrentPreset();
            EXPECT_NE(copy, findProgram(c.programId));
            EXPECT_EQ(patch->getAttribute("Program1"), copy->getIdentifier());
        }
        calls.dialogs.clear();
        services.reset();
    }
}

TEST_F(PatchSaveFlowTest, TheSharedDialogNamesTheOtherPatchesAndOverwritesWithoutAnotherWarning) {
    makeLibrary();
    edit("MINE", false, "ULEAD");
    calls.answerDialog([](MVModalDialogPanel& panel) {
        auto& dialog = dynamic_cast<CorvanProgramSaveDialogPanel&>(panel);
        EXPECT_TRUE(dialog.getMessage().getText().contains("other patches: Other A, Other B. Saving it now"))
            << dialog.getMessage().getText();
        click(panel, "Save");
        const RowSeen seen = seeRow(dialog.getRow());
        EXPECT_FALSE(seen.warning);
        EXPECT_FALSE(seen.characteristics);
        click(panel, "OK");
    });
    const auto before = files();
    patches().savePatch();
    EXPECT_EQ(changedFiles(before, files()), (std::vector<std::string>{"User/mine.cvm", "User/ulead.cvp"}));
    EXPECT_EQ(upperPrograms().getCurrentPreset(), findProgram("ULEAD"));
}

TEST_F(PatchSaveFlowTest, TheCopyTakesTheNameTypeAndCharacteristicsEnteredInTheRow) {
    makeLibrary();
    edit("MINE", false, "FLEAD");
    calls.answerDialog([](MVModalDialogPanel& panel) {
        findNamed<juce::TextEditor>(panel, "Name")->setText("My Lead");
        findNamed<juce::ComboBox>(panel, "Type")->setText("Bass", juce::sendNotificationSync);
        findNamed<juce::ComboBox>(panel, "Characteristics_1")->setText("None", juce::sendNotificationSync);
        findNamed<juce::ComboBox>(panel, "Characteristics_2")->setText("None", juce::sendNotificationSync);
        click(panel, "OK");
    });
    patches().savePatch();
    MorvanePreset* copy = upperPrograms().getCurrentPreset();
    EXPECT_EQ(copy->getName(), "My Lead");
    EXPECT_EQ(copy->getAttribute("Type"), "Bass");
    juce::StringArray characteristics;
    copy->getAttributeValues("Characteristics", characteristics);
    EXPECT_TRUE(characteristics.isEmpty()) << characteristics.joinIntoString(",");
    EXPECT_TRUE(copy->isUserPreset());
    EXPECT_FALSE(copy->isModified());
}

} // namespace
} // namespace corvex::testing
