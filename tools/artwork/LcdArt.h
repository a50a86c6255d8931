// The LCD holder's bezel and glass, and the about panel's picture with its two toggles. The about picture and
// the toggles are alpha masks: the panel tints them, so only their coverage counts.
#pragma once

#include <juce_graphics/juce_graphics.h>

namespace corvex::art {

void paintLcdFrame(juce::Graphics& g);
// Clear everywhere but over the screen, which it only shades at the edges and crosses with a faint sheen.
void paintLcdGlass(juce::Graphics& g);
void paintAboutPicture(juce::Graphics& g);
void paintAboutToggle(juce::Graphics& g, bool on);

} // namespace corvex::art
