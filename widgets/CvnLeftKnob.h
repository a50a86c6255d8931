// A ribbed black knob with an orange pointer, the panel's left-section style.
#pragma once

#include "CorvexArtwork.h"
#include "widgets/CvnSkinSizes.h"
#include "widgets/MVBKnob.h"

namespace corvex {

class CvnLeftKnob : public MVBKnob {
public:
    CvnLeftKnob(MVGuiInterface* gui, int index)
        : MVBKnob(gui, index, CorvexArtwork::knob_left_png, CorvexArtwork::knob_left_pngSize) {
        setSize(skin::kKnob.width, skin::kKnob.height);
    }
};

} // namespace corvex
