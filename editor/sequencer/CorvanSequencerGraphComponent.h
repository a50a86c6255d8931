// The sequencer's step graph: the shown layer's 32 step values as bars around a centre line, the length as a
// bar above them, accents brighter, links touching their neighbour, the playing step hollow. The pen, line and
// eraser draw values; a drag in the length band sets the length; a bubble tells a step's value and pitch.
#pragma once

#include <array>

#include <juce_gui_basics/juce_gui_basics.h>

#include "editor/sequencer/ParameterBindingSet.h"
#include "editor/sequencer/SequencerGraphMaths.h"
#include "widgets/MVGuiInterface.h"
#include "widgets/MVMillisecondClock.h"
#include "widgets/MVParameterListener.h"

namespace corvex {

enum class SequencerTool { Pen = 0, Line = 1, Eraser = 2 };

// Message thread only.
class CorvanSequencerGraphComponent : public juce::Component, public MVParameterListener, public juce::Timer {
public:
    static constexpr int kHoverTimerMs = 100;

    explicit CorvanSequencerGraphComponent(MVGuiInterface* gui);
    ~CorvanSequencerGraphComponent() override;
    CorvanSequencerGraphComponent(const CorvanSequencerGraphComponent&) = delete;
    CorvanSequencerGraphComponent& operator=(const CorvanSequencerGraphComponent&) = delete;

    void setStepLink(int step, bool linked);
    void setStepAccent(int step, bool accented);
    void setTool(SequencerTool tool) { tool_ = tool; }
    void randomiseSteps();
    void clearSteps();

    // The pointer in the graph's coordinates; the mouse handlers call these, and so may anyone else.
    void press(juce::Point<int> at);
    void drag(juce::Point<int> at);
    void release();
    void hover(juce::Point<int> at);
    void leave();

    void setClock(MVMillisecondClock clock) { clock_ = std::move(clock); }
    // Shows the pending bubble once the pointer has rested on a step longer than the delay.
    void timerCallback() override;

    float getStepValue(int step) const { return values_[static_cast<size_t>(step)]; }
    bool isStepLinked(int step) const { return links_[static_cast<size_t>(step)]; }
    bool isStepAccented(int step) const { return accents_[static_cast<size_t>(step)]; }
    int getLengthIndex() const { return lengthIndex_; }
    int getShownLayer() const { return shownLayer_; }
    int getPlayStep(int layer) const { return playSteps_[static_cast<size_t>(layer)]; }
    int getStepWidth() const { return stepWidth_; }
    SequencerTool getTool() const { return tool_; }
    bool isHoverPending() const { return hoverStart_ != 0; }

    void parameterChanged(int index, float value) override;
    void highlightChanged(int, float) override {}

    void paint(juce::Graphics& g) override;
    void resized() override;
    void mouseDown(const juce::MouseEvent& e) override { press(e.getPosition()); }
    void mouseDrag(const juce::MouseEvent& e) override { drag(e.getPosition()); }
    void mouseUp(const juce::MouseEvent&) override { release(); }
    void mouseMove(const juce::MouseEvent& e) override { hover(e.getPosition()); }
    void mouseExit(const juce::MouseEvent&) override { leave(); }

private:
    bool takesInput() const { return seqgraph::takesInput(stepWidth_, getHeight()); }
    void applyTool(juce::Point<int> at);
    void setStep(int step, float value);
    void sendStep(int step);
    void cancelHover();

    MVGuiInterface* const gui_;
    std::array<float, seqgraph::kSteps> values_{};
    std::array<bool, seqgraph::kSteps> links_{};
    std::array<bool, seqgraph::kSteps> accents_{};
    int stepWidth_ = 0;
    int lengthIndex_ = 0;
    // What the press that began the current drag started; a press in the band off the bar starts nothing.
    enum class Drag { None, Length, Tool };
    Drag drag_ = Drag::None;
    int anchorStep_ = 0;
    float anchorValue_ = 0.5f;
    int currentStep_ = 0;
    float currentValue_ = 0.5f;
    SequencerTool tool_ = SequencerTool::Pen;
    int shownLayer_ = 0;
    std::array<int, 2> playSteps_{};
    MVMillisecondClock clock_ = systemMillisecondClock();
    // 0 while no bubble is pending.
    juce::uint32 hoverStart_ = 0;
    int hoverDelay_ = guisettings::kDefaultPopupDelayMs;
    int hoverStep_ = -1;
    ParameterBindingSet bindings_;
};

} // namespace corvex
