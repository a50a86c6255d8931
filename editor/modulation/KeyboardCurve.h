// A keyboard source's response curve: a level at the first and at the last key value and a middle control
// point, with the hit test and the moves that the mouse makes on it.
#pragma once

#include <juce_graphics/juce_graphics.h>

namespace corvex::keycurve {

// Curve coordinates: x 0..1, y -1..1 with 0 in the middle. The lowest level stays off -1.
constexpr float kLowestLevel = -0.999f;
constexpr float kHighestLevel = 1.0f;
// A click selects a point only within this squared distance, in curve coordinates.
constexpr float kHitDistance = 0.1f;

enum Point { kNone = -1, kStart = 0, kEnd = 1, kMiddle = 2 };

struct Curve {
    float y0 = 0.0f; // at x = 0
    float y2 = 1.0f; // at x = 1
    float x1 = 0.5f; // the middle control point
    float y1 = 0.5f;
};

float clampLevel(float y);
float clampPosition(float x);

// The nearest of start, end and middle, in that order on a tie, or kNone when none is near enough.
Point hitTest(const Curve& curve, juce::Point<float> at);
// The end points keep their x and take only the level; the middle point takes both; kNone moves nothing.
void movePoint(Curve& curve, Point point, juce::Point<float> to);

// Curve coordinates to a component of that size, with an 8-pixel margin: y = 1 at the top.
juce::AffineTransform curveToScreen(int width, int height);

} // namespace corvex::keycurve
