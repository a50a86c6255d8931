// Saving a patch: its modified programs first, asking about factory programs and programs other patches
// share, then the patch itself naming the programs the layers play.
#include <gtest/gtest.h>

#include "FilterTestSupport.h"

namespace corvex::testing {
namespace {

struct FakePrompt : PatchSavePrompt {
    std::optional<ProgramSaveChoice> askFactoryProgram(const ProgramSaveQuestion& q) override {
        asked.push_back("factory " + q.layer.toStdString());
        others = q.otherPatches;
        return answer;
    }
    std::optional<ProgramSaveChoice> askSharedProgram(const ProgramSaveQuestion& q) override {
        asked.push_back("shared " + q.layer.toStdString());
        others = q.otherPatches;
        return answer;
    }
    std::optional<PatchSaveAsChoice> askSaveAs(CorvanMultiFilterManager&) override { return saveAs; }
    std::vector<std::string> asked;
    juce::StringArray others;
    std::optional<ProgramSaveChoice> answer;
    std::optional<PatchSaveAsChoice> saveAs;
};

std::string payloadOf(const MorvanePreset& preset) {
    std::vector<std::string> log;
    PlayingPart part("x", log);
    MorvanePreset copy(preset);
    return copy.load(&part) ? part.playing : "<unreadable>";
}

class PatchSaveTest : public FilterTest {};

TEST_F(PatchSaveTest, ModifiedProgramsAreSavedOrAskedAboutByModeBankAndSharing) {
    struct Case {
        const char* mode;
        bool factory;
        bool shared;
        std::vector<std::string> asked;
        bool lowerWritten;
    };
    const Case cases[] = {
        {"Whole", false, false, {}, false}, {"Whole", false, true, {}, false},
        {"Whole", true, false, {}, false},  {"Whole", true, true, {}, false},
        {"Split", false, false, {}, true},  {"Split", false, true, {"shared Lower"}, true},
        {"Split", true, false, {"factory Lower"}, false}, {"Split", true, true, {"factory Lower"}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.mode) + (c.factory ? " factory" : " user") + (c.shared ? " shared" : ""));
        temp.root().deleteRecursively();
        program("Factory/Default.cvp", "Default", "Default");
        program(c.factory ? "Factory/low.cvp" : "User/low.cvp", "LOW", "Low");
        program("User/up.cvp", "UP", "Up");
        patch("User/mine.cvm", "MINE", "Mine", "UP", "LOW", c.mode);
        if (c.shared)
            patch("User/other.cvm", "OTHER", "Other", "UP", "LOW", "Split");
        start();
        FakePrompt prompt;
        prompt.answer = ProgramSaveChoice{ProgramSaveChoice::kSave, {}, {}, {}};
        patches().setPrompt(&prompt);
        patches().setCurrentPreset(findPatch("MINE"), false);
        lower.playing = "new low";
        multi.playing = "new multi";
        services->markLayerPresetModified(true);
        deliverPostedMessages();

        patches().savePatch();
        EXPECT_EQ(prompt.asked, c.asked);
        if (!c.asked.empty()) {
            EXPECT_EQ(prompt.others, c.shared ? juce::StringArray{"Other"} : juce::StringArray{});
        }
        EXPECT_EQ(payloadOf(*findProgram("LOW")), c.lowerWritten ? "new low" : "prog LOW");
        EXPECT_EQ(findProgram("LOW")->isModified(), !c.lowerWritten);
        MorvanePreset* mine = findPatch("MINE");
        EXPECT_EQ(payloadOf(*mine), "new multi");
        EXPECT_FALSE(mine->isModified());
        EXPECT_EQ(payloadOf(*findProgram("UP")), "prog UP") << "an unmodified program is not written";
        services.reset();
    }
}

TEST_F(PatchSaveTest, AFactoryProgramSavedAsACopyIsWhatThePatchThenNames) {
    program("Factory/Default.cvp", "Default", "Default");
    program("Factory/low.cvp", "LOW", "Low");
    program("User/up.cvp", "UP", "Up");
    patch("User/mine.cvm", "MINE", "Mine", "UP", "LOW", "Split");
    start();
    FakePrompt prompt;
    prompt.answer = ProgramSaveChoice{ProgramSaveChoice::kSaveAs, "My Low", "Bass", {"Dark"}};
    patches().setPrompt(&prompt);
    patches().setCurrentPreset(findPatch("MINE"), false);
    lower.playing = "new low";
    services->markLayerPresetModified(true);
    patches().savePatch();

    MorvanePreset* copy = lowerPrograms().getCurrentPreset();
    ASSERT_NE(copy, findProgram("LOW"));
    EXPECT_EQ(copy->getName(), "My Low");
    EXPECT_EQ(copy->getAttribute("Type"), "Bass");
    EXPECT_TRUE(copy->isUserPreset());
    EXPECT_EQ(payloadOf(*copy), "new low");
    EXPECT_EQ(findPatch("MINE")->getAttribute("Program2"), copy->getIdentifier());
    EXPECT_EQ(payloadOf(*findProgram("LOW")), "prog LOW");

    // Without anyone to ask, a program that cannot simply be overwritten stays unsaved.
    patches().setPrompt(nullptr);
    upperPrograms().setCurrentPreset(findProgram("Default"), false);
    upper.playing = "new default";
    services->markLayerPresetModified(false);
    patches().savePatch();
    EXPECT_EQ(payloadOf(*findProgram("Default")), "prog Default");
    EXPECT_TRUE(findProgram("Default")->isModified());
}

TEST_F(PatchSaveTest, SaveAsCopiesThePatchIntoTheChosenProject) {
    program("Factory/Default.cvp", "Default", "Default");
    program("User/up.cvp", "UP", "Up");
    patch("Factory/fact.cvm", "FACT", "Fact", "UP", "UP", "Whole");
    start();
    FakePrompt prompt;
    patches().setPrompt(&prompt);
    patches().setCurrentPreset(findPatch("FACT"), false);
    multi.playing = "my settings";
    EXPECT_FALSE(patches().savePreset(findPatch("FACT"))) << "factory patches are never written";
    EXPECT_EQ(payloadOf(*findPatch("FACT")), "multi FACT");

    prompt.saveAs = PatchSaveAsChoice{"Copy", "Live", {}, {}};
    patches().savePatchAs();
    MorvanePreset* copy = patches().getCurrentPreset();
    ASSERT_NE(copy, findPatch("FACT"));
    EXPECT_EQ(copy->getName(), "Copy");
    EXPECT_EQ(copy->getAttribute("Project"), "Live");
    EXPECT_EQ(copy->getAttribute("Program1"), "UP");
    EXPECT_TRUE(copy->isUserPreset());
    EXPECT_EQ(payloadOf(*copy), "my settings");
}

} // namespace
} // namespace corvex::testing
