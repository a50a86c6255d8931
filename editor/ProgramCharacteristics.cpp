#include "editor/ProgramCharacteristics.h"

#include "presets/MorvanePreset.h"

namespace corvex::characteristics {

juce::StringArray chosen(const juce::StringArray& boxTexts) {
    juce::StringArray result;
    for (const juce::String& text : boxTexts) {
        if (text == kNone || text.trim().isEmpty() || result.contains(text, true))
            continue;
        result.add(text);
    }
    return result;
}

Edit editFrom(const juce::StringArray& previous, const juce::StringArray& chosenValues) {
    Edit edit;
    juce::StringArray toAdd = chosenValues;
    // A value the preset holds twice keeps one copy: the second finds it already taken out of toAdd.
    for (const juce::String& value : previous) {
        if (toAdd.contains(value))
            toAdd.removeString(value, true);
        else
            edit.removed.add(value);
    }
    edit.added = toAdd;
    return edit;
}

juce::StringArray afterEdit(const juce::StringArray& previous, const Edit& edit) {
    juce::StringArray result = previous;
    for (const juce::String& value : edit.removed)
        result.remove(result.indexOf(value));
    result.addArray(edit.added);
    return result;
}

void applyEdit(MorvanePreset& preset, const Edit& edit) {
    for (const juce::String& value : edit.removed)
        preset.removeAttribute(kKey, value);
    for (const juce::String& value : edit.added)
        preset.setAttribute(kKey, value, true);
}

} // namespace corvex::characteristics
