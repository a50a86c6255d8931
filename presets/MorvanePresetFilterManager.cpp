// The view of one preset kind: the current preset with its loading and saving, and the list, criteria,
// order, columns and listeners handed to the objects that keep them.
#include "presets/MorvanePresetFilterManager.h"

#include <algorithm>
#include <iostream>
#include <iterator>

#include "instrument/MVMessage.h"

namespace corvex {

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
    if (posted != nullptr)
        listeners_.tell(posted->kind, posted->first, posted->second, posted->object);
}

void MorvanePresetFilterManager::setPresetManager(MorvanePresetChunkInterface* chunk, MorvanePresetManager* manager,
                                                  int id) {
    if (manager_ != nullptr)
        manager_->removeListener(this);
    chunk_ = chunk;
    manager_ = manager;
    id_ = id;
    list_.markDirty();
    if (manager_ == nullptr)
        return;
    manager_->addListener(this);
    setCurrentPreset(manager_->getFirstPreferredPreset(), false);
}

void MorvanePresetFilterManager::addListener(MorvanePresetFilterManagerListener* listener) {
    listeners_.add(listener);
}

void MorvanePresetFilterManager::removeListener(MorvanePresetFilterManagerListener* listener) {
    listeners_.remove(listener);
}

bool MorvanePresetFilterManager::hasPresetsWithAttribute(const juce::String& key, const juce::String& value) {
    if (!criteria_.isActive() || manager_ == nullptr)
        return true;
    ensureList();
    std::set<juce::String> found;
    manager_->findPresetsWithAttribute(key, value, found);
    return list_.containsAny(found);
}

void MorvanePresetFilterManager::setCriterion(const juce::String& key, const juce::String& value, bool add) {
    criteria_.set(key, value, add);
    list_.markDirty();
}

bool MorvanePresetFilterManager::hasCriterion(const juce::String& key, const juce::String& value) const {
    return criteria_.has(key, value);
}

void MorvanePresetFilterManager::clearFilters() {
    criteria_.clear();
    list_.markDirty();
    post(kCriteriaChanged, 0, 0, nullptr);
}

int MorvanePresetFilterManager::getNumPresets() {
    ensureList();
    return list_.size();
}

void MorvanePresetFilterManager::getPresetDisplayNames(juce::StringArray& names) {
    ensureList();
    const MorvanePreset* current = getCurrentPreset();
    for (const MorvanePreset* preset : list_.presets())
        names.add(preset == current && preset->isModified() ? preset->getName() + "*" : preset->getName());
}

MorvanePreset* MorvanePresetFilterManager::getPreset(int index) {
    ensureList();
    return list_.at(index);
}

MorvanePreset* MorvanePresetFilterManager::getPresetByName(const juce::String& identifier) {
    return manager_ != nullptr ? manager_->getPresetByName(identifier) : nullptr;
}

int MorvanePresetFilterManager::indexOfPreset(MorvanePreset* preset) {
    if (preset == nullptr)
        return -1;
    ensureList();
    return list_.indexOf(preset);
}

void MorvanePresetFilterManager::setSortKey(const juce::String& key, int direction) {
    order_.set(key, direction);
    list_.markDirty();
    // The message carries the key's address for listeners to read, never to write.
    post(kSortKeyChanged, direction, 0, const_cast<juce::String*>(&order_.key()));
}

void MorvanePresetFilterManager::getSortKey(juce::String& key, int& direction) const {
    key = order_.key();
    direction = order_.direction();
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
    list_.markDirty();
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
    list_.markDirty();
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
    list_.markDirty();
}

juce::String MorvanePresetFilterManager::makeUniqueName(const juce::String& name) const {
    return manager_ != nullptr ? manager_->makeUniqueName(name) : name;
}

juce::String MorvanePresetFilterManager::getColumnKey(int column) const {
    return manager_ != nullptr ? manager_->getColumnKey(column) : juce::String();
}

void MorvanePresetFilterManager::updateFilteredList() { list_.rebuild(manager_, criteria_, order_); }

void MorvanePresetFilterManager::sortPresets() { list_.sort(order_); }

void MorvanePresetFilterManager::presetManagerChanged(int id, int value, int value2, MorvanePreset* preset) {
    // Additions and deletions change the list as much as an attribute does.
    if (id == MorvanePresetManager::kChanged || id == MorvanePresetManager::kAdded ||
        id == MorvanePresetManager::kDeleted || id == MorvanePresetManager::kRenamed)
        list_.markDirty();
    post(id, value, value2, preset);
}

void MorvanePresetFilterManager::setFilterText(int columnId, const juce::String& key) {
    columns_.setKey(columnId, key);
    post(kFilterTextSet, columnId, 0, nullptr);
}

juce::String MorvanePresetFilterManager::getFilterText(int columnId) { return columns_.key(columnId); }

void MorvanePresetFilterManager::setFilterValues(int columnId, const juce::StringArray& values) {
    columns_.setValues(columnId, values);
    clearFilters();
    for (const auto& [key, value] : columns_.criteria())
        setCriterion(key, value, true);
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
