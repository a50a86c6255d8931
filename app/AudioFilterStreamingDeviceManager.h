// JUCE's device manager with the one streamer that connects it to the filter.
#pragma once

#include <memory>

#include <juce_audio_devices/juce_audio_devices.h>

#include "app/AudioFilterStreamer.h"

namespace corvex {

class AudioFilterStreamingDeviceManager : public juce::AudioDeviceManager {
public:
    AudioFilterStreamingDeviceManager() = default;
    ~AudioFilterStreamingDeviceManager() override;

    // Message thread. The old streamer stops and is deleted first; with a filter, a new one starts
    // receiving the device's audio and the MIDI of every enabled input.
    void setFilter(AudioFilterBase* filter);
    AudioFilterStreamer* getStreamer() const { return streamer_.get(); }

private:
    std::unique_ptr<AudioFilterStreamer> streamer_;
};

} // namespace corvex
