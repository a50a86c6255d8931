// Names read from preset headers and preferred-preset slots: text another program wrote in Latin-1 is
// repaired as a whole name rather than cut off (or read past its end) at the first byte that is not UTF-8.
#include <gtest/gtest.h>

#include <string>

#include "PresetTestSupport.h"
#include "presets/MorvanePreferedPresetManager.h"
#include "presets/PresetFileFormat.h"

namespace corvex {
namespace {

using namespace corvex::testing;

TEST(TextFromDisk, PresetNamesInLatin1AreReadWhole) {
    const std::string header = "<Program><PresetId ids=\"U_1\" name=\"Caf\xE9 cr\xE8me\"/>"
                               "<PresetAttributes Type=\"Nappe \xE0 cordes\"/></Program>";
    juce::MemoryBlock text(header.data(), header.size() + 1);
    const std::optional<presetfile::Header> parsed = presetfile::parseHeaderText(text, "Program", juce::File());
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(parsed->name, juce::String::fromUTF8("Caf\xC3\xA9 cr\xC3\xA8me"));
    ASSERT_EQ(parsed->pairs.size(), 1u);
    EXPECT_EQ(parsed->pairs[0].second, juce::String::fromUTF8("Nappe \xC3\xA0 cordes"));

    // The last slot runs to the end of the file, here a byte that starts a character no byte follows.
    TempFolder temp;
    const MorvaneFindFolder folder{temp.root(), "Corvex2"};
    writeBytes(folder.getSettingsFolder().getChildFile("prefered_preset_0.prefs"),
               {0, 0, 0, 0, 'C', 'a', 'f', 0xE9, 0, 1, 0, 0, 0, 'N', 0xE0});
    const MorvanePreferedPresetManager slots(0, folder);
    ASSERT_EQ(slots.getNumSlots(), 2);
    EXPECT_EQ(slots.getName(0), juce::String::fromUTF8("Caf\xC3\xA9"));
    EXPECT_EQ(slots.getName(1), juce::String::fromUTF8("N\xC3\xA0"));
}

} // namespace
} // namespace corvex
