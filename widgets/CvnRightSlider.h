// The right section's slider, with a light groove on its thumb.
#pragma once

#include "CorvexArtwork.h"
#include "widgets/CvnSlider.h"

namespace corvex {

class CvnRightSlider : public CvnSlider {
public:
    CvnRightSlider(MVGuiInterface* gui, int index)
        : CvnSlider(gui, index, CorvexArtwork::thumb_right_png, CorvexArtwork::thumb_right_pngSize) {}
};

} // namespace corvex
