// Where widgets and the animator read the time: the library's millisecond counter, or a clock a test turns by
// hand.
#pragma once

#include <functional>

#include <juce_core/juce_core.h>

namespace corvex {

using MVMillisecondClock = std::function<juce::uint32()>;

inline MVMillisecondClock systemMillisecondClock() {
    return [] { return juce::Time::getMillisecondCounter(); };
}

} // namespace corvex
