// The X/Y screen's maths.
#include "editor/modulation/QuorbitTrails.h"

#include <algorithm>
#include <cmath>

namespace corvex::quorbit {

namespace {
constexpr float kTwoPi = 6.2831853f;
} // namespace

Stroke strokeFor(juce::Point<float> from, juce::Point<float> to) {
    const float d2 = from.getDistanceSquaredFrom(to);
    return {1.0f - d2 / 3.0f, 2.0f - d2};
}

int shownLayer(float value) { return static_cast<int>(std::clamp(std::trunc(value * 2.0f), 0.0f, 1.0f)); }

float labelAngle(float cosine, float sine) {
    const float angle = std::acos(std::clamp(cosine, -1.0f, 1.0f));
    return sine > 0.0f ? kTwoPi - angle : angle;
}

PagePlaces pageLayout(int width, int height) {
    PagePlaces p;
    const int side = height - 46;
    const int e = (height - 171) / 5;
    const int x0 = (width - side - 380) / 4;

    p.freeRun = {x0 + 34, e + 9, 60, 14};
    p.sync = {x0 + 144, e + 9, 60, 14};
    int groupY = 2 * e + 37;
    for (size_t j = 0; j < 3; ++j) {
        const bool rotation = j == 2;
        p.groups[j] = {x0 + 9, groupY, 220, rotation ? 57 : 34};
        int rowY = groupY + 10;
        if (rotation) {
            // The angle row keeps its place whatever the page's width.
            p.angleLabel = {71, rowY, 60, 14};
            p.angle = {131, rowY, 18, 18};
            rowY += 23;
        }
        p.lfos[j] = {{x0 + 15, rowY, 60, 14}, {x0 + 75, rowY, 60, 14}, {x0 + 145, rowY, 60, 14}, {x0 + 205, rowY, 18, 18}};
        groupY += e + 34;
    }

    const int sx = 2 * x0 + 229;
    p.screen = {sx, 28, side, side};
    const int q = (height - 24) / 2;
    const int xr = sx + side + x0 / 2;
    const int xe = sx + x0 + side;
    p.yOutput = {xe, 11, 160, q};
    p.xOutput = {xe, q + 13, 160, q};
    p.toYOutput = {{{sx + side / 2, 28}, {sx + side / 2, 19}, {xr, 19}, {xr, q / 2 + 11}, {xe, q / 2 + 11}}};
    p.toXOutput = {{{sx + side, side / 2 + 28}, {xr, side / 2 + 28}, {xr, (3 * q) / 2 + 13}, {xe, (3 * q) / 2 + 13}}};
    return p;
}

} // namespace corvex::quorbit
