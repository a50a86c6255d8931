// The Play icon, in pixels from the button's edges.
#include "widgets/CvnLcdToolBarPlayButton.h"

namespace corvex {

void CvnLcdToolBarPlayButton::paintButton(juce::Graphics& g, bool isMouseOver, bool isButtonDown) {
    CvnLcdToolBarButton::paintButton(g, isMouseOver, isButtonDown);
    const int w = getWidth();
    const int h = getHeight();
    juce::Path icon;
    addPolyline(icon, {{5, 5}, {w - 4, (h + 1) / 2}, {5, h - 4}, {5, 5}});
    strokeIcon(g, icon, isButtonDown);
}

} // namespace corvex
