#include "app/StandalonePrefs.h"

#include <iostream>

#include "instrument/MorvaneFindFolder.h"

namespace corvex {

namespace {
constexpr const char* kRootTag = "StandalonePreferences";
constexpr const char* kAudioTag = "Audio";
// A device state is a few hundred bytes; anything far larger is not ours.
constexpr juce::int64 kMaxFileBytes = 1024 * 1024;

void warn(const juce::File& file, const char* what) {
    std::cerr << "Ignoring " << file.getFullPathName() << ": " << what << "; the default audio device is used\n";
}
} // namespace

std::unique_ptr<juce::XmlElement> readStandalonePrefs(const juce::File& file) {
    if (!file.existsAsFile()) return nullptr;
    if (file.getSize() > kMaxFileBytes) {
        warn(file, "the file is too large");
        return nullptr;
    }
    std::unique_ptr<juce::XmlElement> root = juce::parseXML(file);
    if (root == nullptr) {
        warn(file, "not readable XML");
        return nullptr;
    }
    if (!root->hasTagName(kRootTag)) {
        warn(file, "not a preferences file of this program");
        return nullptr;
    }
    // The last "Audio" child wins, as it did when several were written.
    const juce::XmlElement* audio = nullptr;
    for (const juce::XmlElement* child : root->getChildWithTagNameIterator(kAudioTag)) audio = child;
    if (audio == nullptr || audio->getFirstChildElement() == nullptr) return nullptr;
    return std::make_unique<juce::XmlElement>(*audio->getFirstChildElement());
}

bool writeStandalonePrefs(const juce::File& file, const juce::XmlElement* deviceState) {
    juce::XmlElement root(kRootTag);
    juce::XmlElement* audio = root.createNewChildElement(kAudioTag);
    if (deviceState != nullptr) audio->addChildElement(new juce::XmlElement(*deviceState));
    return writeSettingsFile(file, root.toString());
}

} // namespace corvex
