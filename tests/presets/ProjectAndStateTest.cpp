// Projects deleted, exported and imported with their user programs; the saved instrument state; damaged
// sections that must leave the library as it was.
#include <algorithm>
#include <functional>
#include <map>
#include <string>

#include <gtest/gtest.h>

#include "FilterTestSupport.h"

namespace corvex::testing {
namespace {

class ProjectAndStateTest : public FilterTest {
protected:
    ProjectAndStateTest() {
        program("Factory/Default.cvp", "Default", "Default");
        patch("Factory/Default.cvm", "Default", "Default", "Default", "Default", "Whole");
        program("Factory/fp.cvp", "FP", "Fact Prog");
        for (const char* id : {"PA", "PB", "PC", "PD"})
            program(juce::String("User/Live/") + id + ".cvp", id, std::string("Prog ") + id);
        patch("User/Live/la.cvm", "LA", "Live A", "PA", "PB", "Split", {{"Project", "Live"}});
        patch("User/Live/lb.cvm", "LB", "Live B", "PC", "PD", "Whole", {{"Project", "Live"}});
        patch("User/Live/lf.cvm", "LF", "Live F", "FP", "PB", "Dual", {{"Project", "Live"}});
        patch("Factory/live.cvm", "FL", "Fact Live", "FP", "FP", "Whole", {{"Project", "Live"}});
        patch("User/other.cvm", "OA", "Other A", "PA", "PD", "Whole", {{"Project", "Other"}});
        start();
    }
    juce::MemoryBlock exportLive() {
        juce::MemoryOutputStream out;
        EXPECT_TRUE(patches().saveState({"LA", "LB", "LF"}, out));
        return out.getMemoryBlock();
    }
    size_t presetCount() { return programManager().getPresets().size() + patchManager().getPresets().size(); }
};

TEST_F(ProjectAndStateTest, DeletingAProjectKeepsFactoryPresetsAndProgramsOthersStillPlay) {
    // Lists read before the deletion must not show deleted presets afterwards, messages delivered or not.
    EXPECT_EQ(upperPrograms().getNumPresets(), 6);
    EXPECT_EQ(lowerPrograms().getNumPresets(), 6);
    EXPECT_EQ(patches().getNumPresets(), 6);
    const juce::File pbFile = findProgram("PB")->getFile();

    patches().deleteProject("Live");
    for (const char* gone : {"LA", "LB", "LF"})
        EXPECT_EQ(findPatch(gone), nullptr) << gone;
    EXPECT_NE(findPatch("FL"), nullptr);
    EXPECT_NE(findProgram("PA"), nullptr) << "the Upper program of a remaining patch";
    // PD is named only as the Lower program of a remaining Whole patch, which does not play it.
    for (const char* gone : {"PB", "PC", "PD"})
        EXPECT_EQ(findProgram(gone), nullptr) << gone;
    EXPECT_NE(findProgram("FP"), nullptr);
    EXPECT_FALSE(pbFile.exists());
    EXPECT_EQ(upperPrograms().getNumPresets(), 3);
    EXPECT_EQ(lowerPrograms().getNumPresets(), 3);
    EXPECT_EQ(patches().getNumPresets(), 3);
}

TEST_F(ProjectAndStateTest, AProjectImportedIntoItsOwnLibraryGetsNewIdsAndLinksToItsOwnPrograms) {
    const juce::MemoryBlock project = exportLive();
    const size_t before = presetCount();
    juce::MemoryInputStream in(project, false);
    ASSERT_TRUE(patches().importProject(in, "Live"));
    // PA..PD travel (user programs), FP does not (factory).
    EXPECT_EQ(presetCount(), before + 3 + 4);

    std::set<juce::String> imported;
    patchManager().findPresetsWithAttribute("Project", "Live_2", imported);
    ASSERT_EQ(imported.size(), 3u);
    for (const juce::String& id : imported) {
        MorvanePreset* p = findPatch(id);
        EXPECT_FALSE(p->isModified());
        for (const char* key : {"Program1", "Program2"}) {
            const juce::String programId = p->getAttribute(key);
            if (programId == "FP")
                continue;
            // Every id collided, so every program got a new one, and the patch names that new one.
            MorvanePreset* linked = findProgram(programId);
            ASSERT_NE(linked, nullptr) << programId;
            EXPECT_TRUE(linked->getFile().getParentDirectory().getFileName() == "Live_2") << programId;
        }
    }
    // The link survives on disk: a fresh scan of the banks finds the same programs.
    const juce::String anId = *imported.begin();
    const juce::String upperId = findPatch(anId)->getAttribute("Program1");
    services.reset();
    start();
    EXPECT_EQ(findPatch(anId)->getAttribute("Program1"), upperId);
}

TEST_F(ProjectAndStateTest, DamagedProjectsImportNothing) {
    const juce::MemoryBlock good = exportLive();
    const auto bytes = [&good] {
        return std::vector<uint8_t>(static_cast<const uint8_t*>(good.getData()),
                                    static_cast<const uint8_t*>(good.getData()) + good.getSize());
    };
    const size_t firstRecord = std::string("PFM_start").size() + 1 + 8;
    const size_t firstSize = firstRecord + 3;  // after "LA\0"
    struct Case {
        const char* what;
        std::vector<uint8_t> data;
    };
    std::vector<Case> cases;
    cases.push_back({"wrong start marker", bytes()});
    cases.back().data[0] = 'X';
    cases.push_back({"patches as programs", bytes()});
    cases.back().data[10] = 1;
    cases.push_back({"huge count", bytes()});
    cases.back().data[17] = 0x7F;
    cases.push_back({"record size past the end", bytes()});
    cases.back().data[firstSize + 3] = 0x10;
    cases.push_back({"cut inside the programs", bytes()});
    cases.back().data.resize(good.getSize() - 40);
    cases.push_back({"no end marker", bytes()});
    cases.back().data.resize(good.getSize() - 3);

    const size_t before = presetCount();
    for (const Case& c : cases) {
        juce::MemoryInputStream in(c.data.data(), c.data.size(), false);
        EXPECT_FALSE(patches().importProject(in, "Live")) << c.what;
        EXPECT_EQ(presetCount(), before) << c.what;
        EXPECT_FALSE(bank("User/Live_2").exists()) << c.what;
    }

    // A patch file that cannot be imported undoes the programs imported before it.
    std::vector<uint8_t> badFile = bytes();
    badFile[firstSize + 4] = 'Z';  // the first patch file's "XML" magic
    juce::MemoryInputStream in(badFile.data(), badFile.size(), false);
    EXPECT_FALSE(patches().importProject(in, "Live"));
    EXPECT_EQ(presetCount(), before);
    EXPECT_FALSE(bank("User/Live_2").exists());
}

// The files under a folder by path, each with a hash of its bytes.
std::map<std::string, size_t> filesUnder(const juce::File& folder) {
    std::map<std::string, size_t> files;
    for (const juce::File& file : folder.findChildFiles(juce::File::findFiles, true)) {
        const std::vector<uint8_t> bytes = readBytes(file);
        files[file.getRelativePathFrom(folder).toStdString()] =
            std::hash<std::string>{}(std::string(bytes.begin(), bytes.end()));
    }
    return files;
}

TEST_F(ProjectAndStateTest, ADamagedSoundRefusesTheWholeImportAndACopyNeverHidesTheUsersPreset) {
    const juce::MemoryBlock good = exportLive();
    const auto* begin = static_cast<const uint8_t*>(good.getData());
    // A preset's file lies in the export byte for byte; its last byte is its payload's checksum.
    const auto damaged = [&](const juce::String& path) {
        std::vector<uint8_t> bytes(begin, begin + good.getSize());
        const std::vector<uint8_t> file = readBytes(bank(path));
        const auto at = std::search(bytes.begin(), bytes.end(), file.begin(), file.end());
        EXPECT_NE(at, bytes.end()) << path;
        at[static_cast<std::ptrdiff_t>(file.size()) - 1] ^= 0xFF;
        return bytes;
    };
    const struct {
        const char* what;
        std::vector<uint8_t> bytes;
        std::string refused;
    } cases[] = {
        {"a program's payload", damaged("User/Live/PC.cvp"), ""},
        {"a patch's payload", damaged("User/Live/lb.cvm"), ""},
        {"a sound the part cannot play", std::vector<uint8_t>(begin, begin + good.getSize()), "prog PD"},
    };
    const auto userFiles = filesUnder(bank("User"));
    const size_t before = presetCount();
    for (const auto& c : cases) {
        upper.refused = c.refused;
        juce::MemoryInputStream in(c.bytes.data(), c.bytes.size(), false);
        EXPECT_FALSE(patches().importProject(in, "Live")) << c.what;
        EXPECT_EQ(presetCount(), before) << c.what;
        EXPECT_EQ(filesUnder(bank("User")), userFiles) << c.what;
    }
    upper.refused.clear();

    // What an import that took the damaged file left behind: a copy under a new file name whose header
    // kept PC's identifier.
    const juce::File copy = bank("User/Live_2/U_1500000000000.cvp");
    std::vector<uint8_t> copied = readBytes(bank("User/Live/PC.cvp"));
    copied.back() ^= 0xFF;
    writeBytes(copy, copied);
    services.reset();
    start();
    EXPECT_EQ(findProgram("PC")->getFile().getFullPathName(), bank("User/Live/PC.cvp").getFullPathName());
    patches().setCurrentPreset(findPatch("LB"), false);
    EXPECT_EQ(log, (std::vector<std::string>{"Lower:prog PD", "Upper:prog PC", "Multi:multi LB"}));

    patches().deleteProject("Live");
    for (const char* gone : {"User/Live/lb.cvm", "User/Live/PC.cvp", "User/Live/PD.cvp"})
        EXPECT_FALSE(bank(gone).exists()) << gone;
    EXPECT_TRUE(copy.exists());
}

TEST_F(ProjectAndStateTest, AProjectNameThatCouldLeaveOrHideInTheUserBankImportsNothing) {
    // The name comes from a file name, which another system may have let hold any of these.
    const juce::String names[] = {"..", "../Factory", "a/b", "a\\b", ".hidden", "", "   ", "tab\tin", "line\nbreak"};
    const juce::MemoryBlock project = exportLive();
    const auto files = filesUnder(folder.getSettingsFolder());
    const size_t before = presetCount();
    for (const juce::String& name : names) {
        juce::MemoryInputStream in(project, false);
        EXPECT_FALSE(patches().importProject(in, name)) << name;
        EXPECT_EQ(presetCount(), before) << name;
        EXPECT_EQ(filesUnder(folder.getSettingsFolder()), files) << name;
    }
    // Names a folder may hold on any system this runs on.
    for (const juce::String& name : {juce::String("Live Set (2)"), juce::String(juce::CharPointer_UTF8("Caf\xc3\xa9.v2"))}) {
        juce::MemoryInputStream in(project, false);
        EXPECT_TRUE(patches().importProject(in, name)) << name;
        EXPECT_TRUE(bank("User").getChildFile(name).isDirectory()) << name;
    }
}

TEST_F(ProjectAndStateTest, TheSavedStateRestoresPresetsSoundsAndColumnsInAnotherLibrary) {
    patches().setCurrentPreset(findPatch("LA"), false);
    lowerPrograms().setCurrentPreset(findProgram("PC"), false);
    upperPrograms().setFilterText(1, "Type");
    upperPrograms().setFilterValues(1, {"Lead"});
    upperPrograms().setFilterText(2, "Characteristics");
    lower.playing = "heard low";
    upper.playing = "heard up!";
    multi.playing = "heard multi";
    std::vector<uint8_t> state;
    patches().writeState(state);

    std::vector<std::string> log2;
    PlayingPart lower2{"Lower", log2}, upper2{"Upper", log2}, multi2{"Multi", log2};
    CorvanPresetServices other(folder);
    other.create(lower2, upper2, multi2, presetListener);
    log2.clear();

    // A state cut anywhere changes nothing.
    for (const size_t cut : {size_t{0}, size_t{5}, state.size() / 2, state.size() - 1}) {
        ByteReader damaged(state.data(), cut);
        other.patchFilterManager()->readState(damaged);
        EXPECT_TRUE(log2.empty()) << cut;
    }

    ByteReader in(state);
    other.patchFilterManager()->readState(in);
    EXPECT_TRUE(in.exhausted());
    EXPECT_EQ(other.patchFilterManager()->getCurrentPreset()->getIdentifier(), "LA");
    EXPECT_EQ(other.programFilterManager(true)->getCurrentPreset()->getIdentifier(), "PC");
    EXPECT_EQ(other.programFilterManager(false)->getCurrentPreset()->getIdentifier(), "PA");
    EXPECT_EQ(lower2.playing, "heard low");
    EXPECT_EQ(upper2.playing, "heard up!");
    EXPECT_EQ(multi2.playing, "heard multi");
    EXPECT_TRUE(other.programFilterManager(false)->hasCriterion("Type", "Lead"));
    EXPECT_EQ(other.programFilterManager(false)->getFilterText(2), "Characteristics");
}

} // namespace
} // namespace corvex::testing
