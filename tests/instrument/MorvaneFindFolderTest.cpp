// The settings folder and its files sit under the chosen root, and nothing is created before a write.
#include "instrument/MorvaneFindFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace corvex {
namespace {

// Sets or clears XDG_CONFIG_HOME for one test and puts back whatever the process had.
class XdgConfigHome {
public:
    XdgConfigHome() {
        if (const char* v = std::getenv(kName)) saved_ = v;
    }
    ~XdgConfigHome() {
        if (saved_)
            setenv(kName, saved_->c_str(), 1);
        else
            unsetenv(kName);
    }
    void set(const char* value) { setenv(kName, value, 1); }
    void clear() { unsetenv(kName); }

private:
    static constexpr const char* kName = "XDG_CONFIG_HOME";
    std::optional<std::string> saved_;
};

juce::File homeConfig() { return juce::File(juce::String(std::getenv("HOME"))).getChildFile(".config"); }

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

TEST(MorvaneFindFolder, TheRootIsXdgConfigHomeWhenSetElseDotConfig) {
    XdgConfigHome xdg;
    xdg.set("/tmp/corvex-xdg-test");
    EXPECT_EQ(MorvaneFindFolder::settingsRoot(), juce::File("/tmp/corvex-xdg-test"));
    xdg.set("");
    EXPECT_EQ(MorvaneFindFolder::settingsRoot(), homeConfig());
    xdg.set("relative/config"); // not absolute: to be ignored
    EXPECT_EQ(MorvaneFindFolder::settingsRoot(), homeConfig());
    xdg.clear();
    EXPECT_EQ(MorvaneFindFolder::settingsRoot(), homeConfig());
}

TEST(MorvaneFindFolder, TheProcessInstanceIsOneObjectUnderTheConfigFolder) {
    XdgConfigHome xdg;
    xdg.set("/tmp/corvex-xdg-instance");
    MorvaneFindFolder& a = MorvaneFindFolder::getInstance();
    EXPECT_EQ(&a, &MorvaneFindFolder::getInstance());
    // The instance may have been made by an earlier test, before the variable was set here.
    const char* before = std::getenv("XDG_CONFIG_HOME");
    const juce::String path = a.getMidiPrefsFile().getFullPathName();
    EXPECT_TRUE(path == "/tmp/corvex-xdg-instance/Morvane/Corvex2/Save/midi.prefs" ||
                a.getMidiPrefsFile() == homeConfig().getChildFile("Morvane/Corvex2/Save/midi.prefs"))
        << path << " with XDG_CONFIG_HOME " << (before ? before : "unset");
}

TEST(MorvaneFindFolder, AWriteThatCannotCreateTheFolderFails) {
    juce::TemporaryFile blocker;
    ASSERT_TRUE(blocker.getFile().replaceWithText("a file where a folder should be"));
    EXPECT_FALSE(writeSettingsFile(blocker.getFile().getChildFile("Save").getChildFile("midi.prefs"), "x"));
}

} // namespace
} // namespace corvex
