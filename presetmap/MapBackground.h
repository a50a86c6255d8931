// "mapBackground.png": coloured glows around the patches' places, drawn behind the map's points.
#pragma once

#include <juce_graphics/juce_graphics.h>

#include "presetmap/PresetMapRecord.h"

namespace corvex {

class ISoundmapSupportBase;

constexpr int kMapBackgroundSize = 1024;

// 1024 x 1024 RGB. Each record adds a glow of its type's colour, 40 at its place and fading to nothing about
// 267 pixels away, to a dark green ground; the sum is then stretched so that every channel lies in 40..255.
juce::Image renderMapBackground(const PresetMapRecords& records);

// The rendered background as PNG bytes; empty when it could not be encoded.
juce::MemoryBlock mapBackgroundPng(const PresetMapRecords& records);

// Writes PNG bytes at the support's path, replacing the file whole; false, with the old file kept, on failure.
bool writeMapBackground(ISoundmapSupportBase& support, const juce::MemoryBlock& png);

// Renders and writes the PNG at the support's path, replacing the file whole. False, with the old file left
// as it was, when the path is empty or the file could not be written.
bool saveMapBackground(ISoundmapSupportBase& support, const PresetMapRecords& records);

} // namespace corvex
