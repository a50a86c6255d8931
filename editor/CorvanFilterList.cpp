#include "editor/CorvanFilterList.h"

#include "presets/MorvanePresetFilterManager.h"
#include "widgets/CorvanLookAndFeel.h"

namespace corvex {

CorvanFilterList::CorvanFilterList(const juce::String& name, MorvanePresetFilterManager* filters, int filterIndex)
    : CorvanLcdList(name), filters_(filters), filterIndex_(filterIndex) {
    setModel(this);
}

CorvanFilterList::~CorvanFilterList() { setModel(nullptr); }

void CorvanFilterList::clear() {
    quietly([this] {
        values_.clear();
        used_.clear();
        updateContent();
    });
}

int CorvanFilterList::addValue(const juce::String& text) {
    values_.add(text);
    used_.push_back(true);
    updateContent();
    return values_.size() - 1;
}

void CorvanFilterList::setRowUsed(int row, bool used) {
    if (row < 0 || row >= static_cast<int>(used_.size())) return;
    used_[static_cast<size_t>(row)] = used;
    repaintRow(row);
}

void CorvanFilterList::replaceValues(const juce::StringArray& values, const juce::StringArray& used) {
    quietly([&] {
        values_ = values;
        used_.clear();
        for (const juce::String& value : values_) used_.push_back(used.contains(value));
        updateContent();
        repaint();
    });
}

juce::StringArray CorvanFilterList::getSelectedValues() const {
    juce::StringArray selected;
    for (int row = 0; row < values_.size(); ++row)
        if (isRowSelected(row)) selected.add(values_[row]);
    return selected;
}

void CorvanFilterList::selectFilterValues() {
    if (filters_ == nullptr) return;
    const juce::StringArray stored = filters_->getFilterValues(filterIndex_);
    // Written back, the selection would echo a message of its own and, with one row shown, drop every stored
    // value but that row's.
    quietly([&] {
        for (int row = 0; row < values_.size(); ++row)
            if (isRowSelected(row) && !stored.contains(values_[row])) deselectRow(row);
        for (const juce::String& value : stored)
            if (const int row = values_.indexOf(value); row >= 0) selectRow(row);
    });
}

void CorvanFilterList::clearFilter() {
    quietly([this] { deselectAllRows(); });
    // Told even when no row was selected: the filter may hold a value this list does not show.
    if (filters_ != nullptr) filters_->setFilterValues(filterIndex_, {});
}

void CorvanFilterList::paintListBoxItem(int row, juce::Graphics& g, int width, int height, bool selected) {
    lcdLook().drawRoundedBox(g, values_[row], width, height, selected, isRowUsed(row));
}

void CorvanFilterList::selectedRowsChanged(int lastRow) {
    if (!notify_ || filters_ == nullptr) return;
    // A value no preset carries would hide every preset: choosing it filters nothing.
    if (lastRow == -1 || isRowUsed(lastRow)) filters_->setFilterValues(filterIndex_, getSelectedValues());
}

bool CorvanFilterList::isInterestedInDragSource(const SourceDetails& details) {
    return details.description.toString() == kPresetDragDescription;
}

int CorvanFilterList::rowUnder(const SourceDetails& details) const {
    const int y = details.localPosition.y;
    if (y < 0 || y >= getHeight()) return -1;
    return getRowContainingPosition(getWidth() / 2, y);
}

void CorvanFilterList::itemDragEnter(const SourceDetails& details) {
    dropRow_ = rowUnder(details);
    repaint();
}

void CorvanFilterList::itemDragMove(const SourceDetails& details) { dropRow_ = rowUnder(details); }

void CorvanFilterList::itemDragExit(const SourceDetails&) {
    dropRow_ = -1;
    repaint();
}

void CorvanFilterList::itemDropped(const SourceDetails& details) {
    dropRow_ = rowUnder(details);
    if (dropRow_ >= 0)
        selectRow(dropRow_);
    else
        clearFilter();
    repaint();
}

} // namespace corvex
