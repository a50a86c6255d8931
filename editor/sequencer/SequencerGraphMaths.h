// The step graph's geometry and arithmetic without a window: where a pointer lands, the bars, the length band,
// the line tool's span, the value bubble's text and the two- and many-step readings of stored values.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace corvex::seqgraph {

constexpr int kSteps = 32;
// The frame's left edge; the first bar starts one pixel inside it.
constexpr int kFrameLeft = 15;
constexpr int kFirstBarLeft = 16;
// Everything above the grid is the length band.
constexpr int kGridTop = 24;
constexpr int kLengthBarTop = 11;
constexpr int kLengthBarHeight = 9;

// 0 when the graph is too narrow to give a step a pixel.
constexpr int stepWidth(int width) { return width > 17 ? (width - 17) / kSteps : 0; }
constexpr int centreLine(int height) { return kGridTop + (height - kGridTop) / 2; }
// A pointer is mapped by dividing by the step width and the grid's height; a graph with neither takes no input.
constexpr bool takesInput(int stepWidth, int height) { return stepWidth > 0 && height > kGridTop; }

struct PointerStep {
    int step;
    float value;
};
// The step under the pointer and the value its height gives; the pointer is held inside the grid first.
// Only for a graph that takes input.
PointerStep pointerStep(juce::Point<int> at, int stepWidth, int height);

// Whether a press in the length band falls on the length bar.
bool isOnLengthBar(int x, int lengthIndex, int stepWidth);
// The length index a drag to x asks for, 0..31.
int lengthIndexAt(int x, int stepWidth);
// The middle of the index's step among 32, as the length row stores it.
float lengthValue(int lengthIndex);

// Readings of stored values: a discrete row of n steps, and a two-step mark.
int stepOf(float value, int steps);
inline bool isMarked(float value) { return stepOf(value, 2) == 1; }

// The semitone offset a step value plays: -24 .. +24, 0.5 being none.
int semitonesOf(float value);
// "Step: 3\nVal: 0.250\nQ: +6 semi-tones", step counted from 0.
juce::String stepText(int step, float value);

// The bar of a step: above the centre line for values of at least 0.5, below it otherwise; a linked step
// reaches its right neighbour.
juce::Rectangle<int> barOf(int step, float value, bool linked, int stepWidth, int height);

// A line drawn from the anchor to the current pointer, between its lower and higher step.
struct LineSpan {
    int lo;
    float loValue;
    int hi;
    float hiValue;

    bool contains(int step) const { return step >= lo && step <= hi; }
    float valueAt(int step) const;
};
LineSpan lineSpan(int anchorStep, float anchorValue, int currentStep, float currentValue);

// Steps per quarter of the quantise row's value: which step lines are drawn brighter (0 for none).
int quantisationBeat(float value);

} // namespace corvex::seqgraph
