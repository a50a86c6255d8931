// What every master-effect editor has: the dry/wet knob and bypass button in a left column, the output knob in
// a right one, and the room between them for the editor's own widgets. The slot decides the indices bound:
// the editors name their rows in the first slot's numbering.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include <juce_gui_basics/juce_gui_basics.h>

#include "widgets/CvnLcdButton.h"
#include "widgets/CvnLcdKnob.h"
#include "widgets/MVGuiInterface.h"
#include "widgets/MVPanel.h"

namespace corvex {

// One widget of an editor's table.
struct EffectWidgetRow {
    enum Kind { Label, Knob, Button, ShapeBox };
    Kind kind;
    const char* text;  // a label's text or a button's caption
    const char* name;  // a label's component name
    int row;           // the parameter, in the first slot's numbering; unused by a label
};

// Message thread only.
class CorvanMultiEffectTemplatePanel : public MVPanel {
public:
    static constexpr int kSideWidth = 80;

    ~CorvanMultiEffectTemplatePanel() override;
    CorvanMultiEffectTemplatePanel(const CorvanMultiEffectTemplatePanel&) = delete;
    CorvanMultiEffectTemplatePanel& operator=(const CorvanMultiEffectTemplatePanel&) = delete;

    // The editors call it first from their own.
    void resized() override;

    MVGuiInterface* getGui() const { return gui_; }
    int getEffectNumber() const { return number_; }
    // 0 until the first layout.
    int getSideWidth() const { return sideWidth_; }
    // A row's index in this editor's slot.
    int indexOf(int row) const;

protected:
    CorvanMultiEffectTemplatePanel(MVGuiInterface* gui, int effectNumber, int dryWetRow, int bypassRow,
                                   int outputRow);

    // The rows' widgets, visible children made in the rows' order.
    std::vector<std::unique_ptr<juce::Component>> makeWidgets(const EffectWidgetRow* rows, size_t count);

private:
    std::unique_ptr<juce::Component> makeWidget(const EffectWidgetRow& row);

    juce::Label dryWetLabel_;
    CvnLcdKnob dryWet_;
    CvnLcdButton bypass_;
    juce::Label outputLabel_;
    CvnLcdKnob output_;
    MVGuiInterface* const gui_;
    const int number_;
    int sideWidth_ = 0;
};

} // namespace corvex
