// The one source of new preset identifiers: "U_" and a millisecond count, strictly rising within the process.
#include "presets/PresetIdGenerator.h"

#include <algorithm>
#include <mutex>

namespace corvex {

namespace {

struct GeneratorState {
    std::mutex mutex;
    PresetIdGenerator::Clock clock;
    int64_t last = 0;
};

GeneratorState& state() {
    static GeneratorState s;
    return s;
}

int64_t systemMilliseconds() { return juce::Time::currentTimeMillis(); }

} // namespace

juce::String PresetIdGenerator::next(const IsTaken& isTaken) {
    GeneratorState& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    const int64_t now = s.clock ? s.clock() : systemMilliseconds();
    int64_t candidate = std::max(now, s.last + 1);
    // A full folder of consecutive ids cannot hold a million files; the bound only keeps a predicate that
    // always answers true from hanging the program.
    for (int tries = 0; isTaken && tries < 1000000 && isTaken("U_" + juce::String(static_cast<juce::int64>(candidate))); ++tries)
        ++candidate;
    s.last = candidate;
    return "U_" + juce::String(static_cast<juce::int64>(candidate));
}

void PresetIdGenerator::setClock(Clock clock) {
    GeneratorState& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.clock = std::move(clock);
}

} // namespace corvex
