// "standalone.prefs": which files give a saved device state, and writes that keep the old file on failure.
#include <gtest/gtest.h>

#include <string>

#include "app/StandalonePrefs.h"
#include "tests/support/CallWithin.h"
#include "tests/support/SpecialFiles.h"

namespace corvex {
namespace {

class StandalonePrefsTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder.createDirectory()); }
    void TearDown() override { folder.deleteRecursively(); }
    juce::File write(const juce::String& text) {
        const juce::File file = folder.getChildFile("standalone.prefs");
        EXPECT_TRUE(file.replaceWithText(text));
        return file;
    }
    juce::File folder = juce::File::createTempFile("prefs");
};

TEST_F(StandalonePrefsTest, ReadingFindsTheDeviceStateOnlyInOurOwnFiles) {
    struct Case {
        const char* name;
        const char* text;
        const char* expectedDevice; // the state element's "audioOutputDeviceName", or null for none
    };
    const Case cases[] = {
        {"ours", R"(<StandalonePreferences><Audio><DEVICESETUP audioOutputDeviceName="hw:1"/></Audio></StandalonePreferences>)",
         "hw:1"},
        {"the last of several Audio children",
         R"(<StandalonePreferences><Audio><DEVICESETUP audioOutputDeviceName="first"/></Audio>)"
         R"(<Audio><DEVICESETUP audioOutputDeviceName="last"/></Audio></StandalonePreferences>)",
         "last"},
        {"an empty Audio", "<StandalonePreferences><Audio/></StandalonePreferences>", nullptr},
        {"no Audio", "<StandalonePreferences/>", nullptr},
        {"another program's root", R"(<OtherPreferences><Audio><DEVICESETUP/></Audio></OtherPreferences>)", nullptr},
        {"garbage", "\x01\x02 not xml at all <<<", nullptr},
        {"cut short", R"(<StandalonePreferences><Audio><DEVICESETUP audioOutput)", nullptr},
        {"a character reference cut off", R"(<StandalonePreferences><Audio><DEVICESETUP a="&#x)", nullptr},
        {"a processing instruction inside",
         R"(<StandalonePreferences><?x y?><Audio><DEVICESETUP audioOutputDeviceName="pi"/></Audio></StandalonePreferences>)",
         "pi"},
        {"empty", "", nullptr},
    };
    for (const Case& c : cases) {
        const std::unique_ptr<juce::XmlElement> state = readStandalonePrefs(write(c.text));
        if (c.expectedDevice == nullptr) {
            EXPECT_EQ(state, nullptr) << c.name;
        } else {
            ASSERT_NE(state, nullptr) << c.name;
            EXPECT_EQ(state->getStringAttribute("audioOutputDeviceName"), c.expectedDevice) << c.name;
        }
    }
    EXPECT_EQ(readStandalonePrefs(folder.getChildFile("missing.prefs")), nullptr);
}

std::string repeated(const std::string& piece, int times) {
    std::string text;
    text.reserve(piece.size() * static_cast<size_t>(times));
    for (int i = 0; i < times; ++i)
        text += piece;
    return text;
}

// Files another program or a damaged disk may leave: text that is not UTF-8 is repaired, a state too large in
// any direction is refused with a message and the default device opens, and none of them crashes the reader
// (JUCE overflowed a buffer on the Latin-1 byte, and the deep nesting ran the stack out).
TEST_F(StandalonePrefsTest, BadFilesGiveRepairedTextOrTheDefaultsWithAMessage) {
    struct Case {
        const char* name;
        std::string bytes;
        const char* expectedDevice; // UTF-8, or null when the state is refused
        const char* message;        // part of the message on stderr, or null for none
    };
    const std::string head = "<StandalonePreferences><Audio>";
    const std::string tail = "</Audio></StandalonePreferences>";
    std::string attributes;
    for (int i = 0; i < 70000; ++i)
        attributes += "a" + std::to_string(i) + "=\"\" ";
    std::string fewerAttributes;
    for (int i = 0; i < 1000; ++i)
        fewerAttributes += "a" + std::to_string(i) + "=\"\" ";
    const std::string named = "<DEVICESETUP audioOutputDeviceName=\"deep\">";
    const Case cases[] = {
        {"a device name in Latin-1", head + "<DEVICESETUP audioOutputDeviceName=\"Sortie \xE0 gauche\"/>" + tail,
         "Sortie \xC3\xA0 gauche", nullptr},
        {"a Latin-1 byte closing the value", head + "<DEVICESETUP audioOutputDeviceName=\"\xE0\"/>" + tail,
         "\xC3\xA0", nullptr},
        {"a byte that is no character", head + "<DEVICESETUP audioOutputDeviceName=\"Out\x81\"/>" + tail,
         "Out\xEF\xBF\xBD", nullptr},
        {"nested 140,000 deep", head + named + repeated("<a>", 140000) + repeated("</a>", 140000) + "</DEVICESETUP>" + tail,
         nullptr, "nested too deeply"},
        {"70,000 attributes on one element", head + "<DEVICESETUP " + attributes + "/>" + tail, nullptr,
         "too many attributes"},
        {"100,000 children", head + named + repeated("<b/>", 100000) + "</DEVICESETUP>" + tail, nullptr,
         "too many elements"},
        {"cut short", head + "<DEVICESETUP audioOutputDeviceName=\"Sortie \xE0", nullptr, "not readable XML"},
        {"as deep and wide as a state may be",
         head + "<DEVICESETUP audioOutputDeviceName=\"deep\" " + fewerAttributes + ">" + repeated("<a>", 63) +
             repeated("</a>", 63) + "</DEVICESETUP>" + tail,
         "deep", nullptr},
    };
    for (const Case& c : cases) {
        const juce::File file = folder.getChildFile("standalone.prefs");
        ASSERT_TRUE(file.replaceWithData(c.bytes.data(), c.bytes.size())) << c.name;
        ::testing::internal::CaptureStderr();
        const std::unique_ptr<juce::XmlElement> state = readStandalonePrefs(file);
        const std::string message = ::testing::internal::GetCapturedStderr();
        if (c.expectedDevice == nullptr) {
            EXPECT_EQ(state, nullptr) << c.name;
        } else {
            ASSERT_NE(state, nullptr) << c.name;
            EXPECT_EQ(state->getStringAttribute("audioOutputDeviceName"), juce::String::fromUTF8(c.expectedDevice))
                << c.name;
        }
        if (c.message == nullptr) {
            EXPECT_EQ(message, "") << c.name;
        } else {
            EXPECT_NE(message.find(c.message), std::string::npos) << c.name << ": " << message;
            EXPECT_NE(message.find("the default audio device is used"), std::string::npos) << c.name;
        }
    }
}

// The device manager's state carries the enabled MIDI inputs as child elements: they come back whole.
TEST_F(StandalonePrefsTest, NestedDeviceStateComesBackWhole) {
    const std::unique_ptr<juce::XmlElement> state = readStandalonePrefs(write(
        R"(<StandalonePreferences><Audio><DEVICESETUP deviceType="ALSA" audioDeviceRate="48000.0">)"
        R"(<MIDIINPUT name="Keys" identifier="hw:2,0,0"/><MIDIINPUT name="Pads" identifier="hw:3,0,0"/>)"
        R"(</DEVICESETUP></Audio></StandalonePreferences>)"));
    ASSERT_NE(state, nullptr);
    EXPECT_EQ(state->getTagName(), "DEVICESETUP");
    EXPECT_EQ(state->getDoubleAttribute("audioDeviceRate"), 48000.0);
    ASSERT_EQ(state->getNumChildElements(), 2);
    EXPECT_EQ(state->getChildElement(1)->getStringAttribute("identifier"), "hw:3,0,0");
}

TEST_F(StandalonePrefsTest, AWrittenStateReadsBackAndNoStateWritesAnEmptyAudio) {
    const juce::File file = folder.getChildFile("Save").getChildFile("standalone.prefs");
    juce::XmlElement device("DEVICESETUP");
    device.setAttribute("audioDeviceRate", 44100.0);
    ASSERT_TRUE(writeStandalonePrefs(file, &device)) << "the missing settings folder is made on first write";
    const std::unique_ptr<juce::XmlElement> back = readStandalonePrefs(file);
    ASSERT_NE(back, nullptr);
    EXPECT_TRUE(back->isEquivalentTo(&device, false));

    ASSERT_TRUE(writeStandalonePrefs(file, nullptr));
    const std::unique_ptr<juce::XmlElement> root = juce::parseXML(file);
    ASSERT_NE(root, nullptr);
    EXPECT_TRUE(root->hasTagName("StandalonePreferences"));
    ASSERT_NE(root->getChildByName("Audio"), nullptr);
    EXPECT_EQ(root->getChildByName("Audio")->getNumChildElements(), 0);
}

TEST_F(StandalonePrefsTest, AFailedWriteReturnsFalseAndKeepsTheOldFile) {
    // The settings folder's place is taken by a regular file, so nothing can be written under it.
    const juce::File blocked = folder.getChildFile("Save");
    ASSERT_TRUE(blocked.replaceWithText("not a folder"));
    juce::XmlElement device("DEVICESETUP");
    EXPECT_FALSE(writeStandalonePrefs(blocked.getChildFile("standalone.prefs"), &device));
    EXPECT_EQ(blocked.loadFileAsString(), "not a folder");

    // A target that is a folder cannot be replaced either; what it holds survives.
    const juce::File target = folder.getChildFile("standalone.prefs");
    ASSERT_TRUE(target.createDirectory());
    ASSERT_TRUE(target.getChildFile("kept").replaceWithText("kept"));
    EXPECT_FALSE(writeStandalonePrefs(target, &device));
    EXPECT_EQ(target.getChildFile("kept").loadFileAsString(), "kept");
}

// A FIFO or a device named "standalone.prefs" gives the default device at once, with a message; the start
// must not wait in open() for a writer that never comes, nor read a device without end.
TEST_F(StandalonePrefsTest, WhatIsNoRegularFileGivesTheDefaultsAtOnce) {
    const juce::File fifo = folder.getChildFile("fifo.prefs");
    ASSERT_TRUE(testing::makeFifo(fifo));
    ASSERT_TRUE(testing::makeSymlink(folder.getChildFile("zero.prefs"), "/dev/zero"));
    for (const char* name : {"fifo.prefs", "zero.prefs"}) {
        SCOPED_TRACE(name);
        const juce::File file = folder.getChildFile(name);
        ::testing::internal::CaptureStderr();
        const auto state = testing::callWithin(std::chrono::seconds(20),
                                               [file] { return readStandalonePrefs(file) != nullptr; });
        const std::string messages = ::testing::internal::GetCapturedStderr();
        if (!state) {
            testing::releaseFifoReaders(fifo);
            FAIL() << "the read did not return within 20 s";
        }
        EXPECT_FALSE(*state);
        EXPECT_NE(messages.find("not a regular file"), std::string::npos) << messages;
    }
}

} // namespace
} // namespace corvex
