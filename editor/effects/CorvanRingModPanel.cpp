// The insert ring modulator's editor.
#include "editor/effects/CorvanRingModPanel.h"

namespace corvex {

namespace {
namespace fx = ParameterIndex::insertfx;
}

CorvanRingModPanel::CorvanRingModPanel(MVGuiInterface* gui, int chain)
    : CorvanEffectTemplatePanel(gui, chain, fx::kRingModBypass, fx::kRingModFirstSource) {
    addModulationSlot("Mod. Freq.");
    addModulationSlot("Mod. Amount");
}

CorvanRingModPanel::~CorvanRingModPanel() = default;

void CorvanRingModPanel::resized() {
    CorvanEffectTemplatePanel::resized();
    const int side = getSideWidth();
    const int gx = (getWidth() - 2 * side - 300) / 3;
    const int y = (getHeight() - 50) / 2;
    layoutModulationSlot(0, side + gx, y, 150, 50, true);
    layoutModulationSlot(1, side + 2 * gx + 150, y, 150, 50, false);
}

} // namespace corvex
