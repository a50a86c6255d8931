// What a preset list is narrowed to: pairs of attribute key and value. Values of one key combine with OR,
// keys with AND; pairs of a key the manager does not register restrict nothing.
#pragma once

#include <map>
#include <set>

#include <juce_core/juce_core.h>

namespace corvex {

class MorvanePresetManager;

class PresetCriteria {
public:
    void set(const juce::String& key, const juce::String& value, bool add);
    bool has(const juce::String& key, const juce::String& value) const;
    void clear();
    // Active from the first set() until clear(), even once every pair is removed again.
    bool isActive() const { return active_; }
    // Keeps in identifiers only the presets that meet every key's pairs; an inactive filter keeps all.
    void narrow(MorvanePresetManager& manager, std::set<juce::String>& identifiers) const;

private:
    std::multimap<juce::String, juce::String> pairs_;
    bool active_ = false;
};

} // namespace corvex
