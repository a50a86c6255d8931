// Every preset of one kind found in the banks: scanned, indexed by attribute value, created, copied, imported
// and deleted, each change announced to the listeners through a message the manager posts to itself.
#include "presets/MorvanePresetManager.h"

#include <algorithm>
#include <iostream>

#include "presets/PresetFileFormat.h"
#include "presets/PresetIdGenerator.h"
#include "instrument/MVMessage.h"
#include "instrument/SafeFileRead.h"
#include "presets/SafeFileWrite.h"

namespace corvex {

namespace {

// Ids and folder names arrive from project files: one plain name each, never a path that leaves its folder.
bool isPlainFileName(const juce::String& name) {
    return name.isNotEmpty() && name.length() <= 128 && !name.containsAnyOf("/\\") && !name.startsWithChar('.');
}

// The number at the start of text; 0 when there is none, and for more digits than a counter needs.
int64_t leadingNumber(const juce::String& text) {
    int64_t value = 0;
    int digits = 0;
    for (auto p = text.getCharPointer(); juce::CharacterFunctions::isDigit(*p); ++p) {
        if (++digits > 9)
            return 0;
        value = value * 10 + (*p - '0');
    }
    return value;
}

// Keeps the first of equal values, in place.
void removeDuplicates(juce::StringArray& values, bool ignoreCase) {
    std::set<juce::String> seen;
    juce::StringArray kept;
    for (const juce::String& value : values)
        if (seen.insert(ignoreCase ? value.toLowerCase() : value).second)
            kept.add(value);
    values.swapWith(kept);
}

} // namespace

MorvanePresetManager::MorvanePresetManager(int kind, const MorvaneFindFolder& folder)
    : kind_(kind), folder_(folder), preferred_(kind, folder) {}

MorvanePresetManager::~MorvanePresetManager() = default;

void MorvanePresetManager::initialise(const juce::String& typeName, const juce::String& extension,
                                      const juce::String& defaultNewName, const MorvaneAttributeKeyRegistry& registry) {
    registry_ = registry;
    extension_ = extension;
    typeName_ = typeName;
    defaultNewName_ = defaultNewName;
    scanBanks();
    registry_.registerAttributeKey(MorvanePreset::kDemoKey, 0, MorvaneAttributeKeyRegistry::kNoColumn);
    registry_.addAttributeValue(MorvanePreset::kDemoKey, "True");
    registry_.addAttributeValue(MorvanePreset::kDemoKey, "False");
    registry_.registerAttributeKey(MorvanePreset::kBankKey, MorvaneAttributeKeyRegistry::kFilterCategory,
                                   MorvaneAttributeKeyRegistry::kNoColumn);
    registry_.addAttributeValue(MorvanePreset::kBankKey, "Factory");
    registry_.addAttributeValue(MorvanePreset::kBankKey, "User");
}

void MorvanePresetManager::scanBanks() {
    // Directory order differs between file systems; sorted paths give every machine the same library, and
    // the same winner when two files carry one identifier.
    juce::Array<juce::File> files = getBankRoot().findChildFiles(juce::File::findFiles, true, "*",
                                                                 juce::File::FollowSymlinks::noCycles);
    std::sort(files.begin(), files.end(),
              [](const juce::File& a, const juce::File& b) { return a.getFullPathName() < b.getFullPathName(); });
    for (const juce::File& file : files) {
        if (file.getFileExtension() != extension_)
            continue;
        // A FIFO would hold the scan up in open(), a device feed it without end; a link to a file is a file.
        if (!isRegularFile(file)) {
            std::cerr << "Bank entry " << file.getFullPathName() << " is not a regular file, skipped\n";
            continue;
        }
        addScannedPreset(std::make_unique<MorvanePreset>(this, typeName_, file));
    }
}

void MorvanePresetManager::addScannedPreset(std::unique_ptr<MorvanePreset> preset) {
    // Our writers name a file after the identifier in its header. Of two files carrying one identifier the
    // later path wins, unless only the other one is named after it: a copy whose header kept someone else's
    // identifier never hides the preset it came from.
    const auto namedAfterIdentifier = [](const MorvanePreset& p) {
        return p.getFile().getFileNameWithoutExtension() == p.getIdentifier();
    };
    const MorvanePreset* held = findPreset(preset->getIdentifier());
    if (held != nullptr && namedAfterIdentifier(*held) != namedAfterIdentifier(*preset)) {
        const MorvanePreset& copy = namedAfterIdentifier(*held) ? *preset : *held;
        std::cerr << "Preset file " << copy.getFile().getFullPathName() << " carries the identifier \""
                  << copy.getIdentifier() << "\" of another file, not listed\n";
        if (&copy == preset.get())
            return;
    }
    addPreset(std::move(preset), false);
}

void MorvanePresetManager::handleMessage(const juce::Message& message) {
    const auto* posted = dynamic_cast<const MVMessage*>(&message);
    if (posted == nullptr)
        return;
    auto* preset = static_cast<MorvanePreset*>(posted->object);
    // A copy that failed half-way announced itself before it was thrown away.
    if (preset != nullptr && owned_.count(preset) == 0)
        return;
    listeners_.call([&](MorvanePresetManagerListener& listener) {
        listener.presetManagerChanged(posted->kind, posted->first, posted->second, preset);
    });
}

void MorvanePresetManager::postPresetMessage(int id, MorvanePreset* preset) {
    postMessage(new MVMessage(id, 0, 0, {}, preset));
}

std::unique_ptr<MorvanePreset> MorvanePresetManager::takeBack(MorvanePreset* preset) {
    for (auto it = presets_.begin(); it != presets_.end(); ++it) {
        if (it->second.get() == preset) {
            std::unique_ptr<MorvanePreset> taken = std::move(it->second);
            presets_.erase(it);
            return taken;
        }
    }
    for (auto it = retired_.begin(); it != retired_.end(); ++it) {
        if (it->get() == preset) {
            std::unique_ptr<MorvanePreset> taken = std::move(*it);
            retired_.erase(it);
            return taken;
        }
    }
    return nullptr;
}

MorvanePreset* MorvanePresetManager::addPreset(std::unique_ptr<MorvanePreset> preset, bool notify) {
    if (preset == nullptr)
        return nullptr;
    MorvanePreset* added = preset.get();
    // A preset held already (a deleted one coming back, or one whose identifier changed) is filed anew,
    // never owned twice.
    if (owned_.count(added) != 0) {
        preset.release();
        preset = takeBack(added);
    }
    std::unique_ptr<MorvanePreset>& slot = presets_[added->getIdentifier()];
    if (slot != nullptr)
        retired_.push_back(std::move(slot));
    slot = std::move(preset);
    owned_.insert(added);
    markIndexDirty();
    if (notify)
        postPresetMessage(kAdded, nullptr);
    return added;
}

void MorvanePresetManager::addListener(MorvanePresetManagerListener* listener) {
    if (listener != nullptr)
        listeners_.add(listener);
}

void MorvanePresetManager::removeListener(MorvanePresetManagerListener* listener) {
    if (listener != nullptr)
        listeners_.remove(listener);
}

MorvanePreset* MorvanePresetManager::findPreset(const juce::String& identifier) const {
    const auto found = presets_.find(identifier);
    return found == presets_.end() ? nullptr : found->second.get();
}

MorvanePreset* MorvanePresetManager::getPresetByName(const juce::String& identifier) {
    MorvanePreset* preset = findPreset(identifier);
    return preset != nullptr ? preset : getDefaultPreset();
}

std::unique_ptr<MorvanePreset> MorvanePresetManager::buildDefaultPreset() {
    auto preset = std::make_unique<MorvanePreset>(this, typeName_, extension_, getBankRoot());
    preset->moveToDemoBank();
    preset->setIdentifier("Default");
    preset->setName("Default");
    return preset;
}

MorvanePreset* MorvanePresetManager::getDefaultPreset() {
    if (MorvanePreset* preset = findPreset("Default"))
        return preset;
    return addPreset(buildDefaultPreset(), true);
}

bool MorvanePresetManager::isIdentifierInUse(const juce::String& identifier) {
    if (presets_.count(identifier) != 0)
        return true;
    return std::any_of(retired_.begin(), retired_.end(),
                       [&](const auto& preset) { return preset->getIdentifier() == identifier; });
}

void MorvanePresetManager::presetChanged(MorvanePreset* preset) {
    markIndexDirty();
    postPresetMessage(kChanged, preset);
}

void MorvanePresetManager::markIndexDirty() {
    indexDirty_ = true;
    ++changeCount_;
}

bool MorvanePresetManager::deletePreset(MorvanePreset* preset) {
    const auto held = std::find_if(presets_.begin(), presets_.end(),
                                   [preset](const auto& entry) { return entry.second.get() == preset; });
    if (preset == nullptr || held == presets_.end())
        return false;
    const juce::File& file = preset->getFile();
    // A file left behind would bring the preset back with the next scan; a folder goes only when empty.
    if (file.getFullPathName().isNotEmpty() && file.exists() && !file.deleteFile()) {
        std::cerr << "Cannot delete preset file " << file.getFullPathName() << ", preset kept\n";
        return false;
    }
    retired_.push_back(std::move(held->second));
    presets_.erase(held);
    markIndexDirty();
    postPresetMessage(kDeleted, nullptr);
    return true;
}

MorvanePreset* MorvanePresetManager::duplicatePreset(MorvanePreset* preset) {
    if (preset == nullptr)
        return nullptr;
    std::unique_ptr<MorvanePreset> copy = preset->copyToFile(getBankRoot().getChildFile("User"));
    if (copy == nullptr)
        return nullptr;
    copy->setName(makeUniqueName(preset->getName()));
    return addPreset(std::move(copy), true);
}

MorvanePreset* MorvanePresetManager::createNewPreset(const juce::String& name) {
    MorvanePreset* source = getDefaultPreset();
    std::unique_ptr<MorvanePreset> copy = source->copyToFile(getBankRoot().getChildFile("User"));
    if (copy == nullptr)
        return nullptr;
    copy->setName(makeUniqueName(name));
    copy->saveAttributes();
    return addPreset(std::move(copy), true);
}

MorvanePreset* MorvanePresetManager::importPreset(const juce::File& folder, const juce::String& identifier,
                                                  juce::InputStream& in, juce::int64 size) {
    const juce::int64 available = in.getNumBytesRemaining();
    if (size < 0 || size > presetfile::kMaxFileBytes || (available >= 0 && size > available)) {
        std::cerr << "Imported preset \"" << identifier << "\": size " << size << " out of bounds, not imported\n";
        return nullptr;
    }
    juce::MemoryBlock bytes(static_cast<size_t>(size));
    auto* data = static_cast<char*>(bytes.getData());
    for (juce::int64 done = 0; done < size;) {
        const int n = in.read(data + done, static_cast<int>(size - done));
        if (n <= 0) {
            std::cerr << "Imported preset \"" << identifier << "\" is cut short, not imported\n";
            return nullptr;
        }
        done += n;
    }

    // A taken identifier, or one that cannot name a file of its own (a path out of folder), is replaced by a
    // fresh one from the generator, which keeps identifiers digits-only.
    const auto taken = [&](const juce::String& id) {
        return isIdentifierInUse(id) || folder.getChildFile(id + extension_).exists();
    };
    const juce::String id =
        isPlainFileName(identifier) && !taken(identifier) ? identifier : PresetIdGenerator::next(taken);
    const juce::File file = folder.getChildFile(id + extension_);

    // Taken apart whole, payload included, before anything is written: a file that would not load is refused.
    const std::optional<MorvanePreset::CheckedFile> checked =
        MorvanePreset::checkFile(std::move(bytes), typeName_, file);
    if (!checked) {
        std::cerr << "Imported preset \"" << identifier << "\" is damaged, not imported\n";
        return nullptr;
    }
    // Written once, already under its own identifier and name: a file that kept the old identifier in its
    // header would take that identifier from the preset that holds it at the next start.
    MorvanePreset::Attributes attributes;
    for (const auto& [key, value] : checked->header.pairs)
        attributes.emplace(key, value);
    const juce::String name =
        makeUniqueName(checked->header.hasPresetId ? checked->header.name : juce::String("Untitled"));
    const juce::MemoryBlock header = presetfile::buildHeaderText(
        typeName_, id, name, attributes, [this](const juce::String& key) { return registry_.isStored(key); });
    const auto* tail = static_cast<const uint8_t*>(checked->bytes.getData()) + checked->tailOffset;
    // A fresh file every time: whatever lay at that path before is never appended to.
    if (!replaceFileSafely(file, presetfile::buildFile(header, tail, checked->bytes.getSize() - checked->tailOffset)))
        return nullptr;
    return addPreset(std::make_unique<MorvanePreset>(this, typeName_, file), true);
}

juce::String MorvanePresetManager::makeUniqueName(const juce::String& name) const {
    juce::String base = name;
    juce::String candidate = name;
    int64_t n = 1;
    const int cut = name.lastIndexOfChar('_');
    if (cut >= 0) {
        const int64_t number = leadingNumber(name.substring(cut + 1));
        if (number > 0) {
            n = number;
            base = candidate = name.substring(0, cut);
        }
    }
    // One set of the names stands for walking every preset again after each step.
    std::set<juce::String, Utf8Less> names;
    for (const auto& entry : presets_)
        names.insert(entry.second->getName());
    while (names.count(candidate) != 0)
        candidate = base + "_" + juce::String(static_cast<juce::int64>(++n));
    return candidate;
}

juce::String MorvanePresetManager::makeUniqueIdentifier(const juce::String& identifier) const {
    juce::String candidate = identifier;
    for (int n = 2; presets_.count(candidate) != 0; ++n)
        candidate = identifier + "_" + juce::String(n);
    return candidate;
}

juce::File MorvanePresetManager::getUserSubfolder(const juce::String& name) const {
    const juce::String plain = name.removeCharacters("/\\").trimCharactersAtStart(".");
    const juce::File folder = getBankRoot().getChildFile("User").getChildFile(plain);
    const juce::Result made = folder.createDirectory();
    if (made.failed())
        std::cerr << "Cannot create folder " << folder.getFullPathName() << ": " << made.getErrorMessage() << "\n";
    return folder;
}

MorvanePreset* MorvanePresetManager::getFirstPreferredPreset() { return getPresetByName(preferred_.getName(0)); }

void MorvanePresetManager::getAttributeValueList(const juce::String& key, juce::StringArray& out) {
    if (registry_.isGatheredFromPresets(key))
        getUsedAttributeValues(key, out);
    else
        registry_.getRegisteredValues(key, out);
}

void MorvanePresetManager::ensureIndex() {
    if (isIndexStale())
        rebuildIndex();
}

void MorvanePresetManager::addToIndex(ValueIndex& index, const juce::String& value, const juce::String& identifier) {
    if (value.isEmpty())
        return;
    Identifiers& identifiers = index[value];
    if (identifiers.empty() || identifiers.back() != identifier)
        identifiers.push_back(identifier);
}

void MorvanePresetManager::finishIndex() {
    // A key no preset carries is not a key of the index.
    for (auto it = index_.begin(); it != index_.end();)
        it = it->second.empty() ? index_.erase(it) : std::next(it);
    indexDirty_ = false;
}

const MorvanePresetManager::ValueIndex* MorvanePresetManager::findIndex(const juce::String& key) const {
    const auto found = index_.find(key);
    return found == index_.end() ? nullptr : &found->second;
}

const MorvanePresetManager::Identifiers* MorvanePresetManager::findIdentifiers(const juce::String& key,
                                                                               const juce::String& value) const {
    const ValueIndex* values = findIndex(key);
    if (values == nullptr)
        return nullptr;
    const auto found = values->find(value);
    return found == values->end() ? nullptr : &found->second;
}

void MorvanePresetManager::rebuildIndex() {
    clearIndex();
    juce::StringArray keys;
    registry_.getAttributeKeys(keys);
    juce::StringArray values;
    // Key by key: the key's table and flags are looked up once, not once per preset.
    for (const juce::String& key : keys) {
        ValueIndex& index = indexFor(key);
        const bool multiValued = registry_.isMultiValued(key);
        for (const auto& [identifier, preset] : presets_) {
            if (!multiValued) {
                addToIndex(index, preset->getAttribute(key), identifier);
                continue;
            }
            values.clearQuick();
            preset->getAttributeValues(key, values);
            for (const juce::String& value : values)
                addToIndex(index, value, identifier);
        }
    }
    finishIndex();
}

void MorvanePresetManager::getIndexedKeys(juce::StringArray& out) {
    ensureIndex();
    for (const auto& entry : index_)
        out.add(entry.first);
}

void MorvanePresetManager::getUsedAttributeValues(const juce::String& key, juce::StringArray& out) {
    ensureIndex();
    if (const ValueIndex* values = findIndex(key))
        for (const auto& entry : *values)
            out.add(entry.first);
    removeDuplicates(out, ignoreCaseForValues_);
}

void MorvanePresetManager::findPresetsWithAttribute(const juce::String& key, const juce::String& value,
                                                    std::set<juce::String>& out) {
    ensureIndex();
    if (const Identifiers* identifiers = findIdentifiers(key, value))
        out.insert(identifiers->begin(), identifiers->end());
}

} // namespace corvex
