#include "presetmap/view/CPresetBrowserWindow.h"

namespace corvex {

CPresetBrowserWindow::CPresetBrowserWindow(ISoundmapSupportBase& support, ModalCalls& modal)
    : juce::DocumentWindow(kTitle, juce::Colours::white, juce::DocumentWindow::closeButton, true),
      browser_(new CPresetBrowser(support, modal)) {
    setUsingNativeTitleBar(true);
    setContentOwned(browser_, true);
}

CPresetBrowserWindow::~CPresetBrowserWindow() { clearContentComponent(); }

void CPresetBrowserWindow::closeButtonPressed() { setVisible(false); }

} // namespace corvex
