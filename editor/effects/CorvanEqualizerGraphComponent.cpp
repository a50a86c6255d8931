// The equaliser response graph.
#include "editor/effects/CorvanEqualizerGraphComponent.h"

#include <cmath>

#include "instrument/params/ParameterIndex.h"
#include "widgets/CorvanLookAndFeel.h"

namespace corvex {

namespace {

namespace fx = ParameterIndex::insertfx;
using eqgraph::Axes;

// The fourteen indices the graph follows: ten band values (Q included) and four switches.
std::array<int, 14> listenedIndices() {
    std::array<int, 14> out{};
    size_t n = 0;
    for (int i = 0; i < 10; ++i) out[n++] = fx::kFirstValue + 2 * i;
    for (int b = 0; b < eqgraph::kBandCount; ++b) out[n++] = fx::kEqBandSwitch[b];
    return out;
}

constexpr float kHandleDiameter = 10.0f;
constexpr float kTextHeight = 10.0f;

} // namespace

CorvanEqualizerGraphComponent::CorvanEqualizerGraphComponent(int chain, MVGuiInterface* gui)
    : gui_(gui), chain_(chain) {
    const std::array<int, kListened> indices = listenedIndices();
    for (size_t i = 0; i < indices.size(); ++i) {
        const int index = ParameterIndex::foldEffectIndex(chain_, indices[i]);
        if (gui_ != nullptr) store(indices[i], gui_->getParameter(index));
        bindings_[i] = std::make_unique<MVParameterBinding>(gui_, this);
        bindings_[i]->bind(index);
    }
    response_.update(bands_);
}

CorvanEqualizerGraphComponent::~CorvanEqualizerGraphComponent() = default;

bool CorvanEqualizerGraphComponent::store(int index, float value) {
    if (!std::isfinite(value)) return false;
    for (int b = 0; b < eqgraph::kBandCount; ++b) {
        eqgraph::BandValues& band = bands_[size_t(b)];
        if (index == fx::kEqFrequency[b]) band.frequency = value;
        else if (index == fx::kEqGain[b]) band.gain = value;
        else if (index == fx::kEqQ[b]) band.q = value;
        else if (index == fx::kEqBandSwitch[b]) band.enabled = eqgraph::switchIsOn(value);
        else continue;
        return true;
    }
    return false;
}

void CorvanEqualizerGraphComponent::parameterChanged(int index, float value) {
    if (!store(fx::chainZeroIndex(index), value)) return;
    response_.update(bands_);
    repaint();
}

void CorvanEqualizerGraphComponent::resized() {
    response_.update(bands_);
    repaint();
}

void CorvanEqualizerGraphComponent::mouseDown(const juce::MouseEvent& event) {
    dragged_ = eqgraph::bandAt(axes(), bands_, event.x, event.y);
}

void CorvanEqualizerGraphComponent::mouseDrag(const juce::MouseEvent& event) {
    if (dragged_ < 0 || gui_ == nullptr) return;
    const bool right = event.mods.isRightButtonDown();
    if (!right && !event.mods.isLeftButtonDown()) return;
    for (const eqgraph::Edit& edit : eqgraph::dragEdits(axes(), dragged_, event.x, event.y, right))
        gui_->notifyParameterEdit(MVGuiInterface::kNewValue, ParameterIndex::foldEffectIndex(chain_, edit.index),
                                  edit.value);
}

void CorvanEqualizerGraphComponent::paintGrid(juce::Graphics& g, int plotWidth) {
    const Axes a = axes();
    const juce::Colour grey(CorvanLookAndFeel::kGrey);
    const int h = getHeight();
    for (int n = 0; n <= 11; ++n) {
        const int x = a.xOfFrequency(Axes::kLowestShownHz * std::pow(2.0, n));
        const juce::String text(eqgraph::frequencyLabel(n));
        if (n == 0) {
            g.setColour(grey);
            g.drawText(text, int(x - 16.5), h - 10, 33, 10, juce::Justification::centred, false);
        } else if (n == 11) {
            g.setColour(grey);
            g.drawText(text, int(x - 28.5), h - 10, 43, 10, juce::Justification::centred, false);
        } else {
            g.setColour(grey.withAlpha(0.5f));
            g.drawLine(float(x), float(Axes::kTop), float(x), float(a.plotBottom()));
            g.setColour(grey);
            g.drawText(text, int(x - 19.5), h - 10, 33, 10, juce::Justification::centred, false);
        }
    }
    for (int i = -2; i <= 2; ++i) {
        const double db = 20.0 * i;
        const int y = int(std::floor(a.yOfLevel(db)));
        if (i >= -1 && i <= 1) {
            g.setColour(i == 0 ? grey : grey.withAlpha(0.5f));
            g.drawLine(float(Axes::kLeft), float(y), float(Axes::kLeft + plotWidth), float(y));
        }
        g.setColour(grey);
        g.drawText(juce::String(eqgraph::axisText(db)) + " db", 0, y - 4, 31, 10, juce::Justification::centred,
                   false);
    }
}

void CorvanEqualizerGraphComponent::paint(juce::Graphics& g) {
    const Axes a = axes();
    const int plotWidth = a.plotWidth();
    if (plotWidth <= 1 || a.plotBottom() <= Axes::kTop) return;
    const juce::Colour grey(CorvanLookAndFeel::kGrey);
    g.setFont(kTextHeight);
    paintGrid(g, plotWidth);

    g.setColour(grey);
    g.drawRoundedRectangle(float(Axes::kLeft), float(Axes::kTop), float(plotWidth - 1), float(getHeight() - 20), 4.0f,
                           2.0f);

    juce::Point<float> previous;
    for (int x = Axes::kLeft; x < Axes::kLeft + plotWidth; ++x) {
        const juce::Point<float> point(float(x), float(a.curveY(response_, x)));
        if (x > Axes::kLeft) g.drawLine({previous, point}, 2.0f);
        previous = point;
    }

    for (int b = 0; b < eqgraph::kBandCount; ++b) {
        const eqgraph::BandValues& band = bands_[size_t(b)];
        if (!band.enabled) continue;
        const int xh = a.xOfFrequency(eqgraph::frequencyHz(band.frequency));
        const int yh = a.handleY(band.gain);
        g.setColour(grey);
        g.fillEllipse(xh - kHandleDiameter / 2, yh - kHandleDiameter / 2, kHandleDiameter, kHandleDiameter);
        g.drawText(juce::String(b + 1), xh - 5, yh + 5, 10, 10, juce::Justification::centred, false);
    }
}

} // namespace corvex
