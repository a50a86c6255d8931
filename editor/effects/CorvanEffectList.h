// The list of effect types on the left of an effect frame, one LCD row per type.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include "editor/effects/CorvanEffectsPanelInterface.h"

namespace corvex {

// Message thread only.
class CorvanEffectList : public juce::ListBox, private juce::ListBoxModel {
public:
    // Six types fit the frames' 120-pixel list without a scroll bar.
    static constexpr int kRowHeight = 20;

    // owner hears every change of the selected row and must outlive the list.
    CorvanEffectList(const juce::String& name, CorvanEffectsPanelInterface* owner);
    ~CorvanEffectList() override;
    CorvanEffectList(const CorvanEffectList&) = delete;
    CorvanEffectList& operator=(const CorvanEffectList&) = delete;

    void setItems(const juce::StringArray& items);
    const juce::StringArray& getItems() const { return items_; }
    // The text of the first selected row, or empty.
    juce::String getSelectedText() const;

private:
    int getNumRows() override;
    void paintListBoxItem(int row, juce::Graphics& g, int width, int height, bool selected) override;
    void selectedRowsChanged(int lastRowSelected) override;

    juce::StringArray items_;
    CorvanEffectsPanelInterface* owner_;
};

} // namespace corvex
