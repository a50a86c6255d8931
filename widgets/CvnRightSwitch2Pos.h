// The wider two-position lever, its top position the parameter's first step.
#pragma once

#include "CorvexArtwork.h"
#include "widgets/CvnSkinSizes.h"
#include "widgets/MVBSwitch.h"

namespace corvex {

class CvnRightSwitch2Pos : public MVBSwitch {
public:
    CvnRightSwitch2Pos(MVGuiInterface* gui, int index)
        : MVBSwitch(gui, index, 2, true, CorvexArtwork::switch2_right_png, CorvexArtwork::switch2_right_pngSize) {
        setSize(skin::kRightSwitch2.width, skin::kRightSwitch2.height);
    }
};

} // namespace corvex
