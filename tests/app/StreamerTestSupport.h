// A filter that records what the streamer hands it, and a device that only answers the streamer's questions.
#pragma once

#include <atomic>
#include <thread>
#include <vector>

#include <juce_audio_devices/juce_audio_devices.h>

#include "instrument/AudioFilterBase.h"

namespace corvex::testing {

class RecordingFilter : public AudioFilterBase {
public:
    struct Call {
        std::vector<float*> outputs;
        int numSamples = 0;
        std::vector<std::pair<int, int>> notes; // (sample position, note number) of note-ons
    };

    // Every output sample becomes this value, so a test sees which channels were written.
    static constexpr float kWritten = 0.25f;

    void prepareToPlay(double rate, int block) override {
        preparedRate = rate;
        preparedBlock = block;
        ++prepares;
    }
    void releaseResources() override { ++releases; }
    void processBlock(float* const* outputs, int numOutputs, int numSamples, bool, juce::MidiBuffer& midi) override {
        Call call;
        call.outputs.assign(outputs, outputs + numOutputs);
        call.numSamples = numSamples;
        for (const juce::MidiMessageMetadata meta : midi)
            if (meta.getMessage().isNoteOn()) call.notes.emplace_back(meta.samplePosition, meta.getMessage().getNoteNumber());
        for (int c = 0; c < numOutputs; ++c)
            for (int i = 0; i < numSamples; ++i) outputs[c][i] = kWritten;
        if (record) calls.push_back(std::move(call));
    }
    int getNumParameters() override { return 211; }
    juce::String getParameterName(int) override { return {}; }
    float getParameter(int) override { return 0.0f; }
    juce::String getParameterText(int) override { return {}; }
    void setParameter(int index, float value) override { set.emplace_back(index, value); }
    int getNumPrograms() override { return 0; }
    int getCurrentProgram() override { return 0; }
    void setCurrentProgram(int) override {}
    juce::String getProgramName(int) override { return {}; }
    void changeProgramName(int, const juce::String&) override {}
    void getStateInformation(juce::MemoryBlock&) override {}
    void setStateInformation(const void*, int) override {}

    bool record = true; // off where the test counts allocations
    std::vector<Call> calls;
    std::vector<std::pair<int, float>> set;
    double preparedRate = 0.0;
    int preparedBlock = 0;
    int prepares = 0;
    int releases = 0;
};

class FakeDevice : public juce::AudioIODevice {
public:
    FakeDevice(double rate, int blockSize, int outputs = 2)
        : juce::AudioIODevice("Fake", "Fake"), rate_(rate), block_(blockSize), outputs_(outputs) {}
    juce::StringArray getOutputChannelNames() override {
        juce::StringArray names;
        for (int i = 0; i < outputs_; ++i) names.add("Out " + juce::String(i + 1));
        return names;
    }
    juce::StringArray getInputChannelNames() override { return {}; }
    juce::Array<double> getAvailableSampleRates() override { return {rate_}; }
    juce::Array<int> getAvailableBufferSizes() override { return {block_}; }
    int getDefaultBufferSize() override { return block_; }
    juce::String open(const juce::BigInteger&, const juce::BigInteger&, double, int) override {
        open_ = true;
        return {};
    }
    void close() override { stop(); open_ = false; }
    bool isOpen() override { return open_; }
    void start(juce::AudioIODeviceCallback* callback) override {
        callback_ = callback;
        if (callback_ != nullptr) callback_->audioDeviceAboutToStart(this);
    }
    void stop() override {
        if (callback_ != nullptr) callback_->audioDeviceStopped();
        callback_ = nullptr;
    }
    bool isPlaying() override { return callback_ != nullptr; }
    juce::String getLastError() override { return {}; }
    int getCurrentBufferSizeSamples() override { return block_; }
    double getCurrentSampleRate() override { return rate_; }
    int getCurrentBitDepth() override { return 32; }
    juce::BigInteger getActiveOutputChannels() const override {
        juce::BigInteger bits;
        bits.setRange(0, outputs_, true);
        return bits;
    }
    juce::BigInteger getActiveInputChannels() const override { return {}; }
    int getOutputLatencyInSamples() override { return 0; }
    int getInputLatencyInSamples() override { return 0; }

    // What the device's thread would do: one block through whatever callback the manager gave it.
    void render(float* const* outputs, int numOutputs, int numSamples) {
        if (callback_ != nullptr)
            callback_->audioDeviceIOCallbackWithContext(nullptr, 0, outputs, numOutputs, numSamples, {});
    }

private:
    double rate_;
    int block_;
    int outputs_;
    bool open_ = false;
    juce::AudioIODeviceCallback* callback_ = nullptr;
};

// A device that plays on a thread of its own, block after block, as ALSA's and JACK's do; stopping it
// joins the thread before the stop notice, so nothing is called once it has stopped.
class ThreadedFakeDevice : public FakeDevice {
public:
    using FakeDevice::FakeDevice;
    ~ThreadedFakeDevice() override { ThreadedFakeDevice::stop(); }
    void start(juce::AudioIODeviceCallback* callback) override {
        FakeDevice::start(callback);
        running_ = true;
        thread_ = std::thread([this] {
            std::vector<float> left(256), right(256);
            float* outs[2] = {left.data(), right.data()};
            while (running_) {
                render(outs, 2, 256);
                ++blocks_;
                std::this_thread::yield();
            }
        });
    }
    void stop() override {
        running_ = false;
        if (thread_.joinable()) thread_.join();
        FakeDevice::stop();
    }
    int blocksPlayed() const { return blocks_; }

private:
    std::atomic<bool> running_{false};
    std::atomic<int> blocks_{0};
    std::thread thread_;
};

// A device type with one fake device, or none; added to a manager it stands in for ALSA and JACK.
class FakeDeviceType : public juce::AudioIODeviceType {
public:
    explicit FakeDeviceType(bool hasDevice, FakeDevice** made = nullptr, bool threaded = false)
        : juce::AudioIODeviceType("Fake"), hasDevice_(hasDevice), threaded_(threaded), made_(made) {}
    void scanForDevices() override {}
    juce::StringArray getDeviceNames(bool input) const override {
        return (!input && hasDevice_) ? juce::StringArray{"Fake"} : juce::StringArray{};
    }
    int getDefaultDeviceIndex(bool) const override { return 0; }
    int getIndexOfDevice(juce::AudioIODevice* device, bool) const override { return device != nullptr ? 0 : -1; }
    bool hasSeparateInputsAndOutputs() const override { return true; }
    juce::AudioIODevice* createDevice(const juce::String& output, const juce::String&) override {
        if (!hasDevice_ || output != "Fake") return nullptr;
        FakeDevice* device = threaded_ ? new ThreadedFakeDevice(44100.0, 256) : new FakeDevice(44100.0, 256);
        if (made_ != nullptr) *made_ = device;
        return device;
    }

private:
    bool hasDevice_;
    bool threaded_;
    FakeDevice** made_;
};

} // namespace corvex::testing
