// The Line icon, in pixels from the button's edges.
#include "widgets/CvnLcdToolBarLineButton.h"

namespace corvex {

void CvnLcdToolBarLineButton::paintButton(juce::Graphics& g, bool isMouseOver, bool isButtonDown) {
    CvnLcdToolBarButton::paintButton(g, isMouseOver, isButtonDown);
    const int w = getWidth();
    const int h = getHeight();
    juce::Path icon;
    addPolyline(icon, {{6, h - 5}, {w - 6, 5}});
    strokeIcon(g, icon, isButtonDown);
}

} // namespace corvex
