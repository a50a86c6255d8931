// A two-position lever, its top position the parameter's first step.
#pragma once

#include "CorvexArtwork.h"
#include "widgets/CvnSkinSizes.h"
#include "widgets/MVBSwitch.h"

namespace corvex {

class CvnLeftSwitch2Pos : public MVBSwitch {
public:
    CvnLeftSwitch2Pos(MVGuiInterface* gui, int index)
        : MVBSwitch(gui, index, 2, true, CorvexArtwork::switch2_left_png, CorvexArtwork::switch2_left_pngSize) {
        setSize(skin::kLeftSwitch2.width, skin::kLeftSwitch2.height);
    }
};

} // namespace corvex
