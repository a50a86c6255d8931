// The middle section's slider, with a dark groove on its thumb.
#pragma once

#include "CorvexArtwork.h"
#include "widgets/CvnSlider.h"

namespace corvex {

class CvnMiddleSlider : public CvnSlider {
public:
    CvnMiddleSlider(MVGuiInterface* gui, int index)
        : CvnSlider(gui, index, CorvexArtwork::thumb_middle_png, CorvexArtwork::thumb_middle_pngSize) {}
};

} // namespace corvex
