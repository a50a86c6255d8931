#include "editor/PropertyEdits.h"

#include "editor/ProgramCharacteristics.h"

#include "presets/CorvanMultiFilterManager.h"
#include "presets/MorvanePreset.h"

namespace corvex {

namespace propertyedits {

juce::String displayName(const MorvanePreset& preset) {
    return preset.isModified() ? preset.getName() + "*" : preset.getName();
}

bool rename(MorvanePreset& preset, const juce::String& typed) {
    if (typed.trim().isEmpty())
        return false;
    preset.setName(typed);
    return true;
}

bool setProject(MorvanePreset& patch, const juce::String& typed) {
    if (typed.trim().isEmpty())
        return false;
    patch.setAttribute(CorvanMultiFilterManager::kProjectKey, typed, true);
    return true;
}

void setType(MorvanePreset& program, const juce::String& type) { program.setAttribute(kTypeKey, type, true); }

void setCharacteristics(MorvanePreset& program, const juce::StringArray& chosen) {
    // Compared with what the program holds now, not with what a panel showed last: two edits made before the
    // panel heard of the first must not store a value twice or bring back one just removed.
    juce::StringArray held;
    program.getAttributeValues(kCharacteristicsKey, held);
    characteristics::applyEdit(program, characteristics::editFrom(held, characteristics::chosen(chosen)));
}

juce::String characteristicsText(const MorvanePreset& program) {
    juce::StringArray values;
    program.getAttributeValues(kCharacteristicsKey, values);
    return values.joinIntoString(", ");
}

} // namespace propertyedits

} // namespace corvex
