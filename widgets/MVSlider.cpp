// A vertical slider bound to one parameter.
#include "widgets/MVSlider.h"

#include <cmath>

namespace corvex {

MVSlider::MVSlider(MVGuiInterface* gui, int index)
    : MVParameterSlider(gui, index, "MorvaneSlider", LinearVertical, 1.0, 0.001) {
    bind(gui != nullptr ? gui->getParameter(index) : 0.0);
}

void MVSlider::mouseDown(const juce::MouseEvent& event) {
    dragging_ = true;
    if (handledAsMidiLearn(event)) return;
    if (showBubble_ && settingIsYes(guisettings::kShowPopupOnClick) && gui_ != nullptr)
        gui_->showParameterBubble(index_, this);
    clearHover();
    if (gui_ != nullptr) gui_->notifyParameterEdit(MVGuiInterface::kGestureBegin, index_, 0.0f);
    startLibraryDrag(event);
}

void MVSlider::mouseUp(const juce::MouseEvent& event) { release(event, static_cast<float>(getValue())); }

void MVSlider::mouseEnter(const juce::MouseEvent&) {
    if (showBubble_ && settingIsYes(guisettings::kShowPopupOnOver)) armHover();
}

void MVSlider::mouseExit(const juce::MouseEvent&) {
    stopTimer();
    clearHover();
    if (gui_ != nullptr) gui_->hideParameterBubble();
}

void MVSlider::sliderValueChanged(juce::Slider*) {
    if (gui_ != nullptr) gui_->notifyParameterEdit(MVGuiInterface::kNewValue, index_, static_cast<float>(getValue()));
}

void MVSlider::parameterChanged(int, float value) {
    if (dragging_ || !std::isfinite(value)) return;
    setValue(value, juce::dontSendNotification);
}

void MVSlider::paint(juce::Graphics& g) { drawHighlightFrame(g, highlight_, getWidth() - 1, getHeight() - 1); }

} // namespace corvex
