// Renders a standard MIDI file offline through the instrument, so that controllers, MIDI clock and
// parameters act as they do live.
#pragma once

#include <memory>

#include <juce_audio_basics/juce_audio_basics.h>
#include <juce_events/juce_events.h>

namespace corvex {

class CorvanAudioFilter;
class MorvaneFindFolder;

struct RenderResult {
    juce::AudioBuffer<float> audio; // two channels
    double seconds = 0.0;           // length of the audio
    double renderSeconds = 0.0;     // wall time the rendering took
};

// One instrument playing its initial program. Its settings live in a folder of its own that goes with
// it, so a render neither reads nor rewrites the user's controller map: the default map applies.
class InstrumentRenderer {
public:
    explicit InstrumentRenderer(double sampleRate);
    ~InstrumentRenderer();
    InstrumentRenderer(const InstrumentRenderer&) = delete;
    InstrumentRenderer& operator=(const InstrumentRenderer&) = delete;

    // The index of the parameter the table names `key`, or -1.
    int findParameter(const juce::String& key) const;
    // A normalised value (0 to 1) by index, as a host would set it.
    void setParameter(int index, float value);
    float getParameter(int index) const;
    // A layer stream ('info', 'prog', ...) goes to the Upper layer, a multi stream ('info', 'mult', ...) to
    // the patch. False, with a line on stderr, when it is neither or the instrument refuses it.
    bool loadState(const void* data, size_t size);

    // Plays every track of the file and keeps rendering for `tailSeconds` after the last event so that
    // releases are heard.
    RenderResult render(const juce::MidiFile& file, double tailSeconds);

private:
    void renderSilence(int samples);

    juce::ScopedJuceInitialiser_GUI juce_; // the instrument's idle timer needs a message manager
    juce::File settingsRoot_;
    std::unique_ptr<MorvaneFindFolder> folder_;
    std::unique_ptr<CorvanAudioFilter> filter_;
    double sampleRate_;
};

RenderResult renderMidi(const juce::MidiFile& file, double sampleRate, double tailSeconds = 2.0);

// The largest magnitude of any sample in the buffer.
float peakMagnitude(const juce::AudioBuffer<float>& audio);

} // namespace corvex
