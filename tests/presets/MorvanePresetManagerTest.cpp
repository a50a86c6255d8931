// The generic preset manager, through the program manager that adds nothing to it: the scan of the banks,
// posted announcements, unique names, used values, deletion, duplication and import.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>

#include "ManagerTestSupport.h"
#include "tests/support/CallWithin.h"

namespace corvex {
namespace {

using namespace corvex::testing;

std::set<juce::String> identifiersOf(const MorvanePresetManager& manager) {
    std::set<juce::String> ids;
    for (const auto& entry : manager.getPresets())
        ids.insert(entry.first);
    return ids;
}

using ScanTest = ManagerTest;

TEST_F(ScanTest, TakesFilesOfItsExtensionFromEveryNestedFolderWithTheirBanks) {
    writeProgram("Factory/f.cvp", "F1", "Factory one");
    writeProgram("Factory/Demo/d.cvp", "D1", "Demo one");
    writeProgram("User/Live/Set/Deeper/u.cvp", "U1", "Deep user");
    writeProgram("User/upper.CVP", "CASE", "Other case");
    writePatch("User/p.cvm", "M1", "A patch");
    writeProgram("User/notes.txt", "TXT", "Text");

    CorvanProgramManager programs(folder);
    EXPECT_EQ(identifiersOf(programs), (std::set<juce::String>{"D1", "F1", "U1"}));
    const struct {
        const char* id;
        const char* bank;
        const char* demo;
    } banks[] = {{"F1", "Factory", "False"}, {"D1", "Factory", "True"}, {"U1", "User", "False"}};
    for (const auto& row : banks) {
        const MorvanePreset* preset = programs.findPreset(row.id);
        ASSERT_NE(preset, nullptr) << row.id;
        EXPECT_EQ(preset->getAttribute("Fact_User"), row.bank) << row.id;
        EXPECT_EQ(preset->getAttribute("Demo"), row.demo) << row.id;
    }
    EXPECT_EQ(programs.findPreset("U1")->getName(), "Deep user");
}

// Files are created in reverse so that directory order, if it were used, would tend to pick another winner.
TEST_F(ScanTest, OfFilesSharingAnIdentifierTheLastPathWinsAndTheOthersStayAlive) {
    for (int i = 19; i >= 0; --i) {
        const juce::String n = juce::String(i).paddedLeft('0', 2);
        writeProgram("User/same_" + n + ".cvp", "Same", ("copy " + n).toStdString());
    }
    writeProgram("User/a/noid.cvp", "", "First without id");
    writeProgram("User/b/noid.cvp", "", "Second without id");

    CorvanProgramManager programs(folder);
    ASSERT_EQ(programs.getPresets().size(), 2u);
    EXPECT_EQ(programs.findPreset("Same")->getName(), "copy 19");
    EXPECT_EQ(programs.findPreset("")->getName(), "Second without id");
    EXPECT_TRUE(programs.isIdentifierInUse("Same"));
}

// A copy whose header kept the identifier of the file it came from, as an import that failed half-way left
// it: the file named after the identifier keeps it, whichever path comes first.
TEST_F(ScanTest, AFileNamedAfterItsIdentifierKeepsItAgainstACopy) {
    writeProgram("User/Live/PC.cvp", "PC", "Original");
    writeProgram("User/Live_2/U_1500000000000.cvp", "PC", "Later copy");
    writeProgram("User/A/U_1500000000001.cvp", "PD", "Earlier copy");
    writeProgram("User/B/PD.cvp", "PD", "Original");

    CorvanProgramManager programs(folder);
    EXPECT_EQ(programs.findPreset("PC")->getFile().getFullPathName(), bank("User/Live/PC.cvp").getFullPathName());
    EXPECT_EQ(programs.findPreset("PD")->getFile().getFullPathName(), bank("User/B/PD.cvp").getFullPathName());
    EXPECT_EQ(programs.getPresets().size(), 2u);
}

// What only looks like a preset is passed over: a FIFO would block the scan in open() for ever, a device
// would be read without end. A link to a regular file is a preset like any other.
TEST_F(ScanTest, TakesRegularFilesOnlyAndNeverWaitsOnAFifoOrADevice) {
    writeProgram("User/real.cvp", "R1", "Real");
    writeProgram("Factory/f.cvp", "F1", "Factory one");
    const juce::File outside = temp.root().getChildFile("elsewhere.cvp");
    writePresetFile(outside, "CorvanProgram", "L1", "Linked");
    const juce::File fifo = bank("User/fifo.cvp");
    ASSERT_TRUE(makeFifo(fifo));
    ASSERT_TRUE(makeFifo(bank("Factory/Deeper/other fifo.cvp")));
    ASSERT_TRUE(makeSymlink(bank("User/zero.cvp"), "/dev/zero"));
    ASSERT_TRUE(makeSymlink(bank("User/linked.cvp"), outside.getFullPathName().toRawUTF8()));

    // Everything the scan touches belongs to the call: a scan that never returns keeps it alive.
    struct Library {
        explicit Library(const juce::File& root) : folder(root, "Corvex2"), programs(folder) {}
        MorvaneFindFolder folder;
        CorvanProgramManager programs;
    };
    ::testing::internal::CaptureStderr();
    const auto library = callWithin(std::chrono::seconds(20), [root = temp.root()] {
        return std::make_shared<Library>(root);
    });
    const std::string messages = ::testing::internal::GetCapturedStderr();
    if (!library) {
        releaseFifoReaders(fifo);
        releaseFifoReaders(bank("Factory/Deeper/other fifo.cvp"));
        FAIL() << "the scan did not finish within 20 s";
    }
    EXPECT_EQ(identifiersOf((*library)->programs), (std::set<juce::String>{"F1", "L1", "R1"}));
    EXPECT_EQ((*library)->programs.findPreset("L1")->getName(), "Linked");
    EXPECT_NE(messages.find(fifo.getFullPathName().toStdString()), std::string::npos) << messages;
}

using AnnouncementTest = ManagerTest;

TEST_F(AnnouncementTest, TheDefaultPresetIsAnnouncedLaterAsTwoChangesARenameAndAnAddition) {
    CorvanProgramManager programs(folder);
    RecordingListener listener;
    programs.addListener(&listener);
    programs.addListener(&listener);

    MorvanePreset* preset = programs.getPresetByName("Nobody");
    ASSERT_NE(preset, nullptr);
    EXPECT_EQ(preset->getIdentifier(), "Default");
    EXPECT_EQ(preset->getName(), "Default");
    EXPECT_EQ(preset->getAttribute("Demo"), "True");
    EXPECT_TRUE(listener.ids.empty()) << "nothing is heard inside the call that made the change";

    deliverPostedMessages();
    EXPECT_EQ(listener.ids, (std::vector<int>{2, 2, 1, 5}));
    EXPECT_EQ(listener.presets, (std::vector<MorvanePreset*>{preset, preset, preset, nullptr}));
    EXPECT_TRUE(listener.valuesWereZero);

    listener.clear();
    EXPECT_EQ(programs.getPresetByName("Nobody"), preset);
    EXPECT_EQ(programs.getFirstPreferredPreset(), preset);
    deliverPostedMessages();
    EXPECT_TRUE(listener.ids.empty());
}

TEST_F(AnnouncementTest, TheFirstPreferredSlotNamesThePresetOrFallsBackToTheDefault) {
    writeProgram("User/a.cvp", "A", "Alpha");
    ASSERT_TRUE(MorvanePreferedPresetManager(0, folder).save(0, "A"));
    ASSERT_TRUE(MorvanePreferedPresetManager(1, folder).save(0, "Gone"));
    CorvanProgramManager programs(folder);
    CorvanMultiManager patches(folder, programs);
    EXPECT_EQ(programs.getFirstPreferredPreset(), programs.findPreset("A"));
    MorvanePreset* fallback = patches.getFirstPreferredPreset();
    EXPECT_EQ(fallback, patches.findPreset("Default"));
    EXPECT_NE(fallback, nullptr);
    EXPECT_EQ(programs.getPreferred().getName(0), "A");
}

TEST_F(AnnouncementTest, WhatAPresetReportsReachesTheListenersUnderItsId) {
    writeProgram("User/a.cvp", "A", "Alpha");
    CorvanProgramManager programs(folder);
    RecordingListener listener;
    programs.addListener(&listener);
    MorvanePreset* preset = programs.findPreset("A");
    programs.presetRenamed(preset);
    programs.presetChanged(preset);
    programs.presetReverted(preset);
    programs.presetSaved(preset);
    programs.presetLoaded(preset);
    deliverPostedMessages();
    EXPECT_EQ(listener.ids, (std::vector<int>{1, 2, 7, 8, 9}));
    EXPECT_EQ(listener.presets, std::vector<MorvanePreset*>(5, preset));

    programs.removeListener(&listener);
    programs.presetSaved(preset);
    deliverPostedMessages();
    EXPECT_EQ(listener.ids.size(), 5u);
}

struct RemovingListener : MorvanePresetManagerListener {
    MorvanePresetManager* manager = nullptr;
    MorvanePresetManagerListener* other = nullptr;
    int calls = 0;
    void presetManagerChanged(int, int, int, MorvanePreset*) override {
        ++calls;
        manager->removeListener(other);
    }
};

// Whichever is called first removes the other, which must then not be called at all.
TEST_F(AnnouncementTest, AListenerRemovedWhileListenersAreCalledIsSkipped) {
    CorvanProgramManager programs(folder);
    RemovingListener first, second;
    first.manager = second.manager = &programs;
    first.other = &second;
    second.other = &first;
    programs.addListener(&first);
    programs.addListener(&second);

    programs.postPresetMessage(MorvanePresetManager::kSaved, nullptr);
    deliverPostedMessages();
    EXPECT_EQ(first.calls + second.calls, 1);
}

using UniqueNameTest = ManagerTest;

TEST_F(UniqueNameTest, NumbersContinueFromTheGivenNameAndOnlyNonZeroNumbersCount) {
    int n = 0;
    for (const char* name : {"Bass", "Bass_2", "Bass_8", "Bass_0", "Bass_x", "Pad", "Pad_4", "Lead_7"}) {
        ++n;
        writeProgram("User/" + juce::String(n) + ".cvp", "P" + std::to_string(n), name);
    }
    CorvanProgramManager programs(folder);

    const struct {
        const char* asked;
        const char* expected;
    } cases[] = {
        {"Bass", "Bass_3"},     // Bass and Bass_2 taken
        {"Bass_7", "Bass_9"},   // counting goes on from 7: Bass, then Bass_8 taken
        {"Lead_3", "Lead"},     // the bare name is free, though Lead_7 exists
        {"Bass_0", "Bass_0_2"}, // no number: the whole name is the base
        {"Bass_x", "Bass_x_2"},
        {"Pad_3", "Pad_5"},
        {"bass", "bass"}, // names differ by case
        {"Organ", "Organ"},
        {"Bass_99999999999999999999", "Bass_99999999999999999999"}, // too long to be a counter
    };
    for (const auto& c : cases)
        EXPECT_EQ(programs.makeUniqueName(c.asked), c.expected) << c.asked;

    EXPECT_EQ(programs.makeUniqueIdentifier("P9"), "P9");
    EXPECT_EQ(programs.makeUniqueIdentifier("P1"), "P1_2");
}

using AttributeValueTest = ManagerTest;

TEST_F(AttributeValueTest, UsedValuesIgnoreCaseByDefaultAndFollowChanges) {
    writeProgram("User/a.cvp", "A", "a", {{"Type", "Bass"}});
    writeProgram("User/b.cvp", "B", "b", {{"Type", "bass"}});
    writeProgram("User/c.cvp", "C", "c", {{"Type", "Bass"}, {"Characteristics", "Dark"}});
    writeProgram("User/d.cvp", "D", "d", {{"Characteristics", "Dark"}, {"Characteristics", "Soft"}});
    CorvanProgramManager programs(folder);

    juce::StringArray values;
    programs.getUsedAttributeValues("Type", values);
    EXPECT_EQ(values, juce::StringArray("Bass"));
    programs.setSortValuesIgnoringCase(false);
    values.clear();
    programs.getUsedAttributeValues("Type", values);
    EXPECT_EQ(values, juce::StringArray("Bass", "bass"));

    std::set<juce::String> found;
    programs.findPresetsWithAttribute("Characteristics", "Dark", found);
    EXPECT_EQ(found, (std::set<juce::String>{"C", "D"}));
    programs.findPreset("A")->setAttribute("Characteristics", "Dark", true);
    programs.findPreset("D")->removeAttribute("Characteristics", "Dark");
    found.clear();
    programs.findPresetsWithAttribute("Characteristics", "Dark", found);
    EXPECT_EQ(found, (std::set<juce::String>{"A", "C"}));

    juce::StringArray keys;
    programs.getIndexedKeys(keys);
    EXPECT_EQ(keys, juce::StringArray("Characteristics", "Demo", "Fact_User", "Type"));
}

using DeleteTest = ManagerTest;

TEST_F(DeleteTest, APresetWhoseFileIsMissingIsStillRemovedAndTheObjectOutlivesIt) {
    writeProgram("User/gone.cvp", "Gone", "Gone");
    writeProgram("User/kept.cvp", "Kept", "Kept");
    CorvanProgramManager programs(folder);
    RecordingListener listener;
    programs.addListener(&listener);
    MorvanePreset* gone = programs.findPreset("Gone");
    MorvanePreset* kept = programs.findPreset("Kept");
    ASSERT_TRUE(bank("User/gone.cvp").deleteFile());

    EXPECT_TRUE(programs.deletePreset(gone));
    EXPECT_EQ(programs.findPreset("Gone"), nullptr);
    EXPECT_EQ(gone->getName(), "Gone") << "retired, not freed";
    EXPECT_TRUE(programs.isIdentifierInUse("Gone")) << "patches may still name it";
    EXPECT_TRUE(programs.deletePreset(kept));
    EXPECT_FALSE(bank("User/kept.cvp").exists());
    EXPECT_FALSE(programs.deletePreset(kept)) << "held no more";
    EXPECT_FALSE(programs.deletePreset(nullptr));

    deliverPostedMessages();
    EXPECT_EQ(listener.ids, (std::vector<int>{6, 6}));
    EXPECT_EQ(listener.presets, (std::vector<MorvanePreset*>{nullptr, nullptr}));
}

struct CountedPreset : MorvanePreset {
    CountedPreset(MorvanePresetManagerInterface* owner, const juce::File& file, int& alive)
        : MorvanePreset(owner, "CorvanProgram", file), alive(alive) {
        ++alive;
    }
    ~CountedPreset() override { --alive; }
    int& alive;
};

// Deleted and replaced presets may still be the current preset of a panel or sit in a posted message.
TEST_F(DeleteTest, DeletedAndReplacedPresetsLiveAsLongAsTheManagerAndNoLonger) {
    int alive = 0;
    {
        CorvanProgramManager programs(folder);
        const juce::File file = bank("User/x.cvp");
        MorvanePreset* first = programs.addPreset(std::make_unique<CountedPreset>(&programs, file, alive), true);
        MorvanePreset* second = programs.addPreset(std::make_unique<CountedPreset>(&programs, file, alive), true);
        EXPECT_NE(first, second);
        EXPECT_EQ(programs.getPresets().size(), 1u);
        EXPECT_TRUE(programs.deletePreset(second));
        EXPECT_EQ(alive, 2);
        // A deleted preset added again is held once more, not owned twice.
        EXPECT_EQ(programs.addPreset(std::unique_ptr<MorvanePreset>(second), false), second);
        EXPECT_EQ(programs.getPresets().size(), 1u);
        EXPECT_EQ(alive, 2);
    }
    EXPECT_EQ(alive, 0);
}

TEST_F(DeleteTest, AFileThatCannotBeRemovedKeepsThePreset) {
    CorvanProgramManager programs(folder);
    const juce::File busy = bank("User/busy.cvp");
    ASSERT_TRUE(busy.getChildFile("inside").create().wasOk());
    MorvanePreset* preset =
        programs.addPreset(std::make_unique<MorvanePreset>(&programs, "CorvanProgram", busy), false);

    EXPECT_FALSE(programs.deletePreset(preset));
    EXPECT_EQ(programs.findPreset(preset->getIdentifier()), preset);
}

} // namespace
} // namespace corvex
