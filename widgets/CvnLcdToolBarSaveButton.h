// The LCD tool bar's Save button: a disk with its label.
#pragma once

#include "widgets/CvnLcdToolBarButton.h"

namespace corvex {

class CvnLcdToolBarSaveButton : public CvnLcdToolBarButton {
public:
    CvnLcdToolBarSaveButton(const juce::String& name, MVGuiInterface* gui) : CvnLcdToolBarButton(name, gui) {}

protected:
    void paintButton(juce::Graphics& g, bool isMouseOver, bool isButtonDown) override;
};

} // namespace corvex
