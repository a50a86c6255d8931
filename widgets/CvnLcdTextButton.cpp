// Pressed or on swaps fill and outline; hovering thickens the outline.
#include "widgets/CvnLcdTextButton.h"

#include "widgets/CorvanLookAndFeel.h"

namespace corvex {

void CvnLcdTextButton::paintButton(juce::Graphics& g, bool isMouseOver, bool isButtonDown) {
    CorvanLookAndFeel& lf = *CorvanLookAndFeel::getInstance();
    const float fontHeight = smallFont_ ? kSmallFontHeight : static_cast<float>(lf.getDefaultFontHeight());
    juce::Colour fill = lf.darkColour;
    juce::Colour outline = lf.greyColour;
    if (!isEnabled()) {
        outline = lf.greyColour.withAlpha(0.5f);
    } else if (isButtonDown || getToggleState()) {
        fill = lf.greyColour;
        outline = lf.darkColour;
    }

    const float w = static_cast<float>(getWidth());
    const float h = static_cast<float>(getHeight());
    g.setColour(fill);
    g.fillRoundedRectangle(0.0f, 0.0f, w, h, 4.0f);
    g.setColour(outline);
    g.drawRoundedRectangle(1.0f, 1.0f, w - 2.0f, h - 2.0f, 4.0f, isMouseOver ? 3.0f : 1.0f);

    g.setColour(lf.lightColour);
    g.setFont(juce::Font(fontHeight));
    g.drawText(getButtonText(), getLocalBounds(), juce::Justification::centred, false);
}

} // namespace corvex
