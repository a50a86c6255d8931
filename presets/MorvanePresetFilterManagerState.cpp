// A filter manager's share of the saved instrument state, and its section of a project file.
#include <iostream>

#include "presets/MorvanePresetFilterManager.h"
#include "presets/ProjectRecordImport.h"

namespace corvex {

void MorvanePresetFilterManager::writeState(std::vector<uint8_t>& out) {
    StateSection section;
    MorvanePreset* current = getCurrentPreset();
    if (current != nullptr) {
        section.identifier = current->getIdentifier();
        current->writeChunks(chunk_, section.payload);
    }
    section.columns = columns_.all();
    statesection::write(section, out);
}

bool MorvanePresetFilterManager::checkStateSection(const StateSection& section) {
    return chunk_ == nullptr || chunk_->check(section.payload.data(), section.payload.size());
}

bool MorvanePresetFilterManager::applyStateSection(const StateSection& section) {
    MorvanePreset* named = getPresetByName(section.identifier);
    setCurrentPreset(named, false);
    // The state carries the sound: the preset it names is current even when its own file no longer loads.
    if (named != nullptr && currentPreset() != named)
        makeCurrent(named);
    // The state's own sound wins over the file's: the host saved what was heard.
    bool taken = true;
    if (MorvanePreset* current = getCurrentPreset())
        taken = current->readChunks(chunk_, section.payload.data(), section.payload.size());
    if (!taken)
        std::cerr << "Saved state: payload of \"" << section.identifier << "\" refused after its check\n";
    columns_.clear();
    criteria_.clear();
    list_.markDirty();
    for (const auto& [id, column] : section.columns) {
        setFilterText(id, column.key);
        if (!column.values.isEmpty())
            setFilterValues(id, column.values);
    }
    return taken;
}

bool MorvanePresetFilterManager::readState(ByteReader& in) {
    StateSection section;
    if (!readStateSection(in, section) || !checkStateSection(section)) {
        std::cerr << "Saved state: preset section damaged, state ignored\n";
        return false;
    }
    return applyStateSection(section);
}

bool MorvanePresetFilterManager::saveState(const std::set<juce::String>& identifiers, juce::OutputStream& out) {
    // Only presets the library holds: a record for a missing one would carry another preset's file.
    std::vector<const MorvanePreset*> presets;
    for (const juce::String& identifier : identifiers)
        if (const MorvanePreset* preset = manager_ != nullptr ? manager_->findPreset(identifier) : nullptr)
            presets.push_back(preset);
    return projectsection::write(out, id_, presets);
}

juce::Array<MorvanePreset*> MorvanePresetFilterManager::loadState(juce::InputStream& in,
                                                                   const juce::String& projectName) {
    juce::Array<MorvanePreset*> created;
    const std::optional<std::vector<ProjectRecord>> records = projectsection::read(in, id_);
    std::map<juce::String, juce::String> oldToNew;
    if (!records || !checkRecords(*records, projectName) || !importRecords(*records, projectName, created, oldToNew))
        return {};
    post(kImportDone, 0, 0, nullptr);
    list_.markDirty();
    return created;
}

bool MorvanePresetFilterManager::checkRecords(const std::vector<ProjectRecord>& records,
                                              const juce::String& projectName) {
    return manager_ != nullptr && ProjectRecordImport(*manager_, chunk_).check(records, projectName);
}

bool MorvanePresetFilterManager::importRecords(const std::vector<ProjectRecord>& records,
                                               const juce::String& projectName, juce::Array<MorvanePreset*>& created,
                                               std::map<juce::String, juce::String>& oldToNew) {
    if (manager_ == nullptr)
        return false;
    if (ProjectRecordImport(*manager_, chunk_).import(records, projectName, created, oldToNew))
        return true;
    // The presets made before the failure are gone again.
    list_.markDirty();
    return false;
}

void MorvanePresetFilterManager::deletePresets(const juce::Array<MorvanePreset*>& presets,
                                               const juce::String& projectName) {
    if (manager_ == nullptr)
        return;
    ProjectRecordImport(*manager_, chunk_).remove(presets, projectName);
    list_.markDirty();
}

} // namespace corvex
