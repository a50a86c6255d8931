// The toolbar's search menus.
#include "editor/toolbar/CorvanSearchMenu.h"

#include "presets/MorvanePresetFilterManager.h"
#include "presets/MorvanePresetManager.h"
#include "widgets/CorvanLookAndFeel.h"

namespace corvex {

namespace {
constexpr int kIdsPerKey = 100;
} // namespace

juce::PopupMenu CorvanSearchMenu::build(MorvanePresetManager& manager, int n) {
    juce::StringArray keys, usedKeys;
    manager.getAttributeKeys(keys);
    manager.getIndexedKeys(usedKeys);

    juce::PopupMenu menu;
    menu.setLookAndFeel(CorvanLookAndFeel::getInstance());
    menu.addSectionHeader("SEARCH " + juce::String(n + 1));
    menu.addItem(kAllId, kAllText, true, false);
    for (int k = 0; k < keys.size(); ++k) {
        const juce::String& key = keys[k];
        if (!manager.getAttributeFlagBit2(key)) continue;
        juce::StringArray values, used;
        manager.getAttributeValueList(key, values);
        manager.getUsedAttributeValues(key, used);
        juce::PopupMenu sub;
        sub.setLookAndFeel(CorvanLookAndFeel::getInstance());
        // Ids past the key's hundred would decode as another key's values.
        for (int j = 0; j < values.size() && j < kIdsPerKey - 1; ++j)
            sub.addItem(kIdsPerKey * k + j + 1, values[j], used.contains(values[j]), false);
        menu.addSubMenu(key, sub, usedKeys.contains(key));
    }
    return menu;
}

juce::String CorvanSearchMenu::choose(MorvanePresetFilterManager& filters, int n, int id) {
    MorvanePresetManager* manager = filters.getPresetManager();
    juce::String key, value;
    if (id != kAllId && id > 0 && manager != nullptr) {
        juce::StringArray keys, values;
        manager->getAttributeKeys(keys);
        key = keys[id / kIdsPerKey];
        if (key.isNotEmpty()) manager->getAttributeValueList(key, values);
        const int j = id % kIdsPerKey - 1;
        if (j >= 0 && j < values.size()) value = values[j];
    }
    if (value.isEmpty()) {
        filters.setFilterText(n, {});
        filters.setFilterValues(n, {});
        return kAllText;
    }
    filters.setFilterText(n, key);
    filters.setFilterValues(n, juce::StringArray(value));
    return value;
}

juce::String CorvanSearchMenu::buttonText(MorvanePresetFilterManager& filters, int n) {
    const juce::StringArray values = filters.getFilterValues(n);
    return values.isEmpty() ? juce::String(kAllText) : values[0];
}

} // namespace corvex
