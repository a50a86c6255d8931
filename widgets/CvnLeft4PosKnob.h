// The LFO's wave-shape knob: a four-position knob in the left style, always bound to the upper LFO's wave.
#pragma once

#include "CorvexArtwork.h"
#include "instrument/params/ParameterIndex.h"
#include "widgets/Cvn4PosKnob.h"
#include "widgets/CvnSkinSizes.h"

namespace corvex {

class CvnLeft4PosKnob : public Cvn4PosKnob {
public:

    explicit CvnLeft4PosKnob(MVGuiInterface* gui)
        : Cvn4PosKnob(gui, ParameterIndex::kLfoWave, CorvexArtwork::knob_left_png, CorvexArtwork::knob_left_pngSize) {
        setSize(skin::kKnob.width, skin::kKnob.height);
    }
};

} // namespace corvex
