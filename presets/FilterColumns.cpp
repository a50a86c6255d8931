// The criteria that a list's filter columns stand for.
#include "presets/FilterColumns.h"

namespace corvex {

std::vector<std::pair<juce::String, juce::String>> FilterColumns::criteria() const {
    std::vector<std::pair<juce::String, juce::String>> pairs;
    for (const auto& [id, column] : columns_)
        if (column.key.isNotEmpty())
            for (const juce::String& value : column.values)
                pairs.emplace_back(column.key, value);
    return pairs;
}

} // namespace corvex
