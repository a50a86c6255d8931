// What the save dialogs offer and say, decided without a window: the default answer for a program, what a
// save row shows for each answer, the dialogs' titles and messages, and which names cannot be stored.
#pragma once

#include <juce_core/juce_core.h>

#include "presets/PatchSavePrompt.h"

namespace corvex {

class MorvanePreset;

namespace savedialog {

// Only a user program may be overwritten.
bool canOverwrite(const MorvanePreset* program);

// Untouched programs are left alone; a factory program can only be copied; a user program is copied when the
// caller prefers it (others use it) and overwritten otherwise.
ProgramSaveChoice::Kind defaultKind(const MorvanePreset* program, bool preferSaveAs);

struct RowShows {
    bool characteristics;
    bool warning;
};
// The warning about overwriting a shared program shows only where the row was asked to warn and the program
// is shared.
RowShows rowShows(ProgramSaveChoice::Kind kind, bool preferSaveAs, bool warnOnSave);

// "Upper: Bass", the title framing a save row.
juce::String rowTitle(const juce::String& layer, const MorvanePreset* program);
// The title of the window asking about a factory program, or about a program other patches share.
juce::String factoryDialogTitle(const juce::String& layer, const MorvanePreset* program);
juce::String sharedDialogTitle(const juce::String& layer, const MorvanePreset* program);

extern const char* const kFactoryMessage;
extern const char* const kOverwriteWarning;
juce::String sharedMessage(const juce::StringArray& otherPatches);

// Names that are empty or only white space are refused before anything is written.
bool isBlankName(const juce::String& name);
extern const char* const kBlankNameTitle;
extern const char* const kBlankPatchName;
extern const char* const kBlankProgramName;
// The same for the copy a save row would make, named by the row's title.
juce::String blankProgramName(const juce::String& rowTitle);

} // namespace savedialog
} // namespace corvex
