// Checking, importing and undoing the import of a project section's presets.
#include "presets/ProjectRecordImport.h"

#include <iostream>
#include <optional>

#include "instrument/PresetServices.h"
#include "presets/MorvanePresetManager.h"

namespace corvex {

juce::File ProjectRecordImport::projectFolder(const juce::String& projectName) const {
    return manager_.getBankRoot().getChildFile("User").getChildFile(projectName);
}

bool ProjectRecordImport::check(const std::vector<ProjectRecord>& records, const juce::String& projectName) const {
    // Messages name the files as the import would have written them.
    const juce::File folder = projectFolder(projectName);
    for (const ProjectRecord& record : records) {
        const juce::File file = folder.getChildFile(record.identifier + manager_.getExtension());
        const std::optional<MorvanePreset::CheckedFile> checked =
            MorvanePreset::checkFile(record.bytes, manager_.getTypeName(), file);
        if (!checked || (chunk_ != nullptr && !chunk_->check(checked->payload.data(), checked->payload.size()))) {
            std::cerr << "Project: preset \"" << record.identifier << "\" cannot be read\n";
            return false;
        }
    }
    return true;
}

bool ProjectRecordImport::import(const std::vector<ProjectRecord>& records, const juce::String& projectName,
                                 juce::Array<MorvanePreset*>& created,
                                 std::map<juce::String, juce::String>& oldToNew) const {
    if (records.empty())
        return true;
    const juce::File folder = manager_.getUserSubfolder(projectName);
    juce::Array<MorvanePreset*> made;
    for (const ProjectRecord& record : records) {
        juce::MemoryInputStream bytes(record.bytes, false);
        MorvanePreset* preset =
            manager_.importPreset(folder, record.identifier, bytes, static_cast<juce::int64>(record.bytes.getSize()));
        if (preset == nullptr) {
            std::cerr << "Project: preset \"" << record.identifier << "\" cannot be imported, import undone\n";
            remove(made, projectName);
            return false;
        }
        made.add(preset);
        oldToNew[record.identifier] = preset->getIdentifier();
    }
    created.addArray(made);
    return true;
}

void ProjectRecordImport::remove(const juce::Array<MorvanePreset*>& presets, const juce::String& projectName) const {
    for (MorvanePreset* preset : presets)
        manager_.deletePreset(preset);
    // The folder was made for the import; an empty one left behind would show as a project.
    const juce::File folder = projectFolder(projectName);
    if (projectName.isNotEmpty() && folder.isDirectory() &&
        folder.getNumberOfChildFiles(juce::File::findFilesAndDirectories) == 0)
        folder.deleteFile();
}

} // namespace corvex
