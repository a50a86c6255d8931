// The overlay of a morph under way: a red arrow from each snapshot to the cursor, a green one from the press.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include "presetmap/MorphSnapshots.h"

namespace corvex {

class CMorpherArrowsComponent : public juce::Component {
public:
    CMorpherArrowsComponent(juce::Component& owner, const MorphSnapshots& morph);

    void paint(juce::Graphics& g) override;

    // Covers the owner and shows the snapshots present now, from the press at (x, y).
    void start(float x, float y);
    void moveTo(float x, float y);
    juce::Point<float> getStartPoint() const { return start_; }
    juce::Point<float> getCurrentPoint() const { return current_; }
    int getPresenceMask() const { return mask_; }

private:
    juce::Component& owner_;
    const MorphSnapshots& morph_;
    juce::Point<float> start_;
    juce::Point<float> current_;
    int mask_ = 0;
};

} // namespace corvex
