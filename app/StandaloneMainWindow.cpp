#include "app/StandaloneMainWindow.h"

#include <cstdlib>
#include <iostream>

#include "app/StandaloneAudioPreferences.h"
#include "app/StandalonePrefs.h"
#include "presetmap/view/CorvanOpenMapActionHandler.h"
#include "presets/CorvanPresetServices.h"

namespace corvex {

namespace {
// Several of the engine's constants assume this rate; a device that cannot run at it keeps its own.
constexpr double kPreferredSampleRate = 44100.0;
} // namespace

StandaloneMainWindow::StandaloneMainWindow(const juce::String& title, const MorvaneFindFolder& folder,
                                           DeviceTypeHook deviceTypes)
    : juce::DocumentWindow(title, juce::Colours::black,
                           juce::DocumentWindow::minimiseButton | juce::DocumentWindow::closeButton, true),
      folder_(folder), title_(title) {
    filter_ = CorvanAudioFilter::createPluginFilter(folder_, std::make_unique<CorvanPresetServices>(folder_));
    if (filter_ == nullptr) {
        // Never expected; a window without an instrument would have nothing to stream.
        std::cerr << "The instrument could not start\n";
        std::abort();
    }
    filter_->setEditorFactory([&folder](AudioFilterBase& instrument) -> AudioFilterEditor* {
        CorvanAudioFilterEditor::Options options;
        options.folder = &folder;
        options.mapHandler = std::make_unique<CorvanOpenMapActionHandler>(folder);
        return new CorvanAudioFilterEditor(&dynamic_cast<CorvanAudioFilter&>(instrument), std::move(options));
    });
    std::unique_ptr<AudioFilterEditor> editor;
    if (filter_->getActiveEditor() == nullptr) {
        editor.reset(filter_->createEditor());
        editor_ = dynamic_cast<CorvanAudioFilterEditor*>(editor.get());
        if (editor_ != nullptr) {
            const juce::ScopedLock lock(filter_->getCallbackLock());
            filter_->setActiveEditor(editor_);
        }
    }
    setMenuBar(this);
    // The window takes the editor's size: the front panel alone, or with the LCD open as the state left it.
    if (editor != nullptr) setContentOwned(editor.release(), true);

    if (deviceTypes) deviceTypes(deviceManager_);
    openDevice();
    deviceManager_.setFilter(filter_.get());

    const juce::Displays::Display* display = juce::Desktop::getInstance().getDisplays().getPrimaryDisplay();
    if (display != nullptr) {
        const juce::Rectangle<int> area = display->userArea;
        setTopLeftPosition(area.getX() + area.getWidth() / 2 - getWidth() / 2,
                           area.getY() + area.getHeight() / 2 - getHeight() / 2);
    }
    setTitleBarButtonsRequired(juce::DocumentWindow::minimiseButton | juce::DocumentWindow::closeButton, false);
    setVisible(true);
}

StandaloneMainWindow::~StandaloneMainWindow() {
    {
        const juce::ScopedLock lock(filter_->getCallbackLock());
        if (filter_->getActiveEditor() == editor_) filter_->setActiveEditor(nullptr);
    }
    clearContentComponent();
    editor_ = nullptr;
    deviceManager_.setFilter(nullptr);
    // The instrument writes "midi.prefs" as it goes.
    filter_.reset();
    deviceManager_.closeAudioDevice();
    setMenuBar(nullptr);
}

void StandaloneMainWindow::openDevice() {
    const std::unique_ptr<juce::XmlElement> saved = readStandalonePrefs(folder_.getStandalonePrefsFile());
    juce::AudioDeviceManager::AudioDeviceSetup preferred;
    preferred.sampleRate = kPreferredSampleRate;
    const juce::String error = deviceManager_.initialise(0, 2, saved.get(), true, {}, saved ? nullptr : &preferred);
    // On a first start a keyboard that is plugged in should simply play; afterwards the saved choice rules.
    if (saved == nullptr)
        for (const juce::MidiDeviceInfo& input : juce::MidiInput::getAvailableDevices())
            deviceManager_.setMidiInputDeviceEnabled(input.identifier, true);
    if (deviceManager_.getCurrentAudioDevice() != nullptr) return;

    deviceError_ = "No audio device could be opened: " +
                   (error.isNotEmpty() ? error : juce::String("no ALSA or JACK output was found"));
    // The window adds a second sentence; a device's own error may already end its first.
    if (!deviceError_.endsWithChar('.')) deviceError_ << '.';
    std::cerr << deviceError_ << "\n";
    showDeviceState();
}

juce::String StandaloneMainWindow::titleWithoutDevice(const juce::String& title) {
    return title + " (no audio device: choose one under File > Audio & Midi Preferences)";
}

void StandaloneMainWindow::showDeviceState() { setName(deviceError_.isEmpty() ? title_ : titleWithoutDevice(title_)); }

juce::StringArray StandaloneMainWindow::getMenuBarNames() { return {"File"}; }

juce::PopupMenu StandaloneMainWindow::getMenuForIndex(int index, const juce::String&) {
    juce::PopupMenu menu;
    if (index == 0) {
        menu.addItem(kPreferencesItem, "Audio & Midi Preferences");
        menu.addItem(kQuitItem, "Quit");
    }
    return menu;
}

void StandaloneMainWindow::menuItemSelected(int itemId, int) {
    if (itemId == kPreferencesItem)
        showAudioPreferences();
    else if (itemId == kQuitItem)
        if (juce::JUCEApplicationBase* app = juce::JUCEApplicationBase::getInstance()) app->systemRequestedQuit();
}

void StandaloneMainWindow::closeButtonPressed() { menuItemSelected(kQuitItem, 0); }

void StandaloneMainWindow::showAudioPreferences() {
    for (juce::AudioIODeviceType* type : deviceManager_.getAvailableDeviceTypes()) type->scanForDevices();
    auto dialog = std::make_unique<StandaloneAudioPreferences>(deviceManager_, folder_.getStandalonePrefsFile());
    dialog->setVisible(true);
    dialog->runModalLoop();
    // A device chosen in the dialog clears the message shown while none could be opened.
    if (deviceManager_.getCurrentAudioDevice() != nullptr && deviceError_.isNotEmpty()) {
        deviceError_.clear();
        showDeviceState();
    }
}

} // namespace corvex
