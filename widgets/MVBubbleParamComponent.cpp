// The touched or hovered parameter's name and value.
#include "widgets/MVBubbleParamComponent.h"

#include <cmath>
#include <limits>

#include "engine/modules/EchoCodes.h"
#include "widgets/MVGuiInterface.h"

namespace corvex {

namespace {

const juce::String kNoValue("  ");

// Toward zero, held inside int so that a wild report cannot overflow the conversion.
int truncated(float value) {
    const double t = std::trunc(static_cast<double>(value));
    if (t >= static_cast<double>(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
    if (t <= static_cast<double>(std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
    return static_cast<int>(t);
}

} // namespace

MVBubbleParamComponent::MVBubbleParamComponent(MVGuiInterface* gui) : gui_(gui) {
    setAllowedPlacement(left | right);
    text_.setText({});
}

MVBubbleParamComponent::~MVBubbleParamComponent() {
    if (gui_ != nullptr && index_ >= 0) gui_->removeParameterListener(index_, this);
}

void MVBubbleParamComponent::setParameter(int index) {
    if (gui_ == nullptr) return;
    if (index_ >= 0) gui_->removeParameterListener(index_, this);
    index_ = index;
    if (index < 0) return;
    interfaceText_ = gui_->refreshParameter(index);
    if (interfaceText_) {
        gui_->addParameterListener(index, this);
        refreshText();
    } else {
        setText(gui_->getParameterName(index) + " \n" + kNoValue);
    }
}

void MVBubbleParamComponent::refreshText() {
    if (gui_ == nullptr || index_ < 0) return;
    setText(gui_->getParameterName(index_) + " \n" + gui_->getParameterText(index_));
}

void MVBubbleParamComponent::showKernelValue(int unitKind, float value) {
    if (gui_ == nullptr || index_ < 0) return;
    setText(gui_->getParameterName(index_) + " \n" + formatKernelValue(unitKind, value));
}

juce::String MVBubbleParamComponent::formatKernelValue(int unitKind, float value) {
    if (!std::isfinite(value)) return kNoValue;
    switch (unitKind) {
    case echo::Decibels: return juce::String::formatted("%d db", truncated(value));
    case echo::Hertz: return juce::String::formatted("%.2f Hz", static_cast<double>(value));
    case echo::BeatsPerMinute: return juce::String::formatted("%d bpm", truncated(value));
    case echo::TempoRatio:
        if (value == 0.0f) return "Stopped";
        if (value == 1.0f) return "Tempo";
        if (value > 0.0f) return juce::String::formatted("Tempo * %d", truncated(value));
        return juce::String::formatted("Tempo / %d", truncated(-value));
    case echo::Fraction:
    case echo::Selection:
    case echo::Switch: return juce::String::formatted("%f", static_cast<double>(value));
    case echo::Milliseconds: return juce::String::formatted("%d ms", truncated(value));
    case echo::Semitones: return juce::String::formatted("%+d semitone", truncated(value));
    case echo::Percent: return juce::String::formatted("%d%%", truncated(value));
    case echo::Degrees: return juce::String::formatted("%d deg", truncated(value));
    default: return kNoValue;
    }
}

void MVBubbleParamComponent::parameterChanged(int index, float /*value*/) {
    if (index == index_) refreshText();
}

void MVBubbleParamComponent::paintContent(juce::Graphics& g, int width, int height) {
    text_.draw(g, findColour(juce::TooltipWindow::textColourId), width, height);
}

void MVBubbleParamComponent::setText(const juce::String& text) {
    int oldWidth = 0, oldHeight = 0, width = 0, height = 0;
    text_.getContentSize(oldWidth, oldHeight);
    text_.setText(text);
    text_.getContentSize(width, height);
    // The bubble's frame was cut for the old text: a value that arrives later would be clipped.
    if ((width != oldWidth || height != oldHeight) && target_ != nullptr && getParentComponent() != nullptr)
        setPosition(target_.getComponent());
    if (isVisible()) repaint();
}

void MVBubbleParamComponent::pointAt(juce::Component* target) {
    target_ = target;
    if (target != nullptr) setPosition(target);
}

} // namespace corvex
