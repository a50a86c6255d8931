// An N-position switch bound to one discrete parameter: the slider's value is the position 0..N-1, and the
// parameter travels as the centre of its step; inverted, position 0 is the parameter's last step.
#pragma once

#include "widgets/MVParameterSlider.h"

namespace corvex {

class MVSwitch : public MVParameterSlider {
public:
    MVSwitch(MVGuiInterface* gui, int index, int positions, bool inverted);

    int getPositionCount() const { return positions_; }
    bool isInverted() const { return inverted_; }
    int getPosition() const;

    void mouseDown(const juce::MouseEvent& event) override;
    void mouseUp(const juce::MouseEvent& event) override;
    void mouseEnter(const juce::MouseEvent& event) override;
    void mouseExit(const juce::MouseEvent& event) override;
    void sliderValueChanged(juce::Slider* slider) override;
    void parameterChanged(int index, float value) override;
    // A switch shows no highlight.
    void highlightChanged(int, float) override {}

private:
    double positionOf(float value) const;

    const int positions_;
    const bool inverted_;
};

} // namespace corvex
