#include "app/StandaloneAudioPreferences.h"

#include "app/StandalonePrefs.h"

namespace corvex {

StandaloneAudioPreferences::StandaloneAudioPreferences(juce::AudioDeviceManager& deviceManager,
                                                       const juce::File& prefsFile)
    : juce::DocumentWindow("Audio Preferences", juce::Colours::darkgrey, juce::DocumentWindow::closeButton, true),
      deviceManager_(deviceManager), prefsFile_(prefsFile) {
    // No inputs to choose: the instrument plays with none. MIDI inputs are chosen here too.
    auto selector = std::make_unique<juce::AudioDeviceSelectorComponent>(deviceManager_, 0, 0, 2, 2, true, false,
                                                                         true, false);
    selector->setSize(kWidth, kHeight);
    setContentOwned(selector.release(), true);
    setResizable(false, false);
    // JUCE centres on the main display without looking whether there is one, and with no X server to reach
    // there is none; the dialog then stays where it is.
    if (juce::Desktop::getInstance().getDisplays().getPrimaryDisplay() != nullptr)
        centreWithSize(getWidth(), getHeight());
}

StandaloneAudioPreferences::~StandaloneAudioPreferences() {
    savePreferences();
    clearContentComponent();
}

void StandaloneAudioPreferences::closeButtonPressed() {
    savePreferences();
    setVisible(false);
    exitModalState(0);
}

bool StandaloneAudioPreferences::savePreferences() {
    const std::unique_ptr<juce::XmlElement> state = deviceManager_.createStateXml();
    return writeStandalonePrefs(prefsFile_, state.get());
}

} // namespace corvex
