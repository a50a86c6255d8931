// The dialog window and the scripted seam the editor's tests stand on: a panel ends its dialog through the
// window it was given, the close button and Escape end it too, and a script that is not followed fails.
#include <gtest/gtest.h>

#include "tests/editor/ScriptedModalCalls.h"
#include "widgets/CvnLcdTextButton.h"

namespace corvex {
namespace {

class OkPanel : public MVModalDialogPanel {
public:
    OkPanel() {
        ok.addListener(this);
        ok.setButtonText("OK");
        addAndMakeVisible(ok);
        setSize(200, 100);
    }
    void buttonClicked(juce::Button*) override {
        ++clicks;
        closeDialog();
    }
    CvnLcdTextButton ok{"OK"};
    int clicks = 0;
};

TEST(ModalSeam, ThePanelEndsItsDialogAndTheCallerReadsItAfterwards) {
    ScriptedModalCalls calls;
    OkPanel panel;
    calls.answerDialog([](MVModalDialogPanel& shown) { click(shown, "OK"); });
    calls.runDialog(panel, "Title", 200, 140);
    ASSERT_EQ(calls.dialogs.size(), 1u);
    EXPECT_TRUE(calls.dialogs[0].ended);
    EXPECT_EQ(calls.dialogs[0].title, "Title");
    EXPECT_EQ(panel.clicks, 1);
    EXPECT_EQ(panel.dialogWindow, nullptr) << "a panel that outlives its window must not point at it";
    // Without a window the panel ends nothing and does not crash.
    panel.closeDialog();
}

TEST(ModalSeam, AStepThatEndsNothingIsSeen) {
    ScriptedModalCalls calls;
    OkPanel panel;
    calls.answerDialog([](MVModalDialogPanel&) {});
    calls.runDialog(panel, "Title", 200, 140);
    ASSERT_EQ(calls.dialogs.size(), 1u);
    EXPECT_FALSE(calls.dialogs[0].ended);
}

TEST(ModalDialog, TheCloseButtonAndEscapeEndTheLoopWithZero) {
    for (bool escape : {false, true}) {
        MVModalDialog window("Close me");
        OkPanel panel;
        window.setContentNonOwned(&panel, true);
        int result = -1;
        window.enterModalState(false, juce::ModalCallbackFunction::create([&](int r) { result = r; }));
        ASSERT_TRUE(window.isCurrentlyModal());
        if (escape)
            EXPECT_TRUE(static_cast<juce::Component&>(window).keyPressed(juce::KeyPress(juce::KeyPress::escapeKey)));
        else
            window.closeButtonPressed();
        EXPECT_FALSE(window.isCurrentlyModal()) << (escape ? "Escape" : "close button");
        juce::MessageManager::getInstance()->runDispatchLoopUntil(20);
        EXPECT_EQ(result, 0);
        window.clearContentComponent();
    }
}

TEST(ModalDialog, TheTitleBarOffersOnlyTheCloseButton) {
    MVModalDialog window("Only close");
    EXPECT_NE(window.getCloseButton(), nullptr);
    EXPECT_EQ(window.getMinimiseButton(), nullptr);
    EXPECT_EQ(window.getMaximiseButton(), nullptr);
    EXPECT_TRUE(window.isOpaque());
}

} // namespace
} // namespace corvex
