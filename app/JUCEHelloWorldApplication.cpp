#include "app/JUCEHelloWorldApplication.h"

namespace corvex {

void JUCEHelloWorldApplication::initialise(const juce::String&) {
    mainWindow_ = std::make_unique<StandaloneMainWindow>(getApplicationName(), MorvaneFindFolder::getInstance());
    quitSignals_ = std::make_unique<QuitSignals>();
}

void JUCEHelloWorldApplication::shutdown() {
    quitSignals_.reset();
    mainWindow_.reset();
}

} // namespace corvex
