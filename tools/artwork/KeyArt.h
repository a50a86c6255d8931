// The keyboard's key strips: one frame per combination of the key and the neighbours that change its look.
#pragma once

#include <juce_graphics/juce_graphics.h>

#include "widgets/CvnSkinSizes.h"

namespace corvex::art {

// A white key with a black key below it (8 frames): bit 2 the key is down, bit 1 the white key two semitones
// below is down, bit 0 the black key between is down.
// A white key with a white key below it (3 frames): 0 up, 1 down, 2 down together with the key below.
// A black key (2 frames): 0 up, 1 down.
void paintKey(juce::Graphics& g, const skin::KeyStrip& strip, int frame);

} // namespace corvex::art
