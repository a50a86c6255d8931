#include "editor/effects/CorvanEffectList.h"

#include "widgets/CorvanLookAndFeel.h"

namespace corvex {

CorvanEffectList::CorvanEffectList(const juce::String& name, CorvanEffectsPanelInterface* owner)
    : juce::ListBox(name), owner_(owner) {
    setModel(this);
    setRowHeight(kRowHeight);
}

CorvanEffectList::~CorvanEffectList() { setModel(nullptr); }

void CorvanEffectList::setItems(const juce::StringArray& items) {
    items_ = items;
    updateContent();
    repaint();
}

juce::String CorvanEffectList::getSelectedText() const {
    const int row = getSelectedRow(0);
    return juce::isPositiveAndBelow(row, items_.size()) ? items_[row] : juce::String();
}

int CorvanEffectList::getNumRows() { return items_.size(); }

void CorvanEffectList::paintListBoxItem(int row, juce::Graphics& g, int width, int height, bool selected) {
    if (!juce::isPositiveAndBelow(row, items_.size())) return;
    CorvanLookAndFeel::getInstance()->drawRoundedBox(g, items_[row], width, height, selected, true);
}

void CorvanEffectList::selectedRowsChanged(int lastRowSelected) {
    if (owner_ == nullptr) return;
    owner_->effectSelected(juce::isPositiveAndBelow(lastRowSelected, items_.size()) ? items_[lastRowSelected]
                                                                                     : juce::String());
}

} // namespace corvex
