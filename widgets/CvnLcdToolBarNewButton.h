// The LCD tool bar's New button: a page with a folded corner.
#pragma once

#include "widgets/CvnLcdToolBarButton.h"

namespace corvex {

class CvnLcdToolBarNewButton : public CvnLcdToolBarButton {
public:
    CvnLcdToolBarNewButton(const juce::String& name, MVGuiInterface* gui) : CvnLcdToolBarButton(name, gui) {}

protected:
    void paintButton(juce::Graphics& g, bool isMouseOver, bool isButtonDown) override;
};

} // namespace corvex
