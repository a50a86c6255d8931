// The insert phaser's editor.
#include "editor/effects/CorvanPhaserPanel.h"

namespace corvex {

namespace {
namespace fx = ParameterIndex::insertfx;
constexpr int kFewestStages = 2;
constexpr int kMostStages = 6;
} // namespace

CorvanPhaserPanel::CorvanPhaserPanel(MVGuiInterface* gui, int chain)
    : CorvanEffectTemplatePanel(gui, chain, fx::kPhaserBypass, fx::kPhaserFirstSource) {
    for (const char* name : {"Sweep Start", "Feedback", "Sweep Amount", "Sweep Rate"}) addModulationSlot(name);
    shapeLabel_ = makeLabel("Lfo Shape Label", "Lfo Shape", 12.0f);
    addAndMakeVisible(shapeLabel_.get(), -1);
    // Listed smooth shapes first, while the steps keep the kernel's order (saw, square, sine, triangle).
    shapeCombo_ = std::make_unique<CvnLcdComboBox>("Lfo Shape Combo", gui, folded(fx::kPhaserLfoShape));
    shapeCombo_->addItem("Sine", 3);
    shapeCombo_->addItem("Square", 2);
    shapeCombo_->addItem("Saw", 1);
    shapeCombo_->addItem("Triangle", 4);
    shapeCombo_->setUp(4);
    addAndMakeVisible(shapeCombo_.get(), -1);
    stagesLabel_ = makeLabel("Stages Label", "Stages", 12.0f);
    addAndMakeVisible(stagesLabel_.get(), -1);
    stages_ = std::make_unique<CvnLcdNumericalSwitch>(gui, folded(fx::kPhaserStages), kFewestStages, kMostStages);
    addAndMakeVisible(stages_.get(), -1);
    sync_ = std::make_unique<CvnLcdButton>("Sync.", gui, folded(fx::kPhaserSync));
    sync_->setSmallFont(true);
    addAndMakeVisible(sync_.get(), -1);
}

CorvanPhaserPanel::~CorvanPhaserPanel() = default;

// A panel 126 high or less leaves no room between the rows: they overlap rather than shrink.
void CorvanPhaserPanel::resized() {
    CorvanEffectTemplatePanel::resized();
    const int side = getSideWidth();
    const int gx = (getWidth() - 2 * side - 300) / 3;
    const int gy = (getHeight() - 126) / 9;
    const int x1 = side + gx;
    const int x2 = side + 2 * gx + 150;
    layoutModulationSlot(3, x1, 2 * gy, 150, 50, true);
    layoutModulationSlot(1, x2, 2 * gy, 150, 50, false);
    layoutModulationSlot(0, x1, 4 * gy + 50, 150, 50, true);
    layoutModulationSlot(2, x2, 4 * gy + 50, 150, 50, false);
    shapeLabel_->setBounds(x1 + 30, 6 * gy + 100, 60, 13);
    shapeCombo_->setBounds(x1 + 90, 6 * gy + 100, 60, 13);
    stagesLabel_->setBounds(x1 + 30, 7 * gy + 113, 60, 13);
    stages_->setBounds(x1 + 90, 7 * gy + 113, 40, 13);
    sync_->setBounds(x2, 6 * gy + 100, 60, 13);
}

} // namespace corvex
