// The preset browser's pictures: the bar with its keys (history, snapshot memories, views, tools) and the ground
// of the morpher's square.
#pragma once

#include <juce_graphics/juce_graphics.h>

namespace corvex::art {

constexpr int kBrowserBarWidth = 640;
constexpr int kBrowserBarHeight = 30;
constexpr int kBarKeyWidth = 38;
constexpr int kBarKeyHeight = 23;
constexpr int kBarToolsKeySize = 24;
constexpr int kMorpherGroundSize = 512;

enum class BarGlyph { kPrevious, kNext, kShowMap, kShowList, kShowMorpher };

// A dark key with its glyph; pressed, it sinks and its glyph lights up.
void paintBarKey(juce::Graphics& g, BarGlyph glyph, bool pressed);

enum class SnapshotKey { kStore, kRecall, kPressed };

// A memory's key showing its number (1 to 4): hollow while the memory is empty (store), lit once it holds a
// preset (recall), sunk while pressed.
void paintSnapshotKey(juce::Graphics& g, int memory, SnapshotKey kind);

void paintBarToolsKey(juce::Graphics& g);

// The strip behind the keys, with a dark well where the preset's name shows.
void paintBrowserBar(juce::Graphics& g);

// The morph square: rings round the centre and a spoke to each of the four snapshot places.
void paintMorpherGround(juce::Graphics& g);

} // namespace corvex::art
