// The program and patch managers: their attribute keys, patches found through the programs they name, which
// programs the patches use, project names and the default patch.
#include <gtest/gtest.h>

#include "ManagerTestSupport.h"

namespace corvex {
namespace {

using namespace corvex::testing;

using KeyTableTest = ManagerTest;

TEST_F(KeyTableTest, EachManagerKnowsItsKeysWithTheirFlagsColumnsAndValues) {
    CorvanProgramManager programs(folder);
    CorvanMultiManager patches(folder, programs);
    EXPECT_EQ(programs.getExtension(), ".cvp");
    EXPECT_EQ(programs.getTypeName(), "CorvanProgram");
    EXPECT_EQ(programs.getDefaultNewName(), "New_Prog");
    EXPECT_EQ(patches.getExtension(), ".cvm");
    EXPECT_EQ(patches.getTypeName(), "CorvanMulti");
    EXPECT_EQ(patches.getDefaultNewName(), "New_Patch");

    const struct {
        const MorvanePresetManager* manager;
        const char* key;
        bool multiValued, gathered, filterCategory, stored;
    } keys[] = {
        {&programs, "Type", false, false, true, true},
        {&programs, "Characteristics", true, false, true, true},
        {&programs, "Demo", false, false, false, false},
        {&programs, "Fact_User", false, false, true, false},
        {&patches, "Project", false, true, true, true},
        {&patches, "Mode", false, false, true, true},
        {&patches, "Type", false, false, true, false},
        {&patches, "Characteristics", true, false, true, false},
        {&patches, "Program1", false, true, false, true},
        {&patches, "Program2", false, true, false, true},
        {&patches, "Fact_User", false, false, true, false},
    };
    for (const auto& row : keys) {
        const MorvaneAttributeKeyRegistry& registry = row.manager->getRegistry();
        EXPECT_EQ(registry.isMultiValued(row.key), row.multiValued) << row.key;
        EXPECT_EQ(registry.isGatheredFromPresets(row.key), row.gathered) << row.key;
        EXPECT_EQ(registry.getAttributeFlagBit2(row.key), row.filterCategory) << row.key;
        EXPECT_EQ(registry.isStored(row.key), row.stored) << row.key;
    }
    EXPECT_EQ(programs.getColumnKey(0), "Type");
    EXPECT_EQ(programs.getColumnKey(1), "Characteristics");
    EXPECT_EQ(patches.getColumnKey(0), "Project");
    EXPECT_EQ(patches.getColumnKey(1), "Type");
    EXPECT_EQ(patches.getColumnKey(2), "");

    const juce::StringArray types{"Bass",  "Brass", "Efx",        "Fm",    "Guitar",   "Lead",
                                  "Organ", "Pad",   "Percussive", "Piano", "Sequence", "Strings"};
    const juce::StringArray characteristics{"Acid",    "Agressive", "Ambient", "Bizarre",  "Bright", "Complex",
                                            "Dark",    "Digital",   "Ensemble", "Funky",   "Hard",   "Long",
                                            "Noise",   "Quiet",     "Short",   "Simple",   "Soft",   "Soundtrack"};
    for (const MorvanePresetManager* manager : {static_cast<MorvanePresetManager*>(&programs),
                                                static_cast<MorvanePresetManager*>(&patches)}) {
        juce::StringArray values{"stale"};
        const_cast<MorvanePresetManager*>(manager)->getAttributeValueList("Type", values);
        EXPECT_EQ(values, types);
        const_cast<MorvanePresetManager*>(manager)->getAttributeValueList("Characteristics", values);
        EXPECT_EQ(values, characteristics);
    }
    juce::StringArray modes;
    patches.getAttributeValueList("Mode", modes);
    EXPECT_EQ(modes, juce::StringArray("Whole", "Dual", "Split"));
}

// Programs in the user bank; one patch lies in the factory bank though all the programs it names are the user's.
class ThroughProgramsTest : public ManagerTest {
protected:
    void SetUp() override {
        writeProgram("User/bass.cvp", "PB", "Deep", {{"Type", "Bass"}, {"Characteristics", "Dark"}});
        writeProgram("User/lead.cvp", "PL", "Saw", {{"Type", "Lead"}, {"Characteristics", "Bright"}});
        writeProgram("User/pad.cvp", "PP", "Wash", {{"Type", "Pad"}});
        writePatch("User/w.cvm", "W", "Whole", {{"Mode", "Whole"}, {"Program1", "PL"}, {"Program2", "PB"}});
        writePatch("User/s.cvm", "S", "Split", {{"Mode", "Split"}, {"Program1", "PL"}, {"Program2", "PB"}});
        writePatch("User/d.cvm", "D", "Dual", {{"Mode", "Dual"}, {"Program1", "PB"}, {"Program2", "PP"}});
        writePatch("User/o.cvm", "O", "Own type",
                   {{"Mode", "Whole"}, {"Program1", "PP"}, {"Program2", "PP"}, {"Type", "Bass"}});
        writePatch("Factory/f.cvm", "F", "Factory", {{"Mode", "Whole"}, {"Program1", "PP"}, {"Program2", "PL"}});
        programsHolder = std::make_unique<CorvanProgramManager>(folder);
        patchesHolder = std::make_unique<CorvanMultiManager>(folder, *programsHolder);
    }
    std::set<juce::String> find(const char* key, const char* value) {
        std::set<juce::String> found;
        patchesHolder->findPresetsWithAttribute(key, value, found);
        return found;
    }

    std::unique_ptr<CorvanProgramManager> programsHolder;
    std::unique_ptr<CorvanMultiManager> patchesHolder;
};

TEST_F(ThroughProgramsTest, PatchesAreFoundByTheirOwnValuesAndByThoseOfTheProgramsTheyPlay) {
    const struct {
        const char* key;
        const char* value;
        std::set<juce::String> expected;
    } cases[] = {
        {"Type", "Bass", {"S", "D", "O"}}, // W names the Bass program only as its unheard Lower layer
        {"Type", "Lead", {"W", "S"}},
        {"Type", "Pad", {"D", "O", "F"}},
        {"Characteristics", "Dark", {"S", "D"}},
        {"Fact_User", "User", {"W", "S", "D", "O"}}, // F's programs are the user's, F is not
        {"Fact_User", "Factory", {"F"}},
        {"Type", "Organ", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(find(c.key, c.value), c.expected) << c.key << " " << c.value;
}

TEST_F(ThroughProgramsTest, AnEditedProgramChangesWhichPatchesAreFound) {
    CorvanProgramManager& programs = *programsHolder;
    CorvanMultiManager& patches = *patchesHolder;
    EXPECT_EQ(find("Characteristics", "Dark"), (std::set<juce::String>{"S", "D"}));
    juce::StringArray used;
    patches.getUsedAttributeValues("Characteristics", used);
    EXPECT_TRUE(used.contains("Dark"));

    programs.findPreset("PB")->removeAttribute("Characteristics", "Dark");
    programs.findPreset("PL")->setAttribute("Type", "Bass", true);
    programs.findPreset("PL")->setAttribute("Characteristics", "Dark", true);

    EXPECT_EQ(find("Characteristics", "Dark"), (std::set<juce::String>{"W", "S"})) << "F plays only its Upper";
    EXPECT_EQ(find("Type", "Bass"), (std::set<juce::String>{"W", "S", "D", "O"}));
    used.clear();
    patches.getUsedAttributeValues("Characteristics", used);
    EXPECT_EQ(used, juce::StringArray("Bright", "Dark")) << "each of the patches' programs once";
}

TEST_F(ThroughProgramsTest, UsedValuesOfThePatchesIncludeTheProgramsExceptForTheBank) {
    writeProgram("Factory/x.cvp", "PX", "Factory program", {{"Type", "Organ"}});
    CorvanProgramManager morePrograms(folder);
    CorvanMultiManager morePatches(folder, morePrograms);
    juce::StringArray banks;
    morePatches.getUsedAttributeValues("Fact_User", banks);
    EXPECT_EQ(banks, juce::StringArray("Factory", "User"));

    juce::StringArray types;
    morePatches.getUsedAttributeValues("Type", types);
    EXPECT_EQ(types, juce::StringArray("Bass", "Lead", "Organ", "Pad"));

    // Programs only in the factory bank, patches only in the user bank.
    for (const char* gone : {"F"})
        morePatches.deletePreset(morePatches.findPreset(gone));
    for (const char* gone : {"PB", "PL", "PP"})
        morePrograms.deletePreset(morePrograms.findPreset(gone));
    banks.clear();
    morePatches.getUsedAttributeValues("Fact_User", banks);
    EXPECT_EQ(banks, juce::StringArray("User"));
}

using ProgramUseTest = ManagerTest;

TEST_F(ProgramUseTest, AProgramIsUsedWhenNamedTwiceAndItsPatchesAreListedByName) {
    writePatch("User/a.cvm", "A", "Alpha", {{"Mode", "Whole"}, {"Program1", "X"}, {"Program2", "Y"}});
    writePatch("User/b.cvm", "B", "Beta", {{"Mode", "Split"}, {"Program1", "Y"}, {"Program2", "Z"}});
    writePatch("User/c.cvm", "C", "Gamma", {{"Mode", "Dual"}, {"Program1", "W"}, {"Program2", "W"}});
    for (const char* id : {"V", "W", "X", "Y", "Z"})
        writeProgram("User/" + juce::String(id) + ".cvp", id, id);
    CorvanProgramManager programs(folder);
    CorvanMultiManager patches(folder, programs);

    const struct {
        const char* program;
        bool used;
        juce::StringArray names;
        juce::StringArray namesWithoutA;
    } cases[] = {
        {"X", false, {"Alpha"}, {}},               // named once
        {"Y", true, {"Alpha", "Beta"}, {"Beta"}},  // by two patches, a Whole one among them
        {"Z", false, {"Beta"}, {"Beta"}},
        {"W", true, {"Gamma"}, {"Gamma"}},         // twice by one patch
        {"V", false, {}, {}},
    };
    const MorvanePreset* a = patches.findPreset("A");
    for (const auto& c : cases) {
        const MorvanePreset* program = programs.findPreset(c.program);
        EXPECT_EQ(patches.isProgramUsed(program), c.used) << c.program;
        EXPECT_EQ(patches.getPatchesUsingProgram(program, nullptr), c.names) << c.program;
        EXPECT_EQ(patches.getPatchesUsingProgram(program, a), c.namesWithoutA) << c.program;
    }
    EXPECT_FALSE(patches.isProgramUsed(nullptr));
    // Only keys some preset carries: the patches' first, then the programs'.
    juce::StringArray keys;
    patches.getIndexedKeys(keys);
    EXPECT_EQ(keys, juce::StringArray({"Demo", "Fact_User", "Mode", "Program1", "Program2", "Demo", "Fact_User"}));

    patches.findPreset("B")->setAttribute("Program1", "X", true);
    EXPECT_TRUE(patches.isProgramUsed(programs.findPreset("X")));
    EXPECT_FALSE(patches.isProgramUsed(programs.findPreset("Y")));
}

TEST_F(ProgramUseTest, ProjectNamesCountUpFromTwoPastTheTakenOnes) {
    writePatch("User/a.cvm", "A", "a", {{"Project", "Live"}});
    writePatch("User/b.cvm", "B", "b", {{"Project", "Live_2"}});
    writePatch("User/c.cvm", "C", "c", {{"Project", "live_3"}});
    CorvanProgramManager programs(folder);
    CorvanMultiManager patches(folder, programs);
    EXPECT_EQ(patches.makeUniqueProjectName("Live"), "Live_3");
    EXPECT_EQ(patches.makeUniqueProjectName("Studio"), "Studio");
}

using DefaultPatchTest = ManagerTest;

TEST_F(DefaultPatchTest, TheDefaultPatchIsWholeAndPlaysTheDefaultProgram) {
    CorvanProgramManager programs(folder);
    CorvanMultiManager patches(folder, programs);
    RecordingListener heard;
    patches.addListener(&heard);

    MorvanePreset* patch = patches.getPresetByName("Missing");
    ASSERT_NE(patch, nullptr);
    const MorvanePreset* program = programs.findPreset("Default");
    ASSERT_NE(program, nullptr);
    EXPECT_EQ(patch->getIdentifier(), "Default");
    EXPECT_EQ(patch->getAttribute("Mode"), "Whole");
    EXPECT_EQ(patch->getAttribute("Program1"), "Default");
    EXPECT_EQ(patch->getAttribute("Program2"), "Default");
    EXPECT_EQ(patches.getDefaultPreset(), patch);
    EXPECT_TRUE(patches.isProgramUsed(program));

    deliverPostedMessages();
    EXPECT_EQ(heard.ids, (std::vector<int>{2, 2, 1, 2, 2, 2, 5}));
}

} // namespace
} // namespace corvex
