// The preset map's small pictures: the morph cursor and the instrument selector's "all" and "none" buttons.
#pragma once

#include <juce_graphics/juce_graphics.h>

namespace corvex::art {

constexpr int kMorphCursorSize = 16;
constexpr int kTypeButtonWidth = 38;
constexpr int kTypeButtonHeight = 23;

// Cross hairs in a ring, its centre on the hot spot (8, 8), readable over both dark and light ground.
void paintMorphCursor(juce::Graphics& g);
// A dark key with its word; pressed, it sinks and its word lights up.
void paintTypeButton(juce::Graphics& g, const juce::String& word, bool pressed);

} // namespace corvex::art
