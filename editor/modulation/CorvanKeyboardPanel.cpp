// The "Keyboard" modulation page.
#include "editor/modulation/CorvanKeyboardPanel.h"

#include "instrument/params/ParameterIndex.h"
#include "widgets/CorvanLookAndFeel.h"
#include "widgets/PanelLayout.h"

namespace corvex {

namespace {
namespace P = ParameterIndex;

// In the order the children are made: the two curves, then the two output panels.
constexpr LayoutRect kVelocityCurveBounds{10, 19, 150, -46};
constexpr LayoutRect kAftertouchCurveBounds{400, 19, 150, -46};
constexpr LayoutRect kVelocityOutputsBounds{170, 19, 200, -46};
constexpr LayoutRect kAftertouchOutputsBounds{560, 19, 200, -46};
constexpr int kOutlineInset = 3;
} // namespace

CorvanKeyboardPanel::CorvanKeyboardPanel(MVGuiInterface* gui)
    : velocityCurve_(std::make_unique<CorvanKeyboardModCurveComponent>(
          gui, P::kVelocityCurveY0, P::kVelocityCurveX1, P::kVelocityCurveY1, P::kVelocityCurveY2)),
      aftertouchCurve_(std::make_unique<CorvanKeyboardModCurveComponent>(
          gui, P::kAftertouchCurveY0, P::kAftertouchCurveX1, P::kAftertouchCurveY1, P::kAftertouchCurveY2)),
      velocityOutputs_(std::make_unique<CorvanKeyboardModOutputPanel>(gui, "Velocity", P::kVelocityDestination,
                                                                      P::kVelocityAmount)),
      aftertouchOutputs_(std::make_unique<CorvanKeyboardModOutputPanel>(gui, "Aftertouch", P::kAftertouchDestination,
                                                                        P::kAftertouchAmount)) {
    for (juce::Component* child : {static_cast<juce::Component*>(velocityCurve_.get()),
                                   static_cast<juce::Component*>(aftertouchCurve_.get()),
                                   static_cast<juce::Component*>(velocityOutputs_.get()),
                                   static_cast<juce::Component*>(aftertouchOutputs_.get())})
        addAndMakeVisible(child);
}

CorvanKeyboardPanel::~CorvanKeyboardPanel() = default;

void CorvanKeyboardPanel::resized() {
    const int w = getWidth(), h = getHeight();
    velocityCurve_->setBounds(kVelocityCurveBounds.within(w, h));
    aftertouchCurve_->setBounds(kAftertouchCurveBounds.within(w, h));
    velocityOutputs_->setBounds(kVelocityOutputsBounds.within(w, h));
    aftertouchOutputs_->setBounds(kAftertouchOutputsBounds.within(w, h));
}

void CorvanKeyboardPanel::paint(juce::Graphics& g) {
    g.setColour(juce::Colour(CorvanLookAndFeel::kGrey));
    CorvanLookAndFeel::getInstance()->drawGroupOutline(g, "Keyboard", kOutlineInset, kOutlineInset,
                                                       getWidth() - 2 * kOutlineInset, getHeight() - 2 * kOutlineInset,
                                                       1.0f, CorvanLookAndFeel::kFontHeight);
}

} // namespace corvex
