// The LCD tool bar's pen button: the pen picture as an alpha mask in the icon colour.
#pragma once

#include "widgets/CvnLcdToolBarButton.h"

namespace corvex {

class CvnLcdToolBarPenButton : public CvnLcdToolBarButton {
public:
    CvnLcdToolBarPenButton(const juce::String& name, MVGuiInterface* gui);

protected:
    void paintButton(juce::Graphics& g, bool isMouseOver, bool isButtonDown) override;

private:
    const juce::Image iconImage_;
};

} // namespace corvex
