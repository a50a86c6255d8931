// The LCD page number behind the editor id that remembers it: which tab and which sub-page the screen shows,
// kept in a parameter value between 0 and 1.
#pragma once

namespace corvex::lcdpage {

constexpr int kHidden = 0;
constexpr int kPresets = 1;
constexpr int kFirstModulation = 2; // Quorbit; then the sequencer and keyboard sub-pages
constexpr int kLastModulation = 4;
constexpr int kEffects = 5;         // the effects page with no sub-page chosen yet
constexpr int kFirstEffect = 6;     // pre, post, master 1, master 2
constexpr int kLast = 9;

// The stored value sits in the middle of its tenth, so a float rounding either way reads back the same page;
// an out-of-range value (or NaN from a damaged state) reads as the nearest page.
constexpr int fromValue(float value) {
    const float scaled = value * 10.0f;
    if (!(scaled >= 1.0f)) return kHidden;
    if (scaled >= static_cast<float>(kLast)) return kLast;
    return static_cast<int>(scaled);
}

constexpr float toValue(int page) { return static_cast<float>(page / 10.0 + 0.05); }

constexpr bool isModulation(int page) { return page >= kFirstModulation && page <= kLastModulation; }
constexpr bool isEffects(int page) { return page >= kEffects && page <= kLast; }

} // namespace corvex::lcdpage
