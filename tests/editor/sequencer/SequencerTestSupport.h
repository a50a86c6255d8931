// What the sequencer page's tests share: a fake GUI interface that also records the text bubble.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include "instrument/params/ParameterIndex.h"
#include "tests/support/FakeGui.h"

namespace corvex::testing {

struct BubbleRecordingGui : FakeGui {
    int shown = 0;
    int hidden = 0;
    juce::String shownText;
    juce::String text; // the bubble's text as last set, shown or not
    juce::Component* at = nullptr;

    void showTextBubble(const juce::String& t, juce::Component* c) override {
        ++shown;
        shownText = text = t;
        at = c;
    }
    void setTextBubbleText(const juce::String& t) override { text = t; }
    void hideTextBubble() override { ++hidden; }

    // Every step value at `value`, as the layer holds it.
    void fillSteps(float value) {
        for (int i = 0; i < ParameterIndex::kSequencerStepCount; ++i)
            values[ParameterIndex::kSequencerFirstStep + i] = value;
    }
    std::vector<Edit> editsOf(int index) const {
        std::vector<Edit> out;
        for (const Edit& e : edits)
            if (e.index == index) out.push_back(e);
        return out;
    }
};

} // namespace corvex::testing
