// A yellow LED button, unbound unless given an index: its creator listens to it or groups it.
#pragma once

#include "CorvexArtwork.h"
#include "widgets/CvnSkinSizes.h"
#include "widgets/MVSwitchButton.h"

namespace corvex {

class CvnYellowLedButton : public MVSwitchButton {
public:
    explicit CvnYellowLedButton(MVGuiInterface* gui, int index = -1)
        : MVSwitchButton(gui, index, CorvexArtwork::led_yellow_off_png, CorvexArtwork::led_yellow_off_pngSize,
                         CorvexArtwork::led_yellow_off_down_png, CorvexArtwork::led_yellow_off_down_pngSize,
                         CorvexArtwork::led_yellow_on_png, CorvexArtwork::led_yellow_on_pngSize,
                         CorvexArtwork::led_yellow_on_down_png, CorvexArtwork::led_yellow_on_down_pngSize) {
        setSize(skin::kLedButton.width, skin::kLedButton.height);
    }
};

} // namespace corvex
