// Plays an instrument for a few 64-frame blocks, the events given arriving in the first one, and returns the
// left channel: enough to hear whether a sound changed.
#pragma once

#include <vector>

#include <juce_audio_basics/juce_audio_basics.h>

namespace corvex::testing {

template <typename Instrument>
std::vector<float> renderLeft(Instrument& instrument, juce::MidiBuffer events, int blocks) {
    std::vector<float> out, left(64), right(64);
    for (int b = 0; b < blocks; ++b) {
        float* outs[2] = {left.data(), right.data()};
        instrument.processBlock(outs, 2, 64, false, events);
        events.clear();
        out.insert(out.end(), left.begin(), left.end());
    }
    return out;
}

} // namespace corvex::testing
