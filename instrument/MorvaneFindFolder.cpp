// Where the program keeps its settings files: one folder under the user's configuration folder.
#include "instrument/MorvaneFindFolder.h"

#include <iostream>

namespace corvex {

MorvaneFindFolder::MorvaneFindFolder(const juce::File& root, const juce::String& productName)
    : settingsFolder_(root.getChildFile("Morvane").getChildFile(productName).getChildFile("Save")),
      standalonePrefs_(settingsFolder_.getChildFile("standalone.prefs")),
      pluginPrefs_(settingsFolder_.getChildFile("plugin.prefs")),
      midiPrefs_(settingsFolder_.getChildFile("midi.prefs")) {}

juce::File MorvaneFindFolder::settingsRoot() {
    // An empty or relative value is to be ignored, as if unset.
    const juce::String xdg = juce::SystemStats::getEnvironmentVariable("XDG_CONFIG_HOME", {});
    if (xdg.isNotEmpty() && juce::File::isAbsolutePath(xdg)) return juce::File(xdg);
    return juce::File::getSpecialLocation(juce::File::userHomeDirectory).getChildFile(".config");
}

MorvaneFindFolder& MorvaneFindFolder::getInstance() {
    // Never destroyed: settings are written from destructors that may run late in shutdown.
    static MorvaneFindFolder* instance = new MorvaneFindFolder(settingsRoot(), "Corvex2");
    return *instance;
}

bool writeSettingsFile(const juce::File& file, const juce::String& text) {
    const juce::Result made = file.getParentDirectory().createDirectory();
    if (made.failed()) {
        std::cerr << "Cannot create settings folder " << file.getParentDirectory().getFullPathName()
                  << ": " << made.getErrorMessage() << "\n";
        return false;
    }
    if (!file.replaceWithText(text)) {
        std::cerr << "Cannot write settings file " << file.getFullPathName() << "\n";
        return false;
    }
    return true;
}

} // namespace corvex
