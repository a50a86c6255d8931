// Where a modulation output panel puts its rows: a destination box, an amount knob and an optional switch per
// row, and an optional retrigger button after them. A panel too low for one row per line doubles its columns.
#pragma once

#include <array>

#include <juce_graphics/juce_graphics.h>

namespace corvex::modoutput {

constexpr int kRows = 3;
constexpr int kMargin = 3;
constexpr int kRowHeight = 14;
constexpr int kKnobSize = 18;
constexpr int kSwitchWidth = 20;

struct RowPlaces {
    juce::Rectangle<int> destination, amount, toggle;
};

struct Places {
    int columns = 1;
    std::array<RowPlaces, kRows> rows;
    juce::Rectangle<int> retrigger;
};

Places layout(int width, int height, bool hasSwitches, bool hasRetrigger);

// A two-step switch reads as on from the middle of its range up.
bool switchIsOn(float value);

} // namespace corvex::modoutput
