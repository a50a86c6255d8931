// The stereo delay's editor: a time, feedback and cross-feedback knob per line, the damping, the tempo sync and
// the link, which makes the second line's knobs edit the first line's parameters.
#pragma once

#include <array>

#include "editor/effects/CorvanMultiEffectTemplatePanel.h"
#include "widgets/MVParameterBinding.h"
#include "widgets/MVParameterListener.h"

namespace corvex {

// Message thread only.
class CorvanAnalogDelayPanel : public CorvanMultiEffectTemplatePanel, public MVParameterListener {
public:
    CorvanAnalogDelayPanel(MVGuiInterface* gui, int effectNumber);
    ~CorvanAnalogDelayPanel() override;

    void resized() override;
    // Hears the link.
    void parameterChanged(int index, float value) override;
    void highlightChanged(int, float) override {}

    // The second line's time, feedback and cross-feedback knobs.
    const std::array<CvnLcdKnob*, 3>& getSecondLineKnobs() const { return secondLine_; }

private:
    void applyLink(float value);

    std::vector<std::unique_ptr<juce::Component>> widgets_;
    std::array<CvnLcdKnob*, 3> secondLine_{};
    MVParameterBinding linkBinding_;
};

} // namespace corvex
