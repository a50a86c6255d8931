// The one source of new preset identifiers: "U_" and a millisecond count, strictly rising within the process.
#pragma once

#include <cstdint>
#include <functional>

#include <juce_core/juce_core.h>

namespace corvex {

class PresetIdGenerator {
public:
    using Clock = std::function<int64_t()>;
    using IsTaken = std::function<bool(const juce::String&)>;

    // "U_" + max(now in ms, last issued + 1), stepping past every id that isTaken reports. The digits stay
    // digits: the preset map reads identifiers as 64-bit numbers.
    static juce::String next(const IsTaken& isTaken = {});
    // Tests freeze time to issue several ids within one millisecond; an empty clock restores the real one.
    static void setClock(Clock clock);
};

} // namespace corvex
