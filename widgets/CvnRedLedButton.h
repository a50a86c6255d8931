// The red LED button of the tuning tone, bound to its editor-only switch unless given another index.
#pragma once

#include "CorvexArtwork.h"
#include "instrument/params/ParameterIndex.h"
#include "widgets/CvnSkinSizes.h"
#include "widgets/MVSwitchButton.h"

namespace corvex {

class CvnRedLedButton : public MVSwitchButton {
public:
    explicit CvnRedLedButton(MVGuiInterface* gui, int index = ParameterIndex::kReferenceTone)
        : MVSwitchButton(gui, index, CorvexArtwork::led_red_off_png,
                         CorvexArtwork::led_red_off_pngSize, CorvexArtwork::led_red_off_down_png,
                         CorvexArtwork::led_red_off_down_pngSize, CorvexArtwork::led_red_on_png,
                         CorvexArtwork::led_red_on_pngSize, CorvexArtwork::led_red_on_down_png,
                         CorvexArtwork::led_red_on_down_pngSize) {
        setSize(skin::kLedButton.width, skin::kLedButton.height);
    }
};

} // namespace corvex
