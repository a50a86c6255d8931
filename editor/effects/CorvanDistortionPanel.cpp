// The insert distortion's editor.
#include "editor/effects/CorvanDistortionPanel.h"

namespace corvex {

namespace {
namespace fx = ParameterIndex::insertfx;
}

CorvanDistortionPanel::CorvanDistortionPanel(MVGuiInterface* gui, int chain)
    : CorvanEffectTemplatePanel(gui, chain, fx::kDistortionBypass, fx::kDistortionFirstSource) {
    addModulationSlot("Drive");
    graph_ = std::make_unique<CorvanDistortionGraphComponent>(chain, gui);
    addAndMakeVisible(graph_.get(), -1);
    // The buttons report through their group, not on their own.
    lowQuality_ = std::make_unique<CvnLcdButton>("Low Quality", gui, -1);
    highQuality_ = std::make_unique<CvnLcdButton>("High Quality", gui, -1);
    addAndMakeVisible(lowQuality_.get(), -1);
    addAndMakeVisible(highQuality_.get(), -1);
    quality_ = std::make_unique<MVButtonGroup>(gui, folded(fx::kDistortionQuality),
                                               std::initializer_list<juce::Button*>{lowQuality_.get(),
                                                                                    highQuality_.get()});
}

CorvanDistortionPanel::~CorvanDistortionPanel() { quality_.reset(); }

void CorvanDistortionPanel::resized() {
    CorvanEffectTemplatePanel::resized();
    const int side = getSideWidth();
    const int gx = (getWidth() - 2 * side - 300) / 3;
    const int gy = (getHeight() - 89) / 8;
    const int x1 = side + gx;
    layoutModulationSlot(0, x1, 2 * gy, 150, 50, true);
    graph_->setBounds(side + 2 * gx + 150, (getHeight() - 150) / 2, 150, 150);
    lowQuality_->setBounds(x1, 4 * gy + 50, 80, 13);
    highQuality_->setBounds(x1, 5 * gy + 63, 80, 13);
}

} // namespace corvex
