// The instrument framework: kernel, kernel program, parameter table, MIDI manager, kernel-idle timer,
// block processing and the parameter entry points.
#include "instrument/MorvaneAudioFilter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace corvex {

namespace {
// A normalised value from outside (host, editor, MIDI). The table keeps only 0..1: what it caches is saved
// with presets and host states as it is.
float normalised(float value) { return std::clamp(value, 0.0f, 1.0f); }
} // namespace

MorvaneAudioFilter::MorvaneAudioFilter(const MorvaneFindFolder& folder) : folder_(folder) {}

MorvaneAudioFilter::~MorvaneAudioFilter() {
    if (kernel_ != nullptr) {
        kernel_->removeListener(this);
        if (idle_ != nullptr) idle_->stopTimer();
        kernel_->setRenderExclusion(nullptr);
        kernel_->releasePrograms();
    }
    renderer_.reset();
    blockKernel_.reset();
    kernel_.reset();
    idle_.reset();
}

bool MorvaneAudioFilter::initialise() {
    const juce::File prefs = folder_.getMidiPrefsFile();
    if (!midiManager_.loadFromFile(prefs)) {
        midiPrefsFailed_ = prefs.existsAsFile();
        setDefaultMidiMap();
    }

    kernel_ = createKernel();
    kernel_->initialise();
    kernel_->setRenderExclusion(this);
    kernel_->addListener(this);
    blockKernel_ = std::make_unique<CorvexBlockKernel>(*kernel_);
    renderer_ = std::make_unique<BlockRenderer>(*blockKernel_, this);

    idle_ = std::make_unique<KernelIdle>(*kernel_);
    idle_->startTimer(kKernelIdleMs);
    return true;
}

void MorvaneAudioFilter::saveMidiSettings() {
    if (midiPrefsFailed_) {
        std::fprintf(stderr, "MIDI settings : %s could not be read at start, so it is left as it is\n",
                     folder_.getMidiPrefsFile().getFullPathName().toRawUTF8());
        return;
    }
    midiManager_.saveToFile(folder_.getMidiPrefsFile());
}

void MorvaneAudioFilter::prepareToPlay(double sampleRate, int /*samplesPerBlock*/) {
    sampleRate_ = sampleRate;
    if (kernel_ == nullptr) return;
    // The master tuning is the user's, not the device's: a restart at another rate keeps it.
    const float tuning = kernel_->getTuning();
    kernel_->setSampleRate(sampleRate);
    kernel_->setTuning(tuning);
    renderer_->setSampleRate(sampleRate);
    midiManager_.setSampleRate(sampleRate);
}

void MorvaneAudioFilter::processBlock(float* const* outputs, int numOutputs, int numSamples, bool accumulate,
                                      juce::MidiBuffer& midi) {
    // The streamer already holds the lock; taking it again (it is recursive) keeps a direct caller from
    // rendering beside a poster that runs a message inside the render exclusion.
    const juce::ScopedLock lock(callbackLock_);
    const juce::ScopedNoDenormals noDenormals;
    if (renderer_ == nullptr) return;
    const int samples = std::max(numSamples, 0);

    midiManager_.processMidiBuffer(midi, samples);
    int count = 0;
    for (const juce::MidiMessageMetadata meta : midiManager_.getBlockEvents()) {
        if (count == kMaxBlockEvents) break;
        BlockMidiEvent& e = blockEvents_[static_cast<size_t>(count++)];
        e.samplePosition = meta.samplePosition;
        e.size = meta.numBytes;
        for (int i = 0; i < 3; ++i)
            e.bytes[i] = i < meta.numBytes ? meta.data[i] : uint8_t{0};
    }

    float* left = (outputs != nullptr && numOutputs > 0) ? outputs[0] : nullptr;
    float* right = (outputs != nullptr && numOutputs > 1) ? outputs[1] : nullptr;
    renderer_->process(blockEvents_.data(), count, left, right, samples, accumulate, midiManager_.getTempo());
}

juce::String MorvaneAudioFilter::getParameterName(int index) {
    return table_ != nullptr ? juce::String(table_->getName(index)) : juce::String();
}

juce::String MorvaneAudioFilter::getParameterLongName(int index) {
    return table_ != nullptr ? juce::String(table_->getLongName(index)) : juce::String();
}

juce::String MorvaneAudioFilter::getParameterText(int index) {
    if (table_ == nullptr) return {};
    const EditLock::Scope lock(editLock_);
    return juce::String(table_->getText(index));
}

float MorvaneAudioFilter::getParameter(int index) {
    if (table_ == nullptr || !ParameterIndex::isValid(index)) return 0.0f;
    // A mapper answers from the program image, which a learned controller may be writing.
    const EditLock::Scope lock(editLock_);
    return table_->getParameter(index);
}

void MorvaneAudioFilter::setParameterInternal(int index, float value) {
    if (loading_.load() || table_ == nullptr) return;
    const EditLock::Scope lock(editLock_);
    applyParameter(index, value);
}

void MorvaneAudioFilter::applyParameter(int index, float value) {
    if (loading_.load() || table_ == nullptr) return;
    table_->setParameter(index, value);
}

void MorvaneAudioFilter::setParameter(int index, float value) {
    if (index < 0 || !std::isfinite(value)) return;
    // Ids past the table belong to the editor, which keeps its own values.
    if (ParameterIndex::isValid(index)) value = normalised(value);
    setParameterInternal(index, value);
    if (EditorHooks* editor = getActiveEditor()) editor->parameterChanged(index, value);
}

void MorvaneAudioFilter::valueChanged(int index, float value) {
    if (EditorHooks* editor = getActiveEditor()) editor->parameterChanged(index, value);
}

void MorvaneAudioFilter::kernelParameterChanged(int section, int moduleSlot, int parameter, int valueByte,
                                                float value) {
    if (EditorHooks* editor = getActiveEditor())
        editor->kernelParameterChanged(section, moduleSlot, parameter, valueByte, value);
}

void MorvaneAudioFilter::setParameterFromMidi(int index, float value) {
    if (std::isfinite(value)) applyParameter(index, normalised(value));
}

void MorvaneAudioFilter::notifyEditorOfMidiParameter(int index, float value) {
    if (EditorHooks* editor = getActiveEditor()) editor->parameterChanged(index, value);
}

} // namespace corvex
