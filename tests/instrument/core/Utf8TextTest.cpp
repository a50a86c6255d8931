// Text from disk made valid UTF-8: what is valid stays as it was, every other byte becomes one character.
#include "instrument/midi/Utf8Text.h"

#include <random>
#include <string>

#include <gtest/gtest.h>

namespace corvex {
namespace {

TEST(Utf8Text, ValidTextIsKeptAndEveryOtherByteBecomesOneCharacter) {
    struct Case {
        const char* name;
        std::string bytes;
        std::string expected;
    };
    const std::string replacement = "\xEF\xBF\xBD";
    const Case cases[] = {
        {"ASCII with a zero inside", std::string("hw:1\0x", 6), std::string("hw:1\0x", 6)},
        {"two-, three- and four-byte characters", "\xC3\xA0 \xE2\x82\xAC \xF0\x9F\x8E\xB9", "\xC3\xA0 \xE2\x82\xAC \xF0\x9F\x8E\xB9"},
        {"the first and last code points of each length", "\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF\xF0\x90\x80\x80\xF4\x8F\xBF\xBF",
         "\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF\xF0\x90\x80\x80\xF4\x8F\xBF\xBF"},
        {"a Latin-1 letter", "Sortie \xE0 gauche", "Sortie \xC3\xA0 gauche"},
        {"a Latin-1 letter at the very end", "Sortie \xE0", "Sortie \xC3\xA0"},
        {"a C1 control byte", "a\x85z", "a" + replacement + "z"},
        {"a lone continuation byte", "\x80", replacement},
        {"a sequence cut short at the end", "\xE2\x82", "\xC3\xA2" + replacement},
        {"a sequence cut short by ASCII", "\xF0\x9F\x8E!", "\xC3\xB0" + replacement + replacement + "!"},
        {"an overlong slash", "\xC0\xAF", "\xC3\x80\xC2\xAF"},
        {"an overlong three-byte form", "\xE0\x80\xAF", "\xC3\xA0" + replacement + "\xC2\xAF"},
        {"a surrogate", "\xED\xA0\x80", "\xC3\xAD\xC2\xA0" + replacement},
        {"past U+10FFFF", "\xF4\x90\x80\x80", "\xC3\xB4" + replacement + replacement + replacement},
        {"bytes that never start a character", "\xF5\xFF", "\xC3\xB5\xC3\xBF"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(validUtf8(c.bytes), c.expected) << c.name;
        EXPECT_EQ(isValidUtf8(c.bytes), c.bytes == c.expected) << c.name;
    }
}

// Whatever the bytes, what comes out is valid and decodes no further than the text itself.
TEST(Utf8Text, RandomBytesAlwaysComeOutValid) {
    std::mt19937 random(28);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> length(0, 12);
    for (int i = 0; i < 20000; ++i) {
        std::string bytes(static_cast<size_t>(length(random)), '\0');
        for (char& b : bytes)
            b = static_cast<char>(byte(random));
        const std::string text = validUtf8(bytes);
        ASSERT_TRUE(isValidUtf8(text));
        ASSERT_EQ(validUtf8(text), text);
        ASSERT_LE(text.size(), 3 * bytes.size());
    }
}

TEST(Utf8Text, APrefixEndsBeforeACharacterNotInsideIt) {
    const std::string text = "ab\xC3\xA0\xE2\x82\xAC";
    EXPECT_EQ(utf8Prefix(text, 100), text);
    EXPECT_EQ(utf8Prefix(text, 4), "ab\xC3\xA0");
    EXPECT_EQ(utf8Prefix(text, 3), "ab");
    EXPECT_EQ(utf8Prefix(text, 6), "ab\xC3\xA0");
    EXPECT_EQ(utf8Prefix(text, 0), "");
}

} // namespace
} // namespace corvex
