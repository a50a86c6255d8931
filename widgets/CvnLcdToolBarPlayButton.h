// The LCD tool bar's Play button: a triangle pointing right.
#pragma once

#include "widgets/CvnLcdToolBarMidifiableButton.h"

namespace corvex {

class CvnLcdToolBarPlayButton : public CvnLcdToolBarMidifiableButton {
public:
    CvnLcdToolBarPlayButton(const juce::String& name, MVGuiInterface* gui) : CvnLcdToolBarMidifiableButton(name, gui) {}

protected:
    void paintButton(juce::Graphics& g, bool isMouseOver, bool isButtonDown) override;
};

} // namespace corvex
