// The insert distortion's editor: the drive slot, its transfer curve and the choice of low or high quality.
#pragma once

#include "editor/effects/CorvanDistortionGraphComponent.h"
#include "editor/effects/CorvanEffectTemplatePanel.h"
#include "widgets/MVButtonGroup.h"

namespace corvex {

// Message thread only.
class CorvanDistortionPanel : public CorvanEffectTemplatePanel {
public:
    CorvanDistortionPanel(MVGuiInterface* gui, int chain);
    ~CorvanDistortionPanel() override;

    void resized() override;

private:
    std::unique_ptr<CorvanDistortionGraphComponent> graph_;
    std::unique_ptr<CvnLcdButton> lowQuality_;
    std::unique_ptr<CvnLcdButton> highQuality_;
    // Declared last so it goes first: it watches the buttons.
    std::unique_ptr<MVButtonGroup> quality_;
};

} // namespace corvex
