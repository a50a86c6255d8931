// The insert equaliser's editor.
#include "editor/effects/CorvanParamEqPanel.h"

namespace corvex {

namespace {
namespace fx = ParameterIndex::insertfx;
constexpr int kSubPanelGroup = 1;
} // namespace

CorvanParamEqPanel::CorvanParamEqPanel(MVGuiInterface* gui, int chain)
    : CorvanEffectTemplatePanel(gui, chain, fx::kEqBypass, fx::kEqFirstSource) {
    graph_ = std::make_unique<CorvanEqualizerGraphComponent>(chain, gui);
    addAndMakeVisible(graph_.get(), -1);
    controls_ = std::make_unique<CorvanParamEqSubPanel1>(gui, chain);
    addAndMakeVisible(controls_.get(), -1);
    mods_ = std::make_unique<CorvanParamEqSubPanel2>(gui, chain);
    addChildComponent(mods_.get(), -1);
    controlsButton_ = std::make_unique<CvnLcdTextButton>("Controls");
    modsButton_ = std::make_unique<CvnLcdTextButton>("Mods");
    for (CvnLcdTextButton* b : {controlsButton_.get(), modsButton_.get()}) {
        b->setButtonText(b->getName());
        b->setClickingTogglesState(true);
        b->setRadioGroupId(kSubPanelGroup);
        b->addListener(this);
        addAndMakeVisible(b, -1);
    }
    controlsButton_->setToggleState(true, juce::sendNotificationSync);
}

CorvanParamEqPanel::~CorvanParamEqPanel() {
    controlsButton_->removeListener(this);
    modsButton_->removeListener(this);
}

void CorvanParamEqPanel::buttonClicked(juce::Button* button) {
    juce::Component* next = button == controlsButton_.get() ? static_cast<juce::Component*>(controls_.get())
                             : button == modsButton_.get()  ? static_cast<juce::Component*>(mods_.get())
                                                            : nullptr;
    if (next == nullptr) return;
    if (shown_ != nullptr) shown_->setVisible(false);
    next->setVisible(true);
    shown_ = next;
}

void CorvanParamEqPanel::resized() {
    CorvanEffectTemplatePanel::resized();
    const int w = getWidth();
    const int h = getHeight();
    const int side = getSideWidth();
    const int inner = w - (2 * side + 20);
    const int graphHeight = 2 * (h - 15) / 3;
    const int subHeight = (h - 15) / 3;
    graph_->setBounds(side + 10, 5, inner, graphHeight);
    controls_->setBounds(side + 10, h - subHeight, inner, subHeight);
    mods_->setBounds(side + 10, h - subHeight, inner, subHeight);
    controlsButton_->setBounds(w - side, h - 38, 50, 14);
    modsButton_->setBounds(w - side, h - 19, 50, 14);
}

} // namespace corvex
