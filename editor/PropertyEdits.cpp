#include "editor/PropertyEdits.h"

#include "presets/CorvanMultiFilterManager.h"
#include "presets/MorvanePreset.h"

namespace corvex {

namespace propertyedits {

namespace {

// Each value once, ignoring case, blanks and "None" left out, first spelling kept.
juce::StringArray distinctValues(const juce::StringArray& values) {
    juce::StringArray out;
    for (const juce::String& value : values)
        if (value.trim().isNotEmpty() && value != kNone && !out.contains(value, true))
            out.add(value);
    return out;
}

} // namespace

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
    juce::StringArray wanted = distinctValues(chosen);
    juce::StringArray held;
    program.getAttributeValues(kCharacteristicsKey, held);
    for (const juce::String& value : held) {
        const int at = wanted.indexOf(value, true);
        if (at >= 0 && wanted[at] == value)
            wanted.remove(at);
        else
            program.removeAttribute(kCharacteristicsKey, value);
    }
    for (const juce::String& value : wanted)
        program.setAttribute(kCharacteristicsKey, value, true);
}

juce::String characteristicsText(const MorvanePreset& program) {
    juce::StringArray values;
    program.getAttributeValues(kCharacteristicsKey, values);
    return values.joinIntoString(", ");
}

} // namespace propertyedits

} // namespace corvex
