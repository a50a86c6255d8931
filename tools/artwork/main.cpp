// corvex-artwork <folder>: draws every picture of the front panel and the keyboard into the folder as PNGs.
// Its output is committed in resources/artwork; run it again after changing a painter, then rebuild.
#include <iostream>

#include "tools/artwork/ArtworkCatalogue.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: corvex-artwork <output folder>\n";
        return 2;
    }
    const juce::File folder = juce::File::getCurrentWorkingDirectory().getChildFile(argv[1]);
    if (!corvex::art::writeArtwork(folder)) {
        std::cerr << "corvex-artwork: could not write the pictures into " << folder.getFullPathName() << "\n";
        return 1;
    }
    std::cout << corvex::art::artworkCatalogue().size() << " pictures written to " << folder.getFullPathName()
              << "\n";
    return 0;
}
