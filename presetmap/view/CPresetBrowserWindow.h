// The "Soundmap" window around the browser. Its close button only hides it; the toolbar's map button shows it
// again.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include "presetmap/view/CPresetBrowser.h"

namespace corvex {

class CPresetBrowserWindow : public juce::DocumentWindow {
public:
    static constexpr const char* kTitle = "Soundmap";

    // Both are borrowed and must outlive the window.
    CPresetBrowserWindow(ISoundmapSupportBase& support, ModalCalls& modal);
    ~CPresetBrowserWindow() override;

    void closeButtonPressed() override;

    CPresetBrowser& getBrowser() const { return *browser_; }

private:
    CPresetBrowser* browser_; // the window's content, owned by the window
};

} // namespace corvex
