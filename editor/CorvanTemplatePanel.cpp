#include "editor/CorvanTemplatePanel.h"

#include <algorithm>

#include "presets/MorvanePresetFilterManager.h"
#include "widgets/CorvanLookAndFeel.h"

namespace corvex {

namespace {
constexpr int kRowTop = 10, kKeyTop = 24, kListTop = 48, kBarHeight = 14;
constexpr int kToolSize = 24, kToolStep = 39, kResultsTop = 44;
const char* const kCaptionNames[] = {"Filter 1 Label", "Filter 2 Label"};
const char* const kCaptionTexts[] = {"Filter 1:", "Filter 2:"};
const char* const kKeyBoxNames[] = {"Filter 1", "Filter 2"};
} // namespace

CorvanTemplatePanel::Layout CorvanTemplatePanel::layoutFor(int width, int height) {
    const int u = width / 22;
    const int five = static_cast<int>(5.0 * u);
    const int columnX[kColumns] = {u, five + 2 * u};
    Layout layout;
    for (size_t c = 0; c < kColumns; ++c) {
        layout.captions[c] = {columnX[c], kRowTop, five, kBarHeight};
        layout.keyBoxes[c] = {columnX[c], kKeyTop, five, kBarHeight};
        layout.filterLists[c] = {columnX[c], kListTop, five, height - 67};
        layout.allButtons[c] = {columnX[c], height - 19, five, kBarHeight};
    }
    const int toolsX = 2 * five + 3 * u;
    layout.newButton = {toolsX, kRowTop, kToolSize, kToolSize};
    layout.saveButton = layout.newButton.translated(kToolStep, 0);
    layout.saveAsButton = layout.newButton.translated(2 * kToolStep, 0);
    layout.deleteButton = layout.newButton.translated(3 * kToolStep, 0);
    layout.results = {toolsX, kResultsTop, static_cast<int>(8.0 * u), height - 54};
    return layout;
}

CorvanTemplatePanel::CorvanTemplatePanel(MVGuiInterface* gui)
    : newButton_("NewButton", gui),
      saveButton_("SaveButton", gui),
      saveAsButton_("SaveAsButton", gui),
      deleteButton_("DeleteButton", gui),
      results_("Results:", this) {
    CorvanLookAndFeel* look = CorvanLookAndFeel::getInstance();
    setLookAndFeel(look);
    for (juce::Button* tool : std::initializer_list<juce::Button*>{&newButton_, &saveButton_, &saveAsButton_,
                                                                  &deleteButton_}) {
        tool->addListener(this);
        addAndMakeVisible(*tool);
    }
    for (size_t c = 0; c < kColumns; ++c) {
        allButtons_[c].setName("All");
        allButtons_[c].setButtonText("All");
        allButtons_[c].addListener(this);
        addAndMakeVisible(allButtons_[c]);
    }
    for (size_t c = 0; c < kColumns; ++c) {
        captions_[c].setName(kCaptionNames[c]);
        captions_[c].setText(kCaptionTexts[c], juce::dontSendNotification);
        captions_[c].setFont(juce::Font(static_cast<float>(look->getDefaultFontHeight())));
        captions_[c].setJustificationType(juce::Justification::centredLeft);
        addAndMakeVisible(captions_[c]);
    }
    for (size_t c = 0; c < kColumns; ++c) {
        keyBoxes_[c].setName(kKeyBoxNames[c]);
        keyBoxes_[c].addItem(kNoFilter, 1);
        keyBoxes_[c].addListener(this);
        keyBoxes_[c].setSelectedId(1, juce::dontSendNotification);
        addAndMakeVisible(keyBoxes_[c]);
    }
    addAndMakeVisible(results_);
}

CorvanTemplatePanel::~CorvanTemplatePanel() {
    if (filters_ != nullptr) filters_->removeListener(this);
    setLookAndFeel(nullptr);
}

void CorvanTemplatePanel::bindFilterManager(MorvanePresetFilterManager* filters) {
    filters_ = filters;
    MorvanePresetManager* manager = filters->getPresetManager();
    juce::StringArray keys, indexed;
    manager->getAttributeKeys(keys);
    manager->getIndexedKeys(indexed);
    std::array<int, kColumns> columnItem{-1, -1};
    for (int i = 0; i < keys.size(); ++i) {
        const juce::String& key = keys[i];
        if (!manager->getAttributeFlagBit2(key)) continue;
        // Ids follow the key's place among all keys, so that a key keeps its id whatever is listed.
        const int id = i + 2;
        for (size_t c = 0; c < kColumns; ++c) {
            keyBoxes_[c].addItem(key, id);
            if (!indexed.contains(key))
                keyBoxes_[c].setItemEnabled(id, false);
            else if (key == filters->getColumnKey(static_cast<int>(c)))
                columnItem[c] = id;
        }
    }
    for (size_t c = 0; c < kColumns; ++c) {
        filterLists_[c] = std::make_unique<CorvanFilterList>("See only:", filters, static_cast<int>(c));
        addAndMakeVisible(*filterLists_[c]);
    }
    resized();
    for (int c = 0; c < kColumns; ++c) fillFilterList(c);
    refreshResults();
    filters->addListener(this);
    updateButtonStates();
    for (size_t c = 0; c < kColumns; ++c)
        if (columnItem[c] != -1) keyBoxes_[c].setSelectedId(columnItem[c], juce::sendNotificationSync);
}

void CorvanTemplatePanel::refreshResults() {
    if (filters_ == nullptr) return;
    juce::StringArray names;
    filters_->getPresetDisplayNames(names);
    results_.setResults(names);
    showResultRow(filters_->indexOfPreset(filters_->getCurrentPreset()));
}

void CorvanTemplatePanel::showResultRow(int row) {
    if (row == -1) {
        results_.deselectAllRows();
        return;
    }
    if (results_.getSelectedRow() == row) return;
    // The row shows the preset already current: selecting it must not load it again.
    updatingSelection_ = true;
    results_.selectRow(row);
    updatingSelection_ = false;
}

void CorvanTemplatePanel::selectFilterKey(int filterIndex) {
    if (filters_ == nullptr) return;
    const juce::String key = filters_->getFilterText(filterIndex);
    juce::ComboBox& box = keyBoxes_[static_cast<size_t>(filterIndex)];
    if (key.isEmpty()) {
        box.setSelectedItemIndex(0, juce::dontSendNotification);
        return;
    }
    int found = -1;
    for (int item = 0; item < box.getNumItems() && found == -1; ++item)
        if (box.getItemText(item) == key) found = item;
    if (found == -1)
        box.setSelectedId(0, juce::dontSendNotification);
    else
        box.setSelectedItemIndex(found, juce::dontSendNotification);
}

void CorvanTemplatePanel::fillFilterList(int filterIndex) {
    CorvanFilterList* list = getFilterList(filterIndex);
    if (filters_ == nullptr || list == nullptr) return;
    const juce::String key = filters_->getFilterText(filterIndex);
    list->clear();
    if (key.isNotEmpty() && key != kNoFilter) {
        juce::StringArray all, used;
        filters_->getPresetManager()->getAttributeValueList(key, all);
        filters_->getPresetManager()->getUsedAttributeValues(key, used);
        for (const juce::String& value : all) list->setRowUsed(list->addValue(value), used.contains(value));
    }
    list->selectFilterValues();
}

void CorvanTemplatePanel::refreshUsedMarks() {
    for (int c = 0; c < kColumns; ++c) {
        CorvanFilterList* list = getFilterList(c);
        if (list == nullptr) continue;
        const juce::String key = keyBoxes_[static_cast<size_t>(c)].getText();
        juce::StringArray all, used;
        if (key.isNotEmpty() && key != kNoFilter) {
            filters_->getPresetManager()->getAttributeValueList(key, all);
            filters_->getPresetManager()->getUsedAttributeValues(key, used);
        }
        list->replaceValues(all, used);
    }
}

void CorvanTemplatePanel::updateButtonStates() {
    MorvanePreset* current = filters_ != nullptr ? filters_->getCurrentPreset() : nullptr;
    const bool user = current != nullptr && current->isUserPreset();
    saveButton_.setEnabled(user);
    deleteButton_.setEnabled(user);
}

void CorvanTemplatePanel::revealCurrentPreset() {
    if (filters_ == nullptr) return;
    MorvanePreset* current = filters_->getCurrentPreset();
    if (filters_->indexOfPreset(current) != -1) return;
    for (size_t c = 0; c < kColumns; ++c)
        if (keyBoxes_[c].getText() != kNoFilter && filterLists_[c] != nullptr) filterLists_[c]->clearFilter();
    showResultRow(filters_->indexOfPreset(current));
}

void CorvanTemplatePanel::selectAnotherPreset(int row) {
    filters_->markListDirty();
    const int count = filters_->getNumPresets();
    MorvanePreset* next = count > 0 ? filters_->getPreset(std::clamp(row, 0, count - 1))
                                    : filters_->getPresetManager()->getDefaultPreset();
    if (next != nullptr) filters_->setCurrentPreset(next, false);
}

void CorvanTemplatePanel::giveColumnValues(MorvanePreset* preset) {
    if (preset == nullptr) return;
    for (size_t c = 0; c < kColumns; ++c) {
        const juce::String key = keyBoxes_[c].getText();
        if (key.isEmpty() || key == kNoFilter || key == MorvanePreset::kBankKey || filterLists_[c] == nullptr)
            continue;
        const juce::StringArray chosen = filterLists_[c]->getSelectedValues();
        // Nothing chosen leaves the attribute as the preset was made (a patch keeps its key mode).
        if (!chosen.isEmpty()) preset->setAttribute(key, chosen[0], true);
    }
}

void CorvanTemplatePanel::resultRowSelected(int row) {
    if (updatingSelection_ || filters_ == nullptr) return;
    if (MorvanePreset* preset = filters_->getPreset(row)) filters_->setCurrentPreset(preset, false);
}

void CorvanTemplatePanel::presetFilterChanged(int id, int value, int, void*) {
    const bool column = value >= 0 && value < kColumns;
    switch (id) {
    case MorvanePresetFilterManager::kCriteriaChanged:
        if (column && getFilterList(value) != nullptr) getFilterList(value)->selectFilterValues();
        refreshResults();
        break;
    case MorvanePresetManager::kRenamed:
    case MorvanePresetManager::kAdded:
    case MorvanePresetManager::kReverted:
    case MorvanePresetManager::kSaved:
    case MorvanePresetManager::kLoaded:
        refreshResults();
        break;
    case MorvanePresetManager::kChanged:
        refreshUsedMarks();
        break;
    case MorvanePresetFilterManager::kCurrentPresetChanged:
        if (filters_ != nullptr && value == filters_->getId()) updateButtonStates();
        currentPresetChanged();
        break;
    case MorvanePresetManager::kDeleted:
        refreshResults();
        fillFilterList(0);
        fillFilterList(1);
        break;
    case MorvanePresetFilterManager::kFilterTextSet:
        if (column) {
            selectFilterKey(value);
            fillFilterList(value);
        }
        break;
    default:
        break;
    }
}

void CorvanTemplatePanel::buttonClicked(juce::Button* button) {
    if (button == &newButton_)
        newPreset();
    else if (button == &saveButton_)
        save();
    else if (button == &saveAsButton_)
        saveAs();
    else if (button == &deleteButton_)
        deleteSelected();
    for (size_t c = 0; c < kColumns; ++c)
        if (button == &allButtons_[c] && filterLists_[c] != nullptr) filterLists_[c]->clearFilter();
}

void CorvanTemplatePanel::comboBoxChanged(juce::ComboBox* box) {
    if (filters_ == nullptr) return;
    const int i = box == &keyBoxes_[0] ? 0 : 1;
    const juce::String key = box->getText();
    if (key == kNoFilter) {
        filters_->setFilterText(i, {});
        filters_->setFilterValues(i, {});
        return;
    }
    // Values chosen under another key would filter this key by words it never holds, hiding every preset.
    const bool keyChanged = filters_->getFilterText(i) != key;
    filters_->setFilterText(i, key);
    if (keyChanged) filters_->setFilterValues(i, {});
}

void CorvanTemplatePanel::resized() {
    const Layout layout = layoutFor(getWidth(), getHeight());
    for (size_t c = 0; c < kColumns; ++c) {
        captions_[c].setBounds(layout.captions[c]);
        keyBoxes_[c].setBounds(layout.keyBoxes[c]);
        allButtons_[c].setBounds(layout.allButtons[c]);
        if (filterLists_[c] != nullptr) filterLists_[c]->setBounds(layout.filterLists[c]);
    }
    newButton_.setBounds(layout.newButton);
    saveButton_.setBounds(layout.saveButton);
    saveAsButton_.setBounds(layout.saveAsButton);
    deleteButton_.setBounds(layout.deleteButton);
    results_.setBounds(layout.results);
}

} // namespace corvex
