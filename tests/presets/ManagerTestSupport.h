// A temporary settings folder with a message loop for the manager tests, preset files written by hand into
// its banks, and a listener that records what the managers announce.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include <juce_gui_basics/juce_gui_basics.h>

#include "PresetTestSupport.h"
#include "presets/CorvanMultiManager.h"

namespace corvex::testing {

using AttributeList = std::vector<std::pair<std::string, std::string>>;

// A complete preset file as another writer of the format would make it; the payload is a valid zlib stream.
inline void writePresetFile(const juce::File& file, const std::string& typeName, const std::string& identifier,
                            const std::string& name, const AttributeList& attributes = {}) {
    std::string header = "<" + typeName + "><PresetId ids=\"" + identifier + "\" name=\"" + name + "\"/>";
    for (const auto& [key, value] : attributes)
        header += "<PresetAttributes " + key + "=\"" + value + "\"/>";
    header += "</" + typeName + ">";
    writeBytes(file, handMadeFile(header, 1, zlibDeflate(sampleChunkBytes(64))));
}

// Runs the message loop until everything posted before the call has been delivered.
inline void deliverPostedMessages() {
    bool reached = false;
    juce::MessageManager::callAsync([&reached] { reached = true; });
    for (int i = 0; i < 2000 && !reached; ++i)
        juce::MessageManager::getInstance()->runDispatchLoopUntil(1);
}

struct RecordingListener : MorvanePresetManagerListener {
    std::vector<int> ids;
    std::vector<MorvanePreset*> presets;
    bool valuesWereZero = true;

    void presetManagerChanged(int id, int value, int value2, MorvanePreset* preset) override {
        ids.push_back(id);
        presets.push_back(preset);
        valuesWereZero = valuesWereZero && value == 0 && value2 == 0;
    }
    void clear() {
        ids.clear();
        presets.clear();
    }
};

class ManagerTest : public ::testing::Test {
protected:
    juce::File bank(const juce::String& relativePath) const {
        return folder.getSettingsFolder().getChildFile(relativePath);
    }
    void writeProgram(const juce::String& path, const std::string& id, const std::string& name,
                      const AttributeList& attributes = {}) const {
        writePresetFile(bank(path), "CorvanProgram", id, name, attributes);
    }
    void writePatch(const juce::String& path, const std::string& id, const std::string& name,
                    const AttributeList& attributes = {}) const {
        writePresetFile(bank(path), "CorvanMulti", id, name, attributes);
    }
    // Every preset the manager holds, for telling a pointer it posted from a dangling one without reading it.
    static std::set<const MorvanePreset*> heldBy(const MorvanePresetManager& manager) {
        std::set<const MorvanePreset*> held;
        for (const auto& entry : manager.getPresets())
            held.insert(entry.second.get());
        return held;
    }

    juce::ScopedJuceInitialiser_GUI juce;
    TempFolder temp;
    MorvaneFindFolder folder{temp.root(), "Corvex2"};
};

} // namespace corvex::testing
