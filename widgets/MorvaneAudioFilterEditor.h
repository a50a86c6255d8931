// The base of the instrument's editor: the GUI interface every widget talks through, the instrument's editor
// hooks, the messenger, the three bubbles and the GUI preferences in "plugin.prefs".
#pragma once

#include <memory>

#include <juce_data_structures/juce_data_structures.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include "instrument/EditorHooks.h"
#include "instrument/MorvaneFindFolder.h"
#include "widgets/AudioFilterEditor.h"
#include "widgets/MVBubbleMidiSettings.h"
#include "widgets/MVBubbleParamComponent.h"
#include "widgets/MVBubbleStringComponent.h"
#include "widgets/MVGuiInterface.h"
#include "widgets/MVParameterMessenger.h"

namespace corvex {

// Message thread only.
class MorvaneAudioFilterEditor : public AudioFilterEditor, public MVGuiInterface, public EditorHooks {
public:
    static constexpr int kPrefsSaveDelayMs = 5000;

    // The preferences live in the folder's "plugin.prefs"; tests pass a folder of their own.
    explicit MorvaneAudioFilterEditor(MorvaneAudioFilter* instrument,
                                      const MorvaneFindFolder& folder = MorvaneFindFolder::getInstance());
    ~MorvaneAudioFilterEditor() override;

    // MVGuiInterface.
    void addParameterListener(int index, MVParameterListener* listener) override;
    void removeParameterListener(int index, MVParameterListener* listener) override;
    void addGuiMessageListener(int id, MVGuiMessageListener* listener) override;
    void removeGuiMessageListener(int id, MVGuiMessageListener* listener) override;
    void postGuiMessage(int id, std::shared_ptr<const void> payload) override;
    MorvaneMidiManager* getMidiManager() override;
    void notifyParameterEdit(int kind, int index, float value) override;
    float getParameter(int index) override;
    void parameterChanged(int index, float value) override;
    juce::String getParameterName(int index) override;
    juce::String getParameterText(int index) override;
    bool refreshParameter(int index) override;
    void showTextBubble(const juce::String& text, juce::Component* at) override;
    void setTextBubbleText(const juce::String& text) override;
    void hideTextBubble() override;
    void showParameterBubble(int index, juce::Component* at) override;
    void hideParameterBubble() override;
    void showMidiSettings(int index, juce::Component* at) override;
    void hideMidiSettings() override;
    juce::String getStringSetting(const juce::String& key, const juce::String& defaultValue) override;
    int getIntSetting(const juce::String& key, int defaultValue) override;
    void setIntSetting(const juce::String& key, int value) override;
    void setStringSetting(const juce::String& key, const juce::String& value) override;

    // EditorHooks; the layer, patch and LCD page operations belong to the product editor.
    void postGuiMessage(int id, std::shared_ptr<const PointRecord> record) override;
    // An open parameter bubble shows the kernel's report when it comes from its parameter's module.
    void kernelParameterChanged(int section, int moduleSlot, int parameter, int unitKind, float value) override;
    void refreshLayerParameters(int) override {}
    void refreshGlobalParameters() override {}
    void storeLcdPageParameter() override {}

    MVParameterMessenger& getMessenger() { return messenger_; }
    MVBubbleParamComponent& getParameterBubble() { return *parameterBubble_; }
    MVBubbleMidiSettings& getMidiSettingsBubble() { return *midiBubble_; }
    MVBubbleStringComponent& getTextBubble() { return *textBubble_; }
    // False when "plugin.prefs" could not be read: the settings then hold their defaults and the file is kept.
    bool hasPreferences() const { return prefs_ != nullptr; }

private:
    static std::unique_ptr<juce::PropertiesFile> openPreferences(const juce::File& file);

    // Declared in the order they are built: the bubbles leave the messenger and the MIDI manager before the
    // messenger goes.
    MVParameterMessenger messenger_;
    std::unique_ptr<MVBubbleParamComponent> parameterBubble_;
    std::unique_ptr<MVBubbleMidiSettings> midiBubble_;
    std::unique_ptr<MVBubbleStringComponent> textBubble_;
    std::unique_ptr<juce::PropertiesFile> prefs_;
};

} // namespace corvex
