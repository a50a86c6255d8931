// The round check box: a grey disc when on, a ringed dark disc when off.
#include "widgets/CvnSmallLcdCheckBox.h"

#include "widgets/CorvanLookAndFeel.h"

namespace corvex {

CvnSmallLcdCheckBox::CvnSmallLcdCheckBox(MVGuiInterface* gui, int index, const juce::String& name)
    : juce::Button(name), gui_(gui), index_(index), binding_(gui, this) {
    setClickingTogglesState(true);
    const bool bound = gui_ != nullptr && index_ >= 0;
    if (bound) setToggleState(gui_->getParameter(index_) >= kStartThreshold, juce::dontSendNotification);
    addListener(this);
    if (bound) binding_.bind(index_);
}

CvnSmallLcdCheckBox::~CvnSmallLcdCheckBox() {
    binding_.unbind();
    removeListener(this);
}

void CvnSmallLcdCheckBox::buttonClicked(juce::Button*) {
    if (gui_ != nullptr && index_ >= 0)
        gui_->notifyParameterEdit(MVGuiInterface::kNewValue, index_, getToggleState() ? 1.0f : 0.0f);
}

void CvnSmallLcdCheckBox::parameterChanged(int, float value) {
    setToggleState(value > kEchoThreshold, juce::dontSendNotification);
}

void CvnSmallLcdCheckBox::paintButton(juce::Graphics& g, bool isMouseOver, bool isButtonDown) {
    const CorvanLookAndFeel& lf = *CorvanLookAndFeel::getInstance();
    juce::Colour disc = lf.darkColour;
    juce::Colour ring = lf.greyColour;
    bool hasRing = true;
    if (!isEnabled()) {
        ring = lf.greyColour.withAlpha(0.5f);
    } else if (isButtonDown || getToggleState()) {
        disc = lf.greyColour;
        hasRing = false;
    }
    const float w = static_cast<float>(getWidth());
    const float h = static_cast<float>(getHeight());
    g.setColour(disc);
    g.fillEllipse(0.0f, 0.0f, w, h);
    if (hasRing) {
        g.setColour(ring);
        g.drawEllipse(1.0f, 1.0f, w - 2.0f, h - 2.0f, isMouseOver ? 3.0f : 1.0f);
    }
}

} // namespace corvex
