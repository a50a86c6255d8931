// The split-point marker.
#include "widgets/CorvanMoveSplitComponent.h"

#include <algorithm>
#include <cmath>

#include "widgets/MVKeyboard.h"

namespace corvex {

namespace {

const juce::Colour kMarkerColour(199, 78, 42);
constexpr int kWhiteSemitones[7] = {0, 2, 4, 5, 7, 9, 11};

juce::Image triangle(juce::Colour colour) {
    juce::Image image(juce::Image::ARGB, CorvanMoveSplitComponent::kMarkerSize, CorvanMoveSplitComponent::kMarkerSize,
                      true);
    juce::Graphics g(image);
    juce::Path p;
    p.addTriangle(0.0f, 0.0f, 6.0f, 12.0f, 12.0f, 0.0f);
    g.setColour(colour);
    g.fillPath(p);
    return image;
}

// Values from the instrument are 0..1, but a stray NaN must not become an arbitrary integer.
int truncated(float value, int steps) { return std::isfinite(value) ? static_cast<int>(value * steps) : 0; }

} // namespace

CorvanMoveSplitComponent::CorvanMoveSplitComponent(MVGuiInterface* gui, MVKeyboard* keyboard)
    : gui_(gui), normal_(triangle(kMarkerColour)), hover_(triangle(kMarkerColour.brighter(0.6f))),
      keyboard_(keyboard), keyModeBinding_(gui, this), splitKeyBinding_(gui, this) {
    if (gui_ != nullptr)
        splitWhiteIndex_ = whiteIndexForValue(gui_->getParameter(ParameterIndex::kSplitKey), lowestNote());
    repaint();
    keyModeBinding_.bind(ParameterIndex::kKeyMode);
    splitKeyBinding_.bind(ParameterIndex::kSplitKey);
}

CorvanMoveSplitComponent::~CorvanMoveSplitComponent() {
    keyModeBinding_.unbind();
    splitKeyBinding_.unbind();
}

int CorvanMoveSplitComponent::whiteIndexForValue(float value, int lowestNote) {
    const int note = std::clamp(truncated(value, 128), 0, 127);
    const int d = note - lowestNote;
    const int q = d / 12;
    const int r = d % 12;
    return 7 * q + (r >= 5 ? r + 1 : r) / 2;
}

int CorvanMoveSplitComponent::noteForWhiteIndex(int index, int lowestNote) {
    if (index < 0) return std::max(0, lowestNote);
    return std::min(127, lowestNote + 12 * (index / 7) + kWhiteSemitones[index % 7]);
}

int CorvanMoveSplitComponent::lowestNote() const { return keyboard_ != nullptr ? keyboard_->getLowestNote() : 0; }

int CorvanMoveSplitComponent::getMarkerX() const {
    return (getWidth() - kMarkerSize) * splitWhiteIndex_ / kWhiteKeys;
}

bool CorvanMoveSplitComponent::isInsideMarker(juce::Point<int> p) const {
    const int x = getMarkerX();
    return x < p.x && p.x < x + kMarkerSize && 0 < p.y && p.y < kMarkerSize;
}

bool CorvanMoveSplitComponent::hitTest(int x, int y) { return isInsideMarker({x, y}); }

void CorvanMoveSplitComponent::showForMode(float value) { setVisible(std::max(0, truncated(value, 3)) >= 2); }

void CorvanMoveSplitComponent::paint(juce::Graphics& g) {
    g.drawImageAt(hovered_ ? hover_ : normal_, getMarkerX(), 0);
}

void CorvanMoveSplitComponent::resized() {
    if (gui_ != nullptr) showForMode(gui_->getParameter(ParameterIndex::kKeyMode));
}

void CorvanMoveSplitComponent::mouseMove(const juce::MouseEvent& e) {
    hovered_ = isInsideMarker(e.getPosition());
    repaint();
}

void CorvanMoveSplitComponent::mouseExit(const juce::MouseEvent&) {
    hovered_ = false;
    repaint();
}

void CorvanMoveSplitComponent::mouseDown(const juce::MouseEvent& e) {
    if (isInsideMarker(e.getPosition())) {
        if (gui_ != nullptr &&
            gui_->getStringSetting(guisettings::kShowPopupOnClick, guisettings::kYes) == guisettings::kYes)
            gui_->showParameterBubble(ParameterIndex::kSplitKey, this);
        dragging_ = true;
        hovered_ = true;
    }
    repaint();
}

void CorvanMoveSplitComponent::mouseDrag(const juce::MouseEvent& e) {
    const int travel = getWidth() - kMarkerSize;
    // A component no wider than the marker has no keys to drag along.
    if (!dragging_ || travel <= 0) return;
    // The first key stays out of reach: a split there would leave the Lower part nothing to play.
    const int index = std::clamp((e.x - kMarkerSize / 2) * kWhiteKeys / travel, 1, kWhiteKeys - 1);
    if (index == splitWhiteIndex_) return;
    splitWhiteIndex_ = index;
    repaint();
    const int note = noteForWhiteIndex(index, lowestNote());
    if (gui_ != nullptr)
        gui_->notifyParameterEdit(MVGuiInterface::kNewValue, ParameterIndex::kSplitKey,
                                  static_cast<float>(note) * 0.0078125f + 0.00390625f);
}

void CorvanMoveSplitComponent::mouseUp(const juce::MouseEvent& e) {
    if (gui_ != nullptr) gui_->hideParameterBubble();
    dragging_ = false;
    hovered_ = isInsideMarker(e.getPosition());
    repaint();
}

void CorvanMoveSplitComponent::parameterChanged(int index, float value) {
    if (index == ParameterIndex::kKeyMode)
        showForMode(value);
    else if (index == ParameterIndex::kSplitKey)
        splitWhiteIndex_ = whiteIndexForValue(value, lowestNote());
    repaint();
}

} // namespace corvex
