// The X/Y screen.
#include "editor/modulation/CorvanQuorbitScreen.h"

#include <cmath>

#include "editor/modulation/QuorbitTrails.h"
#include "instrument/params/ParameterIndex.h"
#include "widgets/CorvanLookAndFeel.h"

namespace corvex {

namespace {
constexpr float kCorner = 4.0f;
constexpr float kAxisAlpha = 0.6f;
constexpr float kLabelFontHeight = 10.0f;
constexpr float kPlusLabelInset = 35.0f;
constexpr float kMinusLabelInset = 5.0f;
constexpr float kQuarterTurn = 1.5707963f;
constexpr int kPointValues = 4;
} // namespace

CorvanQuorbitScreen::CorvanQuorbitScreen(MVGuiInterface* gui) : gui_(gui), shownLayerBinding_(gui, this) {
    if (gui == nullptr) return;
    gui->addGuiMessageListener(kTrajectoryMessage, this);
    shownLayerBinding_.bind(ParameterIndex::kShownLayer);
    shownLayer_ = quorbit::shownLayer(gui->getParameter(ParameterIndex::kShownLayer));
}

CorvanQuorbitScreen::~CorvanQuorbitScreen() {
    if (MVGuiInterface* gui = gui_.get()) gui->removeGuiMessageListener(kTrajectoryMessage, this);
}

// The payload stays the messenger's: it frees it once every listener had it, so nothing here keeps it.
void CorvanQuorbitScreen::guiMessageReceived(int id, const std::shared_ptr<const void>& payload) {
    if (id != kTrajectoryMessage || payload == nullptr) return;
    addTrajectory(*static_cast<const PointRecord*>(payload.get()));
}

void CorvanQuorbitScreen::addTrajectory(const PointRecord& points) {
    if (!isShowing()) return;
    if (points.layer < 0 || points.layer >= kLayers) return;
    Layer& layer = layers_[static_cast<size_t>(points.layer)];
    const size_t count = std::min(static_cast<size_t>(std::max(points.groupCount, 0)), points.values.size() / kPointValues);
    for (size_t i = 0; i < count; ++i) {
        const float* v = points.values.data() + i * kPointValues;
        const juce::Point<float> to{v[0], 1.0f - v[1]};
        layer.cosine = v[2];
        layer.sine = v[3];
        if (layer.trail.isValid()) {
            const quorbit::Stroke stroke = quorbit::strokeFor({layer.previousX, layer.previousY}, to);
            layer.trail.multiplyAllAlphas(quorbit::kFadePerPoint);
            juce::Graphics g(layer.trail);
            g.setColour(juce::Colours::white.withAlpha(stroke.alpha));
            const float m = quorbit::kScreenMargin;
            const float t = stroke.thickness;
            g.drawLine(extentX_ * layer.previousX + m, extentY_ * layer.previousY + m, extentX_ * to.x + m,
                       extentY_ * to.y + m, t);
            g.fillEllipse(extentX_ * to.x - t / 2.0f + m, extentY_ * to.y - t / 2.0f + m, t, t);
        }
        layer.previousX = to.x;
        layer.previousY = to.y;
    }
    if (points.layer == shownLayer_) repaint();
}

void CorvanQuorbitScreen::parameterChanged(int, float value) { shownLayer_ = quorbit::shownLayer(value); }

void CorvanQuorbitScreen::resized() {
    for (Layer& layer : layers_)
        layer.trail = getWidth() > 0 && getHeight() > 0 ? juce::Image(juce::Image::ARGB, getWidth(), getHeight(), true)
                                                        : juce::Image();
    extentX_ = static_cast<float>(getWidth()) - 2.0f * quorbit::kScreenMargin;
    extentY_ = static_cast<float>(getHeight()) - 2.0f * quorbit::kScreenMargin;
}

void CorvanQuorbitScreen::paint(juce::Graphics& g) {
    const float w = static_cast<float>(getWidth()), h = static_cast<float>(getHeight());
    const juce::Colour grey(CorvanLookAndFeel::kGrey);
    g.setColour(grey);
    g.drawRoundedRectangle(2.0f, 2.0f, w - 4.0f, h - 4.0f, kCorner, 1.0f);
    const Layer& shown = layers_[static_cast<size_t>(shownLayer_)];
    if (shown.trail.isValid())
        g.drawImage(shown.trail, 0, 0, getWidth(), getHeight(), 0, 0, shown.trail.getWidth(), shown.trail.getHeight(),
                    true);

    const float cx = w * 0.5f, cy = h * 0.5f;
    const float hw = extentX_ * 0.5f, hh = extentY_ * 0.5f;
    const float c = shown.cosine, s = shown.sine;
    g.setColour(grey.withAlpha(kAxisAlpha));
    auto line = [&g](float x1, float y1, float x2, float y2) {
        g.drawLine(std::floor(x1), std::floor(y1), std::floor(x2), std::floor(y2));
    };
    line(cx + hw, cy, cx - hw, cy);
    line(cx, cy - hh, cx, cy + hh);
    line(cx + hw * c, cy - hh * s, cx - hw * c, cy + hh * s);
    line(cx - hw * s, cy - hh * c, cx + hw * s, cy + hh * c);
    drawAxisLabels(g, cx, cy);
}

void CorvanQuorbitScreen::drawAxisLabels(juce::Graphics& g, float cx, float cy) const {
    const Layer& shown = layers_[static_cast<size_t>(shownLayer_)];
    const float angle = quorbit::labelAngle(shown.cosine, shown.sine);
    const juce::Font font(kLabelFontHeight, juce::Font::plain);
    const struct {
        const char* text;
        float along, turn;
    } labels[] = {
        {"Lfo 1 +", cx - kPlusLabelInset, angle},
        {"Lfo 2 +", cx - kPlusLabelInset, angle - kQuarterTurn},
        {"-", kMinusLabelInset - cx, angle},
        {"-", kMinusLabelInset - cx, angle - kQuarterTurn},
    };
    for (const auto& label : labels) {
        juce::GlyphArrangement glyphs;
        glyphs.addLineOfText(font, label.text, 0.0f, 0.0f);
        juce::Path path;
        glyphs.createPath(path);
        path.applyTransform(
            juce::AffineTransform::translation(label.along, -1.0f).rotated(label.turn).translated(cx, cy));
        g.fillPath(path);
    }
}

} // namespace corvex
