// The view of one preset kind that panels work through: the current preset of one part of the instrument,
// loaded and saved through that part's chunk, and a filtered, sorted list of the manager's presets. It keeps
// the current preset itself; the list, its criteria and order, the filter columns, the listeners, the
// host-state section and the import of project records are objects it owns or makes.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <vector>

#include <juce_core/juce_core.h>
#include <juce_events/juce_events.h>

#include "instrument/PresetServices.h"
#include "instrument/state/HostState.h"
#include "presets/FilterColumns.h"
#include "presets/FilteredPresetList.h"
#include "presets/MorvanePresetManager.h"
#include "presets/PresetCriteria.h"
#include "presets/PresetFilterListeners.h"
#include "presets/PresetSortOrder.h"
#include "presets/PresetStateSection.h"
#include "presets/ProjectSection.h"

namespace corvex {

class MorvanePresetFilterManager : public juce::MessageListener,
                                   public MorvanePresetManagerListener,
                                   public HostStateFilter {
public:
    // Besides these, the manager's own messages (MorvanePresetManager::MessageId) are relayed.
    enum MessageId {
        kCriteriaChanged = 0,
        kSortKeyChanged = 3,
        kCurrentPresetChanged = 4,
        kImportDone = 5,
        kFilterTextSet = 11,
        kShownLayer = 12,
    };
    enum Id { kLowerPrograms = 0, kUpperPrograms = 1, kPatches = 2 };

    MorvanePresetFilterManager() = default;
    ~MorvanePresetFilterManager() override;

    void handleMessage(const juce::Message& message) override;
    // Registers with the manager and makes its start preset current, which loads it through chunk.
    virtual void setPresetManager(MorvanePresetChunkInterface* chunk, MorvanePresetManager* manager, int id);
    virtual void addListener(MorvanePresetFilterManagerListener* listener);
    virtual void removeListener(MorvanePresetFilterManagerListener* listener);

    // Values of one key combine with OR, keys with AND; criteria of unregistered keys do not restrict.
    virtual bool hasPresetsWithAttribute(const juce::String& key, const juce::String& value);
    virtual void setCriterion(const juce::String& key, const juce::String& value, bool add);
    virtual bool hasCriterion(const juce::String& key, const juce::String& value) const;
    virtual void clearFilters();
    virtual int getNumPresets();
    // The current preset's name carries "*" while it is modified.
    virtual void getPresetDisplayNames(juce::StringArray& names);
    // Null out of range.
    virtual MorvanePreset* getPreset(int index);
    // The manager's default preset when no preset has the identifier.
    virtual MorvanePreset* getPresetByName(const juce::String& identifier);
    virtual int indexOfPreset(MorvanePreset* preset);
    // An empty key sorts by name; direction > 0 ascending. Names within equal values always run A to Z.
    virtual void setSortKey(const juce::String& key, int direction);
    void getSortKey(juce::String& key, int& direction) const;
    // Loads the preset, then makes it current. A preset that does not load leaves the current one, its sound
    // and its modified mark as they were, with a message on stderr.
    virtual void setCurrentPreset(MorvanePreset* preset, bool force);
    // The manager's default preset while none is current.
    virtual MorvanePreset* getCurrentPreset();
    virtual bool isAttributeMultiValued(const juce::String& key);
    // A new user preset holding what the part plays now; null when its file could not be written.
    virtual MorvanePreset* saveCurrentAsNewPreset(const juce::String& name);
    virtual MorvanePreset* createNewPreset(int unused);
    void setOptionFlag(bool flag) { optionFlag_ = flag; }
    bool getOptionFlag() const { return optionFlag_; }

    // False, with the sound unchanged, for a preset whose file cannot be loaded.
    virtual bool loadPreset(MorvanePreset* preset);
    // Factory presets are refused; a failed write keeps the file and the modified flag. True when written.
    virtual bool savePreset(MorvanePreset* preset);
    virtual bool savePresetAttributes(MorvanePreset* preset);
    virtual void setPresetModified(MorvanePreset* preset, bool modified, bool notify);

    // The host state's section: the current preset's identifier, its payload, then the filter columns.
    void writeState(std::vector<uint8_t>& out) override;
    // A damaged section, or a payload the part would refuse, changes nothing.
    bool readState(ByteReader& in) override;

    // A project file's section of these presets; false when a preset's file could not be read.
    virtual bool saveState(const std::set<juce::String>& identifiers, juce::OutputStream& out);
    // The presets created from a section, filed in the project's user folder. A damaged section, or one whose
    // presets cannot all be imported, creates nothing.
    virtual juce::Array<MorvanePreset*> loadState(juce::InputStream& in, const juce::String& projectName);

    juce::String makeUniqueName(const juce::String& name) const;
    juce::String getColumnKey(int column) const;
    virtual void updateFilteredList();
    virtual void sortPresets();

    void presetManagerChanged(int id, int value, int value2, MorvanePreset* preset) override;

    // Filter columns: what the panels show; their ids mean nothing here.
    void setFilterText(int columnId, const juce::String& key);
    juce::String getFilterText(int columnId);
    void setFilterValues(int columnId, const juce::StringArray& values);
    juce::StringArray getFilterValues(int columnId) { return columns_.values(columnId); }

    std::set<juce::String> getUserPresetNames(const juce::String& key, const juce::String& value);
    juce::Array<int> getPreferedPresetIndices();
    // An empty slot, or one naming a preset the library no longer holds, changes nothing.
    void selectPreferedPreset(int index);
    static void postFilterMessage(juce::MessageListener* recipient, int id, int value, int value2, void* pointer);

    MorvanePresetManager* getPresetManager() const { return manager_; }
    MorvanePresetChunkInterface* getChunkInterface() const { return chunk_; }
    int getId() const { return id_; }
    void markListDirty() { list_.markDirty(); }

    using Column = FilterColumn;
    // One host-state section, read whole before any of it is applied, so that a state holding several
    // sections is applied all or not at all.
    using StateSection = PresetStateSection;
    static bool readStateSection(ByteReader& in, StateSection& section) { return statesection::read(in, section); }
    // Whether the bound part would take the section's payload; nothing changes.
    bool checkStateSection(const StateSection& section);
    // Meant for a checked section: false only when the part refused its payload all the same.
    bool applyStateSection(const StateSection& section);

    // Whether every record is a whole preset file of this kind whose payload the bound part would take, as a
    // load would find it; nothing is written. A line on stderr names the first that is not.
    bool checkRecords(const std::vector<ProjectRecord>& records, const juce::String& projectName);
    // Imports every record, or none: on failure the presets already made are deleted again. oldToNew maps
    // each record's identifier to the one its preset got.
    bool importRecords(const std::vector<ProjectRecord>& records, const juce::String& projectName,
                       juce::Array<MorvanePreset*>& created, std::map<juce::String, juce::String>& oldToNew);
    // Through the manager, files included; the project folder goes too once nothing is left in it.
    void deletePresets(const juce::Array<MorvanePreset*>& presets, const juce::String& projectName);

protected:
    void post(int id, int value, int value2, void* pointer) { postFilterMessage(this, id, value, value2, pointer); }
    // The current preset as set, null when none.
    MorvanePreset* currentPreset() const { return current_; }
    // Makes preset current without loading it (the caller has put its sound in place): the preset left goes
    // back to its saved attributes, and the change is posted.
    void makeCurrent(MorvanePreset* preset);
    // The line on stderr for a preset that did not load and so was not made current.
    void reportNotMadeCurrent(const MorvanePreset& preset) const;
    void ensureList() {
        if (list_.isDirty()) updateFilteredList();
    }

private:
    MorvanePresetManager* manager_ = nullptr;
    MorvanePresetChunkInterface* chunk_ = nullptr;
    MorvanePreset* current_ = nullptr;
    int id_ = -1;
    bool optionFlag_ = true;
    PresetFilterListeners listeners_;
    PresetCriteria criteria_;
    PresetSortOrder order_;
    FilteredPresetList list_;
    FilterColumns columns_;
};

} // namespace corvex
