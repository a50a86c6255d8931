// The LCD tool bar's random button: the random picture as an alpha mask in the icon colour.
#pragma once

#include "widgets/CvnLcdToolBarButton.h"

namespace corvex {

class CvnLcdToolBarRandomButton : public CvnLcdToolBarButton {
public:
    CvnLcdToolBarRandomButton(const juce::String& name, MVGuiInterface* gui);

protected:
    void paintButton(juce::Graphics& g, bool isMouseOver, bool isButtonDown) override;

private:
    const juce::Image iconImage_;
};

} // namespace corvex
