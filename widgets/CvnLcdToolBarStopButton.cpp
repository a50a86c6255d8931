// The Stop icon, in pixels from the button's edges.
#include "widgets/CvnLcdToolBarStopButton.h"

namespace corvex {

void CvnLcdToolBarStopButton::paintButton(juce::Graphics& g, bool isMouseOver, bool isButtonDown) {
    CvnLcdToolBarButton::paintButton(g, isMouseOver, isButtonDown);
    const int w = getWidth();
    const int h = getHeight();
    g.setColour(iconColour(isButtonDown));
    g.drawRect(5, 5, w - 10, h - 10, 1);
}

} // namespace corvex
