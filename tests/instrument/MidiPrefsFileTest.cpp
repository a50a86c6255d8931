// "midi.prefs" keeps the channel and the controller map on disk; the text itself is judged in the core tests.
#include "instrument/MidiPrefsFile.h"

#include <gtest/gtest.h>

#include "instrument/midi/ControllerCodes.h"
#include "tests/support/CallWithin.h"
#include "tests/support/SpecialFiles.h"

namespace corvex {
namespace {

TEST(MidiPrefsFile, RoundTripKeepsChannelEntriesAndOrder) {
    juce::TemporaryFile temp;
    const juce::File file = temp.getFile().getChildFile("Save").getChildFile("midi.prefs");
    MidiPrefs prefs;
    prefs.channel = 10;
    prefs.entries = {{64, 300}, {64, 7}, {nrpnCode(1, 2), 1009}, {rpnCode(0, 0), 238}, {0, 0}};

    ASSERT_TRUE(saveMidiPrefs(file, prefs, [](int index) { return "P" + juce::String(index); }));
    const std::unique_ptr<juce::XmlElement> xml = juce::parseXML(file);
    ASSERT_NE(xml, nullptr);
    EXPECT_TRUE(xml->hasTagName("MorvaneMidiMapping"));
    EXPECT_EQ(xml->getChildByName("CC")->getStringAttribute("param_name"), "P300");

    const std::optional<MidiPrefs> loaded = loadMidiPrefs(file);
    ASSERT_TRUE(loaded.has_value());
    EXPECT_EQ(loaded->channel, 10);
    EXPECT_EQ(loaded->entries, prefs.entries);
    temp.getFile().deleteRecursively();
}

TEST(MidiPrefsFile, AnOversizedFileIsRefusedByItsSize) {
    juce::TemporaryFile temp;
    juce::FileOutputStream out(temp.getFile());
    ASSERT_TRUE(out.openedOk());
    out.writeText("<MorvaneMidiMapping channel=\"3\"/>", false, false, nullptr);
    out.writeRepeatedByte(' ', kMaxMidiPrefsBytes);
    out.flush();
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(loadMidiPrefs(temp.getFile()).has_value());
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("too large"), std::string::npos);
}

TEST(MidiPrefsFile, AMissingFileIsNotLoaded) {
    juce::TemporaryFile temp;
    EXPECT_FALSE(loadMidiPrefs(temp.getFile()).has_value());
}

// Only a regular file is read: a FIFO named "midi.prefs" would hold the start up in open(), a link to a device
// would be read without end. A link to a regular file is read as the file.
TEST(MidiPrefsFile, OnlyARegularFileIsReadAndNeverWaitedOn) {
    const juce::File folder = juce::File::createTempFile("midiprefs");
    ASSERT_TRUE(folder.createDirectory());
    const juce::File real = folder.getChildFile("real.prefs");
    MidiPrefs prefs;
    prefs.channel = 5;
    ASSERT_TRUE(saveMidiPrefs(real, prefs, nullptr));
    const juce::File fifo = folder.getChildFile("fifo.prefs");
    ASSERT_TRUE(testing::makeFifo(fifo));
    ASSERT_TRUE(testing::makeSymlink(folder.getChildFile("zero.prefs"), "/dev/zero"));
    ASSERT_TRUE(testing::makeSymlink(folder.getChildFile("linked.prefs"), real.getFullPathName().toRawUTF8()));

    const struct {
        const char* name;
        bool loads;
    } cases[] = {{"fifo.prefs", false}, {"zero.prefs", false}, {"linked.prefs", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const juce::File file = folder.getChildFile(c.name);
        ::testing::internal::CaptureStderr();
        const auto loaded = testing::callWithin(std::chrono::seconds(20), [file] { return loadMidiPrefs(file); });
        const std::string messages = ::testing::internal::GetCapturedStderr();
        if (!loaded) {
            testing::releaseFifoReaders(fifo);
            FAIL() << "the read did not return within 20 s";
        }
        EXPECT_EQ(loaded->has_value(), c.loads);
        if (c.loads)
            EXPECT_EQ((*loaded)->channel, 5);
        else
            EXPECT_NE(messages.find("not a regular file"), std::string::npos) << messages;
    }
    folder.deleteRecursively();
}

} // namespace
} // namespace corvex
