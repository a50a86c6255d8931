// The standalone program's one window: it owns the device manager, the instrument and the instrument's
// editor, in that order, and offers the "File" menu.
#pragma once

#include <functional>
#include <memory>

#include <juce_gui_basics/juce_gui_basics.h>

#include "app/AudioFilterStreamingDeviceManager.h"
#include "editor/CorvanAudioFilterEditor.h"
#include "instrument/CorvanAudioFilter.h"
#include "instrument/MorvaneFindFolder.h"

namespace corvex {

class StandaloneMainWindow : public juce::DocumentWindow, public juce::MenuBarModel {
public:
    enum MenuItem { kPreferencesItem = 1, kQuitItem = 2 };
    // Called before the device opens; tests add a device type of their own, which then stands in for the
    // system's (JUCE only creates those when no type was added).
    using DeviceTypeHook = std::function<void(juce::AudioDeviceManager&)>;

    StandaloneMainWindow(const juce::String& title, const MorvaneFindFolder& folder, DeviceTypeHook deviceTypes = {});
    ~StandaloneMainWindow() override;

    juce::StringArray getMenuBarNames() override;
    juce::PopupMenu getMenuForIndex(int index, const juce::String& name) override;
    void menuItemSelected(int itemId, int topLevelMenuIndex) override;
    void closeButtonPressed() override;

    // Runs the modal "Audio Preferences" dialog; "standalone.prefs" is written when it closes.
    void showAudioPreferences();

    CorvanAudioFilter& getFilter() { return *filter_; }
    AudioFilterStreamingDeviceManager& getDeviceManager() { return deviceManager_; }
    CorvanAudioFilterEditor* getEditor() { return editor_; }
    // Empty when a device is open; else what the window's title and stderr said about it.
    juce::String getDeviceError() const { return deviceError_; }
    // The title while no device is open: the window's own way of saying why nothing is heard.
    static juce::String titleWithoutDevice(const juce::String& title);

private:
    void openDevice();
    void showDeviceState();

    const MorvaneFindFolder& folder_;
    AudioFilterStreamingDeviceManager deviceManager_;
    std::unique_ptr<CorvanAudioFilter> filter_;
    const juce::String title_;
    CorvanAudioFilterEditor* editor_ = nullptr; // the window's content, owned by the window
    juce::String deviceError_;
};

} // namespace corvex
