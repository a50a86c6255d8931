// The frame every insert-effect editor shares: dry/wet and output knobs on the sides, the effect's bypass, and up
// to ten modulation slots (a value knob, a modulation source and its amount). Each widget binds chain 0's index
// folded to the panel's chain; the editor then folds it to the layer shown.
#pragma once

#include <array>
#include <memory>

#include <juce_gui_basics/juce_gui_basics.h>

#include "instrument/params/ParameterIndex.h"
#include "widgets/CvnLcdButton.h"
#include "widgets/CvnLcdComboBox.h"
#include "widgets/CvnLcdKnob.h"
#include "widgets/MVGuiInterface.h"
#include "widgets/MVPanel.h"

namespace corvex {

// Message thread only.
class CorvanEffectTemplatePanel : public MVPanel {
public:
    static constexpr int kMaxSlots = 10;
    static constexpr int kSideWidth = 80;

    // Where the four widgets of a slot sit: the combo box and the value knob swap sides with the flag.
    struct SlotBounds {
        juce::Rectangle<int> label, value, source, amount;
    };
    static SlotBounds slotBounds(int x, int y, int width, int height, bool comboFirst);

    // The modulation sources, in the order of their steps.
    static const juce::StringArray& modulationSourceNames();
    // A plain centred label at the given font height.
    static std::unique_ptr<juce::Label> makeLabel(const juce::String& name, const juce::String& text, float height,
                                                  juce::Justification justification = juce::Justification::centred);

    // Bypass and first source are chain-0 indices of the concrete effect.
    CorvanEffectTemplatePanel(MVGuiInterface* gui, int chain, int bypassIndex, int firstSourceIndex);
    ~CorvanEffectTemplatePanel() override;
    CorvanEffectTemplatePanel(const CorvanEffectTemplatePanel&) = delete;
    CorvanEffectTemplatePanel& operator=(const CorvanEffectTemplatePanel&) = delete;

    void resized() override;

    int getChain() const { return chain_; }
    int getSlotCount() const { return slotCount_; }
    // 0 until the first layout, then the width of each side column.
    int getSideWidth() const { return sideWidth_; }
    // A chain-0 index as this panel's chain edits it.
    int folded(int index) const { return ParameterIndex::foldEffectIndex(chain_, index); }

protected:
    // The next slot, named for its label; beyond the tenth nothing is added.
    void addModulationSlot(const juce::String& name);
    void layoutModulationSlot(int slot, int x, int y, int width, int height, bool comboFirst);
    MVGuiInterface* getGui() const { return gui_; }

private:
    struct Slot {
        std::unique_ptr<juce::Label> label;
        std::unique_ptr<CvnLcdKnob> value;
        std::unique_ptr<CvnLcdComboBox> source;
        std::unique_ptr<CvnLcdKnob> amount;
    };

    MVGuiInterface* const gui_;
    const int chain_;
    const int firstSourceIndex_;
    int sideWidth_ = 0;
    int slotCount_ = 0;
    std::unique_ptr<juce::Label> dryWetLabel_;
    std::unique_ptr<CvnLcdKnob> dryWetKnob_;
    std::unique_ptr<CvnLcdButton> bypassButton_;
    std::unique_ptr<juce::Label> outputLabel_;
    std::unique_ptr<CvnLcdKnob> outputKnob_;
    std::array<Slot, kMaxSlots> slots_;
};

} // namespace corvex
