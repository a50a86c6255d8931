#include "presetmap/view/CPresetListComponent.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>

#include "presetmap/CMorphEngine.h"
#include "presetmap/InstrumentType.h"
#include "widgets/CorvanLookAndFeel.h"

namespace corvex {

namespace {

// Slots North, East, South, West hold memories #2, #4, #3, #1.
constexpr std::array<int, kMorphSlots> kMemoryOfSlot = {2, 4, 3, 1};

constexpr std::array<const char*, kInstrumentTypeCount> kTypeNames = {
    "Other", "Pad", "Bass", "Lead", "Efx", "FM", "Brass", "Perc.", "Sequence", "Strings", "Guitar", "Keyboard"};

struct ListColumn {
    int id;
    const char* header;
    int width;
};
constexpr ListColumn kColumns[] = {
    {CPresetListComponent::kName, "Name", 235},
    {CPresetListComponent::kInstrument, "Instrument", 80},
    {CPresetListComponent::kAuthor, "Author", 125},
    {CPresetListComponent::kSnap, "Snap", 60},
};

constexpr int kListSize = 512;
constexpr int kIconSize = 12;
constexpr int kIconOffsetX = 2;
constexpr int kIconOffsetY = 4;
constexpr int kNameTextStart = 16;

int compareRows(const PresetMapRecord& a, const PresetMapRecord& b, int column, SnapshotSlots snapshots) {
    switch (column) {
    // strcmp compares as unsigned characters: case-sensitive, byte by byte.
    case CPresetListComponent::kName: return std::strcmp(a.name, b.name);
    case CPresetListComponent::kInstrument: return a.type - b.type;
    case CPresetListComponent::kAuthor: return std::strcmp(a.author, b.author);
    case CPresetListComponent::kSnap:
        return snapshotMemoryNumber(&a, snapshots) - snapshotMemoryNumber(&b, snapshots);
    default: return 0;
    }
}

} // namespace

int snapshotMemoryNumber(const PresetMapRecord* record, SnapshotSlots snapshots) {
    if (record == nullptr || snapshots == nullptr) return 0;
    for (int slot = 0; slot < kMorphSlots; ++slot)
        if (snapshots[slot] == record) return kMemoryOfSlot[static_cast<size_t>(slot)];
    return 0;
}

std::vector<const PresetMapRecord*> presetListRows(const PresetMapRecords& records, int mask, int column,
                                                   SnapshotSlots snapshots) {
    std::vector<const PresetMapRecord*> rows;
    for (const PresetMapRecord& record : records)
        if (typeInMask(mask, record.type)) rows.push_back(&record);
    if (column != 0) {
        const int by = std::abs(column);
        const bool descending = column < 0;
        std::stable_sort(rows.begin(), rows.end(), [=](const PresetMapRecord* a, const PresetMapRecord* b) {
            const int result = compareRows(*a, *b, by, snapshots);
            return descending ? result > 0 : result < 0;
        });
    }
    return rows;
}

juce::String presetListCellText(const PresetMapRecord& record, int column, SnapshotSlots snapshots) {
    switch (column) {
    case CPresetListComponent::kName: return juce::String::fromUTF8(record.name);
    case CPresetListComponent::kInstrument:
        return record.type >= 0 && record.type < kInstrumentTypeCount ? kTypeNames[static_cast<size_t>(record.type)]
                                                                        : "";
    case CPresetListComponent::kAuthor: return juce::String::fromUTF8(record.author);
    case CPresetListComponent::kSnap: {
        const int memory = snapshotMemoryNumber(&record, snapshots);
        return memory > 0 ? "*" + juce::String(memory) : "  ";
    }
    default: return {};
    }
}

CPresetListComponent::CPresetListComponent() : typeMask_(kAllInstrumentTypes) {
    // The product's look answers the list's colours.
    setLookAndFeel(CorvanLookAndFeel::getInstance());
    table_ = std::make_unique<juce::TableListBox>("preset list", this);
    table_->setName("presets");
    table_->setColour(juce::ListBox::outlineColourId, juce::Colour(0xFF808080));
    table_->setOutlineThickness(1);
    for (const ListColumn& column : kColumns)
        table_->getHeader().addColumn(column.header, column.id, column.width);
    addAndMakeVisible(*table_);
    typeIcon_ = std::make_unique<PresetMapButton>(nullptr, 0);
    typeIcon_->setSize(kIconSize, kIconSize);
    setSize(kListSize, kListSize);
}

CPresetListComponent::~CPresetListComponent() {
    table_.reset();
    typeIcon_.reset();
    setLookAndFeel(nullptr);
}

int CPresetListComponent::getNumRows() { return static_cast<int>(rows_.size()); }

const PresetMapRecord* CPresetListComponent::getRowRecord(int row) const {
    return row >= 0 && row < static_cast<int>(rows_.size()) ? rows_[static_cast<size_t>(row)] : nullptr;
}

void CPresetListComponent::paintRowBackground(juce::Graphics& g, int row, int, int, bool) {
    // The table's own selection is ignored: only the browser's current preset is marked.
    const PresetMapRecord* record = getRowRecord(row);
    if (record == nullptr || record != current_) return;
    const juce::Colour text = getLookAndFeel().findColour(juce::ListBox::textColourId);
    if (!text.isTransparent()) g.fillAll(text);
}

void CPresetListComponent::paintCell(juce::Graphics& g, int row, int column, int width, int height, bool) {
    const PresetMapRecord* record = getRowRecord(row);
    if (record == nullptr) return;
    const bool isCurrent = record == current_;
    int x0 = 0;
    if (column == kName) {
        typeIcon_->setType(record->type);
        typeIcon_->setToggleState(isCurrent, juce::dontSendNotification);
        {
            const juce::Graphics::ScopedSaveState state(g);
            g.setOrigin(kIconOffsetX, kIconOffsetY);
            typeIcon_->paintButton(g, false, false);
        }
        x0 = kNameTextStart;
    }
    // The current row is drawn inverted.
    g.setColour(getLookAndFeel().findColour(isCurrent ? juce::ListBox::backgroundColourId : juce::ListBox::textColourId));
    g.drawText(presetListCellText(*record, column, snapshots_), x0 + 2, 0, width - x0 - 4, height,
               juce::Justification::centredLeft, true);
    g.setColour(juce::Colours::black.withAlpha(0.2f));
    g.fillRect(width - 1, 0, 1, height);
}

void CPresetListComponent::sortOrderChanged(int column, bool forwards) {
    sortColumn_ = forwards ? column : -column;
    rebuildRows();
}

void CPresetListComponent::selectedRowsChanged(int lastRow) {
    const PresetMapRecord* record = getRowRecord(lastRow);
    if (record == nullptr || record == current_) return;
    if (selector_ != nullptr) selector_->setCurrentRecord(record);
    current_ = record;
    table_->repaint();
}

void CPresetListComponent::rebuildRows() {
    if (records_ != nullptr)
        rows_ = presetListRows(*records_, typeMask_, sortColumn_, snapshots_);
    else
        rows_.clear();
    table_->updateContent();
    table_->repaint();
}

void CPresetListComponent::showCurrentRecord(const PresetMapRecord* record) {
    current_ = record;
    const auto at = std::find(rows_.begin(), rows_.end(), record);
    if (record != nullptr && at != rows_.end())
        table_->selectRow(static_cast<int>(at - rows_.begin()), false, true);
    table_->repaint();
}

void CPresetListComponent::paint(juce::Graphics& g) { g.fillAll(juce::Colour(0xFF292B2A)); }

void CPresetListComponent::resized() { table_->setBounds(0, 0, kListSize, kListSize); }

} // namespace corvex
