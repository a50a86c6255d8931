// Preferred-preset slots in "prefered_preset_<kind>.prefs": records of slot number and identifier.
#include "presets/MorvanePreferedPresetManager.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>

#include "PresetTestSupport.h"
#include "tests/support/CallWithin.h"

namespace corvex {
namespace {

using namespace corvex::testing;

class PreferedPresets : public ::testing::Test {
protected:
    TempFolder temp;
    MorvaneFindFolder folder{temp.root(), "Corvex2"};
    juce::File fileOf(int kind) const {
        return temp.root().getChildFile("Morvane/Corvex2/Save/prefered_preset_" + juce::String(kind) + ".prefs");
    }
};

TEST_F(PreferedPresets, SlotThreeIntoAnEmptyListWritesFourRecords) {
    MorvanePreferedPresetManager slots(1, folder);
    EXPECT_EQ(slots.getNumSlots(), 0);
    ASSERT_TRUE(slots.save(3, "U_17"));

    const std::vector<uint8_t> expected = {0, 0, 0, 0, 0,  1, 0, 0, 0, 0,  2, 0, 0, 0, 0,
                                           3, 0, 0, 0, 'U', '_', '1', '7', 0};
    EXPECT_EQ(readBytes(fileOf(1)), expected);
    EXPECT_FALSE(fileOf(0).exists());

    const MorvanePreferedPresetManager reread(1, folder);
    EXPECT_EQ(reread.getNumSlots(), 4);
    EXPECT_EQ(reread.getName(0), "");
    EXPECT_EQ(reread.getName(3), "U_17");
    EXPECT_EQ(reread.getName(-1), "");
    EXPECT_EQ(reread.getName(4), "");
}

TEST_F(PreferedPresets, SlotsAreReplacedFoundAndKeepNonAsciiIdentifiers) {
    MorvanePreferedPresetManager slots(0, folder);
    const juce::String name = juce::String::fromUTF8(u8"\u00c9t\u00e9");
    ASSERT_TRUE(slots.save(1, "A"));
    ASSERT_TRUE(slots.save(4, "A"));
    ASSERT_TRUE(slots.save(2, name));
    ASSERT_TRUE(slots.save(1, "B"));
    ASSERT_TRUE(slots.save(0, "A"));

    const MorvanePreferedPresetManager reread(0, folder);
    EXPECT_EQ(reread.findName("A"), juce::Array<int>({0, 4}));
    EXPECT_EQ(reread.findName("a"), juce::Array<int>());
    EXPECT_EQ(reread.getName(2), name);
    const std::vector<uint8_t> bytes = readBytes(fileOf(0));
    // Record 2 starts after "A\0" and "B\0" with their slot numbers: its text is UTF-8.
    const std::vector<uint8_t> record2 = {2, 0, 0, 0, 0xC3, 0x89, 't', 0xC3, 0xA9, 0};
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 12, bytes.begin() + 22), record2);
}

TEST_F(PreferedPresets, ANegativeIndexStoresNothingButRewritesTheFile) {
    writeBytes(fileOf(0), {0, 0, 0, 0, 'X', 0, 0, 0});
    MorvanePreferedPresetManager slots(0, folder);
    // The cut-off last record: its number is skipped and its text runs to the end (here: none).
    EXPECT_EQ(slots.getNumSlots(), 2);
    ASSERT_TRUE(slots.save(-1, "Y"));
    EXPECT_EQ(readBytes(fileOf(0)), (std::vector<uint8_t>{0, 0, 0, 0, 'X', 0, 1, 0, 0, 0, 0}));
}

TEST_F(PreferedPresets, AFailedWriteReportsItAndKeepsTheOldFile) {
    MorvanePreferedPresetManager slots(0, folder);
    // Longer than the message written while the limit holds, which goes to a file as well.
    ASSERT_TRUE(slots.save(0, juce::String::repeatedString("Old", 100)));
    const std::vector<uint8_t> old = readBytes(fileOf(0));
    ::testing::internal::CaptureStderr();
    bool saved = true;
    {
        FileSizeLimit limit(old.size());
        saved = slots.save(1, "An identifier that makes the file longer");
    }
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("Cannot write"), std::string::npos);
    EXPECT_FALSE(saved);
    EXPECT_EQ(readBytes(fileOf(0)), old);
    EXPECT_EQ(fileOf(0).getParentDirectory().getNumberOfChildFiles(juce::File::findFiles, "*"), 1);
}

TEST_F(PreferedPresets, AFolderHoldingFilesInThePlaceOfTheFileIsNotReplaced) {
    const juce::File file = fileOf(1);
    file.getChildFile("keep").create();
    MorvanePreferedPresetManager slots(1, folder);
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(slots.save(0, "New"));
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("Cannot replace"), std::string::npos);
    EXPECT_TRUE(file.getChildFile("keep").existsAsFile());
}

// What is not a regular file in the file's place is passed over with a message: a FIFO would hold the start
// up in open() for ever, a device would be read without end. A link to a regular file is read like the file.
TEST_F(PreferedPresets, OnlyARegularFileIsReadAndNeverPastItsBound) {
    const juce::File outside = temp.root().getChildFile("elsewhere.prefs");
    writeBytes(outside, {0, 0, 0, 0, 'X', 0});
    struct Case {
        const char* name;
        std::function<bool(const juce::File&)> make;
        int slots;
        bool reported;
    };
    const Case cases[] = {
        {"FIFO", makeFifo, 0, true},
        {"link to /dev/zero", [](const juce::File& f) { return makeSymlink(f, "/dev/zero"); }, 0, true},
        {"link to a regular file",
         [&outside](const juce::File& f) { return makeSymlink(f, outside.getFullPathName().toRawUTF8()); }, 1, false},
    };
    const juce::File file = fileOf(2);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        file.deleteFile();
        ASSERT_TRUE(c.make(file));
        ::testing::internal::CaptureStderr();
        // The call owns a copy of what it reads through: a read that never returns keeps it alive.
        const auto slots = callWithin(std::chrono::seconds(20), [settings = folder] {
            return MorvanePreferedPresetManager(2, settings).getNumSlots();
        });
        const std::string messages = ::testing::internal::GetCapturedStderr();
        if (!slots) {
            releaseFifoReaders(file);
            ADD_FAILURE() << "still reading after 20 s";
            continue;
        }
        EXPECT_EQ(*slots, c.slots);
        EXPECT_EQ(messages.find(file.getFullPathName().toStdString()) != std::string::npos, c.reported) << messages;
    }
}

} // namespace
} // namespace corvex
