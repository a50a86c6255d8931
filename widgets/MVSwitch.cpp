// An N-position switch bound to one discrete parameter.
#include "widgets/MVSwitch.h"

#include <algorithm>

#include "widgets/MVDiscreteSteps.h"

namespace corvex {

namespace {
// A switch of fewer than one position would divide by zero when it sends.
int atLeastOne(int positions) { return std::max(positions, 1); }
} // namespace

// The range reaches a tenth past the last position so that even a one-position switch has a range.
MVSwitch::MVSwitch(MVGuiInterface* gui, int index, int positions, bool inverted)
    : MVParameterSlider(gui, index, "MVSwitch", LinearVertical, atLeastOne(positions) - 1 + 0.1, 1.0),
      positions_(atLeastOne(positions)), inverted_(inverted) {
    bind(positionOf(gui != nullptr ? gui->getParameter(index) : 0.0f));
}

int MVSwitch::getPosition() const { return std::clamp(static_cast<int>(getValue()), 0, positions_ - 1); }

double MVSwitch::positionOf(float value) const { return stepOf(inverted_ ? 1.0f - value : value, positions_); }

void MVSwitch::mouseDown(const juce::MouseEvent& event) {
    if (handledAsMidiLearn(event)) return;
    if (settingIsYes(guisettings::kShowPopupOnClick) && gui_ != nullptr) gui_->showParameterBubble(index_, this);
    if (gui_ != nullptr) gui_->notifyParameterEdit(MVGuiInterface::kGestureBegin, index_, 0.0f);
    rereadHoverDelay();
    startLibraryDrag(event);
}

// The gesture ends with the position, not the parameter's value: what receivers of the end have always seen.
void MVSwitch::mouseUp(const juce::MouseEvent& event) { release(event, static_cast<float>(getValue())); }

void MVSwitch::mouseEnter(const juce::MouseEvent&) {
    if (settingIsYes(guisettings::kShowPopupOnOver)) armHover();
}

void MVSwitch::mouseExit(const juce::MouseEvent&) {
    stopTimer();
    clearHover();
    if (gui_ != nullptr) gui_->hideParameterBubble();
}

void MVSwitch::sliderValueChanged(juce::Slider*) {
    const double position = inverted_ ? (positions_ - 1) - getValue() : getValue();
    const int step = std::clamp(static_cast<int>(position), 0, positions_ - 1);
    if (gui_ != nullptr) gui_->notifyParameterEdit(MVGuiInterface::kNewValue, index_, stepCentre(step, positions_));
}

void MVSwitch::parameterChanged(int, float value) { setValue(positionOf(value), juce::dontSendNotification); }

} // namespace corvex
