// An integer between two bounds on the LCD screen, changed by dragging up or down.
#pragma once

#include "widgets/MVKnob.h"

namespace corvex {

class CvnLcdNumericalSwitch : public MVKnob {
public:
    CvnLcdNumericalSwitch(MVGuiInterface* gui, int index, int minValue, int maxValue)
        : MVKnob(gui, index), minValue_(minValue), maxValue_(maxValue) {}

    // The number the value shows: minValue + clamp(trunc(value x N), 0, N - 1).
    int shownNumber() const;

    void paint(juce::Graphics& g) override;
    void mouseDown(const juce::MouseEvent& event) override;
    void mouseUp(const juce::MouseEvent& event) override;

private:
    const int minValue_;
    const int maxValue_;
};

} // namespace corvex
