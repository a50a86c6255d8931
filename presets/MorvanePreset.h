// One preset file in memory: identity, header attributes, and the reading and writing of its file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include <juce_core/juce_core.h>

#include "instrument/PresetServices.h"
#include "presets/MorvanePresetManagerInterface.h"
#include "presets/PresetFileFormat.h"

namespace corvex {

class MorvanePreset {
public:
    using Attributes = std::multimap<juce::String, juce::String>;

    static constexpr const char* kBankKey = "Fact_User";
    static constexpr const char* kDemoKey = "Demo";

    // An existing file: its header is read at once (not its payload).
    MorvanePreset(MorvanePresetManagerInterface* owner, const juce::String& typeName, const juce::File& file);
    // A new preset of the "User" bank under rootFolder; nothing is written until it is saved.
    MorvanePreset(MorvanePresetManagerInterface* owner, const juce::String& typeName, const juce::String& extension,
                  const juce::File& rootFolder);
    MorvanePreset(const MorvanePreset&) = default;
    MorvanePreset& operator=(const MorvanePreset&) = delete;
    virtual ~MorvanePreset() = default;

    // A whole file taken apart before anything of it is used, so that a damaged one changes nothing.
    struct CheckedFile {
        juce::MemoryBlock bytes;
        presetfile::Header header;
        size_t tailOffset = 0;         // where the flags word starts
        std::vector<uint8_t> payload;  // unpacked
    };
    // The bytes of a preset file of typeName, taken apart as load takes a file; nothing, with a line on stderr
    // naming file, for bytes that load would refuse before their payload reaches a chunk reader.
    static std::optional<CheckedFile> checkFile(juce::MemoryBlock bytes, const juce::String& typeName,
                                                const juce::File& file);

    // The payload of the current preset embedded in a saved instrument state; a null interface does nothing.
    virtual bool readChunks(MorvanePresetChunkInterface* chunks, const uint8_t* data, size_t size);
    virtual void writeChunks(MorvanePresetChunkInterface* chunks, std::vector<uint8_t>& out);

    const juce::String& getName() const { return name_; }
    void setName(const juce::String& name);
    const juce::String& getIdentifier() const { return identifier_; }
    void setIdentifier(const juce::String& identifier) { identifier_ = identifier; }
    const juce::File& getFile() const { return file_; }
    const juce::String& getExtension() const { return extension_; }
    const juce::String& getTypeName() const { return typeName_; }
    const juce::File& getRootFolder() const { return rootFolder_; }
    bool isModified() const { return modified_; }
    void setModified(bool modified) { modified_ = modified; }
    bool isUserPreset() const { return getAttribute(kBankKey) == "User"; }

    juce::String getAttribute(const juce::String& key) const;
    void getAttributeValues(const juce::String& key, juce::StringArray& out) const;
    const Attributes& getAttributes() const { return attributes_; }
    void setAttribute(const juce::String& key, const juce::String& value, bool notify);
    // An empty value removes every value of the key.
    void removeAttribute(const juce::String& key, const juce::String& value);

    // Header only. False for a missing or damaged file: its header then brings no attributes.
    bool readHeader();
    // Header and payload; the payload goes to chunks. A damaged file, or a payload the chunks refuse, changes
    // nothing in the preset and returns false.
    bool load(MorvanePresetChunkInterface* chunks);
    // Whether load would take the file as it is now; nothing changes, in the preset or in chunks.
    bool check(MorvanePresetChunkInterface* chunks) const;
    // The writers replace the file whole and return whether they did; only "User" presets are ever written.
    bool save(MorvanePresetChunkInterface* chunks);
    // tail: the flags word and the payload of an existing file, kept byte for byte.
    bool rewriteHeader(size_t size, const void* tail);
    bool saveAttributes();

    void setBankAttributesFromFolder();
    bool moveToDemoBank();
    // A new user preset in destFolder with a fresh identifier, its file copied and its header rewritten; null
    // when the source file exists but the copy could not be written.
    std::unique_ptr<MorvanePreset> copyToFile(const juce::File& destFolder) const;
    // Identifier, file size and file bytes, as a saved instrument state embeds a preset.
    bool writeFileToStream(juce::OutputStream& out) const;

private:
    void setBankAttribute(const juce::String& key, const juce::String& value);
    bool isWritable(const char* what) const;
    juce::String newIdentifier(const juce::File& folder) const;

    MorvanePresetManagerInterface* owner_;
    juce::String typeName_;
    juce::String identifier_;
    juce::String name_ = "Untitled";
    juce::String extension_;
    juce::File file_;
    juce::File rootFolder_;
    bool modified_ = false;
    Attributes attributes_;
};

} // namespace corvex
