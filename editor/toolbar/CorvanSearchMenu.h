// The toolbar's two search menus: one sub-menu per filterable attribute key of the patches, one item per value,
// and what choosing an item does to the patch list's filter column. Ids: 2000 is "All"; value j of the key at
// position k of the registry's key list is 100 k + j + 1.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace corvex {

class MorvanePresetManager;
class MorvanePresetFilterManager;

class CorvanSearchMenu {
public:
    static constexpr int kAllId = 2000;
    static constexpr const char* kAllText = "All";

    // Search menu n (0 or 1): values no patch uses are greyed, and so is a key no patch uses.
    static juce::PopupMenu build(MorvanePresetManager& manager, int n);
    // Sets filter column n from the chosen id (0 when the menu was dismissed, which clears the column like
    // "All"); returns the text the search button then shows.
    static juce::String choose(MorvanePresetFilterManager& filters, int n, int id);
    // What the search button of column n shows for the column as it is.
    static juce::String buttonText(MorvanePresetFilterManager& filters, int n);
};

} // namespace corvex
