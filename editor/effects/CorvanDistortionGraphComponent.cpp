// The insert distortion's transfer curve.
#include "editor/effects/CorvanDistortionGraphComponent.h"

#include <cmath>

#include "editor/effects/DistortionCurve.h"
#include "instrument/params/ParameterIndex.h"
#include "widgets/CorvanLookAndFeel.h"

namespace corvex {

namespace {

namespace fx = ParameterIndex::insertfx;

constexpr int kDrive = fx::kFirstValue;          // the first slot's value
constexpr int kSecondValue = fx::kFirstValue + 4; // repaints only
constexpr int kMargin = 14;

} // namespace

CorvanDistortionGraphComponent::CorvanDistortionGraphComponent(int chain, MVGuiInterface* gui)
    : gui_(gui), chain_(chain), driveBinding_(gui, this), secondBinding_(gui, this) {
    const int drive = ParameterIndex::foldEffectIndex(chain_, kDrive);
    if (gui_ != nullptr) {
        const float v = gui_->getParameter(drive);
        if (std::isfinite(v)) drive_ = v;
    }
    driveBinding_.bind(drive);
    secondBinding_.bind(ParameterIndex::foldEffectIndex(chain_, kSecondValue));
}

CorvanDistortionGraphComponent::~CorvanDistortionGraphComponent() = default;

void CorvanDistortionGraphComponent::parameterChanged(int index, float value) {
    if (fx::chainZeroIndex(index) == kDrive && std::isfinite(value)) drive_ = value;
    repaint();
}

void CorvanDistortionGraphComponent::paint(juce::Graphics& g) {
    const int w = getWidth() - kMargin;
    const int h = getHeight() - kMargin;
    if (w <= 0 || h <= 0) return;
    const juce::Colour grey(CorvanLookAndFeel::kGrey);
    g.setColour(grey.withAlpha(0.5f));
    g.drawRect(juce::Rectangle<float>(kMargin, 0.0f, float(w), float(h)), 2.0f);
    g.drawLine(kMargin, float(h / 2), float(getWidth()), float(h / 2), 2.0f);
    g.drawLine(float(w / 2 + kMargin), 0.0f, float(w / 2 + kMargin), float(h), 2.0f);

    g.setColour(grey);
    g.setFont(12.0f);
    g.drawText("Input", kMargin, h, w, kMargin, juce::Justification::centred, true);
    juce::GlyphArrangement glyphs;
    glyphs.addLineOfText(g.getCurrentFont(), "Output", 0.0f, 0.0f);
    juce::Path output;
    glyphs.createPath(output);
    output.applyTransform(juce::AffineTransform::rotation(-juce::MathConstants<float>::halfPi).translated(12.0f, 100.0f));
    g.fillPath(output);

    const double steepness = distortiongraph::driveSteepness(drive_);
    int previous = distortiongraph::curveY(0, w, h, steepness);
    for (int i = 1; i < w; ++i) {
        const int y = distortiongraph::curveY(i, w, h, steepness);
        g.drawLine(float(kMargin + i - 1), float(previous), float(kMargin + i), float(y), 2.0f);
        previous = y;
    }
}

} // namespace corvex
