// The random button.
#include "widgets/CvnLcdToolBarRandomButton.h"

#include "widgets/CvnRandomIcon.h"

namespace corvex {

CvnLcdToolBarRandomButton::CvnLcdToolBarRandomButton(const juce::String& name, MVGuiInterface* gui)
    : CvnLcdToolBarButton(name, gui), iconImage_(CvnRandomIcon::get()) {}

void CvnLcdToolBarRandomButton::paintButton(juce::Graphics& g, bool isMouseOver, bool isButtonDown) {
    CvnLcdToolBarButton::paintButton(g, isMouseOver, isButtonDown);
    drawIconImage(g, iconImage_, isButtonDown);
}

} // namespace corvex
