// A rotary knob bound to one parameter.
#include "widgets/MVKnob.h"

#include <cmath>

namespace corvex {

MVKnob::MVKnob(MVGuiInterface* gui, int index)
    : MVParameterSlider(gui, index, "MorvaneSlider", RotaryVerticalDrag, 1.0, 0.001) {
    bind(gui != nullptr ? gui->getParameter(index) : 0.0);
}

void MVKnob::mouseDown(const juce::MouseEvent& event) {
    dragging_ = true;
    if (handledAsMidiLearn(event)) return;
    if (showBubble_ && settingIsYes(guisettings::kShowPopupOnClick) && gui_ != nullptr)
        gui_->showParameterBubble(index_, this);
    clearHover();
    if (gui_ != nullptr) gui_->notifyParameterEdit(MVGuiInterface::kGestureBegin, index_, 0.0f);
    startLibraryDrag(event);
}

void MVKnob::mouseUp(const juce::MouseEvent& event) {
    if (springBack_) startTimer(kTimerIntervalMs);
    release(event, static_cast<float>(getValue()));
}

void MVKnob::mouseEnter(const juce::MouseEvent&) {
    if (showBubble_ && settingIsYes(guisettings::kShowPopupOnOver)) armHover();
}

// A glide still in progress keeps the timer; nothing else needs it once the mouse has gone.
void MVKnob::mouseExit(const juce::MouseEvent&) {
    clearHover();
    if (gui_ != nullptr) gui_->hideParameterBubble();
    if (!springBack_ || dragging_ || !isAwayFromCentre()) stopTimer();
}

// Single precision, as the glide has always run: 0.55 lands just over 0.05 from the centre and takes one more
// step before it snaps.
bool MVKnob::glideTowardsCentre() {
    float x = static_cast<float>(getValue());
    x = x - (x - 0.5f) * 0.5f;
    if (std::abs(x - 0.5f) < 0.05f) x = 0.5f;
    // Sent asynchronously through the own value-changed handling, so each step reaches the instrument.
    setValue(x, juce::sendNotificationAsync);
    return x != 0.5f;
}

void MVKnob::timerCallback() {
    showBubbleWhenHoverDue();
    bool gliding = false;
    if (springBack_ && !dragging_ && isAwayFromCentre()) gliding = glideTowardsCentre();
    if (!gliding && !isHoverPending()) stopTimer();
}

void MVKnob::sliderValueChanged(juce::Slider*) {
    if (gui_ != nullptr) gui_->notifyParameterEdit(MVGuiInterface::kNewValue, index_, static_cast<float>(getValue()));
}

// The user's hand wins over the instrument: an echo during a drag would make the knob jump under the mouse.
void MVKnob::parameterChanged(int, float value) {
    if (dragging_ || !std::isfinite(value)) return;
    setValue(value, juce::dontSendNotification);
}

void MVKnob::paint(juce::Graphics& g) { drawHighlightFrame(g, highlight_, getWidth() - 1, getHeight() - 1); }

} // namespace corvex
