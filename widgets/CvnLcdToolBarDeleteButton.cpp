// The Delete icon, in pixels from the button's edges.
#include "widgets/CvnLcdToolBarDeleteButton.h"

namespace corvex {

void CvnLcdToolBarDeleteButton::paintButton(juce::Graphics& g, bool isMouseOver, bool isButtonDown) {
    CvnLcdToolBarButton::paintButton(g, isMouseOver, isButtonDown);
    const int w = getWidth();
    const int h = getHeight();
    juce::Path icon;
    addPolyline(icon, {{7, 7}, {w - 7, h - 7}});
    addPolyline(icon, {{7, h - 7}, {w - 7, 7}});
    strokeIcon(g, icon, isButtonDown, 1.5f);
}

} // namespace corvex
