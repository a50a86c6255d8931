// The filter columns the panels show: each an attribute key and the values chosen in it. Their ids mean
// nothing here; the host state keeps them as they are.
#pragma once

#include <map>
#include <utility>
#include <vector>

#include <juce_core/juce_core.h>

namespace corvex {

struct FilterColumn {
    juce::String key;
    juce::StringArray values;
};

class FilterColumns {
public:
    using Map = std::map<int, FilterColumn>;

    void setKey(int id, const juce::String& key) { columns_[id].key = key; }
    // Asking for a column makes it, empty: the state then carries it too.
    juce::String key(int id) { return columns_[id].key; }
    void setValues(int id, const juce::StringArray& values) { columns_[id].values = values; }
    juce::StringArray values(int id) { return columns_[id].values; }
    void clear() { columns_.clear(); }
    const Map& all() const { return columns_; }
    // Every chosen value of every column that has a key, as key and value, in column order.
    std::vector<std::pair<juce::String, juce::String>> criteria() const;

private:
    Map columns_;
};

} // namespace corvex
