#include "editor/sequencer/CorvanSequencerGraphComponent.h"

#include "instrument/params/ParameterIndex.h"
#include "widgets/CorvanLookAndFeel.h"

namespace corvex {

namespace P = ParameterIndex;
using namespace seqgraph;

CorvanSequencerGraphComponent::CorvanSequencerGraphComponent(MVGuiInterface* gui)
    : gui_(gui), bindings_(gui, this) {
    for (int i = 0; i < kSteps; ++i) {
        values_[static_cast<size_t>(i)] = gui_->getParameter(P::kSequencerFirstStep + i);
        accents_[static_cast<size_t>(i)] = isMarked(gui_->getParameter(P::kSequencerFirstAccent + i));
    }
    lengthIndex_ = stepOf(gui_->getParameter(P::kSequencerLength), kSteps);
    // A page made while the Lower layer is shown must outline Lower's playing step from the start.
    shownLayer_ = stepOf(gui_->getParameter(P::kShownLayer), 2);
    bindings_.bindRange(P::kSequencerFirstStep, kSteps);
    for (int id : {P::kSequencerLength, P::kUpperSequencerStep, P::kLowerSequencerStep, P::kShownLayer})
        bindings_.bind(id);
}

CorvanSequencerGraphComponent::~CorvanSequencerGraphComponent() {
    bindings_.unbindAll();
    stopTimer();
}

void CorvanSequencerGraphComponent::setStepLink(int step, bool linked) {
    links_[static_cast<size_t>(step)] = linked;
    repaint();
}

void CorvanSequencerGraphComponent::setStepAccent(int step, bool accented) {
    accents_[static_cast<size_t>(step)] = accented;
    repaint();
}

void CorvanSequencerGraphComponent::randomiseSteps() {
    juce::Random& random = juce::Random::getSystemRandom();
    for (int i = 0; i < kSteps; ++i) {
        setStep(i, random.nextFloat());
        sendStep(i);
    }
    repaint();
}

void CorvanSequencerGraphComponent::clearSteps() {
    for (int i = 0; i < kSteps; ++i) {
        setStep(i, 0.5f);
        sendStep(i);
    }
    repaint();
}

void CorvanSequencerGraphComponent::setStep(int step, float value) { values_[static_cast<size_t>(step)] = value; }

void CorvanSequencerGraphComponent::sendStep(int step) {
    gui_->notifyParameterEdit(MVGuiInterface::kNewValue, P::kSequencerFirstStep + step,
                              values_[static_cast<size_t>(step)]);
}

void CorvanSequencerGraphComponent::press(juce::Point<int> at) {
    if (!takesInput()) return;
    if (at.y < kGridTop) {
        drag_ = isOnLengthBar(at.x, lengthIndex_, stepWidth_) ? Drag::Length : Drag::None;
    } else {
        drag_ = Drag::Tool;
        const PointerStep anchor = pointerStep(at, stepWidth_, getHeight());
        anchorStep_ = anchor.step;
        anchorValue_ = anchor.value;
        if (gui_->getStringSetting(guisettings::kShowPopupOnClick, guisettings::kYes) == guisettings::kYes)
            gui_->showTextBubble(stepText(anchor.step, anchor.value), this);
        cancelHover();
        applyTool(at);
    }
    repaint();
}

void CorvanSequencerGraphComponent::drag(juce::Point<int> at) {
    if (!takesInput()) return;
    if (drag_ == Drag::Length) {
        lengthIndex_ = lengthIndexAt(at.x, stepWidth_);
        gui_->notifyParameterEdit(MVGuiInterface::kNewValue, P::kSequencerLength, lengthValue(lengthIndex_));
    } else if (drag_ == Drag::Tool) {
        applyTool(at);
    }
    repaint();
}

// The line is sent whole once it is drawn: while it is dragged its steps come and go.
void CorvanSequencerGraphComponent::release() {
    const bool drewLine = drag_ == Drag::Tool && tool_ == SequencerTool::Line;
    drag_ = Drag::None;
    if (!drewLine) return;
    for (int i = 0; i < kSteps; ++i) sendStep(i);
}

void CorvanSequencerGraphComponent::applyTool(juce::Point<int> at) {
    const PointerStep current = pointerStep(at, stepWidth_, getHeight());
    currentStep_ = current.step;
    currentValue_ = current.value;
    gui_->setTextBubbleText(stepText(current.step, current.value));
    switch (tool_) {
    case SequencerTool::Pen:
        setStep(current.step, current.value);
        sendStep(current.step);
        break;
    case SequencerTool::Eraser:
        setStep(current.step, 0.5f);
        sendStep(current.step);
        break;
    case SequencerTool::Line: {
        const LineSpan line = lineSpan(anchorStep_, anchorValue_, current.step, current.value);
        if (line.lo == line.hi) {
            setStep(line.lo, line.loValue);
            sendStep(line.lo);
            break;
        }
        // Steps the line has left again go back to what the layer holds.
        for (int i = 0; i < kSteps; ++i)
            setStep(i, line.contains(i) ? line.valueAt(i) : gui_->getParameter(P::kSequencerFirstStep + i));
        break;
    }
    }
}

void CorvanSequencerGraphComponent::hover(juce::Point<int> at) {
    if (!takesInput()) return;
    if (at.y < kGridTop) {
        cancelHover();
        gui_->hideTextBubble();
        return;
    }
    if (gui_->getStringSetting(guisettings::kShowPopupOnOver, guisettings::kYes) != guisettings::kYes) return;
    const int step = pointerStep(at, stepWidth_, getHeight()).step;
    if (step == hoverStep_) return;
    hoverStep_ = step;
    hoverStart_ = clock_();
    // 0 means "nothing pending", so a counter that reads 0 just now is taken as 1.
    if (hoverStart_ == 0) hoverStart_ = 1;
    hoverDelay_ = gui_->getIntSetting(guisettings::kPopupDelayTime, guisettings::kDefaultPopupDelayMs);
    startTimer(kHoverTimerMs);
}

void CorvanSequencerGraphComponent::leave() {
    cancelHover();
    gui_->hideTextBubble();
}

// An idle graph runs no timer: whatever ends the hover stops it at once.
void CorvanSequencerGraphComponent::cancelHover() {
    hoverStart_ = 0;
    hoverStep_ = -1;
    stopTimer();
}

void CorvanSequencerGraphComponent::timerCallback() {
    if (hoverStart_ == 0) {
        stopTimer();
        return;
    }
    // Unsigned, so that the counter wrapping round does not hold the bubble back for ever.
    const juce::uint32 waited = clock_() - hoverStart_;
    if (static_cast<juce::int64>(waited) <= static_cast<juce::int64>(hoverDelay_)) return;
    gui_->showTextBubble(stepText(hoverStep_, values_[static_cast<size_t>(hoverStep_)]), this);
    hoverStart_ = 0;
    stopTimer();
}

void CorvanSequencerGraphComponent::parameterChanged(int index, float value) {
    if (index >= P::kSequencerFirstStep && index < P::kSequencerFirstStep + kSteps) {
        float& stored = values_[static_cast<size_t>(index - P::kSequencerFirstStep)];
        if (stored == value) return;
        stored = value;
        repaint();
    } else if (index == P::kSequencerLength) {
        const int length = stepOf(value, kSteps);
        if (length == lengthIndex_) return;
        lengthIndex_ = length;
        repaint();
    } else if (index == P::kShownLayer) {
        const int layer = stepOf(value, 2);
        if (layer == shownLayer_) return;
        shownLayer_ = layer;
        repaint();
    } else if (index == P::kUpperSequencerStep || index == P::kLowerSequencerStep) {
        const int layer = index == P::kUpperSequencerStep ? 0 : 1;
        const int step = stepOf(value, kSteps);
        int& stored = playSteps_[static_cast<size_t>(layer)];
        if (step == stored) return;
        stored = step;
        // Steps tick over many times a second while a sequence runs: the hidden layer's cost nothing.
        if (layer == shownLayer_ && isVisible()) repaint();
    }
}

void CorvanSequencerGraphComponent::resized() { stepWidth_ = seqgraph::stepWidth(getWidth()); }

void CorvanSequencerGraphComponent::paint(juce::Graphics& g) {
    const juce::Colour grey = CorvanLookAndFeel::getInstance()->greyColour;
    const int h = getHeight();
    const int sw = stepWidth_;
    const int mid = centreLine(h);
    const int gridRight = kSteps * sw + kFirstBarLeft;

    g.setFont(juce::Font(10.0f, juce::Font::plain));
    g.setColour(grey);
    g.drawText("Length: " + juce::String(lengthIndex_ + 1), kFrameLeft, 0, kSteps * sw, 10,
               juce::Justification::centred, false);

    g.setColour(grey.withAlpha(0.5f));
    g.drawLine(static_cast<float>(kFrameLeft), static_cast<float>(mid), static_cast<float>(gridRight),
               static_cast<float>(mid));
    g.fillRoundedRectangle(static_cast<float>(kFirstBarLeft), static_cast<float>(kLengthBarTop),
                           static_cast<float>((lengthIndex_ + 1) * sw), static_cast<float>(kLengthBarHeight), 2.0f);
    g.drawRect(kFrameLeft, kGridTop, kSteps * sw + 1, h - kGridTop, 1);

    const int playStep = playSteps_[static_cast<size_t>(shownLayer_)];
    for (int i = 0; i < kSteps; ++i) {
        const auto s = static_cast<size_t>(i);
        g.setColour(accents_[s] ? grey : grey.withAlpha(0.8f));
        const juce::Rectangle<int> bar = barOf(i, values_[s], links_[s], sw, h);
        if (i == playStep)
            g.drawRect(bar, 1);
        else
            g.fillRect(bar);
    }

    g.drawText("+1", 0, kGridTop, 12, 10, juce::Justification::centredRight, false);
    g.drawText("0", 0, kGridTop + (h - 34) / 2, 12, 10, juce::Justification::centredRight, false);
    g.drawText("-1", 0, h - 10, 12, 10, juce::Justification::centredRight, false);
}

} // namespace corvex
