// Projects: a group of user patches with the user programs they use, exported, imported and deleted together.
#include <iostream>

#include "presets/CorvanMultiFilterManager.h"
#include "presets/ProjectFile.h"

namespace corvex {

std::set<juce::String> CorvanMultiFilterManager::getUserProgramNames(const std::set<juce::String>& patchIdentifiers) {
    std::set<juce::String> names;
    CorvanMultiManager* patches = multiManager();
    if (patches == nullptr)
        return names;
    CorvanProgramManager& programs = patches->getProgramManager();
    for (const juce::String& identifier : patchIdentifiers) {
        const MorvanePreset* patch = patches->findPreset(identifier);
        if (patch == nullptr)
            continue;
        for (const char* key : {kLowerProgramKey, kUpperProgramKey}) {
            const juce::String program = patch->getAttribute(key);
            if (const MorvanePreset* found = programs.findPreset(program); found != nullptr && found->isUserPreset())
                names.insert(program);
        }
    }
    return names;
}

bool CorvanMultiFilterManager::saveState(const std::set<juce::String>& identifiers, juce::OutputStream& out) {
    const bool patches = MorvanePresetFilterManager::saveState(identifiers, out);
    return upperPrograms_->saveState(getUserProgramNames(identifiers), out) && patches;
}

juce::Array<MorvanePreset*> CorvanMultiFilterManager::loadState(juce::InputStream& in,
                                                                 const juce::String& projectName) {
    importProject(in, projectName);
    return {};
}

bool CorvanMultiFilterManager::importProject(juce::InputStream& in, const juce::String& projectName) {
    CorvanMultiManager* patches = multiManager();
    if (patches == nullptr)
        return false;
    // The name becomes a folder of the User bank: one that could lead out of it, or hide, is refused.
    if (!projectfile::isPlainProjectName(projectName)) {
        std::cerr << "Project \"" << projectName << "\" cannot name a folder, nothing imported\n";
        return false;
    }
    const juce::String name = patches->makeUniqueProjectName(projectName);
    // Both sections are read whole before a file is written.
    const std::optional<std::vector<ProjectRecord>> patchRecords = projectsection::read(in, kPatches);
    if (!patchRecords)
        return false;
    if (patchRecords->empty())
        return true;
    const std::optional<std::vector<ProjectRecord>> programRecords = projectsection::read(in, kUpperPrograms);
    if (!programRecords)
        return false;
    // Every file is taken apart, its sound offered to its part's reader, before the first is written: a
    // project imports whole, or not at all.
    if (!upperPrograms_->checkRecords(*programRecords, name) || !checkRecords(*patchRecords, name)) {
        std::cerr << "Project \"" << projectName << "\": nothing imported\n";
        return false;
    }

    juce::Array<MorvanePreset*> programs;
    std::map<juce::String, juce::String> programIds;
    if (!upperPrograms_->importRecords(*programRecords, name, programs, programIds))
        return false;
    juce::Array<MorvanePreset*> created;
    std::map<juce::String, juce::String> patchIds;
    if (!importRecords(*patchRecords, name, created, patchIds)) {
        upperPrograms_->deletePresets(programs, name);
        return false;
    }

    // A program renamed on import is found through the map of this import only: another program whose
    // identifier merely begins with the old one is never taken for it.
    for (MorvanePreset* patch : created) {
        patch->setAttribute(kProjectKey, name, true);
        for (const char* key : {kLowerProgramKey, kUpperProgramKey}) {
            const auto renamed = programIds.find(patch->getAttribute(key));
            if (renamed != programIds.end())
                patch->setAttribute(key, renamed->second, true);
        }
        // A patch left on disk without its project and links would play the wrong programs.
        if (!patch->saveAttributes()) {
            std::cerr << "Project: patch \"" << patch->getName() << "\" cannot be written, import undone\n";
            deletePresets(created, name);
            upperPrograms_->deletePresets(programs, name);
            return false;
        }
        patch->setModified(false);
    }
    for (MorvanePresetFilterManager* filter : {static_cast<MorvanePresetFilterManager*>(this), upperPrograms_}) {
        filter->markListDirty();
        postFilterMessage(filter, kImportDone, 0, 0, nullptr);
    }
    lowerPrograms_->markListDirty();
    return true;
}

void CorvanMultiFilterManager::deleteProject(const juce::String& projectName) {
    CorvanMultiManager* patches = multiManager();
    if (patches == nullptr)
        return;
    std::set<juce::String> members;
    patches->findPresetsWithAttribute(kProjectKey, projectName, members);
    std::set<juce::String> programs = getUserProgramNames(members);
    for (const juce::String& identifier : members)
        if (MorvanePreset* patch = patches->findPreset(identifier); patch != nullptr && patch->isUserPreset())
            patches->deletePreset(patch);

    // A program that a remaining user patch still plays stays.
    for (const auto& [identifier, patch] : patches->getPresets()) {
        if (!patch->isUserPreset())
            continue;
        programs.erase(patch->getAttribute(kUpperProgramKey));
        if (patch->getAttribute(kModeKey) != "Whole")
            programs.erase(patch->getAttribute(kLowerProgramKey));
    }
    CorvanProgramManager& programManager = patches->getProgramManager();
    for (const juce::String& identifier : programs)
        if (MorvanePreset* program = programManager.findPreset(identifier))
            programManager.deletePreset(program);
    lowerPrograms_->markListDirty();
    upperPrograms_->markListDirty();
    markListDirty();
}

} // namespace corvex
