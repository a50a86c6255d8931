// "midi.prefs" keeps the channel and the controller map, and a damaged file loads only what is valid.
#include "instrument/MidiPrefsFile.h"

#include <gtest/gtest.h>

#include "instrument/midi/ControllerCodes.h"

namespace corvex {
namespace {

bool sameEntries(const std::vector<ControllerEntry>& a, const std::vector<ControllerEntry>& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].code != b[i].code || a[i].index != b[i].index)
            return false;
    return true;
}

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
    EXPECT_TRUE(sameEntries(loaded->entries, prefs.entries));
    temp.getFile().deleteRecursively();
}

TEST(MidiPrefsFile, BadFilesLoadWhatIsValid) {
    struct Case {
        const char* name;
        const char* text;
        bool accepted;
        int channel;
        std::vector<ControllerEntry> entries;
    };
    const char* good = "<CC cc_number=\"7\" param_number=\"12\"/>";
    const std::vector<Case> cases = {
        {"broken XML", "<MorvaneMidiMapping channel=\"3\"><CC", false, 0, {}},
        {"foreign root", "<Other channel=\"3\"/>", false, 0, {}},
        {"empty", "", false, 0, {}},
        {"channel too high", "<MorvaneMidiMapping channel=\"17\">%s</MorvaneMidiMapping>", true, 0, {{7, 12}}},
        {"channel negative", "<MorvaneMidiMapping channel=\"-1\">%s</MorvaneMidiMapping>", true, 0, {{7, 12}}},
        {"channel not a number", "<MorvaneMidiMapping channel=\"x3\">%s</MorvaneMidiMapping>", true, 0, {{7, 12}}},
        {"channel absent", "<MorvaneMidiMapping>%s</MorvaneMidiMapping>", true, 0, {{7, 12}}},
        {"param 1010", "<MorvaneMidiMapping channel=\"2\"><CC cc_number=\"7\" param_number=\"1010\"/>%s"
                       "</MorvaneMidiMapping>", true, 2, {{7, 12}}},
        {"param missing", "<MorvaneMidiMapping channel=\"2\"><CC cc_number=\"7\"/>%s</MorvaneMidiMapping>",
         true, 2, {{7, 12}}},
        {"code 128", "<MorvaneMidiMapping channel=\"2\"><CC cc_number=\"128\" param_number=\"1\"/>%s"
                     "</MorvaneMidiMapping>", true, 2, {{7, 12}}},
        {"code past RPN", "<MorvaneMidiMapping channel=\"2\"><CC cc_number=\"81920\" param_number=\"1\"/>%s"
                          "</MorvaneMidiMapping>", true, 2, {{7, 12}}},
        {"code overflowing", "<MorvaneMidiMapping channel=\"2\"><CC cc_number=\"4294967303\" param_number=\"1\"/>"
                             "%s</MorvaneMidiMapping>", true, 2, {{7, 12}}},
        {"code with junk", "<MorvaneMidiMapping channel=\"2\"><CC cc_number=\"7abc\" param_number=\"1\"/>%s"
                           "</MorvaneMidiMapping>", true, 2, {{7, 12}}},
    };
    for (const Case& c : cases) {
        const juce::String text = juce::String(c.text).replace("%s", good);
        const std::optional<MidiPrefs> loaded = midiPrefsFromXml(text);
        ASSERT_EQ(loaded.has_value(), c.accepted) << c.name;
        if (!loaded)
            continue;
        EXPECT_EQ(loaded->channel, c.channel) << c.name;
        EXPECT_TRUE(sameEntries(loaded->entries, c.entries)) << c.name;
    }
}

TEST(MidiPrefsFile, AMissingFileIsNotLoaded) {
    juce::TemporaryFile temp;
    EXPECT_FALSE(loadMidiPrefs(temp.getFile()).has_value());
}

} // namespace
} // namespace corvex
