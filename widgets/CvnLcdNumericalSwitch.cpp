// The numeric stepper's drawing and its drag cursor.
#include "widgets/CvnLcdNumericalSwitch.h"

#include <algorithm>
#include <cmath>

#include "widgets/CorvanLookAndFeel.h"

namespace corvex {

int CvnLcdNumericalSwitch::shownNumber() const {
    const int n = std::max(1, maxValue_ - minValue_ + 1);
    const double scaled = std::trunc(getValue() * n);
    const int step = scaled <= 0.0 ? 0 : static_cast<int>(std::min(scaled, static_cast<double>(n - 1)));
    return minValue_ + step;
}

void CvnLcdNumericalSwitch::paint(juce::Graphics& g) {
    CorvanLookAndFeel& lf = *CorvanLookAndFeel::getInstance();
    const bool enabled = isEnabled();
    const auto box = juce::Rectangle<int>(1, 1, getWidth() - 2, getHeight() - 2).toFloat();
    g.setColour(enabled ? lf.darkColour : lf.greyColour);
    g.fillRoundedRectangle(box, 3.0f);
    g.setColour(enabled ? lf.greyColour : lf.darkColour);
    g.drawRoundedRectangle(box, 3.0f, isMouseOverOrDragging() ? 3.0f : 1.0f);

    g.setColour(lf.lightColour);
    g.setFont(juce::Font(static_cast<float>(lf.getDefaultFontHeight())));
    g.drawText(juce::String(shownNumber()), getLocalBounds(), juce::Justification::centred, false);
}

void CvnLcdNumericalSwitch::mouseDown(const juce::MouseEvent& event) {
    setMouseCursor(juce::MouseCursor::UpDownResizeCursor);
    MVKnob::mouseDown(event);
}

void CvnLcdNumericalSwitch::mouseUp(const juce::MouseEvent& event) {
    setMouseCursor(juce::MouseCursor::NormalCursor);
    MVKnob::mouseUp(event);
}

} // namespace corvex
