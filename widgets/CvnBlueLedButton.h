// A blue LED button, unbound unless given an index: its creator listens to it or groups it.
#pragma once

#include "CorvexArtwork.h"
#include "widgets/CvnSkinSizes.h"
#include "widgets/MVSwitchButton.h"

namespace corvex {

class CvnBlueLedButton : public MVSwitchButton {
public:
    explicit CvnBlueLedButton(MVGuiInterface* gui, int index = -1)
        : MVSwitchButton(gui, index, CorvexArtwork::led_blue_off_png, CorvexArtwork::led_blue_off_pngSize,
                         CorvexArtwork::led_blue_off_down_png, CorvexArtwork::led_blue_off_down_pngSize,
                         CorvexArtwork::led_blue_on_png, CorvexArtwork::led_blue_on_pngSize,
                         CorvexArtwork::led_blue_on_down_png, CorvexArtwork::led_blue_on_down_pngSize) {
        setSize(skin::kLedButton.width, skin::kLedButton.height);
    }
};

} // namespace corvex
