// The bound LCD button.
#include "widgets/CvnLcdButton.h"

namespace corvex {

CvnLcdButton::CvnLcdButton(const juce::String& name, MVGuiInterface* gui, int index)
    : CvnLcdTextButton(name), gui_(gui), index_(index), binding_(gui, this) {
    setButtonText(name);
    setClickingTogglesState(true);
    const bool bound = gui_ != nullptr && index_ >= 0;
    if (bound) setToggleState(gui_->getParameter(index_) >= kStartThreshold, juce::dontSendNotification);
    addListener(this);
    if (bound) binding_.bind(index_);
}

CvnLcdButton::~CvnLcdButton() {
    binding_.unbind();
    removeListener(this);
}

void CvnLcdButton::buttonClicked(juce::Button*) {
    if (gui_ != nullptr && index_ >= 0)
        gui_->notifyParameterEdit(MVGuiInterface::kNewValue, index_, getToggleState() ? 1.0f : 0.0f);
}

void CvnLcdButton::parameterChanged(int, float value) {
    setToggleState(value > kEchoThreshold, juce::dontSendNotification);
}

} // namespace corvex
