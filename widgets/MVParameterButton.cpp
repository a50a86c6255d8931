// What the latching and the momentary button share.
#include "widgets/MVParameterButton.h"

namespace corvex {

MVParameterButton::MVParameterButton(MVGuiInterface* gui, int index)
    : juce::DrawableButton({}, ImageRaw), gui_(gui), index_(index), binding_(gui, this) {
    const bool on = gui != nullptr && gui->getParameter(index) > 0.5f;
    setToggleState(on, juce::dontSendNotification);
}

MVParameterButton::~MVParameterButton() {
    if (!isBound()) return;
    removeListener(this);
    binding_.unbind();
}

void MVParameterButton::bind() {
    if (!isBound()) return;
    addListener(this);
    binding_.bind(index_);
}

void MVParameterButton::mouseDown(const juce::MouseEvent& event) {
    midiLearnPress_ = event.mods.isCtrlDown();
    if (!midiLearnPress_) {
        juce::DrawableButton::mouseDown(event);
        return;
    }
    if (gui_ != nullptr) gui_->showMidiSettings(index_, this);
}

void MVParameterButton::mouseDrag(const juce::MouseEvent& event) {
    if (!midiLearnPress_) juce::DrawableButton::mouseDrag(event);
}

void MVParameterButton::mouseUp(const juce::MouseEvent& event) {
    if (!midiLearnPress_) {
        const juce::Component::SafePointer<juce::Component> self(this);
        releasing_ = true;
        juce::DrawableButton::mouseUp(event);
        if (self != nullptr) releasing_ = false;
        return;
    }
    midiLearnPress_ = false;
    setState(isMouseOver() ? buttonOver : buttonNormal);
}

} // namespace corvex
