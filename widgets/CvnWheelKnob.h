// The pitch wheel: always bound to the pitch-wheel parameter, and back at its centre once let go.
#pragma once

#include "CorvexArtwork.h"
#include "instrument/params/ParameterIndex.h"
#include "widgets/CvnSkinSizes.h"
#include "widgets/MVBKnob.h"

namespace corvex {

class CvnWheelKnob : public MVBKnob {
public:

    explicit CvnWheelKnob(MVGuiInterface* gui)
        : MVBKnob(gui, ParameterIndex::kPitchWheel, CorvexArtwork::wheel_png, CorvexArtwork::wheel_pngSize) {
        setSpringBack(true);
        setSize(skin::kWheel.width, skin::kWheel.height);
    }
};

} // namespace corvex
