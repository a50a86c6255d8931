// The pitch wheel: bound to the pitch-wheel parameter unless given another, and back at its centre once let go.
#pragma once

#include "CorvexArtwork.h"
#include "instrument/params/ParameterIndex.h"
#include "widgets/CvnSkinSizes.h"
#include "widgets/MVBKnob.h"

namespace corvex {

class CvnWheelKnob : public MVBKnob {
public:
    explicit CvnWheelKnob(MVGuiInterface* gui, int index = ParameterIndex::kPitchWheel)
        : MVBKnob(gui, index, CorvexArtwork::wheel_png, CorvexArtwork::wheel_pngSize) {
        setSpringBack(true);
        setSize(skin::kWheel.width, skin::kWheel.height);
    }
};

} // namespace corvex
