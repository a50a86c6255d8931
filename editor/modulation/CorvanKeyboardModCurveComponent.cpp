// The response curve of velocity or aftertouch.
#include "editor/modulation/CorvanKeyboardModCurveComponent.h"

#include "widgets/CorvanLookAndFeel.h"

namespace corvex {

namespace {
constexpr float kCorner = 4.0f;
constexpr float kArrowThickness = 1.0f;
constexpr float kArrowHeadWidth = 8.0f;
constexpr float kArrowHeadLength = 12.0f;
constexpr float kDotDiameter = 5.0f;
constexpr float kCurveThickness = 1.0f;
} // namespace

CorvanKeyboardModCurveComponent::CorvanKeyboardModCurveComponent(MVGuiInterface* gui, int indexY0, int indexX1,
                                                                 int indexY1, int indexY2)
    : gui_(gui), indices_{indexY0, indexX1, indexY1, indexY2} {
    for (size_t s = 0; s < kSlots; ++s) {
        bindings_[s] = std::make_unique<MVParameterBinding>(gui, this);
        bindings_[s]->bind(indices_[s]);
    }
    // The echoes come only after the next change, so a page opened on a shaped curve would show it straight.
    if (gui_ != nullptr)
        for (int index : indices_) follow(index, gui_->getParameter(index));
}

CorvanKeyboardModCurveComponent::~CorvanKeyboardModCurveComponent() {
    for (auto& binding : bindings_) binding.reset();
}

void CorvanKeyboardModCurveComponent::follow(int index, float value) {
    if (index == indices_[kY0]) {
        curve_.y0 = keycurve::clampLevel(value);
    } else if (index == indices_[kX1]) {
        curve_.x1 = keycurve::clampPosition(value);
        curve_.y1 = keycurve::clampLevel(curve_.y1);
    } else if (index == indices_[kY1]) {
        curve_.y1 = keycurve::clampLevel(value);
        curve_.x1 = keycurve::clampPosition(curve_.x1);
    } else if (index == indices_[kY2]) {
        curve_.y2 = keycurve::clampLevel(value);
    }
}

void CorvanKeyboardModCurveComponent::parameterChanged(int index, float value) {
    follow(index, value);
    repaint();
}

void CorvanKeyboardModCurveComponent::mouseDown(const juce::MouseEvent& event) {
    const juce::Point<float> at = toCurve(event);
    dragged_ = keycurve::hitTest(curve_, at);
    keycurve::movePoint(curve_, dragged_, at);
    if (dragged_ != keycurve::kNone) repaint();
}

void CorvanKeyboardModCurveComponent::mouseDrag(const juce::MouseEvent& event) {
    if (dragged_ == keycurve::kNone) return;
    keycurve::movePoint(curve_, dragged_, toCurve(event));
    repaint();
}

// Levels below the middle go out negative, as the curve holds them.
void CorvanKeyboardModCurveComponent::mouseUp(const juce::MouseEvent&) {
    if (gui_ != nullptr) {
        auto send = [this](Slot slot, float value) {
            gui_->notifyParameterEdit(MVGuiInterface::kNewValue, indices_[slot], value);
        };
        switch (dragged_) {
        case keycurve::kMiddle:
            send(kX1, curve_.x1);
            send(kY1, curve_.y1);
            break;
        case keycurve::kEnd: send(kY2, curve_.y2); break;
        case keycurve::kStart: send(kY0, curve_.y0); break;
        case keycurve::kNone: break;
        }
    }
    dragged_ = keycurve::kNone;
}

void CorvanKeyboardModCurveComponent::resized() {
    toScreen_ = keycurve::curveToScreen(getWidth(), getHeight());
    toCurve_ = toScreen_.inverted();
}

void CorvanKeyboardModCurveComponent::paint(juce::Graphics& g) {
    g.setColour(juce::Colour(CorvanLookAndFeel::kGrey));
    g.drawRoundedRectangle(2.0f, 2.0f, static_cast<float>(getWidth() - 4), static_cast<float>(getHeight() - 4),
                           kCorner, 1.0f);

    juce::Path arrows;
    arrows.addArrow({toScreen({0.0f, -1.0f}), toScreen({0.0f, 1.0f})}, kArrowThickness, kArrowHeadWidth,
                    kArrowHeadLength);
    arrows.addArrow({toScreen({0.0f, 0.0f}), toScreen({1.0f, 0.0f})}, kArrowThickness, kArrowHeadWidth,
                    kArrowHeadLength);
    g.fillPath(arrows);

    for (juce::Point<float> p : {juce::Point<float>{0.0f, curve_.y0}, juce::Point<float>{1.0f, curve_.y2},
                                 juce::Point<float>{curve_.x1, curve_.y1}})
        g.fillEllipse(juce::Rectangle<float>(kDotDiameter, kDotDiameter).withCentre(toScreen(p)));

    juce::Path curve;
    curve.startNewSubPath(0.0f, curve_.y0);
    curve.quadraticTo(curve_.x1, curve_.y1, 1.0f, curve_.y2);
    curve.applyTransform(toScreen_);
    g.strokePath(curve, juce::PathStrokeType(kCurveThickness));
}

} // namespace corvex
