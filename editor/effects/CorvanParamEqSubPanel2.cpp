// The equaliser editor's modulations.
#include "editor/effects/CorvanParamEqSubPanel2.h"

#include "editor/effects/CorvanEffectTemplatePanel.h"
#include "editor/effects/EqualizerResponse.h"
#include "widgets/CorvanLookAndFeel.h"

namespace corvex {

namespace {

namespace fx = ParameterIndex::insertfx;

constexpr int rowY(char letter) { return letter == 'F' ? 0 : letter == 'G' ? 18 : 36; }

} // namespace

CorvanParamEqSubPanel2::CorvanParamEqSubPanel2(MVGuiInterface* gui, int chain) : CorvanParamEqSubPanel(gui, chain) {
    for (size_t n = 0; n < rows_.size(); ++n) {
        const juce::String letter = juce::String::charToString(eqgraph::kParameters[n].letter);
        Row& row = rows_[n];
        row.label = CorvanEffectTemplatePanel::makeLabel(letter + " Label", letter,
                                                         float(CorvanLookAndFeel::kFontHeight));
        addAndMakeVisible(row.label.get(), -1);
        row.amount = std::make_unique<CvnLcdKnob>(gui, folded(fx::kFirstAmount + 2 * int(n)));
        addAndMakeVisible(row.amount.get(), -1);
        row.source = std::make_unique<CvnLcdComboBox>(letter + " Mod ComboBox", gui,
                                                      folded(fx::kEqFirstSource + int(n)),
                                                      CorvanEffectTemplatePanel::modulationSourceNames());
        addAndMakeVisible(row.source.get(), -1);
    }
    followBandSwitches();
}

CorvanParamEqSubPanel2::~CorvanParamEqSubPanel2() { stopFollowingBandSwitches(); }

void CorvanParamEqSubPanel2::setBandEnabled(int band, bool on) {
    for (size_t n = 0; n < rows_.size(); ++n) {
        if (eqgraph::kParameters[n].band != band) continue;
        rows_[n].label->setEnabled(on);
        rows_[n].amount->setEnabled(on);
        rows_[n].source->setEnabled(on);
    }
}

// A band's rows stack in one column; the next band starts a column further right.
void CorvanParamEqSubPanel2::resized() {
    const int gap = (getWidth() - 396) / 3;
    int x = 0;
    for (size_t n = 0; n < rows_.size(); ++n) {
        if (n > 0 && eqgraph::kParameters[n].band != eqgraph::kParameters[n - 1].band) x += gap + 99;
        const int y = rowY(eqgraph::kParameters[n].letter);
        rows_[n].label->setBounds(x, y, 15, 15);
        rows_[n].source->setBounds(x + 18, y, 60, 15);
        rows_[n].amount->setBounds(x + 81, y, 18, 18);
    }
}

} // namespace corvex
