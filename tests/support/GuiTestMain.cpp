// JUCE's GUI side is started once for the whole binary, and only when tests run (not when CTest lists them,
// which may happen without an X server). Every test runs on this thread, the message thread.
#include <gtest/gtest.h>

#include <csignal>
#include <memory>

#include <juce_gui_basics/juce_gui_basics.h>

namespace {
// Tests that need an application object make it themselves; this factory only has to exist.
juce::JUCEApplicationBase* noApplication() { return nullptr; }
} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // A socket the tests' instrument or window writes to (the X server's, a sound server's) may close under
    // them when many test processes share one Xvfb; the write should then fail, not end the process.
    std::signal(SIGPIPE, SIG_IGN);
    // With a factory set, JUCE treats the process as a standalone program and installs its X error handlers,
    // so a harmless X error under Xvfb without a window manager does not end the process.
    juce::JUCEApplicationBase::createInstance = &noApplication;
    std::unique_ptr<juce::ScopedJuceInitialiser_GUI> gui;
    if (!::testing::GTEST_FLAG(list_tests)) gui = std::make_unique<juce::ScopedJuceInitialiser_GUI>();
    return RUN_ALL_TESTS();
}
