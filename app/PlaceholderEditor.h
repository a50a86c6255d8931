// The window's content until the product editor exists: an on-screen keyboard that plays the instrument,
// its CPU load and the state of the audio device.
#pragma once

#include <juce_audio_utils/juce_audio_utils.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include "instrument/EditorHooks.h"
#include "instrument/MorvaneAudioFilter.h"

namespace corvex {

class PlaceholderEditor : public juce::Component,
                          public EditorHooks,
                          private juce::MidiKeyboardState::Listener,
                          private juce::Timer {
public:
    static constexpr int kCpuRefreshMs = 500;

    explicit PlaceholderEditor(MorvaneAudioFilter& filter);
    ~PlaceholderEditor() override;

    // Shown under the title, e.g. why no sound can be heard.
    void setDeviceStatus(const juce::String& text);
    juce::String getDeviceStatus() const { return status_.getText(); }
    juce::MidiKeyboardState& getKeyboardState() { return keyboardState_; }

    void resized() override;
    void paint(juce::Graphics& g) override;

    // The placeholder shows no parameters, so the instrument's notices have nothing to update.
    void parameterChanged(int, float) override {}
    void postGuiMessage(int, std::shared_ptr<const PointRecord>) override {}
    void kernelParameterChanged(int, int, int, int, float) override {}
    void refreshLayerParameters(int) override {}
    void refreshGlobalParameters() override {}
    void storeLcdPageParameter() override {}

private:
    void handleNoteOn(juce::MidiKeyboardState*, int channel, int note, float velocity) override;
    void handleNoteOff(juce::MidiKeyboardState*, int channel, int note, float velocity) override;
    void timerCallback() override;

    MorvaneAudioFilter& filter_;
    juce::MidiKeyboardState keyboardState_;
    juce::MidiKeyboardComponent keyboard_{keyboardState_, juce::MidiKeyboardComponent::horizontalKeyboard};
    juce::Label title_;
    juce::Label status_;
    juce::Label cpu_;
};

} // namespace corvex
