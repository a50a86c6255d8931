// The filter object that the audio streamer drives: block processing, parameters by index, programs and
// host state, with the lock that keeps the message thread's edits of kernel state away from a render.
#pragma once

#include <atomic>
#include <functional>

#include <juce_audio_basics/juce_audio_basics.h>
#include <juce_core/juce_core.h>

#include "instrument/EditorHooks.h"

namespace corvex {

class AudioFilterEditor;

class AudioFilterBase {
public:
    // What the host (in the standalone, the streamer) offers back to the filter.
    class FilterNativeCallbacks {
    public:
        virtual ~FilterNativeCallbacks() = default;
        // False when the host has no transport: the filter then plays to its own tempo.
        virtual bool getCurrentPositionInfo(juce::AudioPlayHead::CurrentPositionInfo& info) = 0;
        // With apply the host sets the value back into the filter; without, it only records it.
        virtual void informHostOfParameterChange(int index, float value, bool apply) = 0;
        virtual void beginParameterGesture(int index) = 0;
        virtual void endParameterGesture(int index) = 0;
    };

    // Makes the instrument's editor; whoever assembles the program installs it, since the instrument itself
    // knows no editor.
    using EditorFactory = std::function<AudioFilterEditor*(AudioFilterBase& instrument)>;

    AudioFilterBase() = default;
    virtual ~AudioFilterBase() = default;
    AudioFilterBase(const AudioFilterBase&) = delete;
    AudioFilterBase& operator=(const AudioFilterBase&) = delete;

    virtual void prepareToPlay(double sampleRate, int samplesPerBlock) = 0;
    virtual void releaseResources() = 0;
    // Audio thread. With accumulate the instrument's sound is added to what the outputs hold.
    virtual void processBlock(float* const* outputs, int numOutputs, int numSamples, bool accumulate,
                              juce::MidiBuffer& midi) = 0;
    virtual int getNumParameters() = 0;
    virtual juce::String getParameterName(int index) = 0;
    virtual float getParameter(int index) = 0;
    virtual juce::String getParameterText(int index) = 0;
    virtual void setParameter(int index, float value) = 0;
    virtual int getNumPrograms() = 0;
    virtual int getCurrentProgram() = 0;
    virtual void setCurrentProgram(int index) = 0;
    virtual juce::String getProgramName(int index) = 0;
    virtual void changeProgramName(int index, const juce::String& name) = 0;
    virtual void getStateInformation(juce::MemoryBlock& destination) = 0;
    virtual void setStateInformation(const void* data, int sizeInBytes) = 0;

    // A new editor for this instrument, owned by the caller; null when no factory was installed.
    virtual AudioFilterEditor* createEditor() { return editorFactory_ ? editorFactory_(*this) : nullptr; }
    void setEditorFactory(EditorFactory factory) { editorFactory_ = std::move(factory); }

    // A widget gesture: through the host when there is one, so that it records the change, else directly.
    void setParameterNotifyingHost(int index, float value);

    const juce::CriticalSection& getCallbackLock() const { return callbackLock_; }
    void setSuspended(bool suspended) { suspended_.store(suspended); }
    bool isSuspended() const { return suspended_.load(); }
    double getSampleRate() const { return sampleRate_; }
    void setSampleRate(double sampleRate) { sampleRate_ = sampleRate; }
    int getNumInputChannels() const { return numInputChannels_; }
    int getNumOutputChannels() const { return numOutputChannels_; }
    void setChannelCounts(int inputs, int outputs) {
        numInputChannels_ = inputs;
        numOutputChannels_ = outputs;
    }
    void setHostCallbacks(FilterNativeCallbacks* callbacks) { hostCallbacks_ = callbacks; }
    FilterNativeCallbacks* getHostCallbacks() const { return hostCallbacks_; }

    // The window sets and clears the editor under the callback lock; everyone else only reads it.
    void setActiveEditor(EditorHooks* editor) {
        const juce::ScopedLock lock(callbackLock_);
        activeEditor_.store(editor);
    }
    EditorHooks* getActiveEditor() const { return activeEditor_.load(); }

protected:
    juce::CriticalSection callbackLock_;
    std::atomic<bool> suspended_{false};
    double sampleRate_ = 0.0;
    int numInputChannels_ = 0;
    int numOutputChannels_ = 0;

private:
    FilterNativeCallbacks* hostCallbacks_ = nullptr;
    EditorFactory editorFactory_;
    std::atomic<EditorHooks*> activeEditor_{nullptr};
};

} // namespace corvex
