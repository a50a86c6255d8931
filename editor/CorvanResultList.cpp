#include "editor/CorvanResultList.h"

#include "editor/CorvanPresetPanelInterface.h"
#include "widgets/CorvanLookAndFeel.h"

namespace corvex {

CorvanResultList::CorvanResultList(const juce::String& name, CorvanPresetPanelInterface* page)
    : CorvanLcdList(name), page_(page) {
    setModel(this);
}

CorvanResultList::~CorvanResultList() { setModel(nullptr); }

void CorvanResultList::setResults(const juce::StringArray& names) {
    names_ = names;
    updateContent();
    repaint();
}

void CorvanResultList::paintListBoxItem(int row, juce::Graphics& g, int width, int height, bool selected) {
    lcdLook().drawRoundedBox(g, names_[row], width, height, selected, true);
}

void CorvanResultList::selectedRowsChanged(int lastRow) {
    if (lastRow != -1 && page_ != nullptr) page_->resultRowSelected(lastRow);
}

juce::var CorvanResultList::getDragSourceDescription(const juce::SparseSet<int>&) {
    return juce::String(kPresetDragDescription);
}

} // namespace corvex
