// One line of the small LCD.
#include "editor/CvnSmallLcdButton.h"

#include "widgets/CorvanLookAndFeel.h"

namespace corvex {

CvnSmallLcdButton::CvnSmallLcdButton(const juce::String& text) : juce::Button(text) {
    setClickingTogglesState(true);
}

void CvnSmallLcdButton::paintButton(juce::Graphics& g, bool isMouseOver, bool) {
    g.setColour(juce::Colour(255, 0, 0).withAlpha(alphaFor(isMouseOver, getToggleState())));
    g.setFont(juce::Font(CorvanLookAndFeel::kTypefaceName, static_cast<float>(CorvanLookAndFeel::kFontHeight),
                         juce::Font::plain));
    g.drawFittedText(getName(), getLocalBounds(), juce::Justification::centred, 1, 1.0f);
}

} // namespace corvex
