// Every preset of one kind found in the banks: scanned, indexed by attribute value, created, copied, imported
// and deleted, each change announced to the listeners through a message the manager posts to itself.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <unordered_set>
#include <vector>

#include <juce_core/juce_core.h>
#include <juce_events/juce_events.h>

#include "instrument/MorvaneFindFolder.h"
#include "instrument/PresetServices.h"
#include "presets/MorvaneAttributeKeyRegistry.h"
#include "presets/MorvanePreferedPresetManager.h"
#include "presets/MorvanePreset.h"
#include "presets/MorvanePresetManagerInterface.h"
#include "presets/Utf8Less.h"

namespace corvex {

class MorvanePresetManager : public juce::MessageListener, public MorvanePresetManagerInterface {
public:
    enum MessageId {
        kRenamed = 1,
        kChanged = 2,
        kAdded = 5,
        kDeleted = 6,
        kReverted = 7,
        kSaved = 8,
        kLoaded = 9,
    };
    using Presets = std::map<juce::String, std::unique_ptr<MorvanePreset>, Utf8Less>;

    // kind names the preferred-preset file (0 programs, 1 multis); folder's settings folder is the bank root.
    MorvanePresetManager(int kind, const MorvaneFindFolder& folder);
    ~MorvanePresetManager() override;

    // Takes the registry, scans the banks for files of this extension and registers the two bank keys.
    void initialise(const juce::String& typeName, const juce::String& extension, const juce::String& defaultNewName,
                    const MorvaneAttributeKeyRegistry& registry);

    void handleMessage(const juce::Message& message) override;
    // The manager owns the preset from here on; one already held under its identifier is retired, not freed.
    virtual MorvanePreset* addPreset(std::unique_ptr<MorvanePreset> preset, bool notify);
    virtual void addListener(MorvanePresetManagerListener* listener);
    virtual void removeListener(MorvanePresetManagerListener* listener);
    virtual void getIndexedKeys(juce::StringArray& out);
    virtual void getUsedAttributeValues(const juce::String& key, juce::StringArray& out);
    // The default preset when no preset has the identifier.
    virtual MorvanePreset* getPresetByName(const juce::String& identifier);
    virtual MorvanePreset* getDefaultPreset();
    virtual void setSortValuesIgnoringCase(bool ignoreCase) { ignoreCaseForValues_ = ignoreCase; }
    virtual void rebuildIndex();
    virtual void findPresetsWithAttribute(const juce::String& key, const juce::String& value,
                                          std::set<juce::String>& out);
    virtual juce::String getColumnKey(int column) const { return registry_.getColumnKey(column); }

    void presetChanged(MorvanePreset* preset) override;
    void presetRenamed(MorvanePreset* preset) override { postPresetMessage(kRenamed, preset); }
    void presetSaved(MorvanePreset* preset) override { postPresetMessage(kSaved, preset); }
    void presetLoaded(MorvanePreset* preset) override { postPresetMessage(kLoaded, preset); }
    void presetReverted(MorvanePreset* preset) override { postPresetMessage(kReverted, preset); }
    bool isAttributeMultiValued(const juce::String& key) override { return registry_.isMultiValued(key); }
    bool isAttributeStored(const juce::String& key) override { return registry_.isStored(key); }
    // Retired identifiers count too: patches may still name a deleted program.
    bool isIdentifierInUse(const juce::String& identifier) override;

    // Removes the preset and its file, then posts kDeleted. False, with nothing changed, for a preset this
    // manager does not hold or a file that cannot be removed. The object stays alive until the manager dies.
    bool deletePreset(MorvanePreset* preset);
    // A copy in the "User" bank under a unique name; null when its file could not be written.
    MorvanePreset* duplicatePreset(MorvanePreset* preset);
    MorvanePreset* createNewPreset(const juce::String& name);
    // Reads size bytes of one preset file from in into a new file of folder. Null, with nothing written,
    // for a size out of bounds, a stream cut short, a file that is not a preset of this kind or a failed write.
    MorvanePreset* importPreset(const juce::File& folder, const juce::String& identifier, juce::InputStream& in,
                                juce::int64 size);
    juce::String makeUniqueName(const juce::String& name) const;
    juce::String makeUniqueIdentifier(const juce::String& identifier) const;
    juce::File getUserSubfolder(const juce::String& name) const;
    MorvanePreset* getFirstPreferredPreset();
    void getAttributeValueList(const juce::String& key, juce::StringArray& out);
    void postPresetMessage(int id, MorvanePreset* preset);

    // Null when no preset has the identifier.
    MorvanePreset* findPreset(const juce::String& identifier) const;
    const Presets& getPresets() const { return presets_; }
    int getKind() const { return kind_; }
    const juce::String& getTypeName() const { return typeName_; }
    const juce::String& getExtension() const { return extension_; }
    const juce::String& getDefaultNewName() const { return defaultNewName_; }
    juce::File getBankRoot() const { return folder_.getSettingsFolder(); }
    const MorvaneAttributeKeyRegistry& getRegistry() const { return registry_; }
    void getAttributeKeys(juce::StringArray& out) const { registry_.getAttributeKeys(out); }
    bool getAttributeFlagBit2(const juce::String& key) const { return registry_.getAttributeFlagBit2(key); }
    MorvanePreferedPresetManager& getPreferred() { return preferred_; }
    // Rises with every change that dirties the index, so that a manager indexing through this one sees it.
    uint64_t getChangeCount() const { return changeCount_; }

protected:
    // Per key: each value, ascending, with the identifiers of the presets that carry it in identifier order.
    using Identifiers = std::vector<juce::String>;
    using ValueIndex = std::map<juce::String, Identifiers, Utf8Less>;

    // Rebuilds the index when a query would otherwise read a stale one.
    void ensureIndex();
    virtual bool isIndexStale() const { return indexDirty_; }
    void markIndexDirty();
    // A rebuild: clearIndex, indexFor and addToIndex for every key and preset, then finishIndex.
    void clearIndex() { index_.clear(); }
    ValueIndex& indexFor(const juce::String& key) { return index_[key]; }
    // Presets are added in turn: a value a preset carries twice is entered once.
    static void addToIndex(ValueIndex& index, const juce::String& value, const juce::String& identifier);
    void finishIndex();
    const ValueIndex* findIndex(const juce::String& key) const;
    // Null when no preset has that value for key.
    const Identifiers* findIdentifiers(const juce::String& key, const juce::String& value) const;
    // The "Default" preset in the demo bank, not yet added; nothing is written.
    std::unique_ptr<MorvanePreset> buildDefaultPreset();

private:
    void scanBanks();
    void addScannedPreset(std::unique_ptr<MorvanePreset> preset);
    std::unique_ptr<MorvanePreset> takeBack(MorvanePreset* preset);

    int kind_;
    MorvaneAttributeKeyRegistry registry_;
    const MorvaneFindFolder& folder_;
    juce::String extension_;
    juce::String typeName_;
    juce::ListenerList<MorvanePresetManagerListener> listeners_;
    Presets presets_;
    std::map<juce::String, ValueIndex, Utf8Less> index_;
    bool indexDirty_ = true;
    uint64_t changeCount_ = 0;
    juce::String defaultNewName_ = "Untitled";
    bool ignoreCaseForValues_ = true;
    MorvanePreferedPresetManager preferred_;
    // Deleted and replaced presets: a pointer a panel or a posted message still holds stays valid.
    std::vector<std::unique_ptr<MorvanePreset>> retired_;
    // Every preset ever held, retired ones included: a message about any other preset is not delivered.
    std::unordered_set<const MorvanePreset*> owned_;
};

static_assert(MorvanePresetManager::kLoaded == PresetServices::kPresetLoaded);

} // namespace corvex
