// The window's content until the product editor exists: the front panel with its small LCD, playable and
// editing the instrument's sound, under a strip that shows the audio device's state and the CPU load.
#pragma once

#include <memory>

#include <juce_gui_basics/juce_gui_basics.h>

#include "editor/CorvanControlPanel.h"
#include "editor/LayerFoldingEditor.h"
#include "editor/ModalCalls.h"

namespace corvex {

class StandaloneEditor : public LayerFoldingEditor, private juce::Timer {
public:
    static constexpr int kCpuRefreshMs = 500;
    static constexpr int kStripHeight = 26;

    explicit StandaloneEditor(CorvanAudioFilter& instrument,
                              const MorvaneFindFolder& folder = MorvaneFindFolder::getInstance());
    ~StandaloneEditor() override;

    // Shown in the strip, e.g. why no sound can be heard.
    void setDeviceStatus(const juce::String& text);
    juce::String getDeviceStatus() const { return status_.getText(); }
    CorvanControlPanel& getControlPanel() { return *panel_; }

    void resized() override;
    void paint(juce::Graphics& g) override;

private:
    void timerCallback() override;

    CorvanAudioFilter& instrument_;
    JuceModalCalls modalCalls_;
    juce::Label title_;
    juce::Label status_;
    juce::Label cpu_;
    std::unique_ptr<CorvanControlPanel> panel_;
};

} // namespace corvex
