// A GUI interface that records what widgets tell it and delivers echoes at once, with what widget tests need
// around it: mouse events made by hand, synthetic film strips and snapshots.
#pragma once

#include <map>
#include <memory>
#include <vector>

#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include "tests/support/Snapshots.h"
#include "widgets/MVGuiInterface.h"
#include "widgets/MVListenerRegistry.h"
#include "widgets/MVParameterMessenger.h"

namespace corvex {

class FakeGui : public MVGuiInterface {
public:
    struct Edit {
        int kind;
        int index;
        float value;
    };
    std::vector<Edit> edits;
    std::map<int, float> values;
    std::map<juce::String, juce::String> settings;
    int bubbleShown = 0;
    int bubbleHidden = 0;
    int bubbleIndex = -1;
    juce::Component* bubbleAt = nullptr;
    int midiSettingsIndex = -1;
    int midiSettingsShown = 0;

    // What the messenger would deliver later, delivered now, as it stands.
    void echo(int index, float value) {
        listeners.forEach(index, [&](MVParameterListener& l) { l.parameterChanged(index, value); });
    }
    // As the messenger delivers an echo: a request to read a row again arrives as the row's value.
    void deliver(int index, float value) {
        echo(index, value == MVParameterMessenger::kRereadValue ? getParameter(index) : value);
    }
    void highlight(int index, float code) {
        listeners.forEach(index, [&](MVParameterListener& l) { l.highlightChanged(index, code); });
    }
    int listenerCount(int index) const { return listeners.count(index); }
    std::vector<Edit> editsOfKind(int kind) const {
        std::vector<Edit> out;
        for (const Edit& e : edits)
            if (e.kind == kind) out.push_back(e);
        return out;
    }

    void addParameterListener(int index, MVParameterListener* l) override { listeners.add(index, l); }
    void removeParameterListener(int index, MVParameterListener* l) override { listeners.remove(index, l); }
    void addGuiMessageListener(int, MVGuiMessageListener*) override {}
    void removeGuiMessageListener(int, MVGuiMessageListener*) override {}
    void postGuiMessage(int, std::shared_ptr<const void>) override {}
    MorvaneMidiManager* getMidiManager() override { return nullptr; }
    void notifyParameterEdit(int kind, int index, float value) override { edits.push_back({kind, index, value}); }
    float getParameter(int index) override { return values.count(index) != 0 ? values[index] : 0.0f; }
    void parameterChanged(int index, float value) override { echo(index, value); }
    juce::String getParameterName(int) override { return "name"; }
    juce::String getParameterText(int) override { return "text"; }
    bool refreshParameter(int) override { return false; }
    void showTextBubble(const juce::String&, juce::Component*) override {}
    void setTextBubbleText(const juce::String&) override {}
    void hideTextBubble() override {}
    void showParameterBubble(int index, juce::Component* at) override {
        ++bubbleShown;
        bubbleIndex = index;
        bubbleAt = at;
    }
    void hideParameterBubble() override { ++bubbleHidden; }
    void showMidiSettings(int index, juce::Component*) override {
        ++midiSettingsShown;
        midiSettingsIndex = index;
    }
    void hideMidiSettings() override {}
    juce::String getStringSetting(const juce::String& key, const juce::String& def) override {
        return settings.count(key) != 0 ? settings[key] : def;
    }
    int getIntSetting(const juce::String& key, int def) override {
        return settings.count(key) != 0 ? settings[key].getIntValue() : def;
    }
    void setIntSetting(const juce::String& key, int value) override { settings[key] = juce::String(value); }
    void setStringSetting(const juce::String& key, const juce::String& value) override { settings[key] = value; }

private:
    MVListenerRegistry<MVParameterListener> listeners;
};

// A mouse event on the component at `position`, for a press that began at `downAt`.
inline juce::MouseEvent mouseEvent(juce::Component& c, juce::Point<float> position, juce::ModifierKeys mods = {},
                                   juce::Point<float> downAt = {}) {
    const juce::Time now = juce::Time::getCurrentTime();
    return juce::MouseEvent(juce::Desktop::getInstance().getMainMouseSource(), position,
                            mods.withFlags(juce::ModifierKeys::leftButtonModifier),
                            juce::MouseInputSource::defaultPressure, juce::MouseInputSource::defaultOrientation,
                            juce::MouseInputSource::defaultRotation, juce::MouseInputSource::defaultTiltX,
                            juce::MouseInputSource::defaultTiltY, &c, &c, now, downAt, now, 1, downAt != position);
}

inline void pumpMessages(int milliseconds) {
    juce::MessageManager::getInstance()->runDispatchLoopUntil(milliseconds);
}

inline const juce::ModifierKeys kCtrl{juce::ModifierKeys::ctrlModifier};

// A film strip whose frame f is filled with grey level 3 f + 1, so that a snapshot tells which frame is shown.
// Kept for the whole run: the image cache knows embedded pictures by their address.
inline const juce::MemoryBlock& greyStrip(int frames, int width, int frameHeight) {
    static std::map<std::vector<int>, std::unique_ptr<juce::MemoryBlock>> strips;
    auto& slot = strips[{frames, width, frameHeight}];
    if (slot == nullptr) {
        juce::Image image(juce::Image::ARGB, width, frames * frameHeight, true);
        juce::Graphics g(image);
        for (int f = 0; f < frames; ++f) {
            const auto level = static_cast<juce::uint8>(3 * f + 1);
            g.setColour(juce::Colour(level, level, level));
            g.fillRect(0, f * frameHeight, width, frameHeight);
        }
        slot = std::make_unique<juce::MemoryBlock>();
        juce::MemoryOutputStream out(*slot, false);
        juce::PNGImageFormat().writeImageToStream(image, out);
    }
    return *slot;
}

inline int frameShownAt(const juce::Image& snapshot, int x, int y) {
    return (snapshot.getPixelAt(x, y).getRed() - 1) / 3;
}

} // namespace corvex
