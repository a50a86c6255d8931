// What saving a patch asks the user about its programs, and what each answer does. The editor's dialogs answer
// through this interface; the decisions themselves are the plain functions below, which tests call directly.
#pragma once

#include <optional>

#include <juce_core/juce_core.h>

namespace corvex {

class CorvanMultiFilterManager;
class MorvanePreset;
class MorvanePresetFilterManager;

// One program of the patch: keep it as it is, overwrite its file, or save a copy under a new name.
struct ProgramSaveChoice {
    enum Kind { kDoNotSave, kSave, kSaveAs };
    Kind kind = kDoNotSave;
    // For kSaveAs; an empty (or blank) name or type keeps the copy's own value.
    juce::String name;
    juce::String type;
    // For kSaveAs: every characteristic the copy keeps, none when empty.
    juce::StringArray characteristics;
};

struct PatchSaveAsChoice {
    juce::String name;
    juce::String project;
    ProgramSaveChoice lower;
    ProgramSaveChoice upper;
};

// A modified program the patch uses, as the question about it shows it.
struct ProgramSaveQuestion {
    // "Upper" or "Lower".
    juce::String layer;
    MorvanePresetFilterManager* programs = nullptr;
    MorvanePreset* program = nullptr;
    // Display names of the other patches using the program.
    juce::StringArray otherPatches;
};

class PatchSavePrompt {
public:
    virtual ~PatchSavePrompt() = default;
    // nullopt: the user cancelled. A factory program cannot be saved in place.
    virtual std::optional<ProgramSaveChoice> askFactoryProgram(const ProgramSaveQuestion& question) = 0;
    virtual std::optional<ProgramSaveChoice> askSharedProgram(const ProgramSaveQuestion& question) = 0;
    virtual std::optional<PatchSaveAsChoice> askSaveAs(CorvanMultiFilterManager& patches) = 0;
};

// Carries out the choice on the layer's current program; returns the program the patch is to name.
MorvanePreset* applyProgramSaveChoice(MorvanePresetFilterManager& programs, const ProgramSaveChoice& choice);

} // namespace corvex
