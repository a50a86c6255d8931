// The sequencer page's middle panel: the step graph with its tool buttons, and one row of check boxes per
// step for links, glides and accents. Links show and can be edited only while steps re-trigger.
#pragma once

#include <array>
#include <memory>

#include <juce_gui_basics/juce_gui_basics.h>

#include "editor/sequencer/CorvanSequencerGraphComponent.h"
#include "editor/sequencer/ParameterBindingSet.h"
#include "widgets/CvnLcdToolBarDeleteButton.h"
#include "widgets/CvnLcdToolBarLineButton.h"
#include "widgets/CvnLcdToolBarPenButton.h"
#include "widgets/CvnLcdToolBarRandomButton.h"
#include "widgets/CvnLcdToolBarRubberButton.h"
#include "widgets/CvnSmallLcdCheckBox.h"
#include "widgets/MVPanel.h"

namespace corvex {

// Message thread only.
class CorvanSequencerThirdPanel : public MVPanel, public juce::Button::Listener, public MVParameterListener {
public:
    enum Row { kLinkRow, kGlideRow, kAccentRow, kRowCount };

    explicit CorvanSequencerThirdPanel(MVGuiInterface* gui);
    ~CorvanSequencerThirdPanel() override;
    CorvanSequencerThirdPanel(const CorvanSequencerThirdPanel&) = delete;
    CorvanSequencerThirdPanel& operator=(const CorvanSequencerThirdPanel&) = delete;

    CorvanSequencerGraphComponent& getGraph() { return graph_; }
    CvnSmallLcdCheckBox& getBox(Row row, int step) { return *boxes_[row][static_cast<size_t>(step)]; }
    juce::Label& getRowLabel(Row row) { return *labels_[row]; }
    // The graph frame's right edge in the panel, once laid out: the page puts the outputs beside it.
    int getGraphRight() const { return graphLeft_ + seqgraph::kSteps * stepWidth_; }
    int getQuantisationBeat() const { return quantisationBeat_; }
    bool isLinkEnabled() const { return linkEnabled_; }

    // The graph follows, so that it stops repainting playing steps while the page is hidden.
    void setVisible(bool shouldBeVisible) override;

    void buttonClicked(juce::Button* button) override;
    void parameterChanged(int index, float value) override;
    void highlightChanged(int, float) override {}

    void paint(juce::Graphics& g) override;
    void resized() override;

private:
    void enableLinks(bool enable);

    MVGuiInterface* const gui_;
    CorvanSequencerGraphComponent graph_;
    std::array<std::unique_ptr<juce::Label>, kRowCount> labels_;
    std::array<std::array<std::unique_ptr<CvnSmallLcdCheckBox>, seqgraph::kSteps>, kRowCount> boxes_;
    CvnLcdToolBarPenButton pen_;
    CvnLcdToolBarLineButton line_;
    CvnLcdToolBarRubberButton eraser_;
    CvnLcdToolBarRandomButton random_;
    CvnLcdToolBarDeleteButton clear_;
    bool linkEnabled_ = false;
    int quantisationBeat_ = 0;
    int graphLeft_ = 0;
    int stepWidth_ = 0;
    int toolSize_ = 0;
    ParameterBindingSet bindings_;
};

} // namespace corvex
