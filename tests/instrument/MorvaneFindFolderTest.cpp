// The settings folder and its files sit under the chosen root, and nothing is created before a write.
#include "instrument/MorvaneFindFolder.h"

#include <gtest/gtest.h>

namespace corvex {
namespace {

TEST(MorvaneFindFolder, FilesLieInTheProductSaveFolderUnderTheRoot) {
    juce::TemporaryFile tempRoot;
    const juce::File root = tempRoot.getFile();
    const MorvaneFindFolder finder(root, "Corvex2");

    const juce::File save = root.getChildFile("Morvane").getChildFile("Corvex2").getChildFile("Save");
    EXPECT_EQ(finder.getSettingsFolder(), save);
    EXPECT_EQ(finder.getMidiPrefsFile(), save.getChildFile("midi.prefs"));
    EXPECT_EQ(finder.getStandalonePrefsFile(), save.getChildFile("standalone.prefs"));
    EXPECT_EQ(finder.getPluginPrefsFile(), save.getChildFile("plugin.prefs"));
    EXPECT_FALSE(root.exists());

    EXPECT_TRUE(writeSettingsFile(finder.getMidiPrefsFile(), "x"));
    EXPECT_TRUE(save.isDirectory());
    EXPECT_EQ(finder.getMidiPrefsFile().loadFileAsString(), "x");
    root.deleteRecursively();
}

TEST(MorvaneFindFolder, TheProcessInstanceIsOneObjectUnderTheUserDataFolder) {
    MorvaneFindFolder& a = MorvaneFindFolder::getInstance();
    EXPECT_EQ(&a, &MorvaneFindFolder::getInstance());
    const juce::File data = juce::File::getSpecialLocation(juce::File::userApplicationDataDirectory);
    EXPECT_EQ(a.getMidiPrefsFile(), data.getChildFile("Morvane/Corvex2/Save/midi.prefs"));
}

TEST(MorvaneFindFolder, AWriteThatCannotCreateTheFolderFails) {
    juce::TemporaryFile blocker;
    ASSERT_TRUE(blocker.getFile().replaceWithText("a file where a folder should be"));
    EXPECT_FALSE(writeSettingsFile(blocker.getFile().getChildFile("Save").getChildFile("midi.prefs"), "x"));
}

} // namespace
} // namespace corvex
