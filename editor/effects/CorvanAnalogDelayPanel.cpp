#include "editor/effects/CorvanAnalogDelayPanel.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "instrument/params/ParameterIndex.h"
#include "widgets/PanelLayout.h"

namespace corvex {

namespace {

namespace P = ParameterIndex;
using R = EffectWidgetRow;

constexpr EffectWidgetRow kRows[] = {
    {R::Label, "Time", "Time1 Label", -1},
    {R::Knob, "", "", P::kMasterFxDelayTime1},
    {R::Label, "Feedback", "Feedback Label", -1},
    {R::Knob, "", "", P::kMasterFxDelayFeedback1},
    {R::Label, "Cross\nFeedback", "Feedback Label", -1},
    {R::Knob, "", "", P::kMasterFxDelayCrossFeedback1},
    {R::Label, "Time", "Time1 Label", -1},
    {R::Knob, "", "", P::kMasterFxDelayTime2},
    {R::Label, "Feedback", "Feedback Label", -1},
    {R::Knob, "", "", P::kMasterFxDelayFeedback2},
    {R::Label, "Cross\nFeedback", "Feedback Label", -1},
    {R::Knob, "", "", P::kMasterFxDelayCrossFeedback2},
    {R::Label, "Damping", "Damping Label", -1},
    {R::Knob, "", "", P::kMasterFxDelayDamping},
    {R::Button, "Sync.", "", P::kMasterFxDelaySync},
    {R::Button, "Link", "", P::kMasterFxDelayLink},
};
constexpr size_t kRowsPerLine = 6;
// The second line's knobs, by their place in the table.
constexpr size_t kSecondLineKnobs[] = {7, 9, 11};

// Four columns between the side columns; the two lines one above the other, spread evenly over the height.
std::array<PanelRect, std::size(kRows)> layoutFor(int width, int height) {
    const int gx = (width - 515) / 4;
    const int gy = (height - 178) / 4;
    const int c1 = 95, c2 = gx + 160, c3 = 2 * gx + 225, c4 = 3 * gx + 290;
    std::array<PanelRect, std::size(kRows)> places{};
    for (size_t line = 0; line < 2; ++line) {
        const int y = gy + 29 + static_cast<int>(line) * (2 * gy + 74);
        const PanelRect linePlaces[kRowsPerLine] = {
            {c1, y + 40, 65, 17}, {c1 + 17, y, 40, 40}, {c2, y + 40, 65, 17},
            {c2 + 17, y, 40, 40}, {c3, y + 30, 65, 34}, {c3 + 17, y, 30, 30},
        };
        std::copy(std::begin(linePlaces), std::end(linePlaces), places.begin() + line * kRowsPerLine);
    }
    const int dampingY = (height - 77) / 2;
    const int buttonX = 4 * gx + 367;
    places[12] = {c4, dampingY + 45, 65, 17};
    places[13] = {c4 + 17, dampingY + 15, 30, 30};
    places[14] = {buttonX, height - gy - 49, 40, 13};
    places[15] = {buttonX, height - 32, 40, 13};
    return places;
}

} // namespace

CorvanAnalogDelayPanel::CorvanAnalogDelayPanel(MVGuiInterface* gui, int effectNumber)
    : CorvanMultiEffectTemplatePanel(gui, effectNumber, P::kMasterFxDryWet, P::kMasterFxDelayBypass,
                                     P::kMasterFxOutput),
      widgets_(makeWidgets(kRows, std::size(kRows))), linkBinding_(gui, this) {
    for (size_t k = 0; k < secondLine_.size(); ++k)
        secondLine_[k] = dynamic_cast<CvnLcdKnob*>(widgets_[kSecondLineKnobs[k]].get());
    // A link already on must show from the start, not from its next change.
    if (gui != nullptr) applyLink(gui->getParameter(indexOf(P::kMasterFxDelayLink)));
    linkBinding_.bind(indexOf(P::kMasterFxDelayLink));
}

CorvanAnalogDelayPanel::~CorvanAnalogDelayPanel() { linkBinding_.unbind(); }

void CorvanAnalogDelayPanel::resized() {
    CorvanMultiEffectTemplatePanel::resized();
    placeChildren(layoutFor(getWidth(), getHeight()), widgets_);
}

void CorvanAnalogDelayPanel::parameterChanged(int index, float value) {
    if (P::masterEffectRow(index) == P::kMasterFxDelayLink) applyLink(value);
}

// Linked, the second line's knobs show and edit the first line's parameters; each knob takes the value of the
// parameter it now edits at once, since no echo of that parameter is on its way.
void CorvanAnalogDelayPanel::applyLink(float value) {
    const bool linked = std::isfinite(value) && std::trunc(2.0f * value) >= 1.0f;
    const int firstRow = linked ? P::kMasterFxDelayTime1 : P::kMasterFxDelayTime2;
    MVGuiInterface* gui = getGui();
    for (size_t k = 0; k < secondLine_.size(); ++k) {
        const int index = indexOf(firstRow + static_cast<int>(k));
        if (secondLine_[k]->getParameterIndex() != index) secondLine_[k]->setParameterIndex(index);
        if (gui != nullptr) secondLine_[k]->parameterChanged(index, gui->getParameter(index));
    }
}

} // namespace corvex
