// The rotary pictures: three knob styles turning through 300 degrees over 64 frames, and the pitch wheel.
#pragma once

#include <juce_graphics/juce_graphics.h>

namespace corvex::art {

// The pointer's angle in radians, clockwise from twelve o'clock: -150 degrees at frame 0, +150 at the last.
float knobAngle(int frame, int frames);

// Each paints one frame into a cell of the picture's size at the origin.
void paintLeftKnob(juce::Graphics& g, int frame, int frames);
void paintMiddleKnob(juce::Graphics& g, int frame, int frames);
void paintFlatKnob(juce::Graphics& g, int frame, int frames);
void paintWheel(juce::Graphics& g, int frame, int frames);

} // namespace corvex::art
