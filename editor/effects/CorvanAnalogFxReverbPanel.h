// The stereo reverb's editor: four knobs in two rows and the picture of the room.
#pragma once

#include "editor/effects/CorvanFxReverbGraphComponent.h"
#include "editor/effects/CorvanMultiEffectTemplatePanel.h"

namespace corvex {

// Message thread only.
class CorvanAnalogFxReverbPanel : public CorvanMultiEffectTemplatePanel {
public:
    CorvanAnalogFxReverbPanel(MVGuiInterface* gui, int effectNumber);
    ~CorvanAnalogFxReverbPanel() override;

    void resized() override;

    CorvanFxReverbGraphComponent& getGraph() { return graph_; }

private:
    std::vector<std::unique_ptr<juce::Component>> widgets_;
    CorvanFxReverbGraphComponent graph_;
};

} // namespace corvex
