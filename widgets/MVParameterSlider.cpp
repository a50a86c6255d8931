// What the knob, the slider and the switch share.
#include "widgets/MVParameterSlider.h"

#include <algorithm>
#include <cmath>

namespace corvex {

MVParameterSlider::MVParameterSlider(MVGuiInterface* gui, int index, const juce::String& name, SliderStyle style,
                                     double maximum, double interval)
    : juce::Slider(name), gui_(gui), index_(index), binding_(gui, this) {
    setSliderStyle(style);
    setTextBoxStyle(NoTextBox, true, 0, 0);
    setRange(0.0, maximum, interval);
}

MVParameterSlider::~MVParameterSlider() {
    stopTimer();
    binding_.unbind();
    removeListener(this);
}

void MVParameterSlider::bind(double startValue) {
    setValue(startValue, juce::dontSendNotification);
    addListener(this);
    binding_.bind(index_);
}

void MVParameterSlider::setParameterIndex(int index) {
    index_ = index;
    binding_.bind(index_);
    repaint();
}

void MVParameterSlider::highlightChanged(int index, float state) {
    if (index != index_ || !std::isfinite(state)) return;
    const int code = static_cast<int>(std::clamp(state, -1.0e6f, 1.0e6f));
    if (code == highlight_) return;
    highlight_ = code;
    repaint();
}

bool MVParameterSlider::handledAsMidiLearn(const juce::MouseEvent& event) {
    if (!event.mods.isCtrlDown()) return false;
    if (gui_ != nullptr) gui_->showMidiSettings(index_, this);
    return true;
}

void MVParameterSlider::startLibraryDrag(const juce::MouseEvent& event) {
    libraryDragActive_ = true;
    juce::Slider::mouseDown(event);
}

void MVParameterSlider::mouseDrag(const juce::MouseEvent& event) {
    if (libraryDragActive_) juce::Slider::mouseDrag(event);
}

// The library's release sends nothing here (values go out as they change); it only ends the drag notification
// its press began, which must not outlive the drag.
void MVParameterSlider::release(const juce::MouseEvent& event, float value) {
    dragging_ = false;
    if (libraryDragActive_) {
        libraryDragActive_ = false;
        juce::Slider::mouseUp(event);
    }
    if (gui_ == nullptr) return;
    gui_->hideParameterBubble();
    gui_->notifyParameterEdit(MVGuiInterface::kGestureEnd, index_, value);
}

bool MVParameterSlider::settingIsYes(const char* key) {
    return gui_ != nullptr && gui_->getStringSetting(key, guisettings::kYes) == guisettings::kYes;
}

// A negative delay in a hand-edited preferences file would, as unsigned arithmetic, never come due.
int MVParameterSlider::readHoverDelay() {
    if (gui_ == nullptr) return guisettings::kDefaultPopupDelayMs;
    return std::max(0, gui_->getIntSetting(guisettings::kPopupDelayTime, guisettings::kDefaultPopupDelayMs));
}

void MVParameterSlider::armHover() {
    hoverPending_ = true;
    hoverStart_ = clock_();
    hoverDelayMs_ = readHoverDelay();
    startTimer(kTimerIntervalMs);
}

// Unsigned: the counter wraps after 49 days, and the difference stays right across the wrap.
void MVParameterSlider::showBubbleWhenHoverDue() {
    if (!hoverPending_) return;
    if (clock_() - hoverStart_ <= static_cast<juce::uint32>(hoverDelayMs_)) return;
    hoverPending_ = false;
    if (gui_ != nullptr) gui_->showParameterBubble(index_, this);
}

void MVParameterSlider::timerCallback() {
    showBubbleWhenHoverDue();
    if (!hoverPending_) stopTimer();
}

juce::Colour MVParameterSlider::highlightColour(int code) {
    switch (code) {
    case 1: return juce::Colour(0xFFFFFF00);
    case 2: return juce::Colour(0xFF008000);
    case 3: return juce::Colour(0xFF0000FF);
    default: return juce::Colour(0xFFFF0000);
    }
}

void MVParameterSlider::drawHighlightFrame(juce::Graphics& g, int code, int width, int height) {
    if (code == -1) return;
    g.setColour(highlightColour(code));
    g.drawRoundedRectangle(1.0f, 1.0f, static_cast<float>(width - 1), static_cast<float>(height - 1), 4.0f, 1.0f);
}

} // namespace corvex
