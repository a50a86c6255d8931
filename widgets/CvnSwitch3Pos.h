// A three-position lever, its top position the parameter's last step.
#pragma once

#include "CorvexArtwork.h"
#include "widgets/CvnSkinSizes.h"
#include "widgets/MVBSwitch.h"

namespace corvex {

class CvnSwitch3Pos : public MVBSwitch {
public:
    CvnSwitch3Pos(MVGuiInterface* gui, int index)
        : MVBSwitch(gui, index, 3, false, CorvexArtwork::switch3_png, CorvexArtwork::switch3_pngSize) {
        setSize(skin::kSwitch3.width, skin::kSwitch3.height);
    }
};

} // namespace corvex
