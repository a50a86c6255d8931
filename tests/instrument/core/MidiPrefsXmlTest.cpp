// "midi.prefs" text from disk: hostile XML is refused in bounded time, a damaged file loads only what is valid.
#include "instrument/midi/MidiPrefsXml.h"

#include <string>

#include <gtest/gtest.h>

#include "instrument/midi/ControllerCodes.h"
#include "instrument/midi/Utf8Text.h"
#include "tests/support/CallWithin.h"

namespace corvex {
namespace {

using namespace std::chrono_literals;

// A parser stuck in a loop fails here after a few seconds rather than hanging the binary.
std::optional<MidiPrefs> parsedInTime(const std::string& text) {
    const auto parsed = testing::callWithin(5000ms, [text] { return midiPrefsFromXml(text); });
    if (!parsed) {
        ADD_FAILURE() << "parsing did not return within 5 s: " << text;
        return std::nullopt;
    }
    return *parsed;
}

// Texts that broke the GUI library's XML reader: a cut-off character reference read past the end of the
// text, and a processing instruction inside an element never returned.
TEST(MidiPrefsXml, HostileTextIsRefusedInBoundedTimeWithAMessage) {
    for (const std::string text : {"<M>&#x", "<M><?\?>n"}) {
        ::testing::internal::CaptureStderr();
        const std::optional<MidiPrefs> parsed = parsedInTime(text);
        const std::string message = ::testing::internal::GetCapturedStderr();
        EXPECT_FALSE(parsed.has_value()) << text;
        EXPECT_NE(message.find("midi.prefs"), std::string::npos) << text << " gave no message: " << message;
    }
}

TEST(MidiPrefsXml, AProcessingInstructionInsideTheMappingIsHarmless) {
    const std::optional<MidiPrefs> parsed = parsedInTime(
        "<MorvaneMidiMapping channel=\"1\"><?x?>text<CC cc_number=\"7\" param_number=\"184\"/></MorvaneMidiMapping>");
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(parsed->channel, 1);
    EXPECT_EQ(parsed->entries, std::vector<ControllerEntry>({{7, 184}}));

    const std::optional<MidiPrefs> bare =
        parsedInTime("<MorvaneMidiMapping channel=\"1\"><?x?>text</MorvaneMidiMapping>");
    ASSERT_TRUE(bare.has_value());
    EXPECT_EQ(bare->channel, 1);
    EXPECT_TRUE(bare->entries.empty());
}

TEST(MidiPrefsXml, DamagedFilesLoadWhatIsValid) {
    struct Case {
        const char* name;
        const char* text;
        bool accepted;
        int channel;
        std::vector<ControllerEntry> entries;
    };
    const std::string good = "<CC cc_number=\"7\" param_number=\"12\"/>";
    const std::vector<Case> cases = {
        {"as written", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n\n<MorvaneMidiMapping channel=\"10\">\n"
                       "  <CC cc_number=\"64\" param_number=\"234\" param_name=\"Hold\"/>\n"
                       "  <CC cc_number=\"32898\" param_number=\"40\" param_name=\"X\"/>\n  %s\n"
                       "</MorvaneMidiMapping>\n", true, 10, {{64, 234}, {nrpnCode(1, 2), 40}, {7, 12}}},
        {"broken XML", "<MorvaneMidiMapping channel=\"3\"><CC", false, 0, {}},
        {"unclosed root", "<MorvaneMidiMapping channel=\"3\">%s", false, 0, {}},
        {"foreign root", "<Other channel=\"3\">%s</Other>", false, 0, {}},
        {"empty", "", false, 0, {}},
        {"not XML", "channel=3", false, 0, {}},
        {"channel too high", "<MorvaneMidiMapping channel=\"17\">%s</MorvaneMidiMapping>", true, 0, {{7, 12}}},
        {"channel negative", "<MorvaneMidiMapping channel=\"-1\">%s</MorvaneMidiMapping>", true, 0, {{7, 12}}},
        {"channel not a number", "<MorvaneMidiMapping channel=\"x3\">%s</MorvaneMidiMapping>", true, 0, {{7, 12}}},
        {"channel absent", "<MorvaneMidiMapping>%s</MorvaneMidiMapping>", true, 0, {{7, 12}}},
        {"channel padded", "<MorvaneMidiMapping channel=\" 16 \">%s</MorvaneMidiMapping>", true, 16, {{7, 12}}},
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
        {"CC nested deeper", "<MorvaneMidiMapping channel=\"2\"><G><CC cc_number=\"9\" param_number=\"1\"/></G>"
                             "%s</MorvaneMidiMapping>", true, 2, {{7, 12}}},
    };
    for (const Case& c : cases) {
        std::string text = c.text;
        if (const size_t at = text.find("%s"); at != std::string::npos)
            text.replace(at, 2, good);
        const std::optional<MidiPrefs> loaded = parsedInTime(text);
        ASSERT_EQ(loaded.has_value(), c.accepted) << c.name;
        if (!loaded)
            continue;
        EXPECT_EQ(loaded->channel, c.channel) << c.name;
        EXPECT_EQ(loaded->entries, c.entries) << c.name;
    }
}

// Every cut of a good file, as a crash or a full disk leaves it, lacks the closing root tag: refused whole,
// so the state from before stays rather than half a map.
TEST(MidiPrefsXml, EveryTruncationIsRefused) {
    const std::string full = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<MorvaneMidiMapping channel=\"5\">"
                             "<CC cc_number=\"7\" param_number=\"184\" param_name=\"Volume&amp;\"/>"
                             "<CC cc_number=\"65536\" param_number=\"238\" param_name=\"&#x42;end\"/>"
                             "</MorvaneMidiMapping>";
    const std::optional<MidiPrefs> whole = parsedInTime(full);
    ASSERT_TRUE(whole.has_value());
    EXPECT_EQ(whole->channel, 5);
    EXPECT_EQ(whole->entries, std::vector<ControllerEntry>({{7, 184}, {rpnCode(0, 0), 238}}));
    ::testing::internal::CaptureStderr();
    for (size_t length = 0; length < full.size(); ++length)
        EXPECT_FALSE(parsedInTime(full.substr(0, length)).has_value()) << full.substr(0, length);
    ::testing::internal::GetCapturedStderr();
}

// What a damaged file holds is echoed into the log as text: bytes that are not UTF-8 are repaired, and a
// long value is cut before a character rather than through it.
TEST(MidiPrefsXml, MessagesQuoteTheFileAsValidText) {
    std::string accents;
    for (int i = 0; i < 40; ++i)
        accents += "\xC3\xA9";
    const std::vector<std::string> texts = {
        "<Mapping\xE0/>",
        "<MorvaneMidiMapping channel=\"\xE9\"/>",
        "<MorvaneMidiMapping><CC cc_number=\"x" + accents + "\" param_number=\"1\"/></MorvaneMidiMapping>",
    };
    for (const std::string& text : texts) {
        ::testing::internal::CaptureStderr();
        parsedInTime(text);
        const std::string message = ::testing::internal::GetCapturedStderr();
        EXPECT_NE(message.find("midi.prefs"), std::string::npos) << text;
        EXPECT_TRUE(isValidUtf8(message)) << message;
    }
}

TEST(MidiPrefsXml, ATextLargerThanAnyMappingIsRefused) {
    std::string huge = "<MorvaneMidiMapping channel=\"3\">";
    while (huge.size() <= kMaxMidiPrefsBytes)
        huge += "<CC cc_number=\"7\" param_number=\"12\"/>";
    huge += "</MorvaneMidiMapping>";
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(parsedInTime(huge).has_value());
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("too large"), std::string::npos);
}

} // namespace
} // namespace corvex
