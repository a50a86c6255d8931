// A two-picture switch of the about panel: its pictures are masks drawn in the LCD's grey, and it never toggles
// itself: whoever listens sets its state once the setting it shows is written.
#pragma once

#include <cstddef>

#include <juce_gui_basics/juce_gui_basics.h>

namespace corvex {

// Message thread only.
class CImageButton : public juce::DrawableButton {
public:
    CImageButton();

    // Takes both pictures and the size of the first.
    void setImages(const void* offPng, size_t offSize, const void* onPng, size_t onSize);
};

} // namespace corvex
