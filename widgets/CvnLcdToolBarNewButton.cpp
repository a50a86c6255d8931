// The New icon, in pixels from the button's edges.
#include "widgets/CvnLcdToolBarNewButton.h"

namespace corvex {

void CvnLcdToolBarNewButton::paintButton(juce::Graphics& g, bool isMouseOver, bool isButtonDown) {
    CvnLcdToolBarButton::paintButton(g, isMouseOver, isButtonDown);
    const int w = getWidth();
    const int h = getHeight();
    juce::Path icon;
    addPolyline(icon, {{6, 5}, {6, h - 5}, {w - 10, h - 5}, {w - 10, h - 9}, {w - 6, h - 9}, {w - 6, 5}, {6, 5}});
    addPolyline(icon, {{w - 10, h - 5}, {w - 6, h - 9}});
    strokeIcon(g, icon, isButtonDown);
}

} // namespace corvex
