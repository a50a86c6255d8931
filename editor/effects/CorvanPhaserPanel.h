// The insert phaser's editor: sweep start, feedback, sweep amount and rate slots, the LFO shape, the number of
// stages and tempo sync.
#pragma once

#include "editor/effects/CorvanEffectTemplatePanel.h"
#include "widgets/CvnLcdNumericalSwitch.h"

namespace corvex {

// Message thread only.
class CorvanPhaserPanel : public CorvanEffectTemplatePanel {
public:
    CorvanPhaserPanel(MVGuiInterface* gui, int chain);
    ~CorvanPhaserPanel() override;

    void resized() override;

private:
    std::unique_ptr<juce::Label> shapeLabel_;
    std::unique_ptr<CvnLcdComboBox> shapeCombo_;
    std::unique_ptr<juce::Label> stagesLabel_;
    std::unique_ptr<CvnLcdNumericalSwitch> stages_;
    std::unique_ptr<CvnLcdButton> sync_;
};

} // namespace corvex
