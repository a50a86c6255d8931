// The standalone program: one main window, made when the message loop starts and deleted when it ends.
#pragma once

#include <memory>

#include <juce_gui_basics/juce_gui_basics.h>

#include "app/QuitSignals.h"
#include "app/StandaloneMainWindow.h"

namespace corvex {

class JUCEHelloWorldApplication : public juce::JUCEApplication {
public:
    const juce::String getApplicationName() override { return "Corvex2"; }
    const juce::String getApplicationVersion() override { return "2.0.1"; }
    bool moreThanOneInstanceAllowed() override { return true; }

    void initialise(const juce::String& commandLine) override;
    void shutdown() override;

    StandaloneMainWindow* getMainWindow() const { return mainWindow_.get(); }

private:
    std::unique_ptr<StandaloneMainWindow> mainWindow_;
    std::unique_ptr<QuitSignals> quitSignals_;
};

} // namespace corvex
