// The view of one preset kind: criteria, the sorted list, the current preset and its loading and saving.
#include "presets/MorvanePresetFilterManager.h"

#include <algorithm>
#include <iostream>
#include <string>

#include "instrument/MVMessage.h"

namespace corvex {

namespace {

// Sorting folds only A-Z and compares UTF-16 code units, so that lists come out the same on every locale.
std::u16string foldedUtf16(const juce::String& text) {
    std::u16string out;
    for (auto p = text.getCharPointer(); !p.isEmpty(); ++p) {
        juce::juce_wchar c = *p;
        if (c >= 'A' && c <= 'Z')
            c += 'a' - 'A';
        if (c >= 0x10000) {
            c -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(c));
        }
    }
    return out;
}

} // namespace

MorvanePresetFilterManager::~MorvanePresetFilterManager() {
    if (manager_ != nullptr)
        manager_->removeListener(this);
}

void MorvanePresetFilterManager::postFilterMessage(juce::MessageListener* recipient, int id, int value, int value2,
                                                   void* pointer) {
    if (recipient != nullptr)
        recipient->postMessage(new MVMessage(id, value, value2, {}, pointer));
}

void MorvanePresetFilterManager::handleMessage(const juce::Message& message) {
    const auto* posted = dynamic_cast<const MVMessage*>(&message);
    if (posted == nullptr)
        return;
    // A listener may remove another one, or itself, while it is told.
    const std::set<MorvanePresetFilterManagerListener*> listeners = listeners_;
    for (MorvanePresetFilterManagerListener* listener : listeners)
        if (listeners_.count(listener) != 0)
            listener->presetFilterChanged(posted->kind, posted->first, posted->second, posted->object);
}

void MorvanePresetFilterManager::setPresetManager(MorvanePresetChunkInterface* chunk, MorvanePresetManager* manager,
                                                  int id) {
    if (manager_ != nullptr)
        manager_->removeListener(this);
    chunk_ = chunk;
    manager_ = manager;
    id_ = id;
    listDirty_ = true;
    if (manager_ == nullptr)
        return;
    manager_->addListener(this);
    setCurrentPreset(manager_->getFirstPreferredPreset(), false);
}

void MorvanePresetFilterManager::addListener(MorvanePresetFilterManagerListener* listener) {
    if (listener != nullptr)
        listeners_.insert(listener);
}

void MorvanePresetFilterManager::removeListener(MorvanePresetFilterManagerListener* listener) {
    listeners_.erase(listener);
}

bool MorvanePresetFilterManager::hasPresetsWithAttribute(const juce::String& key, const juce::String& value) {
    if (!filterActive_ || manager_ == nullptr)
        return true;
    ensureList();
    std::set<juce::String> found;
    manager_->findPresetsWithAttribute(key, value, found);
    return std::any_of(found.begin(), found.end(),
                       [this](const juce::String& identifier) { return filteredNames_.count(identifier) != 0; });
}

void MorvanePresetFilterManager::setCriterion(const juce::String& key, const juce::String& value, bool add) {
    if (add) {
        criteria_.emplace(key, value);
    } else {
        auto [it, last] = criteria_.equal_range(key);
        while (it != last)
            it = it->second == value ? criteria_.erase(it) : std::next(it);
    }
    listDirty_ = true;
    filterActive_ = true;
}

bool MorvanePresetFilterManager::hasCriterion(const juce::String& key, const juce::String& value) const {
    const auto [first, last] = criteria_.equal_range(key);
    return std::any_of(first, last, [&value](const auto& pair) { return pair.second == value; });
}

void MorvanePresetFilterManager::clearFilters() {
    criteria_.clear();
    listDirty_ = true;
    filterActive_ = false;
    post(kCriteriaChanged, 0, 0, nullptr);
}

int MorvanePresetFilterManager::getNumPresets() {
    ensureList();
    return static_cast<int>(filteredPresets_.size());
}

void MorvanePresetFilterManager::getPresetDisplayNames(juce::StringArray& names) {
    ensureList();
    const MorvanePreset* current = getCurrentPreset();
    for (const MorvanePreset* preset : filteredPresets_)
        names.add(preset == current && preset->isModified() ? preset->getName() + "*" : preset->getName());
}

MorvanePreset* MorvanePresetFilterManager::getPreset(int index) {
    ensureList();
    return index >= 0 && index < static_cast<int>(filteredPresets_.size()) ? filteredPresets_[static_cast<size_t>(index)]
                                                                          : nullptr;
}

MorvanePreset* MorvanePresetFilterManager::getPresetByName(const juce::String& identifier) {
    return manager_ != nullptr ? manager_->getPresetByName(identifier) : nullptr;
}

int MorvanePresetFilterManager::indexOfPreset(MorvanePreset* preset) {
    if (preset == nullptr)
        return -1;
    ensureList();
    const auto found = std::find(filteredPresets_.begin(), filteredPresets_.end(), preset);
    return found == filteredPresets_.end() ? -1 : static_cast<int>(found - filteredPresets_.begin());
}

void MorvanePresetFilterManager::setSortKey(const juce::String& key, int direction) {
    sortKey_ = key;
    sortDirection_ = direction;
    listDirty_ = true;
    post(kSortKeyChanged, direction, 0, &sortKey_);
}

void MorvanePresetFilterManager::getSortKey(juce::String& key, int& direction) const {
    key = sortKey_;
    direction = sortDirection_;
}

void MorvanePresetFilterManager::setCurrentPreset(MorvanePreset* preset, bool force) {
    if (preset == current_ && !force)
        return;
    // Loaded first: a preset that did not load must not be shown, nor saved over, while the layer plays
    // another sound.
    if (preset != nullptr && !loadPreset(preset)) {
        reportNotMadeCurrent(*preset);
        return;
    }
    makeCurrent(preset);
}

void MorvanePresetFilterManager::reportNotMadeCurrent(const MorvanePreset& preset) const {
    std::cerr << "Preset \"" << preset.getName() << "\" did not load and is not made current";
    if (current_ != nullptr)
        std::cerr << "; \"" << current_->getName() << "\" stays current";
    std::cerr << "\n";
}

void MorvanePresetFilterManager::makeCurrent(MorvanePreset* preset) {
    // Attribute edits never saved are dropped with the header re-read. A preset that never had a file, or whose
    // header can no longer be read, has nothing to go back to: its edits, and its "*", stay.
    if (current_ != nullptr && current_ != preset && current_->getFile().existsAsFile() && current_->readHeader())
        setPresetModified(current_, false, false);
    current_ = preset;
    // A load reads the header again: the name and the attributes the list sorts by may have changed.
    listDirty_ = true;
    post(kCurrentPresetChanged, id_, 0, preset);
}

MorvanePreset* MorvanePresetFilterManager::getCurrentPreset() {
    if (current_ != nullptr)
        return current_;
    return manager_ != nullptr ? manager_->getDefaultPreset() : nullptr;
}

bool MorvanePresetFilterManager::isAttributeMultiValued(const juce::String& key) {
    return manager_ != nullptr && manager_->isAttributeMultiValued(key);
}

MorvanePreset* MorvanePresetFilterManager::saveCurrentAsNewPreset(const juce::String& name) {
    if (manager_ == nullptr)
        return nullptr;
    MorvanePreset* preset = manager_->createNewPreset(name);
    if (preset == nullptr)
        return nullptr;
    savePreset(preset);
    setCurrentPreset(preset, false);
    return preset;
}

MorvanePreset* MorvanePresetFilterManager::createNewPreset(int /*unused*/) {
    if (manager_ == nullptr)
        return nullptr;
    MorvanePreset* preset = manager_->createNewPreset(manager_->getDefaultNewName());
    if (preset != nullptr)
        setCurrentPreset(preset, false);
    return preset;
}

bool MorvanePresetFilterManager::loadPreset(MorvanePreset* preset) {
    if (preset == nullptr || !preset->load(chunk_))
        return false;
    if (manager_ != nullptr)
        manager_->presetLoaded(preset);
    return true;
}

bool MorvanePresetFilterManager::savePreset(MorvanePreset* preset) {
    if (preset == nullptr)
        return false;
    if (!preset->isUserPreset()) {
        std::cerr << "Preset \"" << preset->getName() << "\" is a factory preset and is not saved\n";
        return false;
    }
    if (!preset->save(chunk_))
        return false;
    if (manager_ != nullptr)
        manager_->presetSaved(preset);
    preset->setModified(false);
    listDirty_ = true;
    return true;
}

bool MorvanePresetFilterManager::savePresetAttributes(MorvanePreset* preset) {
    return preset != nullptr && preset->saveAttributes();
}

void MorvanePresetFilterManager::setPresetModified(MorvanePreset* preset, bool modified, bool notify) {
    if (preset == nullptr)
        return;
    if (preset->isModified() != modified) {
        preset->setModified(modified);
        if (notify && manager_ != nullptr)
            manager_->presetReverted(nullptr);
    }
    listDirty_ = true;
}

juce::String MorvanePresetFilterManager::makeUniqueName(const juce::String& name) const {
    return manager_ != nullptr ? manager_->makeUniqueName(name) : name;
}

juce::String MorvanePresetFilterManager::getColumnKey(int column) const {
    return manager_ != nullptr ? manager_->getColumnKey(column) : juce::String();
}

void MorvanePresetFilterManager::updateFilteredList() {
    filteredPresets_.clear();
    filteredNames_.clear();
    if (manager_ == nullptr) {
        listDirty_ = false;
        return;
    }
    manager_->rebuildIndex();
    for (const auto& entry : manager_->getPresets())
        filteredNames_.insert(entry.first);
    if (filterActive_) {
        juce::StringArray keys;
        manager_->getAttributeKeys(keys);
        for (const juce::String& key : keys) {
            const auto [first, last] = criteria_.equal_range(key);
            if (first == last)
                continue;
            std::set<juce::String> matching;
            for (auto it = first; it != last; ++it)
                manager_->findPresetsWithAttribute(key, it->second, matching);
            std::set<juce::String> kept;
            std::set_intersection(filteredNames_.begin(), filteredNames_.end(), matching.begin(), matching.end(),
                                  std::inserter(kept, kept.end()));
            filteredNames_.swap(kept);
        }
    }
    for (const juce::String& identifier : filteredNames_)
        filteredPresets_.push_back(manager_->getPresetByName(identifier));
    sortPresets();
    listDirty_ = false;
}

bool MorvanePresetFilterManager::comparePresets(const MorvanePreset* a, const MorvanePreset* b) const {
    if (sortKey_.isNotEmpty()) {
        const std::u16string valueA = foldedUtf16(a->getAttribute(sortKey_));
        const std::u16string valueB = foldedUtf16(b->getAttribute(sortKey_));
        if (valueA != valueB)
            return sortDirection_ > 0 ? valueA < valueB : valueB < valueA;
    }
    return foldedUtf16(a->getName()) < foldedUtf16(b->getName());
}

void MorvanePresetFilterManager::sortPresets() {
    std::sort(filteredPresets_.begin(), filteredPresets_.end(),
              [this](const MorvanePreset* a, const MorvanePreset* b) { return comparePresets(a, b); });
}

void MorvanePresetFilterManager::presetManagerChanged(int id, int value, int value2, MorvanePreset* preset) {
    // Additions and deletions change the list as much as an attribute does.
    if (id == MorvanePresetManager::kChanged || id == MorvanePresetManager::kAdded ||
        id == MorvanePresetManager::kDeleted || id == MorvanePresetManager::kRenamed)
        listDirty_ = true;
    post(id, value, value2, preset);
}

void MorvanePresetFilterManager::setFilterText(int columnId, const juce::String& key) {
    columns_[columnId].key = key;
    post(kFilterTextSet, columnId, 0, nullptr);
}

juce::String MorvanePresetFilterManager::getFilterText(int columnId) { return columns_[columnId].key; }

void MorvanePresetFilterManager::setFilterValues(int columnId, const juce::StringArray& values) {
    columns_[columnId].values = values;
    clearFilters();
    for (const auto& [id, column] : columns_)
        if (column.key.isNotEmpty())
            for (const juce::String& value : column.values)
                setCriterion(column.key, value, true);
    post(kCriteriaChanged, columnId, 0, nullptr);
}

std::set<juce::String> MorvanePresetFilterManager::getUserPresetNames(const juce::String& key,
                                                                      const juce::String& value) {
    std::set<juce::String> names;
    if (manager_ == nullptr)
        return names;
    std::set<juce::String> withValue;
    std::set<juce::String> user;
    manager_->findPresetsWithAttribute(key, value, withValue);
    manager_->findPresetsWithAttribute(MorvanePreset::kBankKey, "User", user);
    std::set_intersection(withValue.begin(), withValue.end(), user.begin(), user.end(),
                          std::inserter(names, names.end()));
    return names;
}

juce::Array<int> MorvanePresetFilterManager::getPreferedPresetIndices() {
    if (manager_ == nullptr)
        return {};
    return manager_->getPreferred().findName(getCurrentPreset()->getIdentifier());
}

void MorvanePresetFilterManager::selectPreferedPreset(int index) {
    if (manager_ == nullptr)
        return;
    const juce::String identifier = manager_->getPreferred().getName(index);
    if (identifier.isEmpty())
        return;
    if (MorvanePreset* preset = manager_->findPreset(identifier))
        setCurrentPreset(preset, false);
}

} // namespace corvex
