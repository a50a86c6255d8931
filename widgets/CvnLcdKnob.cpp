// The LCD knob's drawing. Angle 0 points straight down; the scale leaves a gap of pi/3 around the bottom.
#include "widgets/CvnLcdKnob.h"

#include <cmath>

#include "widgets/CorvanLookAndFeel.h"

namespace corvex {

namespace {
constexpr float kPi = juce::MathConstants<float>::pi;
constexpr float kLine = 2.0f;

float truncated(float v) { return std::trunc(v); }
} // namespace

void CvnLcdKnob::paint(juce::Graphics& g) {
    const int width = getWidth();
    int tick = static_cast<int>(0.1 * width);
    int r = static_cast<int>(0.3 * width);
    int x0 = (width - 2 * (r + tick)) / 2;
    int o = x0 + tick;
    const bool ticks = tick > 2;
    if (!ticks) {
        o = 1;
        x0 = 0;
        tick = 0;
        r = static_cast<int>(0.5 * width - 2.0);
    }

    const CorvanLookAndFeel& lf = *CorvanLookAndFeel::getInstance();
    g.setColour(isEnabled() ? lf.greyColour : lf.greyColour.withAlpha(0.5f));
    const float diameter = static_cast<float>(2 * r - 1);
    g.drawEllipse(static_cast<float>(o), static_cast<float>(o), diameter, diameter, kLine);

    const float c = static_cast<float>(o + r);
    if (ticks) {
        const float inner = static_cast<float>(x0 + r);
        const float outer = static_cast<float>(x0 + r + tick);
        for (float a = kPi / 6.0f; a <= 11.0f * kPi / 6.0f; a += kPi / 6.0f)
            g.drawLine(truncated(c + inner * std::sin(a)), truncated(c + inner * std::cos(a)),
                       truncated(c + outer * std::sin(a)), truncated(c + outer * std::cos(a)), kLine);
    }

    const float angle = static_cast<float>(1.0 - getValue()) * 5.0f * kPi / 3.0f + kPi / 6.0f;
    const float fr = static_cast<float>(r);
    g.drawLine(c, c, truncated(c + fr * std::sin(angle)), truncated(c + fr * std::cos(angle)), kLine);

    drawHighlightFrame(g, highlight_, width - 1, getHeight() - 1);
}

} // namespace corvex
