// A four-position knob in the middle style.
#pragma once

#include "CorvexArtwork.h"
#include "widgets/Cvn4PosKnob.h"
#include "widgets/CvnSkinSizes.h"

namespace corvex {

class CvnMiddle4PosKnob : public Cvn4PosKnob {
public:
    CvnMiddle4PosKnob(MVGuiInterface* gui, int index)
        : Cvn4PosKnob(gui, index, CorvexArtwork::knob_middle_png, CorvexArtwork::knob_middle_pngSize) {
        setSize(skin::kKnob.width, skin::kKnob.height);
    }
};

} // namespace corvex
