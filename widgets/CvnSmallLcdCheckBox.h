// A small round check box on the LCD screen, bound to a two-state parameter like the LCD button.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include "widgets/MVGuiInterface.h"
#include "widgets/MVParameterBinding.h"
#include "widgets/MVParameterListener.h"

namespace corvex {

// Message thread only.
class CvnSmallLcdCheckBox : public juce::Button, public juce::Button::Listener, public MVParameterListener {
public:
    static constexpr float kStartThreshold = 0.5f;
    static constexpr float kEchoThreshold = 0.6f;

    // A negative index leaves the box unbound: it toggles but reports nothing. Rows of boxes name each one.
    CvnSmallLcdCheckBox(MVGuiInterface* gui, int index, const juce::String& name = "CvnSmallLcdCheckBox");
    ~CvnSmallLcdCheckBox() override;
    CvnSmallLcdCheckBox(const CvnSmallLcdCheckBox&) = delete;
    CvnSmallLcdCheckBox& operator=(const CvnSmallLcdCheckBox&) = delete;

    void buttonClicked(juce::Button* button) override;
    void parameterChanged(int index, float value) override;
    void highlightChanged(int, float) override {}

protected:
    void paintButton(juce::Graphics& g, bool isMouseOver, bool isButtonDown) override;

private:
    MVGuiInterface* const gui_;
    const int index_;
    MVParameterBinding binding_;
};

} // namespace corvex
