// A knob with four detents: its value stays continuous, but it shows only the strip's four detent frames.
#pragma once

#include <cstddef>

#include "widgets/MVBKnob.h"

namespace corvex {

class Cvn4PosKnob : public MVBKnob {
public:
    // The detent frame for the value: trunc(value x 4), limited to the four positions.
    static int frameForValue(double value);

    int getShownFrame() const;
    void parameterChanged(int index, float value) override;
    // Shows the detent frame and no highlight: a four-way choice reads at a glance without one.
    void paint(juce::Graphics& g) override;

protected:
    Cvn4PosKnob(MVGuiInterface* gui, int index, const void* pngData, size_t pngSize);

private:
    juce::Image strip_;
    // The instrument's value as it came, before the slider rounded it to its 0.001 step: 0.2499 is still the
    // first position even though the slider holds 0.25.
    double echoed_ = -1.0;
};

} // namespace corvex
