// The pitch wheel: always bound to the pitch-wheel parameter, and back at its centre once let go.
#pragma once

#include "CorvexArtwork.h"
#include "widgets/CvnSkinSizes.h"
#include "widgets/MVBKnob.h"

namespace corvex {

class CvnWheelKnob : public MVBKnob {
public:
    static constexpr int kPitchWheelIndex = 978;

    explicit CvnWheelKnob(MVGuiInterface* gui)
        : MVBKnob(gui, kPitchWheelIndex, CorvexArtwork::wheel_png, CorvexArtwork::wheel_pngSize) {
        setSpringBack(true);
        setSize(skin::kWheel.width, skin::kWheel.height);
    }
};

} // namespace corvex
