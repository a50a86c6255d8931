// The real preset library in a settings folder of its own, for editor tests that need one or two libraries
// side by side, and small ways to reach a panel's children and a folder's files.
#pragma once

#include <map>
#include <string>

#include <juce_gui_basics/juce_gui_basics.h>

#include "tests/presets/FilterTestSupport.h"

namespace corvex {

struct Library : testing::FilterTest {
    void TestBody() override {}
    juce::File settings() const { return folder.getSettingsFolder(); }
    using FilterTest::bank;
    using FilterTest::findPatch;
    using FilterTest::findProgram;
    using FilterTest::log;
    using FilterTest::patch;
    using FilterTest::patches;
    using FilterTest::patchManager;
    using FilterTest::program;
    using FilterTest::programManager;
    using FilterTest::services;
    using FilterTest::start;
    using FilterTest::writePreset;
};

// The first descendant of root of type T with that component name.
template <typename T>
T* findChild(juce::Component& root, const juce::String& name) {
    for (juce::Component* child : root.getChildren()) {
        if (auto* found = dynamic_cast<T*>(child); found != nullptr && child->getName() == name)
            return found;
        if (T* deeper = findChild<T>(*child, name))
            return deeper;
    }
    return nullptr;
}

// Every file under folder by relative path, with its bytes: what a test compares before and after a step.
inline std::map<std::string, std::vector<uint8_t>> filesUnder(const juce::File& folder) {
    std::map<std::string, std::vector<uint8_t>> files;
    for (const juce::File& file : folder.findChildFiles(juce::File::findFiles, true, "*"))
        files[file.getRelativePathFrom(folder).toStdString()] = testing::readBytes(file);
    return files;
}

} // namespace corvex
