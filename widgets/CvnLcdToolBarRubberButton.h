// The LCD tool bar's rubber button: the rubber picture as an alpha mask in the icon colour.
#pragma once

#include "widgets/CvnLcdToolBarButton.h"

namespace corvex {

class CvnLcdToolBarRubberButton : public CvnLcdToolBarButton {
public:
    CvnLcdToolBarRubberButton(const juce::String& name, MVGuiInterface* gui);

protected:
    void paintButton(juce::Graphics& g, bool isMouseOver, bool isButtonDown) override;

private:
    const juce::Image iconImage_;
};

} // namespace corvex
