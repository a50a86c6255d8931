#include "editor/effects/CorvanAnalogFxReverbPanel.h"

#include <array>
#include <iterator>

#include "instrument/params/ParameterIndex.h"
#include "widgets/PanelLayout.h"

namespace corvex {

namespace {

namespace P = ParameterIndex;
using R = EffectWidgetRow;

constexpr EffectWidgetRow kRows[] = {
    {R::Label, "Pre-Delay", "PreDelay Label", -1},   {R::Knob, "", "", P::kMasterFxReverbPreDelay},
    {R::Label, "Size", "Feedback Label", -1},        {R::Knob, "", "", P::kMasterFxReverbSize},
    {R::Label, "High Damping", "Time Label", -1},    {R::Knob, "", "", P::kMasterFxReverbHighDamping},
    {R::Label, "Low Damping", "Time Label", -1},     {R::Knob, "", "", P::kMasterFxReverbLowDamping},
};
constexpr int kGraphSize = 150;

// Two columns by two rows of knobs over their labels, spread evenly; the room picture in the right third.
std::array<PanelRect, std::size(kRows)> layoutFor(int width, int height) {
    const int gx = (width - 430) / 3;
    const int gy = (height - 108) / 3;
    const int knobA = gx + 90, knobB = 2 * gx + 150;
    const int row1 = gy, row2 = 2 * gy + 40;
    const auto knob = [](int x, int y) { return PanelRect{x, y, 40, 40}; };
    const auto label = [](int knobX, int knobY) { return PanelRect{knobX - 10, knobY + 40, 60, 14}; };
    return {label(knobA, row1), knob(knobA, row1), label(knobB, row1), knob(knobB, row1),
            label(knobB, row2), knob(knobB, row2), label(knobA, row2), knob(knobA, row2)};
}

} // namespace

CorvanAnalogFxReverbPanel::CorvanAnalogFxReverbPanel(MVGuiInterface* gui, int effectNumber)
    : CorvanMultiEffectTemplatePanel(gui, effectNumber, P::kMasterFxDryWet, P::kMasterFxReverbBypass,
                                     P::kMasterFxOutput),
      widgets_(makeWidgets(kRows, std::size(kRows))), graph_(getEffectNumber(), gui) {
    addAndMakeVisible(graph_);
}

CorvanAnalogFxReverbPanel::~CorvanAnalogFxReverbPanel() { removeChildComponent(&graph_); }

void CorvanAnalogFxReverbPanel::resized() {
    CorvanMultiEffectTemplatePanel::resized();
    placeChildren(layoutFor(getWidth(), getHeight()), widgets_);
    graph_.setBounds(getWidth() - 230, (getHeight() - kGraphSize) / 2, kGraphSize, kGraphSize);
}

} // namespace corvex
