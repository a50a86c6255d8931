// The rubber button.
#include "widgets/CvnLcdToolBarRubberButton.h"

#include "widgets/CvnRubberIcon.h"

namespace corvex {

CvnLcdToolBarRubberButton::CvnLcdToolBarRubberButton(const juce::String& name, MVGuiInterface* gui)
    : CvnLcdToolBarButton(name, gui), iconImage_(CvnRubberIcon::get()) {}

void CvnLcdToolBarRubberButton::paintButton(juce::Graphics& g, bool isMouseOver, bool isButtonDown) {
    CvnLcdToolBarButton::paintButton(g, isMouseOver, isButtonDown);
    drawIconImage(g, iconImage_, isButtonDown);
}

} // namespace corvex
