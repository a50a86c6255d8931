// The insert chorus/flanger's editor.
#include "editor/effects/CorvanChorusFlangerPanel.h"

#include <cmath>

namespace corvex {

namespace {
namespace fx = ParameterIndex::insertfx;
constexpr int kFirstType = 1;
constexpr int kLastType = 4;
} // namespace

CorvanChorusFlangerPanel::CorvanChorusFlangerPanel(MVGuiInterface* gui, int chain)
    : CorvanEffectTemplatePanel(gui, chain, fx::kChorusBypass, fx::kChorusFirstSource) {
    for (const char* name : {"Delay", "Feedback", "Rate", "Amount"}) addModulationSlot(name);
    typeLabel_ = makeLabel("Type Label", "Type", 12.0f);
    addAndMakeVisible(typeLabel_.get(), -1);
    type_ = std::make_unique<CvnLcdNumericalSwitch>(gui, folded(fx::kChorusType), kFirstType, kLastType);
    addAndMakeVisible(type_.get(), -1);
    spreadLabel_ = makeLabel("Spread Label", "Spread", 10.0f);
    addAndMakeVisible(spreadLabel_.get(), -1);
    spread_ = std::make_unique<CvnLcdKnob>(gui, folded(fx::kChorusSpread));
    addAndMakeVisible(spread_.get(), -1);
    sync_ = std::make_unique<CvnLcdButton>("Sync.", gui, folded(fx::kChorusSync));
    addAndMakeVisible(sync_.get(), -1);
}

CorvanChorusFlangerPanel::~CorvanChorusFlangerPanel() = default;

void CorvanChorusFlangerPanel::resized() {
    CorvanEffectTemplatePanel::resized();
    const int w = getWidth();
    const int side = getSideWidth();
    const int gx = (w - 2 * side - 300) / 3;
    const int gy = static_cast<int>(std::trunc((getHeight() - 95 - 13) * 0.125));
    const int x1 = side + gx;
    const int x2 = side + 2 * gx + 150;
    layoutModulationSlot(2, x1, 2 * gy, 150, 50, true);
    layoutModulationSlot(1, x2, 2 * gy, 150, 50, false);
    // The lower row is narrower, leaving the middle to the spread knob.
    layoutModulationSlot(0, x1, 4 * gy + 50, 127, 45, true);
    layoutModulationSlot(3, x2 + 22, 4 * gy + 50, 127, 45, false);
    spread_->setBounds((w - 30) / 2, 4 * gy + 50, 30, 30);
    spreadLabel_->setBounds((w - 50) / 2, 4 * gy + 80, 50, 13);
    typeLabel_->setBounds(x1 + 50, 6 * gy + 95, 50, 13);
    type_->setBounds(x1 + 100, 6 * gy + 95, 50, 13);
    sync_->setBounds(x2, 6 * gy + 95, 50, 13);
}

} // namespace corvex
