// The small controls: slider thumbs, lever switches, LED buttons, the LFO push button, the close button and the
// LFO lamp.
#pragma once

#include <juce_graphics/juce_graphics.h>

#include "widgets/CvnSkinSizes.h"

namespace corvex::art {

// The cap is never wider than the slider, centred in the picture; a wider picture holds only shadow at its sides.
void paintThumb(juce::Graphics& g, skin::Size size, juce::Colour grip);
// Frame 0 shows the lever at its top position, the last frame at its bottom.
void paintLever(juce::Graphics& g, skin::Size cell, int frame, int frames);
void paintLedButton(juce::Graphics& g, juce::Colour lamp, bool on, bool pressed);
void paintLfoButton(juce::Graphics& g, bool on);
void paintCloseButton(juce::Graphics& g);
void paintLfoLed(juce::Graphics& g, bool lit);

} // namespace corvex::art
