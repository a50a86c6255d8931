// The browser's "traditional list": the map's presets in a four-column table (name with its type's shape,
// instrument, author, snapshot memory), filtered by instrument type and sortable by any column. The rows are
// the browser's records; the list holds only pointers to them. The current preset's row is drawn inverted,
// whatever the table's own selection.
#pragma once

#include <memory>
#include <vector>

#include <juce_gui_basics/juce_gui_basics.h>

#include "presetmap/PresetMapRecord.h"
#include "presetmap/view/IPresetSelector.h"
#include "presetmap/view/PresetMapButton.h"

namespace corvex {

// The browser's four snapshot memories, by slot North, East, South, West; null for an empty one.
using SnapshotSlots = const PresetMapRecord* const*;

// The memory (#1 to #4) that holds the record, tried in slot order; 0 when none does.
int snapshotMemoryNumber(const PresetMapRecord* record, SnapshotSlots snapshots);

// The records of the types in mask, in their own order when column is 0, else sorted by the column (1 name,
// 2 type, 3 author, 4 memory), descending when it is negative.
std::vector<const PresetMapRecord*> presetListRows(const PresetMapRecords& records, int mask, int column,
                                                   SnapshotSlots snapshots);

// The text of a cell of the list's columns 1 to 4.
juce::String presetListCellText(const PresetMapRecord& record, int column, SnapshotSlots snapshots);

class CPresetListComponent : public juce::Component, public juce::TableListBoxModel {
public:
    enum Column { kName = 1, kInstrument = 2, kAuthor = 3, kSnap = 4 };

    CPresetListComponent();
    ~CPresetListComponent() override;

    // Set by the browser; the records and snapshots are the browser's and must outlive the list.
    void setPresetSelector(IPresetSelector* selector) { selector_ = selector; }
    void setRecords(const PresetMapRecords* records) { records_ = records; }
    void setSnapshots(SnapshotSlots snapshots) { snapshots_ = snapshots; }
    // Bit t lists type t; rebuildRows applies it.
    void setTypeMask(int mask) { typeMask_ = mask; }
    int getTypeMask() const { return typeMask_; }
    int getSortColumn() const { return sortColumn_; }

    int getNumRows() override;
    void paintRowBackground(juce::Graphics& g, int row, int width, int height, bool selected) override;
    void paintCell(juce::Graphics& g, int row, int column, int width, int height, bool selected) override;
    void sortOrderChanged(int column, bool forwards) override;
    void selectedRowsChanged(int lastRow) override;

    void rebuildRows();
    // The browser's current preset changed: its row, when listed, is selected and scrolled into view.
    void showCurrentRecord(const PresetMapRecord* record);
    const PresetMapRecord* getCurrentRecord() const { return current_; }
    const PresetMapRecord* getRowRecord(int row) const;

    void paint(juce::Graphics& g) override;
    void resized() override;

    juce::TableListBox& getTable() { return *table_; }

private:
    IPresetSelector* selector_ = nullptr;
    int typeMask_;
    int sortColumn_ = 0;
    const PresetMapRecords* records_ = nullptr;
    std::vector<const PresetMapRecord*> rows_;
    const PresetMapRecord* current_ = nullptr;
    // Paints the type shapes of the name column; never shown itself.
    std::unique_ptr<PresetMapButton> typeIcon_;
    SnapshotSlots snapshots_ = nullptr;
    std::unique_ptr<juce::TableListBox> table_;
};

} // namespace corvex
