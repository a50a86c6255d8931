// Renders a standard MIDI file through the kernel playing its initial program, offline.
#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

namespace corvex {

struct RenderResult {
    juce::AudioBuffer<float> audio; // two channels
    double seconds = 0.0;           // length of the audio
    double renderSeconds = 0.0;     // wall time the rendering took
};

// Plays every track of the file on the kernel's first layer and keeps rendering for `tailSeconds`
// after the last event so that releases are heard.
RenderResult renderMidi(const juce::MidiFile& file, double sampleRate, double tailSeconds = 2.0);

} // namespace corvex
