// The window every dialog of the editor is shown in: a title bar with only a close button, opaque white
// behind the panel, Escape acting as the close button. The modal result is always 0: a panel carries out its
// own choice before it ends the loop.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace corvex {

class MVModalDialog : public juce::DialogWindow {
public:
    explicit MVModalDialog(const juce::String& title);

    void closeButtonPressed() override;
    bool escapeKeyPressed() override;
};

// The base of every dialog panel. The opener sets dialogWindow before the modal loop runs; a panel shown
// without a window (as tests do) ends nothing.
class MVModalDialogPanel : public juce::Component, public juce::Button::Listener {
public:
    MVModalDialog* dialogWindow = nullptr;

    // Ends the modal loop of the window showing the panel.
    void closeDialog();
};

} // namespace corvex
