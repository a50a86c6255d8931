// The LCD tool bar's Delete button: a cross.
#pragma once

#include "widgets/CvnLcdToolBarButton.h"

namespace corvex {

class CvnLcdToolBarDeleteButton : public CvnLcdToolBarButton {
public:
    CvnLcdToolBarDeleteButton(const juce::String& name, MVGuiInterface* gui) : CvnLcdToolBarButton(name, gui) {}

protected:
    void paintButton(juce::Graphics& g, bool isMouseOver, bool isButtonDown) override;
};

} // namespace corvex
