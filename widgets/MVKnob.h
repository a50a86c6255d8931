// A rotary knob bound to one parameter: it reports press, value and release, moves only on the echo, and may
// spring back to the centre when let go.
#pragma once

#include "widgets/MVParameterSlider.h"

namespace corvex {

class MVKnob : public MVParameterSlider {
public:
    MVKnob(MVGuiInterface* gui, int index);

    bool hasSpringBack() const { return springBack_; }

    void mouseDown(const juce::MouseEvent& event) override;
    void mouseUp(const juce::MouseEvent& event) override;
    void mouseEnter(const juce::MouseEvent& event) override;
    void mouseExit(const juce::MouseEvent& event) override;
    void timerCallback() override;
    void sliderValueChanged(juce::Slider* slider) override;
    void parameterChanged(int index, float value) override;
    void paint(juce::Graphics& g) override;

protected:
    void setSpringBack(bool on) { springBack_ = on; }
    void setShowBubble(bool on) { showBubble_ = on; }

private:
    // One glide step towards the centre; false once the knob rests there.
    bool glideTowardsCentre();
    bool isAwayFromCentre() const { return getValue() != 0.5; }

    bool springBack_ = false;
    bool showBubble_ = true;
};

} // namespace corvex
