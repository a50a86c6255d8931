// Pictures of the save dialogs and the program save-as dialog at their real size, for a person to look at;
// each must also lay every shown child out inside itself.
#include <gtest/gtest.h>

#include "editor/CorvanProgramPropertiesEditPanel.h"
#include "tests/editor/SaveDialogTestSupport.h"
#include "tests/support/Snapshots.h"

namespace corvex::testing {
namespace {

// Every shown child, at any depth, inside its parent and of some size.
void expectLaidOutInside(juce::Component& parent) {
    for (auto* child : parent.getChildren()) {
        if (!child->isVisible())
            continue;
        EXPECT_TRUE(parent.getLocalBounds().contains(child->getBounds()))
            << child->getName() << " at " << child->getBounds().toString() << " outside "
            << parent.getName() << " " << parent.getLocalBounds().toString();
        EXPECT_FALSE(child->getBounds().isEmpty()) << child->getName();
        expectLaidOutInside(*child);
    }
}

// The panel as its window shows it: the window fits it to the area below its title bar.
std::function<void(MVModalDialogPanel&)> snapshotThenCancel(const char* file) {
    return [=](MVModalDialogPanel& panel) {
        SCOPED_TRACE(file);
        ASSERT_NE(panel.dialogWindow, nullptr);
        expectLaidOutInside(panel);
        keepSnapshot(snapshotOf(panel), file);
        click(panel, "Cancel");
    };
}

class SaveDialogSnapshotTest : public SaveDialogTest {};

TEST_F(SaveDialogSnapshotTest, EachDialogAtItsRealSize) {
    makeLibrary();
    edit("MINE", false, "FLEAD");
    calls.answerDialog(snapshotThenCancel("editor-save-factory-program.png"));
    patches().savePatch();

    edit("MINE", false, "ULEAD");
    calls.answerDialog(snapshotThenCancel("editor-save-common-program.png"));
    patches().savePatch();

    edit("MINE", true, "FLEAD");
    calls.answerDialog(snapshotThenCancel("editor-save-patch-as.png"));
    patches().savePatchAs();

    CorvanProgramPropertiesEditPanel edit(calls, upperPrograms());
    calls.answerDialog(snapshotThenCancel("editor-program-properties-edit.png"));
    calls.runDialog(edit, "Program Save As...", 200, 220);
    EXPECT_EQ(calls.dialogs.size(), 4u);
}

} // namespace
} // namespace corvex::testing
