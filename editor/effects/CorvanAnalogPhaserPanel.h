// The stereo phaser's editor: two stages, each with its sweep generator (shape and rate) and its phaser (depth
// and feedback), mirrored about the middle, where the dual mode and the tempo sync sit.
#pragma once

#include "editor/effects/CorvanMultiEffectTemplatePanel.h"

namespace corvex {

// Message thread only.
class CorvanAnalogPhaserPanel : public CorvanMultiEffectTemplatePanel {
public:
    CorvanAnalogPhaserPanel(MVGuiInterface* gui, int effectNumber);

    void resized() override;

private:
    std::vector<std::unique_ptr<juce::Component>> widgets_;
};

} // namespace corvex
