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
        return nextAnswer();
    }
    std::optional<ProgramSaveChoice> askSharedProgram(const ProgramSaveQuestion& q) override {
        asked.push_back("shared " + q.layer.toStdString());
        others = q.otherPatches;
        return nextAnswer();
    }
    // One answer per question in turn while there are any, then always `answer`.
    std::optional<ProgramSaveChoice> nextAnswer() {
        if (answers.empty())
            return answer;
        std::optional<ProgramSaveChoice> next = answers.front();
        answers.erase(answers.begin());
        return next;
    }
    std::optional<PatchSaveAsChoice> askSaveAs(CorvanMultiFilterManager&) override { return saveAs; }
    std::vector<std::string> asked;
    juce::StringArray others;
    std::optional<ProgramSaveChoice> answer;
    std::vector<std::optional<ProgramSaveChoice>> answers;
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

TEST_F(PatchSaveTest, ACancelledQuestionLeavesEveryFileAndModifiedMarkAsItWas) {
    const ProgramSaveChoice saveAs{ProgramSaveChoice::kSaveAs, "Copy", {}, {}};
    const ProgramSaveChoice save{ProgramSaveChoice::kSave, {}, {}, {}};
    struct Case {
        const char* name;
        std::vector<std::optional<ProgramSaveChoice>> answers;
        size_t questions;
    };
    // Upper is a shared user program, Lower a factory program: the Upper question comes first.
    const Case cases[] = {
        {"Upper cancelled", {std::nullopt}, 1},
        {"Upper answered, Lower cancelled", {saveAs, std::nullopt}, 2},
        {"Upper overwrite, Lower cancelled", {save, std::nullopt}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        temp.root().deleteRecursively();
        program("Factory/Default.cvp", "Default", "Default");
        program("Factory/low.cvp", "LOW", "Low");
        program("User/up.cvp", "UP", "Up");
        patch("User/mine.cvm", "MINE", "Mine", "UP", "LOW", "Split");
        patch("User/other.cvm", "OTHER", "Other", "UP", "UP", "Whole");
        start();
        FakePrompt prompt;
        prompt.answers = c.answers;
        patches().setPrompt(&prompt);
        patches().setCurrentPreset(findPatch("MINE"), false);
        lower.playing = "new low";
        upper.playing = "new up";
        multi.playing = "new multi";
        services->markLayerPresetModified(true);
        services->markLayerPresetModified(false);
        patches().setPresetModified(findPatch("MINE"), true, false);
        deliverPostedMessages();
        const auto before = filesUnder(folder.getSettingsFolder());

        patches().savePatch();
        EXPECT_EQ(prompt.asked.size(), c.questions);
        EXPECT_TRUE(filesUnder(folder.getSettingsFolder()) == before) << "a file was written, added or removed";
        EXPECT_TRUE(findProgram("UP")->isModified());
        EXPECT_TRUE(findProgram("LOW")->isModified());
        EXPECT_TRUE(findPatch("MINE")->isModified());
        EXPECT_EQ(upperPrograms().getCurrentPreset(), findProgram("UP"));
        EXPECT_EQ(lowerPrograms().getCurrentPreset(), findProgram("LOW"));
        services.reset();
    }
}

TEST_F(PatchSaveTest, AProgramBothLayersPlayIsAskedAboutOnce) {
    program("Factory/Default.cvp", "Default", "Default");
    program("Factory/both.cvp", "BOTH", "Both");
    patch("User/mine.cvm", "MINE", "Mine", "BOTH", "BOTH", "Split");
    start();
    FakePrompt prompt;
    prompt.answer = ProgramSaveChoice{ProgramSaveChoice::kSaveAs, "Copy", {}, {}};
    patches().setPrompt(&prompt);
    patches().setCurrentPreset(findPatch("MINE"), false);
    upper.playing = "new both";
    services->markLayerPresetModified(false);
    deliverPostedMessages();
    const auto before = filesUnder(folder.getSettingsFolder());

    patches().savePatch();
    EXPECT_EQ(prompt.asked, std::vector<std::string>{"factory Upper"});
    EXPECT_EQ(filesUnder(folder.getSettingsFolder()).size(), before.size() + 1) << "one copy, not two";
}

TEST_F(PatchSaveTest, ASavedAsCopyHoldsExactlyTheChosenTypeAndCharacteristics) {
    struct Case {
        juce::StringArray chosen;
        juce::StringArray stored;
    };
    const Case cases[] = {
        {{}, {}},
        {{"Soft", "Bright"}, {"Soft", "Bright"}},
        {{"Dark"}, {"Dark"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.chosen.joinIntoString(","));
        temp.root().deleteRecursively();
        program("Factory/Default.cvp", "Default", "Default");
        program("Factory/low.cvp", "LOW", "Low", {{"Type", "Bass"}, {"Characteristics", "Dark"}, {"Characteristics", "Soft"}});
        start();
        lowerPrograms().setCurrentPreset(findProgram("LOW"), false);
        MorvanePreset* copy =
            applyProgramSaveChoice(lowerPrograms(), {ProgramSaveChoice::kSaveAs, "Mine", "Lead", c.chosen});
        ASSERT_NE(copy, findProgram("LOW"));
        juce::StringArray stored;
        copy->getAttributeValues("Characteristics", stored);
        EXPECT_EQ(stored, c.stored);
        EXPECT_EQ(copy->getAttribute("Type"), "Lead");
        services.reset();
    }
}

TEST_F(PatchSaveTest, ABlankNameSavesNeitherThePatchNorItsPrograms) {
    program("Factory/Default.cvp", "Default", "Default");
    program("User/up.cvp", "UP", "Up");
    patch("User/mine.cvm", "MINE", "Mine", "UP", "UP", "Whole");
    start();
    patches().setCurrentPreset(findPatch("MINE"), false);
    upper.playing = "new up";
    services->markLayerPresetModified(false);
    deliverPostedMessages();
    const auto before = filesUnder(folder.getSettingsFolder());
    for (const char* blank : {"", "   ", "\t\n"}) {
        PatchSaveAsChoice choice{blank, "Live", {}, {ProgramSaveChoice::kSave, {}, {}, {}}};
        EXPECT_EQ(patches().applySaveAs(choice), nullptr) << "\"" << blank << "\"";
    }
    EXPECT_TRUE(filesUnder(folder.getSettingsFolder()) == before);
    EXPECT_EQ(patches().getCurrentPreset(), findPatch("MINE"));
    EXPECT_TRUE(findProgram("UP")->isModified());
}

} // namespace
} // namespace corvex::testing
