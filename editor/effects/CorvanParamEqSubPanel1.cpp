// The equaliser editor's controls.
#include "editor/effects/CorvanParamEqSubPanel1.h"

#include "editor/effects/CorvanEffectTemplatePanel.h"
#include "editor/effects/EqualizerResponse.h"

namespace corvex {

namespace {

namespace fx = ParameterIndex::insertfx;

// A parameter's label and knob, relative to its band's column x.
struct Place {
    int labelX, knobX, y;
};
constexpr Place placeOf(char letter) {
    return letter == 'F' ? Place{-12, 0, 18} : letter == 'G' ? Place{21, 33, 18} : Place{3, 15, 36};
}

} // namespace

CorvanParamEqSubPanel1::CorvanParamEqSubPanel1(MVGuiInterface* gui, int chain) : CorvanParamEqSubPanel(gui, chain) {
    size_t p = 0;
    for (int b = 0; b < 4; ++b) {
        switches_[size_t(b)] =
            std::make_unique<CvnLcdButton>("Band " + juce::String(b + 1), gui, folded(fx::kEqBandSwitch[b]));
        switches_[size_t(b)]->setSmallFont(true);
        addAndMakeVisible(switches_[size_t(b)].get(), -1);
        for (; p < std::size(eqgraph::kParameters) && eqgraph::kParameters[p].band == b; ++p) {
            const juce::String letter = juce::String::charToString(eqgraph::kParameters[p].letter);
            labels_[p] = CorvanEffectTemplatePanel::makeLabel(letter, letter, 10.0f);
            addAndMakeVisible(labels_[p].get(), -1);
            knobs_[p] = std::make_unique<CvnLcdKnob>(gui, folded(fx::kFirstValue + 2 * int(p)));
            addAndMakeVisible(knobs_[p].get(), -1);
        }
    }
    followBandSwitches();
}

CorvanParamEqSubPanel1::~CorvanParamEqSubPanel1() { stopFollowingBandSwitches(); }

void CorvanParamEqSubPanel1::setBandEnabled(int band, bool on) {
    for (size_t p = 0; p < std::size(eqgraph::kParameters); ++p) {
        if (eqgraph::kParameters[p].band != band) continue;
        labels_[p]->setEnabled(on);
        knobs_[p]->setEnabled(on);
    }
}

void CorvanParamEqSubPanel1::resized() {
    const int step = (getWidth() - 252) / 3 + 63;
    for (int b = 0; b < 4; ++b) switches_[size_t(b)]->setBounds(12 + b * step - 6, 0, 50, 15);
    for (size_t p = 0; p < std::size(eqgraph::kParameters); ++p) {
        const int x = 12 + eqgraph::kParameters[p].band * step;
        const Place place = placeOf(eqgraph::kParameters[p].letter);
        labels_[p]->setBounds(x + place.labelX, place.y, 12, 15);
        knobs_[p]->setBounds(x + place.knobX, place.y, 18, 18);
    }
}

} // namespace corvex
