#include "presetmap/view/PresetMapButton.h"

#include <algorithm>
#include <array>

#include "presetmap/InstrumentType.h"

namespace corvex {

namespace {

constexpr std::array<juce::uint32, kInstrumentTypeCount> kOuter = {
    0xB2323232, 0xB2095809, 0xB217176A, 0xB27A1515, 0xB2197E7E, 0xB22E7A54,
    0xB22D547A, 0xB290902E, 0xB29C5F22, 0xB278A050, 0xB2484284, 0xB28F3679};
constexpr std::array<juce::uint32, kInstrumentTypeCount> kCentre = {
    0xB2323232, 0xB200FF00, 0xB20000FF, 0xB2FF0000, 0xB200FFFF, 0xB200FF80,
    0xB20080FF, 0xB2FFFF00, 0xB2FF8000, 0xB280FF00, 0xB21900FF, 0xB2190080};
const juce::Colour kOutline{0xFF4C4C4C};
const juce::Colour kMarked{0xFFFF0000};

std::array<juce::Path, 6> makeShapes() {
    std::array<juce::Path, 6> shapes;
    shapes[0].addEllipse(0.0f, 0.0f, 16.0f, 16.0f);
    shapes[1].addRectangle(0.0f, 0.0f, 16.0f, 16.0f);
    shapes[2].addTriangle(0.0f, 0.0f, 16.0f, 0.0f, 8.0f, 16.0f);
    shapes[3].addTriangle(0.0f, 16.0f, 16.0f, 16.0f, 8.0f, 0.0f);
    shapes[4].startNewSubPath(8.0f, 0.0f);
    shapes[4].lineTo(16.0f, 8.0f);
    shapes[4].lineTo(8.0f, 16.0f);
    shapes[4].lineTo(0.0f, 8.0f);
    shapes[4].closeSubPath();
    shapes[5].addRectangle(0.0f, 5.0f, 16.0f, 11.0f);
    return shapes;
}

int clampedType(int type) { return std::clamp(type, 0, kInstrumentTypeCount - 1); }

} // namespace

const juce::Path& PresetMapButton::getShapeForType(int type) {
    static const std::array<juce::Path, 6> shapes = makeShapes();
    return shapes[static_cast<unsigned>(type) % shapes.size()];
}

juce::Colour PresetMapButton::outerColour(int type) { return juce::Colour(kOuter[static_cast<size_t>(clampedType(type))]); }

juce::Colour PresetMapButton::centreColour(int type) {
    return juce::Colour(kCentre[static_cast<size_t>(clampedType(type))]);
}

PresetMapButton::PresetMapButton(const PresetMapRecord* record, int type)
    : juce::ShapeButton({}, juce::Colours::transparentBlack, juce::Colours::transparentBlack,
                        juce::Colours::transparentBlack),
      record_(record), type_(type) {
    setSize(16, 16);
    if (record_ != nullptr) setTooltip(juce::String::fromUTF8(record_->name));
    const int effective = getEffectiveType();
    setShape(getShapeForType(effective), true, true, false);
    setOutline(kOutline, 2.0f);
    setColours(outerColour(effective), juce::Colours::white, outerColour(effective));
}

PresetMapButton::PresetMapButton(const juce::String& componentName) : PresetMapButton(nullptr, 0) {
    setName(componentName);
}

int PresetMapButton::getEffectiveType() const { return clampedType(record_ != nullptr ? record_->type : type_); }

void PresetMapButton::setType(int type) {
    type_ = type;
    const int effective = getEffectiveType();
    setShape(getShapeForType(effective), false, true, false);
    setColours(outerColour(effective), juce::Colours::white, outerColour(effective));
    repaint();
}

void PresetMapButton::paintButton(juce::Graphics& g, bool isMouseOver, bool isButtonDown) {
    if (!isEnabled()) isMouseOver = isButtonDown = false;
    const int type = getEffectiveType();
    const float w = static_cast<float>(getWidth());
    const float h = static_cast<float>(getHeight());
    if (isMouseOver)
        g.setColour(juce::Colours::white);
    else if (getWidth() >= 1)
        g.setGradientFill(juce::ColourGradient(centreColour(type), w / 2.0f, h / 2.0f, outerColour(type), 1.1f * w,
                                               1.1f * h, true));
    else
        g.setColour(outerColour(type));

    // The outline thins with the point, so that a small point stays mostly colour.
    const float outline = std::min(w * 0.125f, 2.0f);
    const float t = outline / 2.0f + (isButtonDown ? 1.5f : 0.0f);
    const juce::Path& shape = getShapeForType(type);
    const juce::AffineTransform fit = shape.getTransformToScaleToFit(t, t, w - t - outline, h - t - outline, true);
    juce::Path fitted(shape);
    fitted.applyTransform(fit);
    g.fillPath(fitted);
    if (outline > 0.0f) {
        g.setColour(getToggleState() ? kMarked : kOutline);
        g.strokePath(fitted, juce::PathStrokeType(outline));
    }
}

} // namespace corvex
