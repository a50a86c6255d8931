// The insert ring modulator's editor: the modulator's frequency and amount, side by side.
#pragma once

#include "editor/effects/CorvanEffectTemplatePanel.h"

namespace corvex {

// Message thread only.
class CorvanRingModPanel : public CorvanEffectTemplatePanel {
public:
    CorvanRingModPanel(MVGuiInterface* gui, int chain);
    ~CorvanRingModPanel() override;

    void resized() override;
};

} // namespace corvex
