// A green LED button bound to the index its creator gives (-1 for none).
#pragma once

#include "CorvexArtwork.h"
#include "widgets/CvnSkinSizes.h"
#include "widgets/MVSwitchButton.h"

namespace corvex {

class CvnGreen2LedButton : public MVSwitchButton {
public:
    CvnGreen2LedButton(MVGuiInterface* gui, int index)
        : MVSwitchButton(gui, index, CorvexArtwork::led_green_off_png, CorvexArtwork::led_green_off_pngSize,
                         CorvexArtwork::led_green_off_down_png, CorvexArtwork::led_green_off_down_pngSize,
                         CorvexArtwork::led_green_on_png, CorvexArtwork::led_green_on_pngSize,
                         CorvexArtwork::led_green_on_down_png, CorvexArtwork::led_green_on_down_pngSize) {
        setSize(skin::kLedButton.width, skin::kLedButton.height);
    }
};

} // namespace corvex
