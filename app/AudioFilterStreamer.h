// The device's audio callback and the MIDI inputs' callback in one: lends the filter channel pointers for
// every device block, hands it the MIDI that arrived meanwhile, and stands in for a plug-in host.
#pragma once

#include <array>

#include <juce_audio_basics/juce_audio_basics.h>
#include <juce_audio_devices/juce_audio_devices.h>

#include "instrument/AudioFilterBase.h"

namespace corvex {

class AudioFilterStreamer : public juce::AudioIODeviceCallback,
                            public juce::MidiInputCallback,
                            public AudioFilterBase::FilterNativeCallbacks {
public:
    static constexpr int kMaxChannels = 128;
    static constexpr int kMinScratchSamples = 2048;
    // MIDI bytes one device block can carry without the audio thread growing a buffer.
    static constexpr int kMidiBytesPerBlock = 64 * 1024;

    // The filter plays with no inputs and two outputs, and learns of this streamer as its host.
    explicit AudioFilterStreamer(AudioFilterBase& filter);
    ~AudioFilterStreamer() override;

    void audioDeviceIOCallbackWithContext(const float* const* inputs, int numInputs, float* const* outputs,
                                          int numOutputs, int numSamples,
                                          const juce::AudioIODeviceCallbackContext& context) override;
    void audioDeviceAboutToStart(juce::AudioIODevice* device) override;
    void audioDeviceStopped() override;

    void handleIncomingMidiMessage(juce::MidiInput* source, const juce::MidiMessage& message) override;
    // Pieces of a long system-exclusive message are not collected.
    void handlePartialSysexMessage(juce::MidiInput*, const juce::uint8*, int, double) override {}

    bool getCurrentPositionInfo(juce::AudioPlayHead::CurrentPositionInfo&) override { return false; }
    void informHostOfParameterChange(int index, float value, bool apply) override;
    void beginParameterGesture(int) override {}
    void endParameterGesture(int) override {}

    bool isPlaying() const { return playing_; }
    double getSampleRate() const { return sampleRate_; }
    int getScratchChannels() const { return scratch_.getNumChannels(); }
    int getScratchSamples() const { return scratch_.getNumSamples(); }

private:
    // One slice of a device block, no longer than the scratch buffer.
    void processSlice(float* const* deviceOutputs, int numDeviceOutputs, int start, int length, juce::MidiBuffer& midi);

    AudioFilterBase& filter_;
    bool playing_ = false;
    double sampleRate_ = 0.0;
    juce::MidiMessageCollector collector_;
    std::array<float*, kMaxChannels> outputList_{};
    juce::AudioBuffer<float> scratch_{1, 32};
    juce::MidiBuffer blockMidi_;
    juce::MidiBuffer sliceMidi_;
};

} // namespace corvex
