#include "editor/effects/CorvanAnalogChorusFlangerPanel.h"

#include <array>
#include <iterator>

#include "instrument/params/ParameterIndex.h"
#include "widgets/PanelLayout.h"

namespace corvex {

namespace {

namespace P = ParameterIndex;
using R = EffectWidgetRow;

constexpr EffectWidgetRow kRows[] = {
    {R::Label, "Width", "Width Label", -1},          {R::Knob, "", "", P::kMasterFxChorusDepth},
    {R::Label, "Rate", "Rate Label", -1},            {R::Knob, "", "", P::kMasterFxChorusRate},
    {R::Label, "Tune/Delay", "TuneDelay Label", -1}, {R::Knob, "", "", P::kMasterFxChorusDelayTime},
    {R::Label, "Feedback", "Feedback Label", -1},    {R::Knob, "", "", P::kMasterFxChorusFeedback},
    {R::Label, "Spread", "Spread Label", -1},        {R::Knob, "", "", P::kMasterFxChorusSpread},
    {R::Button, "Sync.", "", P::kMasterFxChorusSync},
};
constexpr int kColumns = 5;
constexpr int kColumnWidth = 70;

// Five columns spread evenly between the side columns, a knob over its label in each.
std::array<PanelRect, std::size(kRows)> layoutFor(int width) {
    const int gap = (width - 530) / 4;
    std::array<PanelRect, std::size(kRows)> places{};
    for (int k = 0; k < kColumns; ++k) {
        const int x = 95 + k * (kColumnWidth + gap);
        places[static_cast<size_t>(2 * k)] = {x, 105, kColumnWidth, 20};
        places[static_cast<size_t>(2 * k + 1)] = {x + 10, 50, 50, 50};
    }
    places.back() = {95 + kColumnWidth + gap, 135, kColumnWidth, 14};
    return places;
}

} // namespace

CorvanAnalogChorusFlangerPanel::CorvanAnalogChorusFlangerPanel(MVGuiInterface* gui, int effectNumber)
    : CorvanMultiEffectTemplatePanel(gui, effectNumber, P::kMasterFxDryWet, P::kMasterFxChorusBypass,
                                     P::kMasterFxOutput),
      widgets_(makeWidgets(kRows, std::size(kRows))) {}

void CorvanAnalogChorusFlangerPanel::resized() {
    CorvanMultiEffectTemplatePanel::resized();
    placeChildren(layoutFor(getWidth()), widgets_);
}

} // namespace corvex
