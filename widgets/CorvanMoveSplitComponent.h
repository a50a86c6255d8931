// The split-point marker above the keyboard: an orange triangle over the white key where the patch splits,
// shown only in "Split" mode, that the user drags along the keys to move the split.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include "instrument/params/ParameterIndex.h"
#include "widgets/MVGuiInterface.h"
#include "widgets/MVParameterBinding.h"
#include "widgets/MVParameterListener.h"

namespace corvex {

class MVKeyboard;

// Message thread only.
class CorvanMoveSplitComponent : public juce::Component, public MVParameterListener {
public:
    static constexpr int kMarkerSize = 12;
    static constexpr int kWhiteKeys = 36;

    CorvanMoveSplitComponent(MVGuiInterface* gui, MVKeyboard* keyboard);
    ~CorvanMoveSplitComponent() override;
    CorvanMoveSplitComponent(const CorvanMoveSplitComponent&) = delete;
    CorvanMoveSplitComponent& operator=(const CorvanMoveSplitComponent&) = delete;

    int getSplitWhiteIndex() const { return splitWhiteIndex_; }
    int getMarkerX() const;
    bool isHovered() const { return hovered_; }
    bool isDragging() const { return dragging_; }
    // The white key a split value marks: a black split key marks the white key just below it.
    static int whiteIndexForValue(float value, int lowestNote);
    // The MIDI note of a white key, counted from the keyboard's first key.
    static int noteForWhiteIndex(int index, int lowestNote);

    // Only the marker's point takes the mouse: the strip lies over the top of the keys, which must still play.
    bool hitTest(int x, int y) override;
    void paint(juce::Graphics& g) override;
    void resized() override;
    void mouseMove(const juce::MouseEvent& e) override;
    void mouseExit(const juce::MouseEvent& e) override;
    void mouseDown(const juce::MouseEvent& e) override;
    void mouseDrag(const juce::MouseEvent& e) override;
    void mouseUp(const juce::MouseEvent& e) override;

    void parameterChanged(int index, float value) override;
    void highlightChanged(int, float) override {}

private:
    bool isInsideMarker(juce::Point<int> p) const;
    int lowestNote() const;
    void showForMode(float value);

    MVGuiInterface* const gui_;
    juce::Image normal_;
    juce::Image hover_;
    MVKeyboard* const keyboard_;
    MVParameterBinding keyModeBinding_;
    MVParameterBinding splitKeyBinding_;
    int splitWhiteIndex_ = 0;
    bool dragging_ = false;
    bool hovered_ = false;
};

} // namespace corvex
