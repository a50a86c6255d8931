// Ctrl-C in the terminal or a session's SIGTERM quits the program the way its "Quit" item does, so that
// the instrument still writes its settings on the way out.
#pragma once

#include <juce_events/juce_events.h>

namespace corvex {

class QuitSignals : private juce::Timer {
public:
    static constexpr int kPollMs = 200;

    // Installs the handlers; while this object lives, a caught signal asks the application to quit.
    QuitSignals();
    ~QuitSignals() override;

private:
    // The handler only sets a flag, the one thing safe inside it; the timer acts on it.
    void timerCallback() override;
};

} // namespace corvex
