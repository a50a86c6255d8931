// The insert chorus/flanger's editor: delay, feedback, rate and amount slots, the stereo spread, the type and
// tempo sync.
#pragma once

#include "editor/effects/CorvanEffectTemplatePanel.h"
#include "widgets/CvnLcdNumericalSwitch.h"

namespace corvex {

// Message thread only.
class CorvanChorusFlangerPanel : public CorvanEffectTemplatePanel {
public:
    CorvanChorusFlangerPanel(MVGuiInterface* gui, int chain);
    ~CorvanChorusFlangerPanel() override;

    void resized() override;

private:
    std::unique_ptr<juce::Label> typeLabel_;
    std::unique_ptr<CvnLcdNumericalSwitch> type_;
    std::unique_ptr<juce::Label> spreadLabel_;
    std::unique_ptr<CvnLcdKnob> spread_;
    std::unique_ptr<CvnLcdButton> sync_;
};

} // namespace corvex
