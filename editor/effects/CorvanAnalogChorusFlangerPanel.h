// The stereo chorus/flanger's editor: five knobs in a row and the tempo sync.
#pragma once

#include "editor/effects/CorvanMultiEffectTemplatePanel.h"

namespace corvex {

// Message thread only.
class CorvanAnalogChorusFlangerPanel : public CorvanMultiEffectTemplatePanel {
public:
    CorvanAnalogChorusFlangerPanel(MVGuiInterface* gui, int effectNumber);

    void resized() override;

private:
    std::vector<std::unique_ptr<juce::Component>> widgets_;
};

} // namespace corvex
