// A filter manager's share of the saved instrument state, and its section of a project file.
#include <iostream>
#include <string>

#include "instrument/DiskString.h"
#include "presets/MorvanePresetFilterManager.h"
#include "presets/PresetFileFormat.h"

namespace corvex {

namespace {

// Panels use a handful of columns with a few dozen values each.
constexpr int32_t kMaxColumns = 256;
constexpr int32_t kMaxColumnValues = 4096;

void writeString(ByteWriter& w, const juce::String& text) { w.writeString(text.toStdString()); }

bool readString(ByteReader& in, juce::String& text) {
    std::string bytes;
    if (!in.readString(bytes))
        return false;
    text = stringFromDisk(bytes);
    return true;
}

} // namespace

void MorvanePresetFilterManager::writeState(std::vector<uint8_t>& out) {
    ByteWriter w(out);
    MorvanePreset* current = getCurrentPreset();
    writeString(w, current != nullptr ? current->getIdentifier() : juce::String());
    // The payload goes with its size, so that a reader finds what follows without parsing the sound.
    std::vector<uint8_t> payload;
    if (current != nullptr)
        current->writeChunks(chunk_, payload);
    // Padded to whole words: the state reader reads nothing smaller.
    w.writeInt32(static_cast<int32_t>(payload.size()));
    out.insert(out.end(), payload.begin(), payload.end());
    out.resize(out.size() + (4 - payload.size() % 4) % 4, 0);
    w.writeInt32(static_cast<int32_t>(columns_.size()));
    for (const auto& [id, column] : columns_) {
        w.writeInt32(id);
        writeString(w, column.key);
        w.writeInt32(column.values.size());
        for (const juce::String& value : column.values)
            writeString(w, value);
    }
}

bool MorvanePresetFilterManager::readStateSection(ByteReader& in, StateSection& section) {
    int32_t size = -1;
    if (!readString(in, section.identifier) || !in.readInt32(size) || size < 0 || size > presetfile::kMaxFileBytes)
        return false;
    // Grows with the words that actually arrive: a size that lies costs no more than the state holds.
    std::vector<uint8_t> payload;
    for (int32_t done = 0; done < size; done += 4) {
        int32_t word = 0;
        if (!in.readInt32(word))
            return false;
        for (int shift = 0; shift < 32 && static_cast<int32_t>(payload.size()) < size; shift += 8)
            payload.push_back(static_cast<uint8_t>(static_cast<uint32_t>(word) >> shift));
    }
    section.payload = std::move(payload);
    int32_t columns = -1;
    if (!in.readInt32(columns) || columns < 0 || columns > kMaxColumns)
        return false;
    for (int32_t c = 0; c < columns; ++c) {
        int32_t id = 0;
        int32_t count = -1;
        Column column;
        if (!in.readInt32(id) || !readString(in, column.key) || !in.readInt32(count) || count < 0 ||
            count > kMaxColumnValues)
            return false;
        for (int32_t v = 0; v < count; ++v) {
            juce::String value;
            if (!readString(in, value))
                return false;
            column.values.add(value);
        }
        section.columns[id] = std::move(column);
    }
    return true;
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
    listDirty_ = true;
    filterActive_ = false;
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
    bool written = out.writeString(projectsection::kStartMarker) && out.writeInt(id_) &&
                   out.writeInt(static_cast<int>(presets.size()));
    for (const MorvanePreset* preset : presets)
        written = preset->writeFileToStream(out) && written;
    return out.writeString(projectsection::kEndMarker) && written;
}

juce::Array<MorvanePreset*> MorvanePresetFilterManager::loadState(juce::InputStream& in,
                                                                   const juce::String& projectName) {
    juce::Array<MorvanePreset*> created;
    const std::optional<std::vector<ProjectRecord>> records = projectsection::read(in, id_);
    std::map<juce::String, juce::String> oldToNew;
    if (!records || !checkRecords(*records, projectName) || !importRecords(*records, projectName, created, oldToNew))
        return {};
    post(kImportDone, 0, 0, nullptr);
    listDirty_ = true;
    return created;
}

bool MorvanePresetFilterManager::checkRecords(const std::vector<ProjectRecord>& records,
                                              const juce::String& projectName) {
    if (manager_ == nullptr)
        return false;
    // Messages name the files as the import would have written them.
    const juce::File folder = manager_->getBankRoot().getChildFile("User").getChildFile(projectName);
    for (const ProjectRecord& record : records) {
        const juce::File file = folder.getChildFile(record.identifier + manager_->getExtension());
        const std::optional<MorvanePreset::CheckedFile> checked =
            MorvanePreset::checkFile(record.bytes, manager_->getTypeName(), file);
        if (!checked || (chunk_ != nullptr && !chunk_->check(checked->payload.data(), checked->payload.size()))) {
            std::cerr << "Project: preset \"" << record.identifier << "\" cannot be read\n";
            return false;
        }
    }
    return true;
}

bool MorvanePresetFilterManager::importRecords(const std::vector<ProjectRecord>& records,
                                               const juce::String& projectName, juce::Array<MorvanePreset*>& created,
                                               std::map<juce::String, juce::String>& oldToNew) {
    if (manager_ == nullptr || records.empty())
        return manager_ != nullptr;
    const juce::File folder = manager_->getUserSubfolder(projectName);
    juce::Array<MorvanePreset*> made;
    for (const ProjectRecord& record : records) {
        juce::MemoryInputStream bytes(record.bytes, false);
        MorvanePreset* preset =
            manager_->importPreset(folder, record.identifier, bytes, static_cast<juce::int64>(record.bytes.getSize()));
        if (preset == nullptr) {
            std::cerr << "Project: preset \"" << record.identifier << "\" cannot be imported, import undone\n";
            deletePresets(made, projectName);
            return false;
        }
        made.add(preset);
        oldToNew[record.identifier] = preset->getIdentifier();
    }
    created.addArray(made);
    return true;
}

void MorvanePresetFilterManager::deletePresets(const juce::Array<MorvanePreset*>& presets,
                                               const juce::String& projectName) {
    if (manager_ == nullptr)
        return;
    for (MorvanePreset* preset : presets)
        manager_->deletePreset(preset);
    listDirty_ = true;
    // The folder was made for the import; an empty one left behind would show as a project.
    const juce::File folder = manager_->getBankRoot().getChildFile("User").getChildFile(projectName);
    if (projectName.isNotEmpty() && folder.isDirectory() &&
        folder.getNumberOfChildFiles(juce::File::findFilesAndDirectories) == 0)
        folder.deleteFile();
}

} // namespace corvex
