// One filter column of a preset page: the values of one attribute key, of which the user picks the one that
// presets must carry. Values no preset uses are drawn as plain grey text and never filter. A result row
// dropped on a row acts as a click on that value; dropped below the rows, it clears the filter.
#pragma once

#include <vector>

#include "editor/CorvanLcdList.h"

namespace corvex {

class MorvanePresetFilterManager;

class CorvanFilterList : public CorvanLcdList, public juce::ListBoxModel, public juce::DragAndDropTarget {
public:
    // The filter manager must outlive the list; filterIndex is the column it writes.
    CorvanFilterList(const juce::String& name, MorvanePresetFilterManager* filters, int filterIndex);
    ~CorvanFilterList() override;

    // Empties the list without touching the filter: its stored values stay until the user picks a row.
    void clear();
    // A used value; returns its row.
    int addValue(const juce::String& text);
    void setRowUsed(int row, bool used);
    bool isRowUsed(int row) const { return row >= 0 && row < static_cast<int>(used_.size()) && used_[row]; }
    // The rows become values, each used when used holds it; the selection stays where it was.
    void replaceValues(const juce::StringArray& values, const juce::StringArray& used);
    const juce::StringArray& getValues() const { return values_; }
    juce::StringArray getSelectedValues() const;
    // Shows the filter's stored values as the selection, without writing them back.
    void selectFilterValues();
    // Deselects every row and lets every preset pass this filter.
    void clearFilter();
    int getDropRow() const { return dropRow_; }
    int getFilterIndex() const { return filterIndex_; }

    int getNumRows() override { return values_.size(); }
    void paintListBoxItem(int row, juce::Graphics& g, int width, int height, bool selected) override;
    void selectedRowsChanged(int lastRow) override;

    bool isInterestedInDragSource(const SourceDetails& details) override;
    void itemDragEnter(const SourceDetails& details) override;
    void itemDragMove(const SourceDetails& details) override;
    void itemDragExit(const SourceDetails& details) override;
    void itemDropped(const SourceDetails& details) override;

private:
    int rowUnder(const SourceDetails& details) const;
    // Moves the selection without the filter manager hearing of it.
    template <typename Move>
    void quietly(Move move) {
        const bool was = notify_;
        notify_ = false;
        move();
        notify_ = was;
    }

    juce::StringArray values_;
    std::vector<bool> used_;
    int dropRow_ = -1;
    MorvanePresetFilterManager* filters_;
    int filterIndex_;
    bool notify_ = true;
};

} // namespace corvex
