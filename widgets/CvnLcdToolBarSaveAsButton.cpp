// The SaveAs icon, in pixels from the button's edges.
#include "widgets/CvnLcdToolBarSaveAsButton.h"

namespace corvex {

void CvnLcdToolBarSaveAsButton::paintButton(juce::Graphics& g, bool isMouseOver, bool isButtonDown) {
    CvnLcdToolBarButton::paintButton(g, isMouseOver, isButtonDown);
    const int w = getWidth();
    const int h = getHeight();
    juce::Path icon;
    addPolyline(icon, {{8, 9}, {8, h - 4}, {w - 5, h - 4}, {w - 5, 9}, {8, 9}});
    addPolyline(icon, {{11, h - 4}, {11, h - 9}, {w - 8, h - 9}, {w - 8, h - 4}});
    addPolyline(icon, {{8, h - 7}, {6, h - 7}, {6, 6}, {w - 7, 6}, {w - 7, 9}});
    strokeIcon(g, icon, isButtonDown);
}

} // namespace corvex
