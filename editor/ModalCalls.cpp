#include "editor/ModalCalls.h"

#include <memory>

namespace corvex {

void JuceModalCalls::runDialog(MVModalDialogPanel& panel, const juce::String& title, int width, int height) {
    auto window = std::make_unique<MVModalDialog>(title);
    window->setBounds(400, 400, width, height);
    window->setAlwaysOnTop(true);
    window->setContentNonOwned(&panel, false);
    panel.dialogWindow = window.get();
    window->toFront(true);
    window->runModalLoop();
    // The panel outlives the window; it must not end a loop that is gone.
    window->clearContentComponent();
    panel.dialogWindow = nullptr;
}

void JuceModalCalls::showInfo(const juce::String& title, const juce::String& message) {
    juce::AlertWindow::showMessageBox(juce::MessageBoxIconType::InfoIcon, title, message);
}

void JuceModalCalls::showWarning(const juce::String& title, const juce::String& message) {
    juce::AlertWindow::showMessageBox(juce::MessageBoxIconType::WarningIcon, title, message);
}

bool JuceModalCalls::askOkCancel(const juce::String& title, const juce::String& message) {
    return juce::AlertWindow::showOkCancelBox(juce::MessageBoxIconType::WarningIcon, title, message, {}, {}, nullptr,
                                              nullptr);
}

std::optional<juce::File> JuceModalCalls::chooseFileToSave(const juce::String& title, const juce::File& start,
                                                           const juce::String& pattern) {
    juce::FileChooser chooser(title, start, pattern);
    if (!chooser.browseForFileToSave(true)) return std::nullopt;
    return chooser.getResult();
}

std::optional<juce::File> JuceModalCalls::chooseFileToOpen(const juce::String& title, const juce::File& start,
                                                           const juce::String& pattern) {
    juce::FileChooser chooser(title, start, pattern);
    if (!chooser.browseForFileToOpen()) return std::nullopt;
    return chooser.getResult();
}

int JuceModalCalls::showMenu(const juce::PopupMenu& menu) {
    juce::PopupMenu shown(menu);
    return shown.show();
}

} // namespace corvex
