#include "widgets/MVModalDialog.h"

namespace corvex {

MVModalDialog::MVModalDialog(const juce::String& title)
    : juce::DialogWindow(title, juce::Colours::white, true, false) {
    setUsingNativeTitleBar(false);
    setTitleBarButtonsRequired(juce::DocumentWindow::closeButton, false);
    setTitleBarTextCentred(true);
    setOpaque(true);
    setVisible(true);
    toFront(true);
}

void MVModalDialog::closeButtonPressed() { exitModalState(0); }

bool MVModalDialog::escapeKeyPressed() {
    closeButtonPressed();
    return true;
}

void MVModalDialogPanel::closeDialog() {
    if (dialogWindow != nullptr) dialogWindow->exitModalState(0);
}

} // namespace corvex
