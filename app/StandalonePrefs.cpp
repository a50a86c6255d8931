#include "app/StandalonePrefs.h"

#include <iostream>
#include <string>

#include <pugixml.hpp>

#include "instrument/DiskString.h"
#include "instrument/MorvaneFindFolder.h"
#include "instrument/SafeFileRead.h"

namespace corvex {

namespace {
constexpr const char* kRootTag = "StandalonePreferences";
constexpr const char* kAudioTag = "Audio";
// A device state is a few hundred bytes; anything far larger is not ours.
constexpr juce::int64 kMaxFileBytes = 1024 * 1024;

void warn(const juce::File& file, const char* what) {
    std::cerr << "Ignoring " << file.getFullPathName() << ": " << what << "; the default audio device is used\n";
}

// A device state is one element with a child per enabled MIDI input and a few attributes each; these bounds
// are far above that. They keep a hostile file from exhausting the stack (the conversion recurses) or the
// time (JUCE appends attributes and children by walking its lists, and pools every attribute name).
constexpr int kMaxDepth = 64;
constexpr int kMaxAttributesPerElement = 1024;
constexpr int kMaxElements = 4096;
constexpr int kMaxAttributes = 16384;

struct Conversion {
    int elements = 0;
    int attributes = 0;
    const char* refusal = nullptr; // why the state was refused, once it was
};

std::nullptr_t refuse(Conversion& conversion, const char* why) {
    conversion.refusal = why;
    return nullptr;
}

// The device manager takes its state as JUCE's element; the file itself is read by pugixml, which is safe on
// text a user or another program may have written. Names JUCE would not accept make the state unusable.
std::unique_ptr<juce::XmlElement> toJuceElement(const pugi::xml_node& node, int depth, Conversion& conversion) {
    if (depth > kMaxDepth) return refuse(conversion, "the saved device state is nested too deeply");
    if (++conversion.elements > kMaxElements)
        return refuse(conversion, "the saved device state has too many elements");
    const juce::String tag = stringFromDisk(node.name());
    if (!juce::XmlElement::isValidXmlName(tag))
        return refuse(conversion, "the saved device state holds names that are not XML names");
    auto element = std::make_unique<juce::XmlElement>(tag);
    int attributes = 0;
    for (const pugi::xml_attribute& attribute : node.attributes()) {
        if (++attributes > kMaxAttributesPerElement || ++conversion.attributes > kMaxAttributes)
            return refuse(conversion, "the saved device state has too many attributes");
        const juce::String name = stringFromDisk(attribute.name());
        if (!juce::XmlElement::isValidXmlName(name))
            return refuse(conversion, "the saved device state holds names that are not XML names");
        element->setAttribute(juce::Identifier(name), stringFromDisk(attribute.value()));
    }
    for (const pugi::xml_node& child : node.children()) {
        if (child.type() != pugi::node_element) continue;
        std::unique_ptr<juce::XmlElement> converted = toJuceElement(child, depth + 1, conversion);
        if (converted == nullptr) return nullptr;
        element->addChildElement(converted.release());
    }
    return element;
}
} // namespace

std::unique_ptr<juce::XmlElement> readStandalonePrefs(const juce::File& file) {
    // A FIFO or a device named like the file would hold the start up or feed it without end.
    const FileRead read = readRegularFile(file, kMaxFileBytes);
    if (read.status != FileRead::kRead) {
        if (read.status != FileRead::kMissing)
            warn(file, (juce::String("it ") + whyUnread(read.status)).toRawUTF8());
        return nullptr;
    }
    pugi::xml_document document;
    if (!document.load_buffer(read.bytes.getData(), read.bytes.getSize())) {
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
    Conversion conversion;
    std::unique_ptr<juce::XmlElement> converted = toJuceElement(state, 1, conversion);
    if (converted == nullptr) warn(file, conversion.refusal);
    return converted;
}

bool writeStandalonePrefs(const juce::File& file, const juce::XmlElement* deviceState) {
    juce::XmlElement root(kRootTag);
    juce::XmlElement* audio = root.createNewChildElement(kAudioTag);
    if (deviceState != nullptr) audio->addChildElement(new juce::XmlElement(*deviceState));
    return writeSettingsFile(file, root.toString());
}

} // namespace corvex
