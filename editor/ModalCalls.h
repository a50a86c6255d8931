// Every modal call the editor makes (dialogs, alerts, file choosers, pop-up menus) goes through this seam.
// The application uses JuceModalCalls; tests give a script that answers each call, so what follows a dialog
// runs in tests without a modal loop that nothing could end.
#pragma once

#include <optional>

#include <juce_gui_basics/juce_gui_basics.h>

#include "widgets/MVModalDialog.h"

namespace corvex {

class ModalCalls {
public:
    virtual ~ModalCalls() = default;

    // Shows the panel, already at its size, in an MVModalDialog of the given size at (400, 400), always on top,
    // until the panel ends the dialog; the window is gone when this returns. The caller owns the panel and
    // reads its answer afterwards.
    virtual void runDialog(MVModalDialogPanel& panel, const juce::String& title, int width, int height) = 0;
    // An information alert with one default button.
    virtual void showInfo(const juce::String& title, const juce::String& message) = 0;
    // A warning alert with one default button: something failed and the user should know why.
    virtual void showWarning(const juce::String& title, const juce::String& message) = 0;
    // A warning alert with "OK" and "Cancel": true for OK.
    virtual bool askOkCancel(const juce::String& title, const juce::String& message) = 0;
    // nullopt when the user cancels. Saving asks before overwriting an existing file.
    virtual std::optional<juce::File> chooseFileToSave(const juce::String& title, const juce::File& start,
                                                       const juce::String& pattern) = 0;
    virtual std::optional<juce::File> chooseFileToOpen(const juce::String& title, const juce::File& start,
                                                       const juce::String& pattern) = 0;
    // The chosen item's id, 0 when the menu is dismissed.
    virtual int showMenu(const juce::PopupMenu& menu) = 0;
};

// The real thing: JUCE's modal loops.
class JuceModalCalls : public ModalCalls {
public:
    void runDialog(MVModalDialogPanel& panel, const juce::String& title, int width, int height) override;
    void showInfo(const juce::String& title, const juce::String& message) override;
    void showWarning(const juce::String& title, const juce::String& message) override;
    bool askOkCancel(const juce::String& title, const juce::String& message) override;
    std::optional<juce::File> chooseFileToSave(const juce::String& title, const juce::File& start,
                                               const juce::String& pattern) override;
    std::optional<juce::File> chooseFileToOpen(const juce::String& title, const juce::File& start,
                                               const juce::String& pattern) override;
    int showMenu(const juce::PopupMenu& menu) override;
};

} // namespace corvex
