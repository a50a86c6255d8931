// The streamer between a device and the filter: scratch sizing, which device outputs the filter writes,
// silence while suspended, long blocks in slices, MIDI from the inputs, the host callbacks, and a callback
// that allocates nothing.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <memory>
#include <vector>

#include "app/AudioFilterStreamer.h"
#include "app/AudioFilterStreamingDeviceManager.h"
#include "instrument/CorvanAudioFilter.h"
#include "presets/CorvanPresetServices.h"
#include "tests/app/StreamerTestSupport.h"
#include "tests/support/RealTimeChecks.h"

namespace corvex {
namespace {

using testing::FakeDevice;
using testing::RecordingFilter;

juce::MidiMessage liveNoteOn(int note) {
    // Input devices stamp messages in seconds of the high-resolution clock; the collector times them so.
    return juce::MidiMessage::noteOn(1, note, static_cast<juce::uint8>(100))
        .withTimeStamp(juce::Time::getMillisecondCounterHiRes() * 0.001);
}

TEST(AudioFilterStreamer, TheFilterPlaysWithTwoOutputsAndNoInputsAndHearsItsHostOnlyWhenAsked) {
    RecordingFilter filter;
    {
        AudioFilterStreamer streamer(filter);
        EXPECT_EQ(filter.getNumInputChannels(), 0);
        EXPECT_EQ(filter.getNumOutputChannels(), 2);
        EXPECT_EQ(filter.getHostCallbacks(), &streamer);

        streamer.informHostOfParameterChange(12, 0.5f, false);
        EXPECT_TRUE(filter.set.empty()) << "a change the host only records is not applied";
        streamer.informHostOfParameterChange(12, 0.5f, true);
        EXPECT_EQ(filter.set, (std::vector<std::pair<int, float>>{{12, 0.5f}}));
        juce::AudioPlayHead::CurrentPositionInfo info;
        EXPECT_FALSE(streamer.getCurrentPositionInfo(info)) << "the standalone has no transport of its own";
    }
    EXPECT_EQ(filter.getHostCallbacks(), nullptr) << "no dangling host after the streamer is gone";
}

TEST(AudioFilterStreamer, StartSizesTheScratchAndPreparesOnceStopShrinksIt) {
    struct Case {
        int blockSize;
        int scratchSamples;
    };
    for (const Case c : {Case{256, 2048}, Case{1024, 2048}, Case{4096, 8192}, Case{0, 2048}}) {
        RecordingFilter filter;
        AudioFilterStreamer streamer(filter);
        FakeDevice device(48000.0, c.blockSize);
        streamer.audioDeviceAboutToStart(&device);
        EXPECT_EQ(streamer.getScratchSamples(), c.scratchSamples) << c.blockSize;
        EXPECT_EQ(streamer.getScratchChannels(), 3) << "inputs' stand-in and one per output";
        EXPECT_EQ(filter.prepares, 1);
        EXPECT_EQ(filter.preparedRate, 48000.0);
        EXPECT_EQ(filter.preparedBlock, c.blockSize);
        EXPECT_EQ(filter.getSampleRate(), 48000.0);

        FakeDevice faster(96000.0, c.blockSize);
        streamer.audioDeviceAboutToStart(&faster);
        EXPECT_EQ(filter.prepares, 1) << "a second start while playing only notes the rate";
        EXPECT_EQ(streamer.getSampleRate(), 96000.0);

        streamer.audioDeviceStopped();
        streamer.audioDeviceStopped();
        EXPECT_EQ(filter.releases, 1) << "a stop while stopped changes nothing";
        EXPECT_EQ(streamer.getScratchChannels(), 1);
        EXPECT_EQ(streamer.getScratchSamples(), 32);
    }
}

// The filter writes the first two outputs the device really has; what it lacks goes to scratch, never heard.
TEST(AudioFilterStreamer, TheFilterWritesTheFirstTwoDeviceOutputsAndScratchForMissingOnes) {
    constexpr int kBlock = 64;
    std::array<std::array<float, kBlock>, 4> channels{};
    float* all[4] = {channels[0].data(), channels[1].data(), channels[2].data(), channels[3].data()};
    struct Case {
        const char* name;
        std::vector<float*> outputs;
        std::vector<float*> expectedDevicePointers; // the filter's channels that are the device's
    };
    const Case cases[] = {
        {"stereo", {all[0], all[1]}, {all[0], all[1]}},
        {"four outputs", {all[0], all[1], all[2], all[3]}, {all[0], all[1]}},
        {"a closed channel first", {nullptr, all[1], all[2], all[3]}, {all[1], all[2]}},
        {"mono", {all[0]}, {all[0]}},
    };
    for (const Case& c : cases) {
        for (auto& ch : channels) ch.fill(0.0f);
        RecordingFilter filter;
        AudioFilterStreamer streamer(filter);
        FakeDevice device(44100.0, kBlock);
        streamer.audioDeviceAboutToStart(&device);
        streamer.audioDeviceIOCallbackWithContext(nullptr, 0, c.outputs.data(), static_cast<int>(c.outputs.size()),
                                                  kBlock, {});
        ASSERT_EQ(filter.calls.size(), 1u) << c.name;
        const RecordingFilter::Call& call = filter.calls[0];
        ASSERT_EQ(call.outputs.size(), 2u) << c.name;
        for (size_t i = 0; i < c.expectedDevicePointers.size(); ++i)
            EXPECT_EQ(call.outputs[i], c.expectedDevicePointers[i]) << c.name << " channel " << i;
        if (c.expectedDevicePointers.size() == 1) {
            EXPECT_NE(call.outputs[1], all[0]) << "the missing second output must not land on the first";
            for (float* ch : all) EXPECT_NE(call.outputs[1], ch);
        }
        // Outputs beyond the filter's two are left alone.
        if (c.outputs.size() == 4) {
            EXPECT_EQ(channels[3][0], 0.0f) << c.name;
        }
    }
}

TEST(AudioFilterStreamer, ASuspendedFilterIsNotCalledAndTheBlockIsSilent) {
    RecordingFilter filter;
    AudioFilterStreamer streamer(filter);
    FakeDevice device(44100.0, 32);
    streamer.audioDeviceAboutToStart(&device);
    std::array<float, 32> left{}, right{};
    left.fill(0.7f);
    right.fill(-0.7f);
    float* outs[2] = {left.data(), right.data()};
    filter.setSuspended(true);
    streamer.audioDeviceIOCallbackWithContext(nullptr, 0, outs, 2, 32, {});
    EXPECT_TRUE(filter.calls.empty());
    for (int i = 0; i < 32; ++i) {
        EXPECT_EQ(left[static_cast<size_t>(i)], 0.0f);
        EXPECT_EQ(right[static_cast<size_t>(i)], 0.0f);
    }
}

// A device that delivers more than it announced at start would run the filter's spare channel past the
// scratch buffer's end: the block goes through in slices instead, each with its own MIDI.
TEST(AudioFilterStreamer, ABlockLongerThanTheScratchGoesThroughInSlices) {
    RecordingFilter filter;
    AudioFilterStreamer streamer(filter);
    FakeDevice device(44100.0, 256); // scratch of 2048 samples
    streamer.audioDeviceAboutToStart(&device);
    ASSERT_EQ(streamer.getScratchSamples(), 2048);

    constexpr int kLong = 5000;
    std::vector<float> mono(kLong, 0.0f);
    float* outs[1] = {mono.data()};
    streamer.audioDeviceIOCallbackWithContext(nullptr, 0, outs, 1, kLong, {});
    ASSERT_EQ(filter.calls.size(), 3u);
    EXPECT_EQ(filter.calls[0].numSamples, 2048);
    EXPECT_EQ(filter.calls[1].numSamples, 2048);
    EXPECT_EQ(filter.calls[2].numSamples, 904);
    EXPECT_EQ(filter.calls[1].outputs[0], mono.data() + 2048);
    EXPECT_EQ(filter.calls[2].outputs[0], mono.data() + 4096);
    for (int i = 0; i < kLong; ++i) ASSERT_EQ(mono[static_cast<size_t>(i)], RecordingFilter::kWritten) << i;
}

TEST(AudioFilterStreamer, MidiFromTheInputsReachesTheFilterInTheNextBlock) {
    RecordingFilter filter;
    AudioFilterStreamer streamer(filter);
    // A message before the device starts must neither assert nor be lost for good; the start then resets
    // the collector to the device's rate, which drops what came before it.
    streamer.handleIncomingMidiMessage(nullptr, liveNoteOn(50));
    FakeDevice device(44100.0, 128);
    streamer.audioDeviceAboutToStart(&device);

    std::array<float, 128> left{}, right{};
    float* outs[2] = {left.data(), right.data()};
    streamer.audioDeviceIOCallbackWithContext(nullptr, 0, outs, 2, 128, {});
    streamer.handleIncomingMidiMessage(nullptr, liveNoteOn(60));
    streamer.handleIncomingMidiMessage(nullptr, liveNoteOn(64));
    streamer.audioDeviceIOCallbackWithContext(nullptr, 0, outs, 2, 128, {});
    streamer.audioDeviceIOCallbackWithContext(nullptr, 0, outs, 2, 128, {});

    ASSERT_EQ(filter.calls.size(), 3u);
    EXPECT_TRUE(filter.calls[0].notes.empty());
    ASSERT_EQ(filter.calls[1].notes.size(), 2u);
    EXPECT_EQ(filter.calls[1].notes[0].second, 60);
    EXPECT_EQ(filter.calls[1].notes[1].second, 64);
    for (const auto& [position, note] : filter.calls[1].notes) {
        EXPECT_GE(position, 0);
        EXPECT_LT(position, 128);
    }
    EXPECT_TRUE(filter.calls[2].notes.empty()) << "each message is handed over once";
}

// The device manager owns one streamer at a time and stops the old one before it lets go of it.
TEST(AudioFilterStreamingDeviceManager, SetFilterStartsAndStopsTheStreamerWithTheDevice) {
    RecordingFilter first, second;
    FakeDevice* device = nullptr;
    {
        AudioFilterStreamingDeviceManager manager;
        manager.addAudioDeviceType(std::make_unique<testing::FakeDeviceType>(true, &device));
        ASSERT_EQ(manager.initialise(0, 2, nullptr, true), juce::String());
        ASSERT_NE(device, nullptr);

        manager.setFilter(&first);
        ASSERT_NE(manager.getStreamer(), nullptr);
        EXPECT_TRUE(manager.getStreamer()->isPlaying());
        EXPECT_EQ(first.prepares, 1);

        std::array<float, 256> left{}, right{};
        float* outs[2] = {left.data(), right.data()};
        device->render(outs, 2, 256);
        EXPECT_EQ(first.calls.size(), 1u) << "the device's block reached the filter through the manager";

        manager.setFilter(&second);
        EXPECT_EQ(first.releases, 1);
        EXPECT_EQ(first.getHostCallbacks(), nullptr);
        EXPECT_EQ(second.prepares, 1);
        device->render(outs, 2, 256);
        EXPECT_EQ(first.calls.size(), 1u);
        EXPECT_EQ(second.calls.size(), 1u);
    }
    EXPECT_EQ(second.releases, 1) << "the manager's end stops its streamer";
}

// The real instrument behind the streamer: notes from the input and a device that changes its block size
// each time; the callback allocates nothing and never waits for a lock.
TEST(AudioFilterStreamer, TheCallbackIsRealTimeSafeWithTheInstrument) {
    juce::TemporaryFile settings;
    ASSERT_TRUE(settings.getFile().createDirectory());
    MorvaneFindFolder folder(settings.getFile(), "Corvex2");
    auto filter = CorvanAudioFilter::createPluginFilter(folder, std::make_unique<CorvanPresetServices>(folder));
    ASSERT_NE(filter, nullptr);
    AudioFilterStreamer streamer(*filter);
    FakeDevice device(44100.0, 256);
    streamer.audioDeviceAboutToStart(&device);

    // Until the initial program's messages are in, notes are silent: let the kernel take them first.
    {
        std::vector<float> left(256), right(256);
        float* outs[2] = {left.data(), right.data()};
        for (int i = 0; i < 40; ++i) streamer.audioDeviceIOCallbackWithContext(nullptr, 0, outs, 2, 256, {});
    }
    static constexpr int kSizes[] = {32, 256, 100, 1, 511, 64};
    std::vector<float> left(512), right(512);
    testing::RealTimeRun run(3000, [&](int block, float* outLeft, float* outRight) {
        if (block % 200 == 0) streamer.handleIncomingMidiMessage(nullptr, liveNoteOn(48 + (block / 200) % 24));
        const int size = kSizes[block % 6];
        float* outs[2] = {left.data(), right.data()};
        streamer.audioDeviceIOCallbackWithContext(nullptr, 0, outs, 2, size, {});
        // The harness measures 32 frames; the rest of the block was checked by the instrument's own tests.
        std::copy(left.begin(), left.begin() + std::min(size, 32), outLeft);
        std::copy(right.begin(), right.begin() + std::min(size, 32), outRight);
    });
    const testing::RealTimeReport report = run.finish();
    testing::expectRealTimeSafe(report, testing::Expect::AnyLevel);
    EXPECT_GT(report.peak, testing::kAudibleLevel) << "the notes from the input were heard";
}

} // namespace
} // namespace corvex
