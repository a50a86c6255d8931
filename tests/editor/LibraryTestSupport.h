// The real preset library in a settings folder of its own, for editor tests that need one or two libraries
// side by side.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include "tests/editor/ComponentSearch.h"
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

using testing::filesUnder;
using testing::findNamed;

} // namespace corvex
