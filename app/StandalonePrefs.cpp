#include "app/StandalonePrefs.h"

#include <iostream>
#include <string>

#include <pugixml.hpp>

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

// The device manager takes its state as JUCE's element; the file itself is read by pugixml, which is safe on
// text a user or another program may have written. Names JUCE would not accept make the state unusable.
std::unique_ptr<juce::XmlElement> toJuceElement(const pugi::xml_node& node) {
    if (!juce::XmlElement::isValidXmlName(juce::String::fromUTF8(node.name()))) return nullptr;
    auto element = std::make_unique<juce::XmlElement>(juce::String::fromUTF8(node.name()));
    for (const pugi::xml_attribute& attribute : node.attributes()) {
        const juce::String name = juce::String::fromUTF8(attribute.name());
        if (!juce::XmlElement::isValidXmlName(name)) return nullptr;
        element->setAttribute(juce::Identifier(name), juce::String::fromUTF8(attribute.value()));
    }
    for (const pugi::xml_node& child : node.children()) {
        if (child.type() != pugi::node_element) continue;
        std::unique_ptr<juce::XmlElement> converted = toJuceElement(child);
        if (converted == nullptr) return nullptr;
        element->addChildElement(converted.release());
    }
    return element;
}
} // namespace

std::unique_ptr<juce::XmlElement> readStandalonePrefs(const juce::File& file) {
    if (!file.existsAsFile()) return nullptr;
    if (file.getSize() > kMaxFileBytes) {
        warn(file, "the file is too large");
        return nullptr;
    }
    const std::string path = file.getFullPathName().toStdString();
    pugi::xml_document document;
    if (!document.load_file(path.c_str())) {
        warn(file, "not readable XML");
        return nullptr;
    }
    const pugi::xml_node root = document.document_element();
    if (std::string(root.name()) != kRootTag) {
        warn(file, "not a preferences file of this program");
        return nullptr;
    }
    // The last "Audio" child wins, as it did when several were written.
    pugi::xml_node audio;
    for (const pugi::xml_node& child : root.children(kAudioTag)) audio = child;
    const pugi::xml_node state = audio.first_child();
    if (!audio || state.type() != pugi::node_element) return nullptr;
    std::unique_ptr<juce::XmlElement> converted = toJuceElement(state);
    if (converted == nullptr) warn(file, "the saved device state holds names that are not XML names");
    return converted;
}

bool writeStandalonePrefs(const juce::File& file, const juce::XmlElement* deviceState) {
    juce::XmlElement root(kRootTag);
    juce::XmlElement* audio = root.createNewChildElement(kAudioTag);
    if (deviceState != nullptr) audio->addChildElement(new juce::XmlElement(*deviceState));
    return writeSettingsFile(file, root.toString());
}

} // namespace corvex
