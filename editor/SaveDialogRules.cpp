#include "editor/SaveDialogRules.h"

#include "presets/MorvanePreset.h"

namespace corvex::savedialog {

namespace {
juce::String quotedName(const MorvanePreset* program) {
    return "\"" + (program != nullptr ? program->getName() : juce::String()) + "\"";
}
} // namespace

const char* const kFactoryMessage =
    "This program is used by the current patch. It cannot be saved because it is a factory program.";
const char* const kOverwriteWarning =
    "Be careful! This program is also used by some other patches. Saving it now may alter the patch which are "
    "also using this program. Unless, you know exactly what you are doing, we would recommend that you make a "
    "\"Save As\" instead.";
const char* const kBlankNameTitle = "Name missing";
const char* const kBlankPatchName = "The patch needs a name: a blank name cannot be saved.";
const char* const kBlankProgramName = "The program needs a name: a blank name cannot be saved.";

bool canOverwrite(const MorvanePreset* program) { return program != nullptr && program->isUserPreset(); }

ProgramSaveChoice::Kind defaultKind(const MorvanePreset* program, bool preferSaveAs) {
    if (program == nullptr || !program->isModified())
        return ProgramSaveChoice::kDoNotSave;
    if (!canOverwrite(program) || preferSaveAs)
        return ProgramSaveChoice::kSaveAs;
    return ProgramSaveChoice::kSave;
}

RowShows rowShows(ProgramSaveChoice::Kind kind, bool preferSaveAs, bool warnOnSave) {
    return {kind == ProgramSaveChoice::kSaveAs, kind == ProgramSaveChoice::kSave && preferSaveAs && warnOnSave};
}

juce::String rowTitle(const juce::String& layer, const MorvanePreset* program) {
    return layer + ": " + (program != nullptr ? program->getName() : juce::String());
}

juce::String factoryDialogTitle(const juce::String& layer, const MorvanePreset* program) {
    return layer + " " + quotedName(program) + " cannot be saved.";
}

juce::String sharedDialogTitle(const juce::String& layer, const MorvanePreset* program) {
    return layer + " " + quotedName(program) + " used by another Patch!";
}

juce::String sharedMessage(const juce::StringArray& otherPatches) {
    return "Be careful! This program is also used by some other patches: " + otherPatches.joinIntoString(", ") +
           ". Saving it now may alter these patches. Unless, you know exactly what you are doing, we would "
           "recommend that you make a \"Save As\" instead.";
}

bool isBlankName(const juce::String& name) { return name.trim().isEmpty(); }

juce::String blankProgramName(const juce::String& rowTitle) {
    return "The new program of \"" + rowTitle + "\" needs a name: a blank name cannot be saved.";
}

} // namespace corvex::savedialog
