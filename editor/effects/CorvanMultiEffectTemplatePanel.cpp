#include "editor/effects/CorvanMultiEffectTemplatePanel.h"

#include "instrument/params/ParameterIndex.h"
#include "widgets/CorvanLookAndFeel.h"
#include "widgets/CvnLcdComboBox.h"
#include "widgets/PanelLayout.h"

namespace corvex {

namespace {

int slotOf(int effectNumber) { return effectNumber == 1 ? 1 : 0; }

void styleLabel(juce::Label& label) {
    label.setFont(juce::Font(static_cast<float>(CorvanLookAndFeel::kFontHeight)));
    label.setJustificationType(juce::Justification::centred);
}

// The sweep shapes in the order the list shows them; the ids are the parameter's steps plus one.
struct ShapeItem {
    const char* text;
    int id;
};
constexpr ShapeItem kShapeItems[] = {{"Sine", 3}, {"Square", 2}, {"Saw", 1}, {"Triangle", 4}};

// Left column, then the right one measured from the panel's right edge.
constexpr PanelRect kDryWetKnob{20, 50, 40, 40};
constexpr PanelRect kDryWetLabel{10, 95, 60, 14};
constexpr PanelRect kBypassButton{10, 125, 60, 14};
constexpr PanelRect kOutputKnob{20, 50, 40, 40};
constexpr PanelRect kOutputLabel{10, 95, 60, 14};

} // namespace

CorvanMultiEffectTemplatePanel::CorvanMultiEffectTemplatePanel(MVGuiInterface* gui, int effectNumber, int dryWetRow,
                                                               int bypassRow, int outputRow)
    : dryWetLabel_("Dry Wet Label", "Dry / Wet"),
      dryWet_(gui, ParameterIndex::masterEffectIndex(dryWetRow, slotOf(effectNumber))),
      bypass_("Bypass", gui, ParameterIndex::masterEffectIndex(bypassRow, slotOf(effectNumber))),
      outputLabel_("Output Label", "Output"),
      output_(gui, ParameterIndex::masterEffectIndex(outputRow, slotOf(effectNumber))), gui_(gui),
      number_(slotOf(effectNumber)) {
    styleLabel(dryWetLabel_);
    styleLabel(outputLabel_);
    for (juce::Component* child :
         std::initializer_list<juce::Component*>{&dryWetLabel_, &dryWet_, &bypass_, &outputLabel_, &output_})
        addAndMakeVisible(*child);
}

CorvanMultiEffectTemplatePanel::~CorvanMultiEffectTemplatePanel() { removeAllChildren(); }

int CorvanMultiEffectTemplatePanel::indexOf(int row) const { return ParameterIndex::masterEffectIndex(row, number_); }

void CorvanMultiEffectTemplatePanel::resized() {
    sideWidth_ = kSideWidth;
    const int right = getWidth() - sideWidth_;
    dryWet_.setBounds(kDryWetKnob.toRectangle());
    dryWetLabel_.setBounds(kDryWetLabel.toRectangle());
    bypass_.setBounds(kBypassButton.toRectangle());
    output_.setBounds(kOutputKnob.toRectangle().translated(right, 0));
    outputLabel_.setBounds(kOutputLabel.toRectangle().translated(right, 0));
}

std::vector<std::unique_ptr<juce::Component>> CorvanMultiEffectTemplatePanel::makeWidgets(const EffectWidgetRow* rows,
                                                                                          size_t count) {
    std::vector<std::unique_ptr<juce::Component>> widgets;
    for (size_t i = 0; i < count; ++i) {
        widgets.push_back(makeWidget(rows[i]));
        addAndMakeVisible(*widgets.back());
    }
    return widgets;
}

std::unique_ptr<juce::Component> CorvanMultiEffectTemplatePanel::makeWidget(const EffectWidgetRow& row) {
    switch (row.kind) {
    case EffectWidgetRow::Knob: return std::make_unique<CvnLcdKnob>(gui_, indexOf(row.row));
    case EffectWidgetRow::Button: {
        auto button = std::make_unique<CvnLcdButton>(row.text, gui_, indexOf(row.row));
        button->setSmallFont(true);
        return button;
    }
    case EffectWidgetRow::ShapeBox: {
        auto box = std::make_unique<CvnLcdComboBox>("Lfo Shape Combo", gui_, indexOf(row.row));
        for (const ShapeItem& item : kShapeItems) box->addItem(item.text, item.id);
        box->setUp();
        return box;
    }
    case EffectWidgetRow::Label: break;
    }
    auto label = std::make_unique<juce::Label>(row.name, row.text);
    styleLabel(*label);
    return label;
}

} // namespace corvex
