// An LCD text button bound to a two-state parameter: clicking toggles it and reports 1 or 0, the echo sets it.
#pragma once

#include "widgets/CvnLcdTextButton.h"
#include "widgets/MVGuiInterface.h"
#include "widgets/MVParameterBinding.h"
#include "widgets/MVParameterListener.h"

namespace corvex {

// Message thread only.
class CvnLcdButton : public CvnLcdTextButton, public juce::Button::Listener, public MVParameterListener {
public:
    // The start state is on for the upper half of the value, 0.5 included; echoes need more than 0.6.
    static constexpr float kStartThreshold = 0.5f;
    static constexpr float kEchoThreshold = 0.6f;

    // A negative index leaves the button unbound: it toggles but reports nothing.
    CvnLcdButton(const juce::String& name, MVGuiInterface* gui, int index);
    ~CvnLcdButton() override;
    CvnLcdButton(const CvnLcdButton&) = delete;
    CvnLcdButton& operator=(const CvnLcdButton&) = delete;

    // Negative when unbound.
    int getParameterIndex() const { return index_; }

    void buttonClicked(juce::Button* button) override;
    void parameterChanged(int index, float value) override;
    void highlightChanged(int, float) override {}

private:
    MVGuiInterface* const gui_;
    const int index_;
    MVParameterBinding binding_;
};

} // namespace corvex
