// JUCE's GUI side is started once for the whole binary, and only when tests run (not when CTest lists them,
// which may happen without an X server).
#include <gtest/gtest.h>

#include <memory>

#include <juce_gui_basics/juce_gui_basics.h>

namespace {
// The tests make their application objects themselves; this factory is never called.
juce::JUCEApplicationBase* noApplication() { return nullptr; }
} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // JUCE treats the process as the standalone program it tests, as it does the real one, and so installs
    // its X error handlers instead of letting Xlib end the process on a harmless error without a window manager.
    juce::JUCEApplicationBase::createInstance = &noApplication;
    std::unique_ptr<juce::ScopedJuceInitialiser_GUI> gui;
    if (!::testing::GTEST_FLAG(list_tests)) gui = std::make_unique<juce::ScopedJuceInitialiser_GUI>();
    return RUN_ALL_TESTS();
}
