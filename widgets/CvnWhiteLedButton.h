// A white LED button, unbound unless given an index: its creator listens to it or groups it.
#pragma once

#include "CorvexArtwork.h"
#include "widgets/CvnSkinSizes.h"
#include "widgets/MVSwitchButton.h"

namespace corvex {

class CvnWhiteLedButton : public MVSwitchButton {
public:
    explicit CvnWhiteLedButton(MVGuiInterface* gui, int index = -1)
        : MVSwitchButton(gui, index, CorvexArtwork::led_white_off_png, CorvexArtwork::led_white_off_pngSize,
                         CorvexArtwork::led_white_off_down_png, CorvexArtwork::led_white_off_down_pngSize,
                         CorvexArtwork::led_white_on_png, CorvexArtwork::led_white_on_pngSize,
                         CorvexArtwork::led_white_on_down_png, CorvexArtwork::led_white_on_down_pngSize) {
        setSize(skin::kLedButton.width, skin::kLedButton.height);
    }
};

} // namespace corvex
