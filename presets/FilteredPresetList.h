// The presets a list shows, in order: rebuilt from the manager's index, narrowed and sorted, once something
// has marked it stale.
#pragma once

#include <set>
#include <vector>

#include <juce_core/juce_core.h>

namespace corvex {

class MorvanePreset;
class MorvanePresetManager;
class PresetCriteria;
class PresetSortOrder;

class FilteredPresetList {
public:
    void markDirty() { dirty_ = true; }
    bool isDirty() const { return dirty_; }
    // Re-indexes the manager first; empty without one. Clean afterwards.
    void rebuild(MorvanePresetManager* manager, const PresetCriteria& criteria, const PresetSortOrder& order);
    void sort(const PresetSortOrder& order);

    int size() const { return static_cast<int>(presets_.size()); }
    // Null out of range.
    MorvanePreset* at(int index) const;
    // -1 for null or a preset not listed.
    int indexOf(const MorvanePreset* preset) const;
    bool containsAny(const std::set<juce::String>& identifiers) const;
    const std::vector<MorvanePreset*>& presets() const { return presets_; }

private:
    std::set<juce::String> identifiers_;
    std::vector<MorvanePreset*> presets_;
    bool dirty_ = true;
};

} // namespace corvex
