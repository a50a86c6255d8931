// New presets from the manager: duplicates, presets made from the default, and presets imported from a stream
// as a project or a saved state carries them.
#include <cstring>

#include <gtest/gtest.h>

#include "ManagerTestSupport.h"

namespace corvex {
namespace {

using namespace corvex::testing;

using CopyTest = ManagerTest;

TEST_F(CopyTest, ADuplicateGoesToTheUserBankUnderAUniqueName) {
    writeProgram("Factory/bass.cvp", "Fact", "Bass", {{"Type", "Bass"}});
    CorvanProgramManager programs(folder);
    RecordingListener listener;
    programs.addListener(&listener);

    MorvanePreset* copy = programs.duplicatePreset(programs.findPreset("Fact"));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->getName(), "Bass_2");
    EXPECT_EQ(copy->getAttribute("Fact_User"), "User");
    EXPECT_EQ(copy->getAttribute("Type"), "Bass");
    EXPECT_TRUE(copy->getFile().existsAsFile());
    EXPECT_TRUE(copy->getFile().isAChildOf(bank("User")));
    EXPECT_EQ(programs.findPreset(copy->getIdentifier()), copy);

    deliverPostedMessages();
    ASSERT_FALSE(listener.ids.empty());
    EXPECT_EQ(listener.ids.back(), 5);
}

// The copy of a damaged file is thrown away after it announced its bank: nothing may reach a listener with it.
TEST_F(CopyTest, AFailedDuplicateLeavesNoPointerInThePostedMessages) {
    const std::string header = "<CorvanProgram><PresetId ids=\"Broken\" name=\"B\"/></CorvanProgram>";
    writeBytes(bank("Factory/broken.cvp"), handMadeFile(header, 1, {1, 2, 3, 4, 5}));
    CorvanProgramManager programs(folder);
    MorvanePreset* broken = programs.findPreset("Broken");
    ASSERT_NE(broken, nullptr);
    RecordingListener listener;
    programs.addListener(&listener);

    EXPECT_EQ(programs.duplicatePreset(broken), nullptr);
    EXPECT_EQ(programs.getPresets().size(), 1u);
    deliverPostedMessages();
    const std::set<const MorvanePreset*> held = heldBy(programs);
    for (const MorvanePreset* preset : listener.presets)
        EXPECT_TRUE(preset == nullptr || held.count(preset) != 0);
}

TEST_F(CopyTest, ANewPresetIsACopyOfTheDefaultNamedUniquely) {
    writeProgram("User/a.cvp", "A", "New_Prog");
    CorvanProgramManager programs(folder);
    MorvanePreset* made = programs.createNewPreset(programs.getDefaultNewName());
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->getName(), "New_Prog_2");
    EXPECT_EQ(made->getAttribute("Fact_User"), "User");
    EXPECT_NE(programs.findPreset("Default"), nullptr);
    EXPECT_EQ(programs.findPreset(made->getIdentifier()), made);
}

// The record of one preset as a saved state or a project embeds it.
juce::MemoryBlock fileBytes(const juce::File& file) {
    juce::MemoryBlock bytes;
    file.loadFileAsData(bytes);
    return bytes;
}

struct EndlessStream : juce::InputStream {
    juce::int64 getTotalLength() override { return -1; }
    bool isExhausted() override { return false; }
    int read(void* destination, int size) override {
        std::memset(destination, 'x', static_cast<size_t>(size));
        position += size;
        return size;
    }
    juce::int64 getPosition() override { return position; }
    bool setPosition(juce::int64) override { return false; }
    juce::int64 position = 0;
};

using ImportTest = ManagerTest;

TEST_F(ImportTest, AnImportedPresetGetsAFreshFileAndAFreeIdentifierAndName) {
    writeProgram("User/bass.cvp", "Held", "Bass", {{"Type", "Bass"}});
    const juce::File outside = temp.root().getChildFile("outside.cvp");
    writePresetFile(outside, "CorvanProgram", "Held", "Bass", {{"Type", "Bass"}});
    CorvanProgramManager programs(folder);
    const juce::File live = programs.getUserSubfolder("Live");
    EXPECT_EQ(live, bank("User/Live"));
    EXPECT_TRUE(live.isDirectory());
    // A file already at the identifier's path that the library does not know.
    writeBytes(live.getChildFile("Free.cvp"), {'j', 'u', 'n', 'k'});

    const juce::MemoryBlock source = fileBytes(outside);
    const struct {
        const char* identifier;
        bool keepsIdentifier;
    } cases[] = {{"New", true}, {"Held", false}, {"Free", false}, {"../../escape", false}, {"", false}};
    for (const auto& c : cases) {
        juce::MemoryInputStream in(source, false);
        const auto size = static_cast<juce::int64>(source.getSize());
        MorvanePreset* imported = programs.importPreset(live, c.identifier, in, size);
        ASSERT_NE(imported, nullptr) << c.identifier;
        EXPECT_EQ(imported->getIdentifier() == c.identifier, c.keepsIdentifier) << c.identifier;
        EXPECT_EQ(imported->getFile().getParentDirectory(), live) << c.identifier;
        EXPECT_EQ(imported->getAttribute("Type"), "Bass");
        // The header on disk carries the new identifier and name, so a rescan finds the same preset.
        MorvanePreset reread(nullptr, "CorvanProgram", imported->getFile());
        EXPECT_EQ(reread.getIdentifier(), imported->getIdentifier());
        EXPECT_EQ(reread.getName(), imported->getName());
    }
    EXPECT_EQ(programs.findPreset("New")->getName(), "Bass_2");
    EXPECT_EQ(readBytes(live.getChildFile("Free.cvp")), (std::vector<uint8_t>{'j', 'u', 'n', 'k'}));
    EXPECT_FALSE(bank("escape.cvp").exists());
    EXPECT_EQ(programs.getPresets().size(), 6u);
    EXPECT_EQ(live.findChildFiles(juce::File::findFiles, false).size(), 6);
}

TEST_F(ImportTest, ABadSizeOrAForeignFileImportsNothing) {
    writePresetFile(temp.root().getChildFile("source.cvp"), "CorvanProgram", "Src", "Source");
    writePresetFile(temp.root().getChildFile("patch.cvm"), "CorvanMulti", "Patch", "Patch");
    CorvanProgramManager programs(folder);
    const juce::File live = programs.getUserSubfolder("Live");
    const juce::MemoryBlock program = fileBytes(temp.root().getChildFile("source.cvp"));
    const juce::MemoryBlock patch = fileBytes(temp.root().getChildFile("patch.cvm"));
    const auto size = static_cast<juce::int64>(program.getSize());

    const struct {
        const char* what;
        const juce::MemoryBlock& bytes;
        juce::int64 size;
    } cases[] = {
        {"negative size", program, -1},
        {"more than the stream holds", program, size + 1},
        {"larger than any preset", program, juce::int64(1) << 40},
        {"cut inside the header", program, 12},
        {"a patch in a program manager", patch, static_cast<juce::int64>(patch.getSize())},
    };
    for (const auto& c : cases) {
        juce::MemoryInputStream in(c.bytes, false);
        EXPECT_EQ(programs.importPreset(live, "X", in, c.size), nullptr) << c.what;
    }
    // A stream that cannot tell its length, as a decompressing one: only the bound stops a huge size.
    EndlessStream endless;
    EXPECT_EQ(programs.importPreset(live, "X", endless, juce::int64(1) << 40), nullptr);
    EXPECT_TRUE(programs.getPresets().empty());
    EXPECT_TRUE(live.findChildFiles(juce::File::findFiles, false).isEmpty());
    EXPECT_EQ(programs.getUserSubfolder("../../Out").getParentDirectory(), bank("User"));
}

} // namespace
} // namespace corvex
