// The LCD tool bar's Stop button: a square.
#pragma once

#include "widgets/CvnLcdToolBarMidifiableButton.h"

namespace corvex {

class CvnLcdToolBarStopButton : public CvnLcdToolBarMidifiableButton {
public:
    CvnLcdToolBarStopButton(const juce::String& name, MVGuiInterface* gui) : CvnLcdToolBarMidifiableButton(name, gui) {}

protected:
    void paintButton(juce::Graphics& g, bool isMouseOver, bool isButtonDown) override;
};

} // namespace corvex
