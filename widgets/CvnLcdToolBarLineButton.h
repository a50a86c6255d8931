// The LCD tool bar's Line button: a rising line.
#pragma once

#include "widgets/CvnLcdToolBarButton.h"

namespace corvex {

class CvnLcdToolBarLineButton : public CvnLcdToolBarButton {
public:
    CvnLcdToolBarLineButton(const juce::String& name, MVGuiInterface* gui) : CvnLcdToolBarButton(name, gui) {}

protected:
    void paintButton(juce::Graphics& g, bool isMouseOver, bool isButtonDown) override;
};

} // namespace corvex
