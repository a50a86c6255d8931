// The modulation output panel.
#include "editor/modulation/CorvanModOutputPanel.h"

#include "editor/modulation/ModOutputLayout.h"
#include "widgets/CorvanLookAndFeel.h"

namespace corvex {

namespace {
// Item i is destination id i + 1, as the routing parameter counts them.
const juce::StringArray& destinationNames() {
    static const juce::StringArray names{"None",       "VCO1 Pitch", "VCO2 Pitch", "VCO1 PW", "VCO2 PW",
                                         "HPF Cutoff", "VCF Cutoff", "VCF Res",    "VCA"};
    return names;
}
constexpr float kOutlineThickness = 1.0f;
} // namespace

CorvanModOutputPanel::CorvanModOutputPanel(MVGuiInterface* gui, const juce::String& title, int firstDestination,
                                           int firstAmount, int firstSwitch, int retrigger)
    : gui_(gui), title_(title), firstSwitch_(firstSwitch) {
    for (int i = 0; i < kRows; ++i) {
        const auto row = static_cast<size_t>(i);
        destinations_[row] = std::make_unique<CvnLcdComboBox>("Start Mode Combo " + juce::String(i), gui,
                                                              firstDestination + i, destinationNames());
        addAndMakeVisible(*destinations_[row]);
        amounts_[row] = std::make_unique<CvnLcdKnob>(gui, firstAmount + i);
        addAndMakeVisible(*amounts_[row]);
        if (firstSwitch < 0) continue;
        switches_[row] = std::make_unique<CvnLcdButton>("Q", gui, firstSwitch + i);
        switches_[row]->setSmallFont(true);
        addAndMakeVisible(*switches_[row]);
        switchBindings_[row] = std::make_unique<MVParameterBinding>(gui, this);
        switchBindings_[row]->bind(firstSwitch + i);
        // A switch already on when the page opens must grey its amount out too, not only after the next echo.
        if (gui != nullptr) followSwitch(i, gui->getParameter(firstSwitch + i));
    }
    if (retrigger >= 0) {
        retrigger_ = std::make_unique<CvnLcdButton>("ReTrig", gui, retrigger);
        retrigger_->setSmallFont(true);
        addAndMakeVisible(*retrigger_);
    }
}

CorvanModOutputPanel::~CorvanModOutputPanel() {
    for (auto& binding : switchBindings_) binding.reset();
}

void CorvanModOutputPanel::parameterChanged(int index, float value) {
    if (firstSwitch_ < 0) return;
    const int row = index - firstSwitch_;
    if (row >= 0 && row < kRows) followSwitch(row, value);
}

void CorvanModOutputPanel::followSwitch(int row, float value) {
    CvnLcdKnob& amount = *amounts_[static_cast<size_t>(row)];
    const bool enabled = !modoutput::switchIsOn(value);
    if (amount.isEnabled() != enabled) amount.setEnabled(enabled);
}

void CorvanModOutputPanel::resized() {
    const modoutput::Places places =
        modoutput::layout(getWidth(), getHeight(), switches_[0] != nullptr, retrigger_ != nullptr);
    for (size_t row = 0; row < kRows; ++row) {
        destinations_[row]->setBounds(places.rows[row].destination);
        amounts_[row]->setBounds(places.rows[row].amount);
        if (switches_[row] != nullptr) switches_[row]->setBounds(places.rows[row].toggle);
    }
    if (retrigger_ != nullptr) retrigger_->setBounds(places.retrigger);
}

void CorvanModOutputPanel::paint(juce::Graphics& g) {
    auto* lnf = CorvanLookAndFeel::getInstance();
    g.setColour(juce::Colour(CorvanLookAndFeel::kGrey));
    const int m = modoutput::kMargin;
    lnf->drawGroupOutline(g, title_, m, m, getWidth() - 2 * m, getHeight() - 2 * m, kOutlineThickness,
                          CorvanLookAndFeel::kFontHeight);
}

} // namespace corvex
