// The order of a preset list: by one attribute's value, ascending or descending, then by name from A to Z.
// Only A-Z fold and UTF-16 code units compare, so that lists come out the same on every locale.
#pragma once

#include <vector>

#include <juce_core/juce_core.h>

namespace corvex {

class MorvanePreset;

class PresetSortOrder {
public:
    // An empty key sorts by name alone; direction > 0 ascending.
    void set(const juce::String& key, int direction);
    // The same string for the order's life: messages carry its address.
    const juce::String& key() const { return key_; }
    int direction() const { return direction_; }
    bool before(const MorvanePreset& a, const MorvanePreset& b) const;
    void sort(std::vector<MorvanePreset*>& presets) const;

private:
    juce::String key_;
    int direction_ = 1;
};

} // namespace corvex
