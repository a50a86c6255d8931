// The response curve of velocity or aftertouch: three points dragged with the mouse, reported when let go.
#pragma once

#include <array>
#include <memory>

#include <juce_gui_basics/juce_gui_basics.h>

#include "editor/modulation/KeyboardCurve.h"
#include "widgets/MVGuiInterface.h"
#include "widgets/MVParameterBinding.h"
#include "widgets/MVParameterListener.h"

namespace corvex {

// Message thread only.
class CorvanKeyboardModCurveComponent : public juce::Component, public MVParameterListener {
public:
    // The start level, the middle point's x and y, and the end level.
    CorvanKeyboardModCurveComponent(MVGuiInterface* gui, int indexY0, int indexX1, int indexY1, int indexY2);
    ~CorvanKeyboardModCurveComponent() override;
    CorvanKeyboardModCurveComponent(const CorvanKeyboardModCurveComponent&) = delete;
    CorvanKeyboardModCurveComponent& operator=(const CorvanKeyboardModCurveComponent&) = delete;

    const keycurve::Curve& getCurve() const { return curve_; }
    juce::Point<float> toScreen(juce::Point<float> onCurve) const { return onCurve.transformedBy(toScreen_); }

    void parameterChanged(int index, float value) override;
    void highlightChanged(int, float) override {}
    void mouseDown(const juce::MouseEvent& event) override;
    void mouseDrag(const juce::MouseEvent& event) override;
    void mouseUp(const juce::MouseEvent& event) override;
    void resized() override;
    void paint(juce::Graphics& g) override;

private:
    enum Slot { kY0, kX1, kY1, kY2, kSlots };

    // Takes a value without repainting.
    void follow(int index, float value);
    juce::Point<float> toCurve(const juce::MouseEvent& event) const { return event.position.transformedBy(toCurve_); }

    MVGuiInterface* const gui_;
    const std::array<int, kSlots> indices_;
    keycurve::Curve curve_;
    keycurve::Point dragged_ = keycurve::kNone;
    juce::AffineTransform toScreen_, toCurve_;
    std::array<std::unique_ptr<MVParameterBinding>, kSlots> bindings_;
};

} // namespace corvex
