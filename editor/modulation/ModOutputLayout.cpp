// Where a modulation output panel puts its rows.
#include "editor/modulation/ModOutputLayout.h"

#include <algorithm>
#include <cmath>

namespace corvex::modoutput {

namespace {
constexpr int kKnobGap = 5;
constexpr int kSwitchGap = 23;
constexpr int kColumnStep = 33;
constexpr int kSwitchColumn = 20;
constexpr int kIndent = 5;
} // namespace

Places layout(int width, int height, bool hasSwitches, bool hasRetrigger) {
    Places p;
    int need = kRowHeight * kRows + (hasRetrigger ? kRowHeight : 0);
    // need reaches 0 at worst, so even an empty panel ends the halving.
    while (height < need && need > 0) {
        p.columns *= 2;
        need /= 2;
    }
    const int lines = kRows / p.columns + 1 + (hasRetrigger ? 1 : 0);
    const int gap = (height - 2 * kMargin - need) / lines;
    const int boxWidth = width - 2 * kMargin - kColumnStep * p.columns - (hasSwitches ? kSwitchColumn * p.columns : 0);

    int y = gap + kMargin;
    int x = kMargin + kIndent;
    for (int i = 0; i < kRows; ++i) {
        RowPlaces& r = p.rows[static_cast<size_t>(i)];
        r.destination = {x, y, boxWidth, kRowHeight};
        r.amount = {x + boxWidth + kKnobGap, y, kKnobSize, kKnobSize};
        r.toggle = {x + boxWidth + kSwitchGap, y, kSwitchWidth, kRowHeight};
        // Row 0 has a line of its own; the rows after it fill the lines column by column.
        if (i % p.columns == 0) {
            y += gap + kRowHeight;
            x = kMargin + kIndent;
        } else {
            x += boxWidth + kColumnStep;
        }
    }
    p.retrigger = {x, y, boxWidth, kRowHeight};
    return p;
}

bool switchIsOn(float value) { return std::clamp(std::trunc(value * 2.0f), 0.0f, 1.0f) == 1.0f; }

} // namespace corvex::modoutput
