// The one object every widget, bubble and panel of the editor talks through: parameter values and edit
// gestures, echoes and GUI messages, the bubbles, the MIDI manager and the GUI preferences.
#pragma once

#include <memory>

#include <juce_gui_basics/juce_gui_basics.h>

#include "widgets/MVGuiMessageListener.h"
#include "widgets/MVParameterListener.h"

namespace corvex {

class MorvaneMidiManager;

// Keys and defaults of the GUI preferences.
namespace guisettings {
// The key ends in "Clic": files written earlier carry it so.
inline constexpr const char* kShowPopupOnClick = "MrvEditShowPopupOnClic";
inline constexpr const char* kShowPopupOnOver = "MrvEditShowPopupOnOver";
inline constexpr const char* kPopupDelayTime = "MrvPopupDelayTime";
inline constexpr const char* kYes = "yes";
inline constexpr const char* kNo = "no";
inline constexpr int kDefaultPopupDelayMs = 1000;
} // namespace guisettings

// Message thread only.
class MVGuiInterface {
public:
    // What notifyParameterEdit is told.
    static constexpr int kGestureBegin = 0;
    static constexpr int kGestureEnd = 1;
    static constexpr int kNewValue = 2;

    MVGuiInterface() = default;
    // A copy is an interface of its own: the widgets watching the original go on watching the original.
    MVGuiInterface(const MVGuiInterface&) {}
    MVGuiInterface& operator=(const MVGuiInterface&) { return *this; }
    virtual ~MVGuiInterface() = default;

    // The listener hears every echo and highlight of the index.
    virtual void addParameterListener(int index, MVParameterListener* listener) = 0;
    virtual void removeParameterListener(int index, MVParameterListener* listener) = 0;
    virtual void addGuiMessageListener(int id, MVGuiMessageListener* listener) = 0;
    virtual void removeGuiMessageListener(int id, MVGuiMessageListener* listener) = 0;
    // The id's listeners receive the payload later; it is freed once they all had it.
    virtual void postGuiMessage(int id, std::shared_ptr<const void> payload) = 0;
    // Null without an instrument.
    virtual MorvaneMidiManager* getMidiManager() = 0;
    // kind: kGestureBegin, kGestureEnd or kNewValue; any other does nothing.
    virtual void notifyParameterEdit(int kind, int index, float value) = 0;
    virtual float getParameter(int index) = 0;
    // The echo: the index's listeners are told later.
    virtual void parameterChanged(int index, float value) = 0;
    virtual juce::String getParameterName(int index) = 0;
    virtual juce::String getParameterText(int index) = 0;
    // True for a discrete index; otherwise asks the kernel to report the value again.
    virtual bool refreshParameter(int index) = 0;
    virtual void showTextBubble(const juce::String& text, juce::Component* at) = 0;
    virtual void setTextBubbleText(const juce::String& text) = 0;
    virtual void hideTextBubble() = 0;
    virtual void showParameterBubble(int index, juce::Component* at) = 0;
    virtual void hideParameterBubble() = 0;
    virtual void showMidiSettings(int index, juce::Component* at) = 0;
    virtual void hideMidiSettings() = 0;
    virtual juce::String getStringSetting(const juce::String& key, const juce::String& defaultValue) = 0;
    virtual int getIntSetting(const juce::String& key, int defaultValue) = 0;
    virtual void setIntSetting(const juce::String& key, int value) = 0;
    virtual void setStringSetting(const juce::String& key, const juce::String& value) = 0;

private:
    // Widgets hold it weakly (MVParameterBinding): one that outlives it, in a panel torn down after the editor,
    // must not call into it.
    JUCE_DECLARE_WEAK_REFERENCEABLE(MVGuiInterface)
};

} // namespace corvex
