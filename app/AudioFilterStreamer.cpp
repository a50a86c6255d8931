#include "app/AudioFilterStreamer.h"

#include <algorithm>

namespace corvex {

namespace {
// Until a device starts, MIDI that arrives is timed against this rate; the start resets it to the real one.
constexpr double kRateBeforeStart = 44100.0;
} // namespace

AudioFilterStreamer::AudioFilterStreamer(AudioFilterBase& filter) : filter_(filter) {
    filter_.setChannelCounts(0, 2);
    filter_.setHostCallbacks(this);
    // The collector refuses messages until it has a rate, and a keyboard may be played before the device starts.
    collector_.reset(kRateBeforeStart);
    collector_.ensureStorageAllocated(kMidiBytesPerBlock);
    blockMidi_.ensureSize(kMidiBytesPerBlock);
    sliceMidi_.ensureSize(kMidiBytesPerBlock);
}

AudioFilterStreamer::~AudioFilterStreamer() {
    audioDeviceStopped();
    if (filter_.getHostCallbacks() == this) filter_.setHostCallbacks(nullptr);
}

void AudioFilterStreamer::audioDeviceIOCallbackWithContext(const float* const*, int, float* const* outputs,
                                                           int numOutputs, int numSamples,
                                                           const juce::AudioIODeviceCallbackContext&) {
    if (numSamples <= 0) return;
    blockMidi_.clear();
    collector_.removeNextBlockOfMessages(blockMidi_, numSamples);

    // The scratch channels that stand in for missing device outputs are only so long: a longer device
    // block than was announced at start goes through in slices rather than past their end.
    const int sliceLength = std::max(scratch_.getNumSamples(), 1);
    if (numSamples <= sliceLength) {
        processSlice(outputs, numOutputs, 0, numSamples, blockMidi_);
        return;
    }
    for (int start = 0; start < numSamples; start += sliceLength) {
        const int length = std::min(sliceLength, numSamples - start);
        sliceMidi_.clear();
        sliceMidi_.addEvents(blockMidi_, start, length, -start);
        processSlice(outputs, numOutputs, start, length, sliceMidi_);
    }
}

void AudioFilterStreamer::processSlice(float* const* deviceOutputs, int numDeviceOutputs, int start, int length,
                                       juce::MidiBuffer& midi) {
    const int wanted = std::min(filter_.getNumOutputChannels(), kMaxChannels);
    int count = 0;
    for (int i = 0; i < numDeviceOutputs && count < wanted; ++i)
        if (deviceOutputs != nullptr && deviceOutputs[i] != nullptr)
            outputList_[static_cast<size_t>(count++)] = deviceOutputs[i] + start;
    // Channel 0 of the scratch buffer is the inputs' stand-in; outputs the device lacks are written to
    // channels 1, 2, ... and never heard.
    for (int channel = 1; count < wanted; ++channel)
        outputList_[static_cast<size_t>(count++)] =
            scratch_.getWritePointer(channel < scratch_.getNumChannels() ? channel : 0);

    const juce::ScopedLock lock(filter_.getCallbackLock());
    if (filter_.isSuspended()) {
        for (int i = 0; i < count; ++i) {
            float* channel = outputList_[static_cast<size_t>(i)];
            std::fill(channel, channel + length, 0.0f);
        }
        return;
    }
    filter_.processBlock(outputList_.data(), count, length, false, midi);
}

void AudioFilterStreamer::audioDeviceAboutToStart(juce::AudioIODevice* device) {
    sampleRate_ = device != nullptr ? device->getCurrentSampleRate() : 0.0;
    if (playing_) return;
    playing_ = true;
    const int blockSize = device != nullptr ? device->getCurrentBufferSizeSamples() : 0;
    scratch_.setSize(filter_.getNumOutputChannels() + 1, std::max(2 * blockSize, kMinScratchSamples));
    scratch_.clear();
    collector_.reset(sampleRate_ > 0.0 ? sampleRate_ : kRateBeforeStart);
    filter_.setSampleRate(sampleRate_);
    filter_.prepareToPlay(sampleRate_, blockSize);
}

void AudioFilterStreamer::audioDeviceStopped() {
    if (!playing_) return;
    playing_ = false;
    filter_.releaseResources();
    collector_.reset(sampleRate_ > 0.0 ? sampleRate_ : kRateBeforeStart);
    scratch_.setSize(1, 32);
}

void AudioFilterStreamer::handleIncomingMidiMessage(juce::MidiInput*, const juce::MidiMessage& message) {
    collector_.addMessageToQueue(message);
}

void AudioFilterStreamer::informHostOfParameterChange(int index, float value, bool apply) {
    if (apply) filter_.setParameter(index, value);
}

} // namespace corvex
