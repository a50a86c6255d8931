// The gallery's stand-in for the editor: it keeps parameter values, echoes every edit back at once so that the
// widgets move, and keeps the preferences in memory.
#pragma once

#include <map>

#include "widgets/MVGuiInterface.h"
#include "widgets/MVListenerRegistry.h"

namespace corvex::gallery {

class GalleryGui : public MVGuiInterface {
public:
    // Sets the value and tells the index's widgets, as the instrument's echo would.
    void setValue(int index, float value);
    void setHighlight(int index, int code);

    void addParameterListener(int index, MVParameterListener* l) override { listeners_.add(index, l); }
    void removeParameterListener(int index, MVParameterListener* l) override { listeners_.remove(index, l); }
    void addGuiMessageListener(int, MVGuiMessageListener*) override {}
    void removeGuiMessageListener(int, MVGuiMessageListener*) override {}
    void postGuiMessage(int, std::shared_ptr<const void>) override {}
    MorvaneMidiManager* getMidiManager() override { return nullptr; }
    void notifyParameterEdit(int kind, int index, float value) override;
    float getParameter(int index) override;
    void parameterChanged(int index, float value) override { setValue(index, value); }
    juce::String getParameterName(int index) override { return "Parameter " + juce::String(index); }
    juce::String getParameterText(int index) override { return juce::String(getParameter(index), 3); }
    bool refreshParameter(int) override { return false; }
    void showTextBubble(const juce::String&, juce::Component*) override {}
    void setTextBubbleText(const juce::String&) override {}
    void hideTextBubble() override {}
    void showParameterBubble(int, juce::Component*) override {}
    void hideParameterBubble() override {}
    void showMidiSettings(int, juce::Component*) override {}
    void hideMidiSettings() override {}
    juce::String getStringSetting(const juce::String& key, const juce::String& defaultValue) override;
    int getIntSetting(const juce::String& key, int defaultValue) override;
    void setIntSetting(const juce::String& key, int value) override { settings_[key] = juce::String(value); }
    void setStringSetting(const juce::String& key, const juce::String& value) override { settings_[key] = value; }

private:
    std::map<int, float> values_;
    std::map<juce::String, juce::String> settings_;
    MVListenerRegistry<MVParameterListener> listeners_;
};

} // namespace corvex::gallery
