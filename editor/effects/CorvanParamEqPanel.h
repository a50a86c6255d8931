// The insert equaliser's editor: the response graph above either the band controls or their modulations,
// chosen with "Controls" and "Mods".
#pragma once

#include "editor/effects/CorvanEffectTemplatePanel.h"
#include "editor/effects/CorvanEqualizerGraphComponent.h"
#include "editor/effects/CorvanParamEqSubPanel1.h"
#include "editor/effects/CorvanParamEqSubPanel2.h"
#include "widgets/CvnLcdTextButton.h"

namespace corvex {

// Message thread only.
class CorvanParamEqPanel : public CorvanEffectTemplatePanel, public juce::Button::Listener {
public:
    CorvanParamEqPanel(MVGuiInterface* gui, int chain);
    ~CorvanParamEqPanel() override;

    void resized() override;
    void buttonClicked(juce::Button* button) override;

    CorvanEqualizerGraphComponent& getGraph() { return *graph_; }
    juce::Component* getShownSubPanel() const { return shown_; }

private:
    juce::Component* shown_ = nullptr;
    std::unique_ptr<CorvanEqualizerGraphComponent> graph_;
    std::unique_ptr<CorvanParamEqSubPanel1> controls_;
    std::unique_ptr<CorvanParamEqSubPanel2> mods_;
    std::unique_ptr<CvnLcdTextButton> controlsButton_;
    std::unique_ptr<CvnLcdTextButton> modsButton_;
};

} // namespace corvex
