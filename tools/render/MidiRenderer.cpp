#include "tools/render/MidiRenderer.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

#include "instrument/CorvanAudioFilter.h"
#include "instrument/MorvaneFindFolder.h"
#include "instrument/params/ParameterIndex.h"
#include "instrument/state/ChunkStream.h"
#include "presets/CorvanPresetServices.h"

namespace corvex {

namespace {

// A host-like block that is not a multiple of the kernel's 32 frames, so the instrument's carry is used.
constexpr int kHostBlock = 500;
constexpr int kKernelBlock = 32;

} // namespace

InstrumentRenderer::InstrumentRenderer(double sampleRate)
    : settingsRoot_(juce::File::createTempFile("corvex-render-settings")), sampleRate_(sampleRate) {
    folder_ = std::make_unique<MorvaneFindFolder>(settingsRoot_, "Corvex2");
    filter_ = CorvanAudioFilter::createPluginFilter(*folder_, std::make_unique<CorvanPresetServices>(*folder_));
    if (filter_ == nullptr) return;
    filter_->prepareToPlay(sampleRate, kHostBlock);
    // The initial program's messages take effect in the first render: spend it before time 0.
    renderSilence(kKernelBlock);
}

InstrumentRenderer::~InstrumentRenderer() {
    filter_.reset(); // writes its controller map into the private folder, which then goes
    settingsRoot_.deleteRecursively();
}

int InstrumentRenderer::findParameter(const juce::String& key) const {
    if (filter_ == nullptr || key.isEmpty()) return -1;
    for (int index = 0; index < ParameterIndex::kCount; ++index)
        if (filter_->getParameterName(index) == key) return index;
    return -1;
}

void InstrumentRenderer::setParameter(int index, float value) {
    if (filter_ == nullptr) return;
    filter_->setParameter(index, value);
    renderSilence(kKernelBlock);
}

float InstrumentRenderer::getParameter(int index) const {
    return filter_ != nullptr ? filter_->getParameter(index) : 0.0f;
}

bool InstrumentRenderer::loadState(const void* data, size_t size) {
    if (filter_ == nullptr) return false;
    const auto* bytes = static_cast<const uint8_t*>(data);
    // The chunk after 'info' tells a layer's sound from a patch.
    ChunksReader reader(bytes, size);
    int id = 0;
    std::vector<uint8_t> payload;
    const bool hasInfo = reader.readChunk(id, payload) == 0 && id == ChunkId::kInfo;
    if (!hasInfo || reader.readChunk(id, payload) != 0 || (id != ChunkId::kProg && id != ChunkId::kMult)) {
        std::fprintf(stderr, "corvex-render: the state is neither a layer nor a multi chunk stream\n");
        return false;
    }
    CorvanAudioFilter::PresetChunk& chunk = id == ChunkId::kProg ? filter_->upperChunk() : filter_->multiChunk();
    if (!chunk.read(bytes, size)) {
        std::fprintf(stderr, "corvex-render: the instrument refused the state\n");
        return false;
    }
    renderSilence(kKernelBlock);
    return true;
}

void InstrumentRenderer::renderSilence(int samples) {
    juce::AudioBuffer<float> scratch(2, samples);
    scratch.clear();
    juce::MidiBuffer none;
    filter_->processBlock(scratch.getArrayOfWritePointers(), 2, samples, false, none);
}

RenderResult InstrumentRenderer::render(const juce::MidiFile& file, double tailSeconds) {
    juce::MidiFile timed(file);
    timed.convertTimestampTicksToSeconds();
    juce::MidiMessageSequence events;
    for (int t = 0; t < timed.getNumTracks(); ++t) events.addSequence(*timed.getTrack(t), 0.0);
    events.updateMatchedPairs();

    const double lastEvent = events.getNumEvents() > 0 ? events.getEndTime() : 0.0;
    const auto totalSamples =
        static_cast<int>(std::ceil((lastEvent + tailSeconds) * sampleRate_ / kKernelBlock)) * kKernelBlock;
    RenderResult result;
    result.audio.setSize(2, totalSamples);
    result.audio.clear();
    if (filter_ == nullptr) return result;

    const auto start = std::chrono::steady_clock::now();
    juce::MidiBuffer midi;
    int next = 0;
    for (int at = 0; at < totalSamples; at += kHostBlock) {
        const int samples = std::min(kHostBlock, totalSamples - at);
        midi.clear();
        while (next < events.getNumEvents()) {
            const juce::MidiMessage& m = events.getEventPointer(next)->message;
            const auto position = static_cast<int>(std::floor(m.getTimeStamp() * sampleRate_)) - at;
            if (position >= samples) break;
            ++next;
            // Tempo and text live in the file, not on the wire.
            if (!m.isMetaEvent()) midi.addEvent(m, std::max(position, 0));
        }
        float* channels[2] = {result.audio.getWritePointer(0, at), result.audio.getWritePointer(1, at)};
        filter_->processBlock(channels, 2, samples, false, midi);
    }
    result.renderSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    result.seconds = static_cast<double>(totalSamples) / sampleRate_;
    return result;
}

RenderResult renderMidi(const juce::MidiFile& file, double sampleRate, double tailSeconds) {
    InstrumentRenderer renderer(sampleRate);
    return renderer.render(file, tailSeconds);
}

float peakMagnitude(const juce::AudioBuffer<float>& audio) {
    float peak = 0.0f;
    for (int c = 0; c < audio.getNumChannels(); ++c) {
        const float* x = audio.getReadPointer(c);
        for (int i = 0; i < audio.getNumSamples(); ++i) peak = std::max(peak, std::fabs(x[i]));
    }
    return peak;
}

} // namespace corvex
