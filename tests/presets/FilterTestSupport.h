// The real preset library bound to three fake parts of an instrument. Each part "plays" a text: loading a
// preset hands the part its payload, saving writes what the part plays; every read lands in one shared log.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ManagerTestSupport.h"
#include "presets/CorvanPresetServices.h"

namespace corvex::testing {

struct PlayingPart : MorvanePresetChunkInterface {
    PlayingPart(std::string name, std::vector<std::string>& log) : name(std::move(name)), log(log) {}
    bool read(const uint8_t* data, size_t size) override {
        if (!check(data, size))
            return false;
        playing.assign(reinterpret_cast<const char*>(data), size);
        log.push_back(name + ":" + playing);
        return true;
    }
    bool check(const uint8_t* data, size_t size) override {
        return accept && (refused.empty() || std::string(reinterpret_cast<const char*>(data), size) != refused);
    }
    void write(std::vector<uint8_t>& out) override { out.insert(out.end(), playing.begin(), playing.end()); }

    std::string name;
    std::vector<std::string>& log;
    std::string playing;
    std::string refused; // a sound this part cannot play
    // A part that refuses every payload, as the instrument refuses a chunk stream it cannot take.
    bool accept = true;
};

struct FilterRecorder : MorvanePresetFilterManagerListener {
    struct Entry {
        int id, value;
        void* pointer;
    };
    void presetFilterChanged(int id, int value, int /*value2*/, void* pointer) override {
        entries.push_back({id, value, pointer});
    }
    int count(int id, int value = -1) const {
        int n = 0;
        for (const Entry& e : entries)
            n += e.id == id && (value < 0 || e.value == value);
        return n;
    }
    std::vector<Entry> entries;
};

struct NullPresetListener : MorvanePresetManagerListener {
    void presetManagerChanged(int, int, int, MorvanePreset*) override {}
};

// The ways a preset's file stops loading: each spoils the file given; header is what a damaged file keeps.
struct FileSpoiler {
    const char* name;
    std::function<void(const juce::File&)> spoil;
};
inline std::vector<FileSpoiler> fileSpoilers(const std::string& header) {
    return {
        {"payload damaged", [header](const juce::File& f) { writeBytes(f, handMadeFile(header, 1, {1, 2, 3, 4, 5})); }},
        {"header unreadable", [](const juce::File& f) { writeBytes(f, {'n', 'o', 't', ' ', 'a', ' ', 'p'}); }},
        {"file gone", [](const juce::File& f) { f.deleteFile(); }},
    };
}

class FilterTest : public ManagerTest {
protected:
    // A preset file whose payload is the text its part plays.
    void writePreset(const juce::String& path, const std::string& type, const std::string& id, const std::string& name,
                     const AttributeList& attributes, const std::string& sound) const {
        std::string header = "<" + type + "><PresetId ids=\"" + id + "\" name=\"" + name + "\"/>";
        for (const auto& [key, value] : attributes)
            header += "<PresetAttributes " + key + "=\"" + value + "\"/>";
        header += "</" + type + ">";
        writeBytes(bank(path), handMadeFile(header, 1, zlibDeflate(std::vector<uint8_t>(sound.begin(), sound.end()))));
    }
    void program(const juce::String& path, const std::string& id, const std::string& name,
                 const AttributeList& attributes = {}) const {
        writePreset(path, "CorvanProgram", id, name, attributes, "prog " + id);
    }
    void patch(const juce::String& path, const std::string& id, const std::string& name, const std::string& upper,
               const std::string& lower, const std::string& mode, const AttributeList& more = {}) const {
        AttributeList attributes{{"Program1", upper}, {"Program2", lower}, {"Mode", mode}};
        attributes.insert(attributes.end(), more.begin(), more.end());
        writePreset(path, "CorvanMulti", id, name, attributes, "multi " + id);
    }
    // Builds the library over what the banks hold now, as the instrument does at start.
    void start() {
        services = std::make_unique<CorvanPresetServices>(folder, CorvanPresetServices::FactoryBank::Leave);
        services->create(lower, upper, multi, presetListener);
        deliverPostedMessages();
        log.clear();
    }
    CorvanMultiFilterManager& patches() { return *services->patchFilterManager(); }
    MorvanePresetFilterManager& lowerPrograms() { return *services->programFilterManager(true); }
    MorvanePresetFilterManager& upperPrograms() { return *services->programFilterManager(false); }
    CorvanProgramManager& programManager() { return *services->getProgramManager(); }
    CorvanMultiManager& patchManager() { return *services->getMultiManager(); }
    MorvanePreset* findProgram(const juce::String& id) { return programManager().findPreset(id); }
    MorvanePreset* findPatch(const juce::String& id) { return patchManager().findPreset(id); }

    std::vector<std::string> log;
    PlayingPart lower{"Lower", log};
    PlayingPart upper{"Upper", log};
    PlayingPart multi{"Multi", log};
    NullPresetListener presetListener;
    std::unique_ptr<CorvanPresetServices> services;
};

// Every file of the settings folder with its bytes, to tell that nothing at all was written.
inline std::map<juce::String, juce::MemoryBlock> filesUnder(const juce::File& root) {
    std::map<juce::String, juce::MemoryBlock> files;
    for (const auto& entry : juce::RangedDirectoryIterator(root, true, "*", juce::File::findFiles)) {
        juce::MemoryBlock bytes;
        entry.getFile().loadFileAsData(bytes);
        files[entry.getFile().getRelativePathFrom(root)] = bytes;
    }
    return files;
}

} // namespace corvex::testing
