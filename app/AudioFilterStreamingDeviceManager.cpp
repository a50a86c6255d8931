#include "app/AudioFilterStreamingDeviceManager.h"

namespace corvex {

AudioFilterStreamingDeviceManager::~AudioFilterStreamingDeviceManager() { setFilter(nullptr); }

void AudioFilterStreamingDeviceManager::setFilter(AudioFilterBase* filter) {
    if (streamer_ != nullptr) {
        removeMidiInputDeviceCallback({}, streamer_.get());
        // Taken out under the device's callback lock, with its stop notice when a device is open.
        removeAudioCallback(streamer_.get());
        streamer_.reset();
    }
    if (filter == nullptr) return;
    streamer_ = std::make_unique<AudioFilterStreamer>(*filter);
    addAudioCallback(streamer_.get());
    addMidiInputDeviceCallback({}, streamer_.get());
}

} // namespace corvex
