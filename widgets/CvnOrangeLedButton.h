// An orange LED button bound to the index its creator gives (-1 for none).
#pragma once

#include "CorvexArtwork.h"
#include "widgets/CvnSkinSizes.h"
#include "widgets/MVSwitchButton.h"

namespace corvex {

class CvnOrangeLedButton : public MVSwitchButton {
public:
    CvnOrangeLedButton(MVGuiInterface* gui, int index)
        : MVSwitchButton(gui, index, CorvexArtwork::led_orange_off_png, CorvexArtwork::led_orange_off_pngSize,
                         CorvexArtwork::led_orange_off_down_png, CorvexArtwork::led_orange_off_down_pngSize,
                         CorvexArtwork::led_orange_on_png, CorvexArtwork::led_orange_on_pngSize,
                         CorvexArtwork::led_orange_on_down_png, CorvexArtwork::led_orange_on_down_pngSize) {
        setSize(skin::kLedButton.width, skin::kLedButton.height);
    }
};

} // namespace corvex
