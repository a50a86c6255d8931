#include "editor/effects/CorvanAnalogPhaserPanel.h"

#include <algorithm>
#include <array>
#include <iterator>

#include "instrument/params/ParameterIndex.h"
#include "widgets/PanelLayout.h"

namespace corvex {

namespace {

namespace P = ParameterIndex;
using R = EffectWidgetRow;

constexpr EffectWidgetRow kRows[] = {
    {R::Label, "Sweep\n Gen 1", "Sweep Gen Label 0", -1},
    {R::Label, "Shape", "Shape Label 0", -1},
    {R::ShapeBox, "", "", P::kMasterFxPhaserShape1},
    {R::Label, "Rate", "Rate Label 0", -1},
    {R::Knob, "", "", P::kMasterFxPhaserRate1},
    {R::Label, "Phaser 1", "Phaser Label 0", -1},
    {R::Label, "Depth", "Depth Label 0", -1},
    {R::Knob, "", "", P::kMasterFxPhaserDepth1},
    {R::Label, "Feedback", "Feedback Label 0", -1},
    {R::Knob, "", "", P::kMasterFxPhaserFeedback1},
    {R::Label, "Sweep\n Gen 2", "Sweep Gen Label 1", -1},
    {R::Label, "Shape", "Shape Label 1", -1},
    {R::ShapeBox, "", "", P::kMasterFxPhaserShape2},
    {R::Label, "Rate", "Rate Label 1", -1},
    {R::Knob, "", "", P::kMasterFxPhaserRate2},
    {R::Label, "Phaser 2", "Phaser Label 1", -1},
    {R::Label, "Depth", "Depth Label 1", -1},
    {R::Knob, "", "", P::kMasterFxPhaserDepth2},
    {R::Label, "Feedback", "Feedback Label 1", -1},
    {R::Knob, "", "", P::kMasterFxPhaserFeedback2},
    {R::Button, "Dual Mode", "", P::kMasterFxPhaserLink},
    {R::Button, "Sync.", "", P::kMasterFxPhaserSync},
};
constexpr size_t kRowsPerStage = 10;

// Each stage has an outer column (its sweep generator) and an inner one (its phaser), the second stage's
// mirroring the first's; three rows spread evenly over the height.
std::array<PanelRect, std::size(kRows)> layoutFor(int width, int height) {
    const int gx = (width - 490) / 6;
    const int a = (height - 145) / 4;
    const int b = (height - 138) / 3;
    const int outer[2] = {95, 6 * gx + 335};
    const int inner[2] = {gx + 155, 5 * gx + 275};
    std::array<PanelRect, std::size(kRows)> places{};
    for (size_t stage = 0; stage < 2; ++stage) {
        const int o = outer[stage], i = inner[stage];
        const PanelRect stagePlaces[kRowsPerStage] = {
            {o, a + 15, 60, 40},           {o, 2 * a + 68, 60, 15},  {o, 2 * a + 55, 60, 13},
            {o, 3 * a + 118, 60, 15},      {o + 12, 3 * a + 83, 35, 35}, {i, a + 15, 60, 15},
            {i, 2 * a + 65, 60, 15},       {i + 12, 2 * a + 30, 35, 35}, {i, 3 * a + 115, 60, 15},
            {i + 12, 3 * a + 80, 35, 35},
        };
        std::copy(std::begin(stagePlaces), std::end(stagePlaces), places.begin() + stage * kRowsPerStage);
    }
    const int syncY = (height - 138 - 3 * b) / 2 + b + 78;
    places[20] = {3 * gx + 215, syncY + b + 15, 60, 15};
    places[21] = {3 * gx + 215, syncY, 60, 15};
    return places;
}

} // namespace

CorvanAnalogPhaserPanel::CorvanAnalogPhaserPanel(MVGuiInterface* gui, int effectNumber)
    : CorvanMultiEffectTemplatePanel(gui, effectNumber, P::kMasterFxDryWet, P::kMasterFxPhaserBypass,
                                     P::kMasterFxOutput),
      widgets_(makeWidgets(kRows, std::size(kRows))) {}

void CorvanAnalogPhaserPanel::resized() {
    CorvanMultiEffectTemplatePanel::resized();
    placeChildren(layoutFor(getWidth(), getHeight()), widgets_);
}

} // namespace corvex
