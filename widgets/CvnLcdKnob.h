// The LCD screen's knob: a grey circle with eleven tick marks and a pointer, drawn in vector graphics.
#pragma once

#include "widgets/MVKnob.h"

namespace corvex {

class CvnLcdKnob : public MVKnob {
public:
    // Narrower knobs leave the tick marks out: below this they would merge into the circle.
    static constexpr int kMinWidthForTicks = 30;

    CvnLcdKnob(MVGuiInterface* gui, int index) : MVKnob(gui, index) {}

    void paint(juce::Graphics& g) override;
};

} // namespace corvex
