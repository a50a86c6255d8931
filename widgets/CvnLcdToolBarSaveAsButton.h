// The LCD tool bar's SaveAs button: a disk in front of another.
#pragma once

#include "widgets/CvnLcdToolBarButton.h"

namespace corvex {

class CvnLcdToolBarSaveAsButton : public CvnLcdToolBarButton {
public:
    CvnLcdToolBarSaveAsButton(const juce::String& name, MVGuiInterface* gui) : CvnLcdToolBarButton(name, gui) {}

protected:
    void paintButton(juce::Graphics& g, bool isMouseOver, bool isButtonDown) override;
};

} // namespace corvex
