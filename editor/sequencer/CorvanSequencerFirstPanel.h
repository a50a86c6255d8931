// The sequencer page's left panel: how the sequencer starts, plays and stops, its rate or tempo sync, time
// quantisation, direction, smoothing, swing and accent envelope.
#pragma once

#include <memory>
#include <vector>

#include <juce_gui_basics/juce_gui_basics.h>

#include "widgets/MVGuiInterface.h"
#include "widgets/MVParameterBinding.h"
#include "widgets/MVParameterListener.h"
#include "widgets/MVPanel.h"

namespace corvex {

class CvnLcdComboBox;

// Message thread only.
class CorvanSequencerFirstPanel : public MVPanel, public juce::Button::Listener, public MVParameterListener {
public:
    explicit CorvanSequencerFirstPanel(MVGuiInterface* gui);
    ~CorvanSequencerFirstPanel() override;
    CorvanSequencerFirstPanel(const CorvanSequencerFirstPanel&) = delete;
    CorvanSequencerFirstPanel& operator=(const CorvanSequencerFirstPanel&) = delete;

    // The child bound to a parameter index (the first made for it), or null.
    juce::Component* getWidgetFor(int index) const;
    juce::Rectangle<int> getAccentGroup() const { return accentGroup_; }

    void buttonClicked(juce::Button* button) override;
    void parameterChanged(int index, float value) override;
    void highlightChanged(int, float) override {}

    void paint(juce::Graphics& g) override;
    void resized() override;

private:
    void applySync(float value);

    MVGuiInterface* const gui_;
    std::vector<std::unique_ptr<juce::Component>> children_;
    juce::Button* play_ = nullptr;
    juce::Button* stop_ = nullptr;
    juce::Component* rateLabel_ = nullptr;
    juce::Component* rateKnob_ = nullptr;
    juce::Rectangle<int> accentGroup_;
    MVParameterBinding syncBinding_;
};

} // namespace corvex
