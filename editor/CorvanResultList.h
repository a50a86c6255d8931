// The names of the presets that pass a page's filters; selecting a row tells the page, which loads it. A row
// can be dragged onto a filter list.
#pragma once

#include "editor/CorvanLcdList.h"

namespace corvex {

class CorvanPresetPanelInterface;

class CorvanResultList : public CorvanLcdList, public juce::ListBoxModel {
public:
    CorvanResultList(const juce::String& name, CorvanPresetPanelInterface* page);
    ~CorvanResultList() override;

    void setResults(const juce::StringArray& names);
    const juce::StringArray& getResults() const { return names_; }

    int getNumRows() override { return names_.size(); }
    void paintListBoxItem(int row, juce::Graphics& g, int width, int height, bool selected) override;
    void selectedRowsChanged(int lastRow) override;
    juce::var getDragSourceDescription(const juce::SparseSet<int>& rows) override;

private:
    juce::StringArray names_;
    CorvanPresetPanelInterface* page_;
};

} // namespace corvex
