// A vertical slider bound to one parameter: it reports press, value and release and moves only on the echo.
#pragma once

#include "widgets/MVParameterSlider.h"

namespace corvex {

class MVSlider : public MVParameterSlider {
public:
    MVSlider(MVGuiInterface* gui, int index);

    void mouseDown(const juce::MouseEvent& event) override;
    void mouseUp(const juce::MouseEvent& event) override;
    void mouseEnter(const juce::MouseEvent& event) override;
    void mouseExit(const juce::MouseEvent& event) override;
    void sliderValueChanged(juce::Slider* slider) override;
    void parameterChanged(int index, float value) override;
    void paint(juce::Graphics& g) override;

protected:
    void setShowBubble(bool on) { showBubble_ = on; }

private:
    bool showBubble_ = true;
};

} // namespace corvex
