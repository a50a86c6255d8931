// The criteria of one preset list and the narrowing of a set of preset identifiers by them.
#include "presets/PresetCriteria.h"

#include <algorithm>
#include <iterator>

#include "presets/MorvanePresetManager.h"

namespace corvex {

void PresetCriteria::set(const juce::String& key, const juce::String& value, bool add) {
    if (add) {
        pairs_.emplace(key, value);
    } else {
        auto [it, last] = pairs_.equal_range(key);
        while (it != last)
            it = it->second == value ? pairs_.erase(it) : std::next(it);
    }
    active_ = true;
}

bool PresetCriteria::has(const juce::String& key, const juce::String& value) const {
    const auto [first, last] = pairs_.equal_range(key);
    return std::any_of(first, last, [&value](const auto& pair) { return pair.second == value; });
}

void PresetCriteria::clear() {
    pairs_.clear();
    active_ = false;
}

void PresetCriteria::narrow(MorvanePresetManager& manager, std::set<juce::String>& identifiers) const {
    if (!active_)
        return;
    // Walked by the manager's keys, so that a pair of a key nobody registered is passed over.
    juce::StringArray keys;
    manager.getAttributeKeys(keys);
    for (const juce::String& key : keys) {
        const auto [first, last] = pairs_.equal_range(key);
        if (first == last)
            continue;
        std::set<juce::String> matching;
        for (auto it = first; it != last; ++it)
            manager.findPresetsWithAttribute(key, it->second, matching);
        std::set<juce::String> kept;
        std::set_intersection(identifiers.begin(), identifiers.end(), matching.begin(), matching.end(),
                              std::inserter(kept, kept.end()));
        identifiers.swap(kept);
    }
}

} // namespace corvex
