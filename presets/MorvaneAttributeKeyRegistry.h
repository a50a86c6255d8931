// The attribute keys a preset manager knows: four behaviour flags, allowed values and display columns per key.
#pragma once

#include <map>

#include <juce_core/juce_core.h>

namespace corvex {

class MorvaneAttributeKeyRegistry {
public:
    static constexpr int kMultiValued = 1;
    static constexpr int kGatheredFromPresets = 2;
    static constexpr int kFilterCategory = 4;
    static constexpr int kStored = 8;
    static constexpr int kNoColumn = -1;

    // A key registered already keeps its flags and values; a column of 0 or more is (re)assigned either way.
    void registerAttributeKey(const juce::String& key, int flags, int column);
    void addAttributeValue(const juce::String& key, const juce::String& value);

    bool isRegistered(const juce::String& key) const { return values_.count(key) != 0; }
    bool isMultiValued(const juce::String& key) const { return flag(multiValued_, key, false); }
    bool isGatheredFromPresets(const juce::String& key) const { return flag(gathered_, key, false); }
    bool getAttributeFlagBit2(const juce::String& key) const { return flag(filterCategory_, key, false); }
    bool isStored(const juce::String& key) const { return flag(stored_, key, true); }

    // Replaces out by the key's list; an unregistered key leaves out as it was.
    void getRegisteredValues(const juce::String& key, juce::StringArray& out) const;
    // Appends every registered key, ascending.
    void getAttributeKeys(juce::StringArray& out) const;
    juce::String getColumnKey(int column) const;

private:
    using Flags = std::map<juce::String, bool>;
    static bool flag(const Flags& table, const juce::String& key, bool unregistered);

    Flags multiValued_;
    Flags gathered_;
    Flags filterCategory_;
    Flags stored_;
    std::map<juce::String, juce::StringArray> values_;
    std::map<int, juce::String> columns_;
};

} // namespace corvex
