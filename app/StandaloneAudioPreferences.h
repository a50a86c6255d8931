// The modal "Audio Preferences" dialog: JUCE's device selector over the main window's device manager.
#pragma once

#include <juce_audio_utils/juce_audio_utils.h>
#include <juce_gui_basics/juce_gui_basics.h>

namespace corvex {

class StandaloneAudioPreferences : public juce::DocumentWindow {
public:
    static constexpr int kWidth = 500;
    static constexpr int kHeight = 350;

    // The manager and the file must outlive the dialog.
    StandaloneAudioPreferences(juce::AudioDeviceManager& deviceManager, const juce::File& prefsFile);
    // Saves once more, so that a dialog closed any other way keeps the choice too.
    ~StandaloneAudioPreferences() override;

    void closeButtonPressed() override;
    // The device state as "standalone.prefs"; a failed write is reported on stderr.
    bool savePreferences();

private:
    juce::AudioDeviceManager& deviceManager_;
    const juce::File prefsFile_;
};

} // namespace corvex
