// One preset file in memory: identity, header attributes, and the reading and writing of its file.
#include "presets/MorvanePreset.h"

#include <cstdio>
#include <iostream>

#include "presets/PresetFileFormat.h"
#include "presets/PresetIdGenerator.h"
#include "presets/PresetPayload.h"
#include "presets/SafeFileWrite.h"

namespace corvex {

namespace {

std::optional<MorvanePreset::CheckedFile> readCheckedFile(const juce::File& file, const juce::String& typeName) {
    std::optional<juce::MemoryBlock> bytes = presetfile::readWholeFile(file);
    if (!bytes)
        return std::nullopt;
    return MorvanePreset::checkFile(std::move(*bytes), typeName, file);
}

// Only as much of the file as a header takes; a missing file has none, and says nothing.
std::optional<presetfile::Header> readFileHeader(const juce::File& file, const juce::String& typeName) {
    if (file.getFullPathName().isEmpty() || !file.existsAsFile())
        return std::nullopt;
    const std::optional<juce::MemoryBlock> start = presetfile::readFileStart(file);
    if (!start)
        return std::nullopt;
    juce::MemoryInputStream in(*start, false);
    const std::optional<juce::MemoryBlock> text = presetfile::readHeaderText(in, file);
    return text ? presetfile::parseHeaderText(*text, typeName, file) : std::nullopt;
}

} // namespace

std::optional<MorvanePreset::CheckedFile> MorvanePreset::checkFile(juce::MemoryBlock bytes,
                                                                   const juce::String& typeName,
                                                                   const juce::File& file) {
    CheckedFile checked;
    checked.bytes = std::move(bytes);
    juce::MemoryInputStream in(checked.bytes, false);
    const std::optional<juce::MemoryBlock> text = presetfile::readHeaderText(in, file);
    if (!text)
        return std::nullopt;
    std::optional<presetfile::Header> header = presetfile::parseHeaderText(*text, typeName, file);
    if (!header || !presetfile::readDataMarker(in, file))
        return std::nullopt;
    checked.header = std::move(*header);
    checked.tailOffset = static_cast<size_t>(in.getPosition());

    // A flags word cut short reads as a plain, empty payload: the chunk reader judges that.
    const int flags = in.getNumBytesRemaining() >= 4 ? in.readInt() : 0;
    if ((flags & ~presetfile::kCompressedFlag) != 0) {
        std::cerr << "Preset file " << file.getFullPathName() << ": unknown flags 0x"
                  << juce::String::toHexString(flags) << ", payload not read\n";
        return std::nullopt;
    }
    const auto* data = static_cast<const uint8_t*>(checked.bytes.getData()) + in.getPosition();
    const auto size = static_cast<size_t>(in.getNumBytesRemaining());
    if ((flags & presetfile::kCompressedFlag) != 0) {
        PayloadFault fault = PayloadFault::kDamaged;
        std::optional<std::vector<uint8_t>> plain = decompressPayload(data, size, &fault);
        if (!plain) {
            std::cerr << "Preset file " << file.getFullPathName()
                      << (fault == PayloadFault::kTooLarge ? ": compressed payload unpacks too large, not read\n"
                                                           : ": compressed payload is damaged\n");
            return std::nullopt;
        }
        checked.payload = std::move(*plain);
    } else {
        checked.payload.assign(data, data + size);
    }
    return checked;
}

MorvanePreset::MorvanePreset(MorvanePresetManagerInterface* owner, const juce::String& typeName,
                             const juce::File& file)
    : owner_(owner), typeName_(typeName), extension_(file.isDirectory() ? juce::String() : file.getFileExtension()),
      file_(file) {
    readHeader();
}

MorvanePreset::MorvanePreset(MorvanePresetManagerInterface* owner, const juce::String& typeName,
                             const juce::String& extension, const juce::File& rootFolder)
    : owner_(owner), typeName_(typeName), extension_(extension), rootFolder_(rootFolder), modified_(true) {
    const juce::File bank = rootFolder.getChildFile("User");
    identifier_ = newIdentifier(bank);
    setAttribute(kBankKey, "User", true);
    setAttribute(kDemoKey, "False", true);
    file_ = bank.getChildFile(identifier_ + extension_);
}

bool MorvanePreset::readChunks(MorvanePresetChunkInterface* chunks, const uint8_t* data, size_t size) {
    return chunks == nullptr || chunks->read(data, size);
}

void MorvanePreset::writeChunks(MorvanePresetChunkInterface* chunks, std::vector<uint8_t>& out) {
    if (chunks != nullptr)
        chunks->write(out);
}

void MorvanePreset::setName(const juce::String& name) {
    if (name == name_)
        return;
    name_ = name;
    modified_ = true;
    if (owner_ != nullptr)
        owner_->presetRenamed(this);
}

juce::String MorvanePreset::getAttribute(const juce::String& key) const {
    const auto first = attributes_.lower_bound(key);
    return first != attributes_.end() && first->first == key ? first->second : juce::String();
}

void MorvanePreset::getAttributeValues(const juce::String& key, juce::StringArray& out) const {
    const auto [first, last] = attributes_.equal_range(key);
    for (auto it = first; it != last; ++it)
        out.add(it->second);
}

void MorvanePreset::setAttribute(const juce::String& key, const juce::String& value, bool notify) {
    if (owner_ != nullptr && owner_->isAttributeMultiValued(key)) {
        attributes_.emplace(key, value);
    } else {
        const auto first = attributes_.lower_bound(key);
        if (first != attributes_.end() && first->first == key) {
            if (first->second == value)
                return;
            first->second = value;
        } else {
            attributes_.emplace(key, value);
        }
    }
    if (notify) {
        if (owner_ != nullptr)
            owner_->presetChanged(this);
        modified_ = true;
    }
}

void MorvanePreset::removeAttribute(const juce::String& key, const juce::String& value) {
    if (value.isEmpty()) {
        attributes_.erase(key);
    } else {
        auto [it, last] = attributes_.equal_range(key);
        while (it != last && it->second != value)
            ++it;
        if (it == last)
            return;
        attributes_.erase(it);
    }
    if (owner_ != nullptr)
        owner_->presetChanged(this);
    modified_ = true;
}

void MorvanePreset::setBankAttribute(const juce::String& key, const juce::String& value) {
    const auto first = attributes_.lower_bound(key);
    if (first != attributes_.end() && first->first == key)
        first->second = value;
    else
        attributes_.emplace(key, value);
}

bool MorvanePreset::readHeader() {
    const std::optional<presetfile::Header> header = readFileHeader(file_, typeName_);
    if (header) {
        attributes_.clear();
        if (header->hasPresetId) {
            identifier_ = header->identifier;
            name_ = header->name;
        }
        for (const auto& [key, value] : header->pairs)
            attributes_.emplace(key, value);
    }
    setBankAttributesFromFolder();
    return header.has_value();
}

bool MorvanePreset::load(MorvanePresetChunkInterface* chunks) {
    std::optional<CheckedFile> checked = readCheckedFile(file_, typeName_);
    if (!checked)
        return false;
    if (chunks != nullptr && !chunks->read(checked->payload.data(), checked->payload.size())) {
        std::cerr << "Preset file " << file_.getFullPathName() << ": payload refused, sound unchanged\n";
        return false;
    }
    attributes_.clear();
    if (checked->header.hasPresetId) {
        identifier_ = checked->header.identifier;
        name_ = checked->header.name;
    }
    for (const auto& [key, value] : checked->header.pairs)
        attributes_.emplace(key, value);
    setBankAttributesFromFolder();
    modified_ = false;
    return true;
}

bool MorvanePreset::check(MorvanePresetChunkInterface* chunks) const {
    const std::optional<CheckedFile> checked = readCheckedFile(file_, typeName_);
    if (!checked)
        return false;
    if (chunks != nullptr && !chunks->check(checked->payload.data(), checked->payload.size())) {
        std::cerr << "Preset file " << file_.getFullPathName() << ": payload refused\n";
        return false;
    }
    return true;
}

bool MorvanePreset::isWritable(const char* what) const {
    if (file_.getFullPathName().isEmpty()) {
        std::cerr << "Preset \"" << name_ << "\" has no file, not " << what << "\n";
        return false;
    }
    if (!isUserPreset()) {
        std::cerr << "Preset file " << file_.getFullPathName() << " is not in the User bank, not " << what << "\n";
        return false;
    }
    return true;
}

bool MorvanePreset::save(MorvanePresetChunkInterface* chunks) {
    if (!isWritable("saved"))
        return false;
    std::vector<uint8_t> plain;
    if (chunks != nullptr)
        chunks->write(plain);
    const std::optional<std::vector<uint8_t>> packed = compressPayload(plain);
    if (!packed) {
        std::cerr << "Preset file " << file_.getFullPathName() << ": payload cannot be compressed, not saved\n";
        return false;
    }
    std::vector<uint8_t> tail;
    for (int shift = 0; shift < 32; shift += 8)
        tail.push_back(static_cast<uint8_t>(presetfile::kCompressedFlag >> shift));
    tail.insert(tail.end(), packed->begin(), packed->end());
    return rewriteHeader(tail.size(), tail.data());
}

bool MorvanePreset::rewriteHeader(size_t size, const void* tail) {
    if (!isWritable("written"))
        return false;
    // Without a registry the bank keys still come from the folder, never from the file.
    const auto isStored = [this](const juce::String& key) {
        if (owner_ != nullptr)
            return owner_->isAttributeStored(key);
        return key != kBankKey && key != kDemoKey;
    };
    const juce::MemoryBlock header = presetfile::buildHeaderText(typeName_, identifier_, name_, attributes_, isStored);
    return replaceFileSafely(file_, presetfile::buildFile(header, tail, size));
}

bool MorvanePreset::saveAttributes() {
    if (!isUserPreset() || !file_.existsAsFile())
        return false;
    // A file we could not load keeps its bytes: rewriting its header would pass off foreign data as ours.
    const std::optional<CheckedFile> checked = readCheckedFile(file_, typeName_);
    if (!checked) {
        std::cerr << "Preset file " << file_.getFullPathName() << " left as it is\n";
        return false;
    }
    const auto* tail = static_cast<const uint8_t*>(checked->bytes.getData()) + checked->tailOffset;
    return rewriteHeader(checked->bytes.getSize() - checked->tailOffset, tail);
}

void MorvanePreset::setBankAttributesFromFolder() {
    juce::File folder = file_.getParentDirectory();
    // Ten folders, the file's own first: deeper nesting inside a bank is not a bank any more.
    for (int level = 0; level < 10; ++level) {
        const juce::String name = folder.getFileName();
        if (name == "Demo") {
            setBankAttribute(kDemoKey, "True");
            setBankAttribute(kBankKey, "Factory");
            rootFolder_ = folder.getParentDirectory().getParentDirectory();
            return;
        }
        if (name == "Factory" || name == "User") {
            setBankAttribute(kDemoKey, "False");
            setBankAttribute(kBankKey, name);
            rootFolder_ = folder.getParentDirectory();
            return;
        }
        const juce::File up = folder.getParentDirectory();
        if (up == folder)
            return;
        folder = up;
    }
}

bool MorvanePreset::moveToDemoBank() {
    const juce::String bankName = getAttribute(kBankKey);
    if (bankName == "Factory" && getAttribute(kDemoKey) == "True")
        return true;
    const juce::File demo = rootFolder_.getChildFile("Factory").getChildFile("Demo");
    const juce::File bank = bankName == "User" || bankName == "Factory" ? rootFolder_.getChildFile(bankName) : juce::File();
    // A file outside its bank folder would climb out of the demo bank by its relative path: it keeps its name only.
    const juce::File target = bank != juce::File() && file_.isAChildOf(bank)
                                  ? demo.getChildFile(file_.getRelativePathFrom(bank))
                                  : demo.getChildFile(file_.getFileName());
    const juce::Result made = target.getParentDirectory().createDirectory();
    if (made.failed()) {
        std::cerr << "Cannot create folder " << target.getParentDirectory().getFullPathName() << "\n";
        return false;
    }
    if (file_.existsAsFile() &&
        std::rename(file_.getFullPathName().toRawUTF8(), target.getFullPathName().toRawUTF8()) != 0) {
        std::cerr << "Cannot move " << file_.getFullPathName() << " to " << target.getFullPathName() << "\n";
        return false;
    }
    file_ = target;
    setBankAttribute(kDemoKey, "True");
    setBankAttribute(kBankKey, "Factory");
    modified_ = true;
    return true;
}

juce::String MorvanePreset::newIdentifier(const juce::File& folder) const {
    return PresetIdGenerator::next([this, &folder](const juce::String& id) {
        return (owner_ != nullptr && owner_->isIdentifierInUse(id)) || folder.getChildFile(id + extension_).exists();
    });
}

std::unique_ptr<MorvanePreset> MorvanePreset::copyToFile(const juce::File& destFolder) const {
    auto copy = std::make_unique<MorvanePreset>(*this);
    copy->identifier_ = newIdentifier(destFolder);
    copy->file_ = destFolder.getChildFile(copy->identifier_ + extension_);
    copy->modified_ = true;
    copy->setAttribute(kBankKey, "User", true);
    copy->setAttribute(kDemoKey, "False", true);
    if (file_ == copy->file_ || !file_.existsAsFile())
        return copy;
    // The copy is written once, already carrying its own header: no file with the source's id ever appears.
    const std::optional<CheckedFile> source = readCheckedFile(file_, typeName_);
    if (!source) {
        std::cerr << "Preset file " << file_.getFullPathName() << " not copied\n";
        return nullptr;
    }
    const auto* tail = static_cast<const uint8_t*>(source->bytes.getData()) + source->tailOffset;
    if (!copy->rewriteHeader(source->bytes.getSize() - source->tailOffset, tail))
        return nullptr;
    return copy;
}

bool MorvanePreset::writeFileToStream(juce::OutputStream& out) const {
    std::optional<juce::MemoryBlock> bytes = presetfile::readWholeFile(file_);
    // The record stays whole either way, so that a reader of the stream finds the next one.
    out.writeString(identifier_);
    out.writeInt(bytes ? static_cast<int>(bytes->getSize()) : 0);
    if (bytes && !out.write(bytes->getData(), bytes->getSize()))
        return false;
    return bytes.has_value();
}

} // namespace corvex
