// The Save icon, in pixels from the button's edges.
#include "widgets/CvnLcdToolBarSaveButton.h"

namespace corvex {

void CvnLcdToolBarSaveButton::paintButton(juce::Graphics& g, bool isMouseOver, bool isButtonDown) {
    CvnLcdToolBarButton::paintButton(g, isMouseOver, isButtonDown);
    const int w = getWidth();
    const int h = getHeight();
    juce::Path icon;
    addPolyline(icon, {{6, 6}, {6, h - 5}, {w - 5, h - 5}, {w - 5, 6}, {6, 6}});
    addPolyline(icon, {{9, h - 5}, {9, h - 10}, {w - 8, h - 10}, {w - 8, h - 5}});
    strokeIcon(g, icon, isButtonDown);
}

} // namespace corvex
