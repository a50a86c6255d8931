// Where the program keeps its settings files: one folder under the user's configuration folder.
#pragma once

#include <juce_core/juce_core.h>

namespace corvex {

class MorvaneFindFolder {
public:
    // Tests pass a temporary root; the program's instance uses settingsRoot().
    MorvaneFindFolder(const juce::File& root, const juce::String& productName);
    virtual ~MorvaneFindFolder() = default;

    static MorvaneFindFolder& getInstance();
    // The user's configuration folder: $XDG_CONFIG_HOME when it holds an absolute path, else ~/.config.
    // JUCE's application-data folder ignores the variable.
    static juce::File settingsRoot();

    // None of these touches the disk: the folder appears with the first settings file written.
    juce::File getSettingsFolder() const { return settingsFolder_; }
    juce::File getStandalonePrefsFile() const { return standalonePrefs_; }
    juce::File getPluginPrefsFile() const { return pluginPrefs_; }
    juce::File getMidiPrefsFile() const { return midiPrefs_; }

private:
    juce::File settingsFolder_;
    juce::File standalonePrefs_;
    juce::File pluginPrefs_;
    juce::File midiPrefs_;
};

// Writes text to a settings file, creating the settings folder first; failures go to stderr.
bool writeSettingsFile(const juce::File& file, const juce::String& text);

} // namespace corvex
