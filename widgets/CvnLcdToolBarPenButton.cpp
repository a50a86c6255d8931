// The pen button.
#include "widgets/CvnLcdToolBarPenButton.h"

#include "widgets/CvnPenIcon.h"

namespace corvex {

CvnLcdToolBarPenButton::CvnLcdToolBarPenButton(const juce::String& name, MVGuiInterface* gui)
    : CvnLcdToolBarButton(name, gui), iconImage_(CvnPenIcon::get()) {}

void CvnLcdToolBarPenButton::paintButton(juce::Graphics& g, bool isMouseOver, bool isButtonDown) {
    CvnLcdToolBarButton::paintButton(g, isMouseOver, isButtonDown);
    drawIconImage(g, iconImage_, isButtonDown);
}

} // namespace corvex
