// Every picture of the front panel and the keyboard: its file name, its size, its frames and how one frame is
// painted. The generator writes them all; the embedded bank is its committed output.
#pragma once

#include <functional>
#include <vector>

#include <juce_graphics/juce_graphics.h>

namespace corvex::art {

struct Picture {
    juce::String file;  // the PNG's name in resources/artwork
    int width;
    int frameHeight;
    int frames;         // stacked top to bottom
    std::function<void(juce::Graphics&, int frame)> paint;

    int height() const { return frameHeight * frames; }
};

const std::vector<Picture>& artworkCatalogue();

// Each frame is painted clipped to its own cell, with the origin at the cell's top left.
juce::Image renderPicture(const Picture& picture);

// Writes every picture as a PNG into the folder, creating it; false when a file could not be written.
bool writeArtwork(const juce::File& folder);

} // namespace corvex::art
