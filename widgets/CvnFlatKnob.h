// The large, low knob with a knurled rim.
#pragma once

#include "CorvexArtwork.h"
#include "widgets/CvnSkinSizes.h"
#include "widgets/MVBKnob.h"

namespace corvex {

class CvnFlatKnob : public MVBKnob {
public:
    CvnFlatKnob(MVGuiInterface* gui, int index)
        : MVBKnob(gui, index, CorvexArtwork::knob_flat_png, CorvexArtwork::knob_flat_pngSize) {
        setSize(skin::kFlatKnob.width, skin::kFlatKnob.height);
    }
};

} // namespace corvex
