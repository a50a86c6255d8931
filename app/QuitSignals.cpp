#include "app/QuitSignals.h"

#include <atomic>
#include <csignal>

#include <juce_gui_basics/juce_gui_basics.h>

namespace corvex {

namespace {
std::atomic<bool> gQuitRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the signal handler needs a lock-free flag");

extern "C" void onQuitSignal(int) { gQuitRequested.store(true); }
} // namespace

QuitSignals::QuitSignals() {
    gQuitRequested.store(false);
    struct sigaction action {};
    action.sa_handler = onQuitSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    startTimer(kPollMs);
}

QuitSignals::~QuitSignals() {
    stopTimer();
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
}

void QuitSignals::timerCallback() {
    if (!gQuitRequested.exchange(false)) return;
    if (juce::JUCEApplicationBase* app = juce::JUCEApplicationBase::getInstance()) app->systemRequestedQuit();
}

} // namespace corvex
