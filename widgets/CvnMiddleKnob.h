// A black knob under an aluminium cap, the panel's middle-section style.
#pragma once

#include "CorvexArtwork.h"
#include "widgets/CvnSkinSizes.h"
#include "widgets/MVBKnob.h"

namespace corvex {

class CvnMiddleKnob : public MVBKnob {
public:
    CvnMiddleKnob(MVGuiInterface* gui, int index)
        : MVBKnob(gui, index, CorvexArtwork::knob_middle_png, CorvexArtwork::knob_middle_pngSize) {
        setSize(skin::kKnob.width, skin::kKnob.height);
    }
};

} // namespace corvex
