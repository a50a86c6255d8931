// The LFO's wave-shape knob: a four-position knob in the left style, bound to the upper LFO's wave unless
// given another index.
#pragma once

#include "CorvexArtwork.h"
#include "instrument/params/ParameterIndex.h"
#include "widgets/Cvn4PosKnob.h"
#include "widgets/CvnSkinSizes.h"

namespace corvex {

class CvnLeft4PosKnob : public Cvn4PosKnob {
public:
    explicit CvnLeft4PosKnob(MVGuiInterface* gui, int index = ParameterIndex::kLfoWave)
        : Cvn4PosKnob(gui, index, CorvexArtwork::knob_left_png, CorvexArtwork::knob_left_pngSize) {
        setSize(skin::kKnob.width, skin::kKnob.height);
    }
};

} // namespace corvex
