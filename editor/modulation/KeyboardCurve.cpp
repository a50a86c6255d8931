// A keyboard source's response curve.
#include "editor/modulation/KeyboardCurve.h"

#include <algorithm>

namespace corvex::keycurve {

namespace {
constexpr int kScreenMargin = 8;
} // namespace

float clampLevel(float y) { return std::clamp(y, kLowestLevel, kHighestLevel); }

float clampPosition(float x) { return std::clamp(x, 0.0f, 1.0f); }

Point hitTest(const Curve& curve, juce::Point<float> at) {
    const struct {
        Point point;
        juce::Point<float> where;
    } candidates[] = {{kStart, {0.0f, curve.y0}}, {kEnd, {1.0f, curve.y2}}, {kMiddle, {curve.x1, curve.y1}}};
    Point best = kNone;
    // No point is farther than 2 from anywhere near the curve's square, so the first near one always wins.
    float bestDistance = 2.0f;
    for (const auto& c : candidates) {
        const float d = at.getDistanceSquaredFrom(c.where);
        if (d < kHitDistance && d < bestDistance) {
            best = c.point;
            bestDistance = d;
        }
    }
    return best;
}

void movePoint(Curve& curve, Point point, juce::Point<float> to) {
    switch (point) {
    case kStart: curve.y0 = clampLevel(to.y); break;
    case kEnd: curve.y2 = clampLevel(to.y); break;
    case kMiddle:
        curve.x1 = clampPosition(to.x);
        curve.y1 = clampLevel(to.y);
        break;
    case kNone: break;
    }
}

juce::AffineTransform curveToScreen(int width, int height) {
    const int halfHeight = (height - 2 * kScreenMargin) / 2;
    return juce::AffineTransform::scale(static_cast<float>(width - 2 * kScreenMargin), static_cast<float>(-halfHeight))
        .translated(static_cast<float>(kScreenMargin), static_cast<float>(halfHeight + kScreenMargin));
}

} // namespace corvex::keycurve
