// The attribute keys a preset manager knows: four behaviour flags, allowed values and display columns per key.
#include "presets/MorvaneAttributeKeyRegistry.h"

namespace corvex {

void MorvaneAttributeKeyRegistry::registerAttributeKey(const juce::String& key, int flags, int column) {
    if (!isRegistered(key)) {
        multiValued_[key] = (flags & kMultiValued) != 0;
        gathered_[key] = (flags & kGatheredFromPresets) != 0;
        filterCategory_[key] = (flags & kFilterCategory) != 0;
        stored_[key] = (flags & kStored) != 0;
        values_[key] = juce::StringArray();
    }
    if (column >= 0)
        columns_[column] = key;
}

void MorvaneAttributeKeyRegistry::addAttributeValue(const juce::String& key, const juce::String& value) {
    const auto found = values_.find(key);
    if (found != values_.end())
        found->second.add(value);
}

bool MorvaneAttributeKeyRegistry::flag(const Flags& table, const juce::String& key, bool unregistered) {
    const auto found = table.find(key);
    return found == table.end() ? unregistered : found->second;
}

void MorvaneAttributeKeyRegistry::getRegisteredValues(const juce::String& key, juce::StringArray& out) const {
    const auto found = values_.find(key);
    if (found != values_.end())
        out = found->second;
}

void MorvaneAttributeKeyRegistry::getAttributeKeys(juce::StringArray& out) const {
    for (const auto& entry : values_)
        out.add(entry.first);
}

juce::String MorvaneAttributeKeyRegistry::getColumnKey(int column) const {
    const auto found = columns_.find(column);
    return found == columns_.end() ? juce::String() : found->second;
}

} // namespace corvex
