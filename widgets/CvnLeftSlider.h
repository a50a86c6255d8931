// The left section's slider, with an orange groove on its thumb.
#pragma once

#include "CorvexArtwork.h"
#include "widgets/CvnSlider.h"

namespace corvex {

class CvnLeftSlider : public CvnSlider {
public:
    CvnLeftSlider(MVGuiInterface* gui, int index)
        : CvnSlider(gui, index, CorvexArtwork::thumb_left_png, CorvexArtwork::thumb_left_pngSize) {}
};

} // namespace corvex
