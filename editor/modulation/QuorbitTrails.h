// The X/Y screen's maths: how a trail segment is drawn from one point to the next, which layer the screen
// shows, how its labels turn with the axes, and where the page puts its widgets.
#pragma once

#include <array>

#include <juce_graphics/juce_graphics.h>

namespace corvex::quorbit {

// Each new point fades the whole trail by this factor.
constexpr float kFadePerPoint = 0.98f;
constexpr float kScreenMargin = 2.0f;

// A longer jump draws a thinner, fainter segment: d2 is the squared jump in the unit square.
struct Stroke {
    float alpha;
    float thickness;
};
Stroke strokeFor(juce::Point<float> from, juce::Point<float> to);

// The shown layer from the editor's layer id: 0 for the first index blocks, 1 for the second.
int shownLayer(float value);

// The angle the axis labels turn by: the rotation's angle, measured the way the screen's y runs (downwards).
float labelAngle(float cosine, float sine);

// Where the page puts its children, for its size.
struct LfoRow {
    juce::Rectangle<int> shapeLabel, shape, rateLabel, rate;
};
struct PagePlaces {
    juce::Rectangle<int> freeRun, sync;
    std::array<juce::Rectangle<int>, 3> groups;
    std::array<LfoRow, 3> lfos;
    juce::Rectangle<int> angleLabel, angle;
    juce::Rectangle<int> screen, yOutput, xOutput;
    // Corner points of the lines from the screen to the two output panels.
    std::array<juce::Point<int>, 5> toYOutput;
    std::array<juce::Point<int>, 4> toXOutput;
};
PagePlaces pageLayout(int width, int height);

} // namespace corvex::quorbit
