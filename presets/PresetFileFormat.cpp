// The preset file: "XML\0", the header length, the one-line XML header, "DATA\0", a flags word and the payload.
#include "presets/PresetFileFormat.h"

#include <cstring>
#include <iostream>

#include <pugixml.hpp>

#include "instrument/DiskString.h"
#include "instrument/SafeFileRead.h"

namespace corvex {

namespace presetfile {

namespace {

constexpr char kXmlMagic[4] = {'X', 'M', 'L', '\0'};
constexpr char kDataMarker[5] = {'D', 'A', 'T', 'A', '\0'};

bool readExactly(juce::InputStream& in, void* out, int size) {
    return in.getNumBytesRemaining() >= size && in.read(out, size) == size;
}

juce::String fromUtf8(const char* text) { return stringFromDisk(text); }

void reportUnread(const juce::File& file, FileRead::Status status) {
    std::cerr << "Preset file " << file.getFullPathName() << " " << whyUnread(status)
              << (status == FileRead::kMissing ? "\n" : ", not read\n");
}

} // namespace

juce::MemoryBlock buildHeaderText(const juce::String& typeName, const juce::String& identifier,
                                  const juce::String& name, const Attributes& attributes,
                                  const std::function<bool(const juce::String&)>& isStored) {
    juce::XmlElement root(typeName);
    juce::XmlElement* id = root.createNewChildElement("PresetId");
    id->setAttribute("ids", identifier);
    id->setAttribute("name", name);
    for (const auto& [key, value] : attributes) {
        if (isStored && !isStored(key))
            continue;
        // A key that is no XML name would make the whole header unreadable, and the preset with it.
        if (!juce::XmlElement::isValidXmlName(key)) {
            std::cerr << "Preset attribute key \"" << key << "\" is not writable and was left out\n";
            continue;
        }
        root.createNewChildElement("PresetAttributes")->setAttribute(key, value);
    }
    juce::MemoryOutputStream out;
    root.writeTo(out, juce::XmlElement::TextFormat().singleLine().withoutHeader());
    out.writeByte(0);
    return out.getMemoryBlock();
}

juce::MemoryBlock buildFile(const juce::MemoryBlock& headerText, const void* tail, size_t tailSize) {
    juce::MemoryOutputStream out(headerText.getSize() + tailSize + 17);
    out.write(kXmlMagic, sizeof(kXmlMagic));
    out.writeInt(static_cast<int>(headerText.getSize()));
    out.write(headerText.getData(), headerText.getSize());
    out.write(kDataMarker, sizeof(kDataMarker));
    if (tailSize > 0)
        out.write(tail, tailSize);
    return out.getMemoryBlock();
}

std::optional<juce::MemoryBlock> readHeaderText(juce::InputStream& in, const juce::File& file) {
    char magic[sizeof(kXmlMagic)] = {};
    if (!readExactly(in, magic, sizeof(magic)) || std::memcmp(magic, kXmlMagic, sizeof(magic)) != 0) {
        std::cerr << "Preset file " << file.getFullPathName() << ": no \"XML\" marker, not read\n";
        return std::nullopt;
    }
    if (in.getNumBytesRemaining() < 4) {
        std::cerr << "Preset file " << file.getFullPathName() << ": cut off before the header length, not read\n";
        return std::nullopt;
    }
    const int length = in.readInt();
    if (length < 1 || length > kMaxHeaderBytes || length > in.getNumBytesRemaining()) {
        std::cerr << "Preset file " << file.getFullPathName() << ": header length " << length
                  << " does not fit the file, not read\n";
        return std::nullopt;
    }
    juce::MemoryBlock text(static_cast<size_t>(length));
    if (!readExactly(in, text.getData(), length)) {
        std::cerr << "Preset file " << file.getFullPathName() << ": header cannot be read\n";
        return std::nullopt;
    }
    return text;
}

std::optional<Header> parseHeaderText(const juce::MemoryBlock& text, const juce::String& typeName,
                                      const juce::File& file) {
    // The text ends at its zero, wherever the length put it.
    const char* bytes = static_cast<const char*>(text.getData());
    const size_t size = strnlen(bytes, text.getSize());
    pugi::xml_document document;
    const pugi::xml_parse_result parsed = document.load_buffer(bytes, size, pugi::parse_default, pugi::encoding_utf8);
    if (!parsed) {
        std::cerr << "Preset file " << file.getFullPathName() << ": header is not readable XML ("
                  << parsed.description() << " at byte " << parsed.offset << ")\n";
        return std::nullopt;
    }
    const pugi::xml_node root = document.document_element();
    if (fromUtf8(root.name()) != typeName) {
        std::cerr << "Preset file " << file.getFullPathName() << ": header root <" << root.name()
                  << "> is not <" << typeName << ">\n";
        return std::nullopt;
    }
    Header header;
    for (const pugi::xml_node child : root.children()) {
        if (child.type() != pugi::node_element)
            continue;
        if (std::strcmp(child.name(), "PresetId") == 0) {
            header.hasPresetId = true;
            header.identifier = fromUtf8(child.attribute("ids").as_string(""));
            header.name = fromUtf8(child.attribute("name").as_string("Untitled"));
        } else if (std::strcmp(child.name(), "PresetAttributes") == 0) {
            for (const pugi::xml_attribute attribute : child.attributes())
                header.pairs.emplace_back(fromUtf8(attribute.name()), fromUtf8(attribute.value()));
        }
    }
    return header;
}

bool readDataMarker(juce::InputStream& in, const juce::File& file) {
    char marker[sizeof(kDataMarker)] = {};
    if (!readExactly(in, marker, sizeof(marker)) || std::memcmp(marker, kDataMarker, sizeof(marker)) != 0) {
        std::cerr << "Preset file " << file.getFullPathName() << ": no \"DATA\" marker after the header\n";
        return false;
    }
    return true;
}

std::optional<juce::MemoryBlock> readWholeFile(const juce::File& file) {
    FileRead read = readRegularFile(file, kMaxFileBytes);
    if (read.status != FileRead::kRead) {
        reportUnread(file, read.status);
        return std::nullopt;
    }
    return std::move(read.bytes);
}

std::optional<juce::MemoryBlock> readFileStart(const juce::File& file) {
    // The magic, the length and the longest header there may be.
    FileRead read = readRegularFileStart(file, sizeof(kXmlMagic) + 4 + kMaxHeaderBytes);
    if (read.status != FileRead::kRead) {
        if (read.status != FileRead::kMissing)
            reportUnread(file, read.status);
        return std::nullopt;
    }
    return std::move(read.bytes);
}

} // namespace presetfile

} // namespace corvex
