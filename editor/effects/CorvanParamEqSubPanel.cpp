// The band-switch following of the equaliser editor's lower panels.
#include "editor/effects/CorvanParamEqSubPanel.h"

#include "editor/effects/EqualizerResponse.h"
#include "instrument/params/ParameterIndex.h"

namespace corvex {

namespace {
namespace fx = ParameterIndex::insertfx;
}

CorvanParamEqSubPanel::CorvanParamEqSubPanel(MVGuiInterface* gui, int chain) : gui_(gui), chain_(chain) {}

CorvanParamEqSubPanel::~CorvanParamEqSubPanel() { stopFollowingBandSwitches(); }

void CorvanParamEqSubPanel::stopFollowingBandSwitches() {
    for (auto& binding : switches_) binding.reset();
}

int CorvanParamEqSubPanel::folded(int index) const { return ParameterIndex::foldEffectIndex(chain_, index); }

void CorvanParamEqSubPanel::followBandSwitches() {
    for (int b = 0; b < 4; ++b) {
        const int index = folded(fx::kEqBandSwitch[b]);
        switches_[size_t(b)] = std::make_unique<MVParameterBinding>(gui_, this);
        switches_[size_t(b)]->bind(index);
        parameterChanged(index, gui_ != nullptr ? gui_->getParameter(index) : 0.0f);
    }
}

void CorvanParamEqSubPanel::parameterChanged(int index, float value) {
    const int band = fx::chainZeroIndex(index) - fx::kEqBandSwitch[0];
    if (band < 0 || band >= 4) return;
    setBandEnabled(band, eqgraph::switchIsOn(value));
}

} // namespace corvex
