// "midi.prefs" keeps the channel and the controller map on disk; the text itself is judged in the core tests.
#include "instrument/MidiPrefsFile.h"

#include <gtest/gtest.h>

#include "instrument/midi/ControllerCodes.h"

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

} // namespace
} // namespace corvex
