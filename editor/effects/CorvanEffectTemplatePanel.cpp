// The insert-effect editors' common frame.
#include "editor/effects/CorvanEffectTemplatePanel.h"

#include "widgets/CorvanLookAndFeel.h"
#include "widgets/PanelLayout.h"

namespace corvex {

namespace {

namespace fx = ParameterIndex::insertfx;

// The side columns, in the order the children are made; negative x counts from the right edge.
constexpr LayoutRect kSideRows[] = {
    {10, 95, 60, 14},  // dry/wet label
    {20, 50, 40, 40},  // dry/wet knob
    {10, 125, 60, 14}, // bypass
    {-70, 95, 60, 14}, // output label
    {-60, 50, 40, 40}, // output knob
};

constexpr int kAmountKnobSize = 18;
constexpr int kComboHeight = 14;
constexpr int kSlotLabelHeight = 20;

} // namespace

CorvanEffectTemplatePanel::SlotBounds CorvanEffectTemplatePanel::slotBounds(int x, int y, int width, int height,
                                                                            bool comboFirst) {
    // The factors are single-precision constants widened, so 150 wide gives a 71-pixel combo box.
    const int combo = static_cast<int>(width * static_cast<double>(0.48f));
    const int knob = static_cast<int>(width * static_cast<double>(0.28f));
    const int gap = (width - knob - combo - kAmountKnobSize) / 2;
    const int comboY = y + knob / 2 - kComboHeight / 2;
    const int amountY = y + knob / 2 - kAmountKnobSize / 2;
    SlotBounds b;
    if (comboFirst) {
        b.source = {x, comboY, combo, kComboHeight};
        b.amount = {x + combo + gap, amountY, kAmountKnobSize, kAmountKnobSize};
        b.value = {x + combo + gap + kAmountKnobSize + gap, y, knob, knob};
    } else {
        b.value = {x, y, knob, knob};
        b.amount = {x + knob + gap, amountY, kAmountKnobSize, kAmountKnobSize};
        b.source = {x + knob + gap + kAmountKnobSize + gap, comboY, combo, kComboHeight};
    }
    b.label = {x, y + height - kSlotLabelHeight, width, kSlotLabelHeight};
    return b;
}

const juce::StringArray& CorvanEffectTemplatePanel::modulationSourceNames() {
    static const juce::StringArray names{"None",
                                         "Key Follow",
                                         "Envelope 1",
                                         "Envelope 2",
                                         "Quorbit X Rotated",
                                         "Quorbit Y Rotated",
                                         "LFO",
                                         "Sequencer",
                                         "Velocity",
                                         "Aftertouch"};
    return names;
}

std::unique_ptr<juce::Label> CorvanEffectTemplatePanel::makeLabel(const juce::String& name, const juce::String& text,
                                                                  float height, juce::Justification justification) {
    auto label = std::make_unique<juce::Label>(name, text);
    label->setFont(juce::Font(height, juce::Font::plain));
    label->setJustificationType(justification);
    // The letter labels are 12 pixels wide: the default inset would leave no room for the letter.
    label->setBorderSize({});
    return label;
}

CorvanEffectTemplatePanel::CorvanEffectTemplatePanel(MVGuiInterface* gui, int chain, int bypassIndex,
                                                     int firstSourceIndex)
    : gui_(gui), chain_(chain), firstSourceIndex_(firstSourceIndex) {
    setLookAndFeel(CorvanLookAndFeel::getInstance());
    const auto height = static_cast<float>(CorvanLookAndFeel::kFontHeight);
    dryWetLabel_ = makeLabel("Dry Wet Label", "Dry / Wet", height);
    dryWetKnob_ = std::make_unique<CvnLcdKnob>(gui, folded(fx::kDryWet));
    bypassButton_ = std::make_unique<CvnLcdButton>("Bypass", gui, folded(bypassIndex));
    outputLabel_ = makeLabel("Output Label", "Output", height);
    outputKnob_ = std::make_unique<CvnLcdKnob>(gui, folded(fx::kOutput));
    for (juce::Component* c : {static_cast<juce::Component*>(dryWetLabel_.get()),
                               static_cast<juce::Component*>(dryWetKnob_.get()),
                               static_cast<juce::Component*>(bypassButton_.get()),
                               static_cast<juce::Component*>(outputLabel_.get()),
                               static_cast<juce::Component*>(outputKnob_.get())})
        addAndMakeVisible(c, -1);
}

CorvanEffectTemplatePanel::~CorvanEffectTemplatePanel() { setLookAndFeel(nullptr); }

void CorvanEffectTemplatePanel::addModulationSlot(const juce::String& name) {
    if (slotCount_ >= kMaxSlots) return;
    const int n = slotCount_;
    Slot& slot = slots_[static_cast<size_t>(n)];
    slot.label = makeLabel(name + " Label", name, static_cast<float>(CorvanLookAndFeel::kFontHeight));
    addAndMakeVisible(slot.label.get(), -1);
    slot.value = std::make_unique<CvnLcdKnob>(gui_, folded(fx::kFirstValue + 2 * n));
    addAndMakeVisible(slot.value.get(), -1);
    slot.source = std::make_unique<CvnLcdComboBox>(name + " Mod ComboBox", gui_, folded(firstSourceIndex_ + n),
                                                   modulationSourceNames());
    addAndMakeVisible(slot.source.get(), -1);
    slot.amount = std::make_unique<CvnLcdKnob>(gui_, folded(fx::kFirstAmount + 2 * n));
    addAndMakeVisible(slot.amount.get(), -1);
    ++slotCount_;
}

void CorvanEffectTemplatePanel::layoutModulationSlot(int slot, int x, int y, int width, int height, bool comboFirst) {
    if (slot < 0 || slot >= slotCount_) return;
    const SlotBounds b = slotBounds(x, y, width, height, comboFirst);
    Slot& s = slots_[static_cast<size_t>(slot)];
    s.label->setBounds(b.label);
    s.value->setBounds(b.value);
    s.source->setBounds(b.source);
    s.amount->setBounds(b.amount);
}

void CorvanEffectTemplatePanel::resized() {
    sideWidth_ = kSideWidth;
    juce::Component* children[] = {dryWetLabel_.get(), dryWetKnob_.get(), bypassButton_.get(), outputLabel_.get(),
                                   outputKnob_.get()};
    for (size_t i = 0; i < std::size(children); ++i)
        children[i]->setBounds(kSideRows[i].within(getWidth(), getHeight()));
}

} // namespace corvex
