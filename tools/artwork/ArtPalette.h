// The one palette and light of the front panel's artwork: every picture is lit from the upper left, casts its
// shadow down and to the right, and takes its metals, plastics and lamps from these colours.
#pragma once

#include <juce_graphics/juce_graphics.h>

namespace corvex::art {

namespace palette {
inline const juce::Colour kShadow{0xFF000000};
inline const juce::Colour kBodyDark{0xFF1C1D20};    // knob bodies, lever bases
inline const juce::Colour kBodyMid{0xFF34363B};
inline const juce::Colour kBodyLight{0xFF5A5D64};
inline const juce::Colour kMetalDark{0xFF7D8087};   // brushed aluminium caps and levers
inline const juce::Colour kMetalLight{0xFFE4E6EA};
inline const juce::Colour kAccent{0xFFC74E2A};      // pointers and the split marker's orange
inline const juce::Colour kPointerLight{0xFFF2F0EA};
inline const juce::Colour kIvoryLight{0xFFFBF8F1};  // white keys
inline const juce::Colour kIvoryDark{0xFFD9D3C6};
inline const juce::Colour kEbonyLight{0xFF4A4B50}; // black keys
inline const juce::Colour kEbonyDark{0xFF0E0E10};
} // namespace palette

// A soft shadow under a shape: a few widening, fading copies offset away from the light.
void dropShadow(juce::Graphics& g, const juce::Path& shape, float offset, float alpha);

// A disc shaded as a dome lit from the upper left, from `light` at the highlight to `dark` at the far rim.
void fillDome(juce::Graphics& g, juce::Point<float> centre, float radius, juce::Colour light, juce::Colour dark);

// A lamp: a glowing disc with a hot centre when lit, a dim coloured glass when not.
void paintLamp(juce::Graphics& g, juce::Rectangle<float> area, juce::Colour colour, bool lit);

} // namespace corvex::art
