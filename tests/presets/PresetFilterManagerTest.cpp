// One layer's filtered, sorted program list and its current program: criteria, sorting, choosing, reverting,
// preferred slots and saving.
#include <gtest/gtest.h>

#include <functional>

#include "FilterTestSupport.h"

namespace corvex::testing {
namespace {

class PresetFilterManagerTest : public FilterTest {
protected:
    PresetFilterManagerTest() {
        program("Factory/Default.cvp", "Default", "Default");
        program("User/zed.cvp", "PZ", "Zed", {{"Type", "Bass"}, {"Characteristics", "Dark"}});
        program("User/alpha.cvp", "PA", "alpha", {{"Type", "bass"}, {"Characteristics", "Bright"}});
        program("User/mid.cvp", "PM", "Mid", {{"Type", "Lead"}, {"Characteristics", "Dark"}});
        program("User/echo.cvp", "PE", "Echo", {{"Type", "Pad"}, {"Characteristics", "Dark"}, {"Characteristics", "Soft"}});
        program("Factory/bravo.cvp", "PB", "Bravo", {{"Type", "Lead"}, {"Characteristics", "Bright"}});
        start();
    }
    std::vector<std::string> names() {
        juce::StringArray shown;
        upperPrograms().getPresetDisplayNames(shown);
        std::vector<std::string> out;
        for (const juce::String& s : shown)
            out.push_back(s.toStdString());
        return out;
    }
    bool shows(const std::string& name) {
        const std::vector<std::string> shown = names();
        return std::find(shown.begin(), shown.end(), name) != shown.end();
    }
};

TEST_F(PresetFilterManagerTest, CriteriaCombineWithOrWithinAKeyAndWithAndAcrossKeys) {
    using Pairs = std::vector<std::pair<std::string, std::string>>;
    struct Case {
        Pairs criteria;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {{}, {"alpha", "Bravo", "Default", "Echo", "Mid", "Zed"}},
        {{{"Type", "Lead"}}, {"Bravo", "Mid"}},
        {{{"Type", "Bass"}, {"Type", "Lead"}, {"Characteristics", "Dark"}}, {"Mid", "Zed"}},
        {{{"Characteristics", "Dark"}, {"Characteristics", "Soft"}}, {"Echo", "Mid", "Zed"}},
        {{{"Type", "Organ"}}, {}},
        // A key nobody registered restricts nothing.
        {{{"Colour", "Red"}}, {"alpha", "Bravo", "Default", "Echo", "Mid", "Zed"}},
        {{{"Fact_User", "Factory"}}, {"Bravo", "Default"}},
    };
    for (const Case& c : cases) {
        upperPrograms().clearFilters();
        for (const auto& [key, value] : c.criteria)
            upperPrograms().setCriterion(key, value, true);
        EXPECT_EQ(names(), c.expected) << (c.criteria.empty() ? "none" : c.criteria[0].second);
        EXPECT_EQ(upperPrograms().getNumPresets(), static_cast<int>(c.expected.size()));
    }

    upperPrograms().clearFilters();
    upperPrograms().setCriterion("Type", "Lead", true);
    EXPECT_TRUE(upperPrograms().hasPresetsWithAttribute("Characteristics", "Dark"));
    EXPECT_FALSE(upperPrograms().hasPresetsWithAttribute("Characteristics", "Soft"));
    EXPECT_TRUE(upperPrograms().hasCriterion("Type", "Lead"));
    upperPrograms().setCriterion("Type", "Lead", false);
    EXPECT_EQ(upperPrograms().getNumPresets(), 6) << "removing the last pair lists everything again";
    EXPECT_EQ(upperPrograms().getPreset(6), nullptr);
    EXPECT_EQ(upperPrograms().getPreset(-1), nullptr);
    EXPECT_EQ(upperPrograms().indexOfPreset(findProgram("PM")), 4);
    EXPECT_EQ(upperPrograms().indexOfPreset(nullptr), -1);
}

TEST_F(PresetFilterManagerTest, SortingLowersOnlyTheValueAndKeepsNamesAscending) {
    struct Case {
        juce::String key;
        int direction;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"", 1, {"alpha", "Bravo", "Default", "Echo", "Mid", "Zed"}},
        {"", 0, {"alpha", "Bravo", "Default", "Echo", "Mid", "Zed"}},
        // "Bass" and "bass" tie, and the tie goes by name.
        {"Type", 1, {"Default", "alpha", "Zed", "Bravo", "Mid", "Echo"}},
        {"Type", 0, {"Echo", "Bravo", "Mid", "alpha", "Zed", "Default"}},
    };
    FilterRecorder recorder;
    upperPrograms().addListener(&recorder);
    for (const Case& c : cases) {
        upperPrograms().setSortKey(c.key, c.direction);
        EXPECT_EQ(names(), c.expected) << c.key << " " << c.direction;
    }
    deliverPostedMessages();
    EXPECT_EQ(recorder.count(MorvanePresetFilterManager::kSortKeyChanged), 4);
    upperPrograms().removeListener(&recorder);
}

TEST_F(PresetFilterManagerTest, ChoosingLoadsOnceUnlessForcedAndSwitchingAwayRevertsAttributeEdits) {
    FilterRecorder recorder;
    upperPrograms().addListener(&recorder);
    MorvanePreset* mid = findProgram("PM");
    upperPrograms().setCurrentPreset(mid, false);
    upperPrograms().setCurrentPreset(mid, false);
    deliverPostedMessages();
    EXPECT_EQ(log, (std::vector<std::string>{"Upper:prog PM"}));
    EXPECT_EQ(recorder.count(MorvanePresetFilterManager::kCurrentPresetChanged, 1), 1);
    upperPrograms().setCurrentPreset(mid, true);
    deliverPostedMessages();
    EXPECT_EQ(log.size(), 2u);
    EXPECT_EQ(recorder.count(MorvanePresetFilterManager::kCurrentPresetChanged, 1), 2);

    mid->setAttribute("Type", "Pad", true);
    EXPECT_TRUE(shows("Mid*"));
    upperPrograms().setCurrentPreset(findProgram("PZ"), false);
    EXPECT_EQ(mid->getAttribute("Type"), "Lead");
    EXPECT_FALSE(mid->isModified());
    EXPECT_FALSE(shows("Mid*"));
    EXPECT_TRUE(shows("Mid"));

    // A new preset that never reached a file has no header to go back to: its edits and its "*" stay.
    MorvanePreset* fresh = upperPrograms().createNewPreset(0);
    ASSERT_NE(fresh, nullptr);
    fresh->getFile().deleteFile();
    fresh->setAttribute("Type", "Pad", true);
    upperPrograms().setCurrentPreset(mid, false);
    EXPECT_EQ(fresh->getAttribute("Type"), "Pad");
    EXPECT_TRUE(fresh->isModified());
    upperPrograms().removeListener(&recorder);
}

// The preset that did not load never becomes current: the layer keeps playing the edited sound under its
// own name with its "*", and a save writes that sound into its own file, not into the one that failed.
TEST_F(PresetFilterManagerTest, APresetThatDoesNotLoadLeavesThePreviousOneCurrentAndModified) {
    std::vector<FileSpoiler> cases =
        fileSpoilers("<CorvanProgram><PresetId ids=\"PZ\" name=\"Zed\"/></CorvanProgram>");
    cases.push_back({"payload refused by the layer", [this](const juce::File&) { upper.accept = false; }});
    MorvanePreset* mid = findProgram("PM");
    MorvanePreset* zed = findProgram("PZ");
    const juce::File zedFile = zed->getFile();
    for (const FileSpoiler& c : cases) {
        SCOPED_TRACE(c.name);
        program("User/zed.cvp", "PZ", "Zed", {{"Type", "Bass"}});
        upper.accept = true;
        upperPrograms().setCurrentPreset(mid, true);
        ASSERT_EQ(upperPrograms().getCurrentPreset(), mid);
        upper.playing = std::string("edited mid for ") + c.name;
        services->markLayerPresetModified(false);
        mid->setAttribute("Type", "Pad", true);
        c.spoil(zedFile);
        const std::vector<uint8_t> spoilt = readBytes(zedFile);
        deliverPostedMessages();
        FilterRecorder recorder;
        upperPrograms().addListener(&recorder);

        ::testing::internal::CaptureStderr();
        upperPrograms().setCurrentPreset(zed, false);
        const std::string messages = ::testing::internal::GetCapturedStderr();
        deliverPostedMessages();
        upperPrograms().removeListener(&recorder);

        EXPECT_NE(messages.find("stays current"), std::string::npos) << messages;
        EXPECT_EQ(upperPrograms().getCurrentPreset(), mid);
        EXPECT_EQ(recorder.count(MorvanePresetFilterManager::kCurrentPresetChanged), 0);
        EXPECT_EQ(upper.playing, std::string("edited mid for ") + c.name);
        EXPECT_TRUE(mid->isModified());
        EXPECT_TRUE(shows("Mid*"));
        EXPECT_EQ(mid->getAttribute("Type"), "Pad") << "the edits of the preset still current are kept";

        upper.accept = true;
        EXPECT_TRUE(upperPrograms().savePreset(upperPrograms().getCurrentPreset()));
        EXPECT_EQ(zedFile.exists(), !spoilt.empty());
        EXPECT_EQ(readBytes(zedFile), spoilt);
        upper.playing.clear();
        upperPrograms().setCurrentPreset(mid, true);
        EXPECT_EQ(upper.playing, std::string("edited mid for ") + c.name);
    }
}

// Switching away drops unsaved attribute edits by reading the header again; a header that can no longer be
// read drops nothing, so the edits and their "modified" mark stay.
TEST_F(PresetFilterManagerTest, SwitchingAwayFromAPresetWhoseHeaderCannotBeReadKeepsItsEdits) {
    MorvanePreset* mid = findProgram("PM");
    upperPrograms().setCurrentPreset(mid, false);
    mid->setAttribute("Type", "Pad", true);
    writeBytes(mid->getFile(), {'n', 'o', 't', ' ', 'a', ' ', 'p'});
    ::testing::internal::CaptureStderr();
    upperPrograms().setCurrentPreset(findProgram("PZ"), false);
    ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(upperPrograms().getCurrentPreset(), findProgram("PZ"));
    EXPECT_TRUE(mid->isModified());
    EXPECT_EQ(mid->getAttribute("Type"), "Pad");
}

// The host state holds the sound itself: the preset it names is shown with that sound even when the
// preset's own file no longer loads.
TEST_F(PresetFilterManagerTest, AStateNamingAPresetWhoseFileNoLongerLoadsShowsItWithTheStatesSound) {
    MorvanePreset* mid = findProgram("PM");
    upperPrograms().setCurrentPreset(mid, false);
    upper.playing = "heard";
    std::vector<uint8_t> state;
    upperPrograms().writeState(state);
    upperPrograms().setCurrentPreset(findProgram("PZ"), false);
    writeBytes(mid->getFile(),
               handMadeFile("<CorvanProgram><PresetId ids=\"PM\" name=\"Mid\"/></CorvanProgram>", 1, {1, 2, 3}));

    ByteReader in(state);
    ::testing::internal::CaptureStderr();
    upperPrograms().readState(in);
    ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(upperPrograms().getCurrentPreset(), mid);
    EXPECT_EQ(upper.playing, "heard");
}

TEST_F(PresetFilterManagerTest, PreferredSlotsChooseOnlyPresetsTheLibraryHolds) {
    ASSERT_TRUE(programManager().getPreferred().save(2, "PM"));
    ASSERT_TRUE(programManager().getPreferred().save(3, "Gone"));
    MorvanePreset* zed = findProgram("PZ");
    upperPrograms().setCurrentPreset(zed, false);
    zed->setAttribute("Type", "Pad", true);
    log.clear();
    for (const int slot : {0, 1, 3, 9, -1}) {
        upperPrograms().selectPreferedPreset(slot);
        EXPECT_EQ(upperPrograms().getCurrentPreset(), zed) << slot;
        EXPECT_TRUE(zed->isModified()) << slot;
    }
    EXPECT_TRUE(log.empty());
    upperPrograms().selectPreferedPreset(2);
    EXPECT_EQ(upperPrograms().getCurrentPreset(), findProgram("PM"));
    EXPECT_EQ(upperPrograms().getPreferedPresetIndices(), juce::Array<int>({2}));
}

TEST_F(PresetFilterManagerTest, SavingWritesWhatThePartPlaysAndRefusesFactoryPresets) {
    MorvanePreset* bravo = findProgram("PB");
    upperPrograms().setCurrentPreset(bravo, false);
    const std::vector<uint8_t> before = readBytes(bravo->getFile());
    upper.playing = "edited";
    services->markLayerPresetModified(false);
    EXPECT_TRUE(bravo->isModified());
    EXPECT_FALSE(upperPrograms().savePreset(bravo));
    EXPECT_EQ(readBytes(bravo->getFile()), before);
    EXPECT_TRUE(bravo->isModified());

    MorvanePreset* mid = findProgram("PM");
    upperPrograms().setCurrentPreset(mid, false);
    upper.playing = "edited mid";
    services->markLayerPresetModified(false);
    EXPECT_TRUE(upperPrograms().savePreset(mid));
    EXPECT_FALSE(mid->isModified());
    upperPrograms().setCurrentPreset(mid, true);
    EXPECT_EQ(upper.playing, "edited mid");

    MorvanePreset* copy = upperPrograms().saveCurrentAsNewPreset("Mine");
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(upperPrograms().getCurrentPreset(), copy);
    EXPECT_TRUE(copy->isUserPreset());
    EXPECT_TRUE(copy->getFile().existsAsFile());
}

TEST_F(PresetFilterManagerTest, FilterColumnsSetCriteriaInColumnOrder) {
    FilterRecorder recorder;
    upperPrograms().addListener(&recorder);
    upperPrograms().setFilterText(2, "Characteristics");
    upperPrograms().setFilterText(1, "Type");
    upperPrograms().setFilterValues(1, {"Lead", "Pad"});
    upperPrograms().setFilterValues(2, {"Dark"});
    EXPECT_EQ(names(), (std::vector<std::string>{"Echo", "Mid"}));
    EXPECT_EQ(upperPrograms().getFilterText(1), "Type");
    deliverPostedMessages();
    EXPECT_EQ(recorder.count(MorvanePresetFilterManager::kFilterTextSet), 2);
    EXPECT_EQ(recorder.count(MorvanePresetFilterManager::kCriteriaChanged, 2), 1);
    upperPrograms().removeListener(&recorder);
}

} // namespace
} // namespace corvex::testing
