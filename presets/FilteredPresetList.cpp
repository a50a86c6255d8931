// Building and reading one filtered, sorted list of presets.
#include "presets/FilteredPresetList.h"

#include <algorithm>

#include "presets/MorvanePresetManager.h"
#include "presets/PresetCriteria.h"
#include "presets/PresetSortOrder.h"

namespace corvex {

void FilteredPresetList::rebuild(MorvanePresetManager* manager, const PresetCriteria& criteria,
                                 const PresetSortOrder& order) {
    presets_.clear();
    identifiers_.clear();
    if (manager == nullptr) {
        dirty_ = false;
        return;
    }
    manager->rebuildIndex();
    for (const auto& entry : manager->getPresets())
        identifiers_.insert(entry.first);
    criteria.narrow(*manager, identifiers_);
    for (const juce::String& identifier : identifiers_)
        presets_.push_back(manager->getPresetByName(identifier));
    sort(order);
    dirty_ = false;
}

void FilteredPresetList::sort(const PresetSortOrder& order) { order.sort(presets_); }

MorvanePreset* FilteredPresetList::at(int index) const {
    return index >= 0 && index < size() ? presets_[static_cast<size_t>(index)] : nullptr;
}

int FilteredPresetList::indexOf(const MorvanePreset* preset) const {
    if (preset == nullptr)
        return -1;
    const auto found = std::find(presets_.begin(), presets_.end(), preset);
    return found == presets_.end() ? -1 : static_cast<int>(found - presets_.begin());
}

bool FilteredPresetList::containsAny(const std::set<juce::String>& identifiers) const {
    return std::any_of(identifiers.begin(), identifiers.end(),
                       [this](const juce::String& identifier) { return identifiers_.count(identifier) != 0; });
}

} // namespace corvex
