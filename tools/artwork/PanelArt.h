// The front panel's picture: the panel face, the section frames, a slot under every slider, the unlit LFO lamps,
// the small LCD's window and the keyboard's recess, all placed from the panel's own table. Its texts are drawn
// by the panel at run time, so the picture holds no glyphs that would differ between machines.
#pragma once

#include <juce_graphics/juce_graphics.h>

namespace corvex::art {

void paintFrontPanel(juce::Graphics& g);

} // namespace corvex::art
