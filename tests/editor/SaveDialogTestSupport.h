// A small library of programs and patches for the save dialogs' tests, the dialogs asked through a script,
// and what a save row shows.
#pragma once

#include <string>
#include <vector>

#include "editor/CorvanProgramSaveDialogPanel.h"
#include "editor/DialogPatchSavePrompt.h"
#include "tests/editor/ComponentSearch.h"
#include "tests/editor/ScriptedModalCalls.h"
#include "tests/presets/FilterTestSupport.h"

// Failures show the texts, not the bytes.
namespace juce {
inline void PrintTo(const StringArray& values, std::ostream* os) {
    *os << "{" << values.joinIntoString(", ").toStdString() << "}";
}
} // namespace juce

namespace corvex::testing {

// What a save row shows.
struct RowSeen {
    ProgramSaveChoice::Kind kind;
    bool saveEnabled;
    bool warning;
    bool characteristics;
};
inline RowSeen seeRow(CorvanSaveProgramPanel& row) {
    auto* warning = findNamed<juce::TextEditor>(row, "Warning");
    auto* block = findFirst<CorvanProgramCharacteristicsPanel>(row);
    juce::Button* save = findButton(row, "Save");
    return {row.getSelectedKind(), save != nullptr && save->isEnabled(), warning != nullptr && warning->isVisible(),
            block != nullptr && block->isVisible()};
}

// Paths, relative to the settings folder, of the files that differ; a file added shows as "+" and its folder.
inline std::vector<std::string> changedFiles(const std::map<juce::String, juce::MemoryBlock>& before,
                                             const std::map<juce::String, juce::MemoryBlock>& after) {
    std::vector<std::string> changed;
    for (const auto& [path, bytes] : after) {
        const auto old = before.find(path);
        if (old == before.end())
            changed.push_back("+" + path.upToLastOccurrenceOf("/", false, false).toStdString());
        else if (old->second != bytes)
            changed.push_back(path.toStdString());
    }
    for (const auto& [path, bytes] : before)
        if (after.count(path) == 0)
            changed.push_back("-" + path.toStdString());
    return changed;
}

class SaveDialogTest : public FilterTest {
protected:
    // Programs: factory "Default" (with the factory patch of that name) and "Fat Lead" (Lead; Dark, Soft), user "Lead" and "Pad". Patches: "Mine"
    // (Lead over Pad, Split, project Live), "Other A" and "Other B" (Lead only, Whole, project Tour), "Solo"
    // (Default over Fat Lead, Whole, no project). So "Lead" is shared, "Pad" is not.
    void makeLibrary() {
        program("Factory/Default.cvp", "Default", "Default");
        program("Factory/flead.cvp", "FLEAD", "Fat Lead",
                {{"Type", "Lead"}, {"Characteristics", "Dark"}, {"Characteristics", "Soft"}});
        program("User/ulead.cvp", "ULEAD", "Lead", {{"Type", "Lead"}});
        program("User/upad.cvp", "UPAD", "Pad", {{"Type", "Pad"}});
        patch("Factory/Default.cvm", "Default", "Default", "Default", "Default", "Whole");
        patch("User/mine.cvm", "MINE", "Mine", "ULEAD", "UPAD", "Split", {{"Project", "Live"}});
        patch("User/othera.cvm", "OTHERA", "Other A", "ULEAD", "ULEAD", "Whole", {{"Project", "Tour"}});
        patch("User/otherb.cvm", "OTHERB", "Other B", "ULEAD", "ULEAD", "Whole", {{"Project", "Tour"}});
        patch("User/solo.cvm", "SOLO", "Solo", "Default", "FLEAD", "Whole");
        start();
        patches().setPrompt(&prompt);
    }
    // Makes the patch current, then the layer plays the program with an edit.
    void edit(const juce::String& patchId, bool lowerLayer, const juce::String& programId) {
        patches().setCurrentPreset(findPatch(patchId), false);
        (lowerLayer ? lowerPrograms() : upperPrograms()).setCurrentPreset(findProgram(programId), false);
        (lowerLayer ? lower : upper).playing = "edited";
        services->markLayerPresetModified(lowerLayer);
        deliverPostedMessages();
    }
    std::map<juce::String, juce::MemoryBlock> files() const { return filesUnder(folder.getSettingsFolder()); }

    ScriptedModalCalls calls;
    DialogPatchSavePrompt prompt{calls};
};

} // namespace corvex::testing
