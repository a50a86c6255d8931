// The common page of the LCD's patch and program browsing: two filter columns (caption, key box, values list,
// "All"), the New, Save, Save As and Delete tool-bar buttons and the result list. Everything it shows comes
// from one filter manager and is redrawn from that manager's posted messages alone.
#pragma once

#include <array>
#include <memory>

#include <juce_gui_basics/juce_gui_basics.h>

#include "editor/CorvanFilterList.h"
#include "editor/CorvanPresetPanelInterface.h"
#include "editor/CorvanResultList.h"
#include "presets/PresetFilterListeners.h"
#include "widgets/CvnLcdTextButton.h"
#include "widgets/CvnLcdToolBarDeleteButton.h"
#include "widgets/CvnLcdToolBarNewButton.h"
#include "widgets/CvnLcdToolBarSaveAsButton.h"
#include "widgets/CvnLcdToolBarSaveButton.h"
#include "widgets/MVPanel.h"

namespace corvex {

class MorvanePreset;
class MorvanePresetFilterManager;

// A drag container too: a result row can only be dragged while something above it is one.
class CorvanTemplatePanel : public MVPanel,
                            public CorvanPresetPanelInterface,
                            public juce::ComboBox::Listener,
                            public juce::Button::Listener,
                            public MorvanePresetFilterManagerListener,
                            public juce::DragAndDropContainer {
public:
    static constexpr int kColumns = 2;
    static constexpr const char* kNoFilter = "No Filter";

    // Where each child sits on a page of the given size.
    struct Layout {
        std::array<juce::Rectangle<int>, kColumns> captions, keyBoxes, filterLists, allButtons;
        juce::Rectangle<int> newButton, saveButton, saveAsButton, deleteButton, results;
    };
    static Layout layoutFor(int width, int height);

    ~CorvanTemplatePanel() override;

    virtual void refreshResults();
    virtual void fillFilterList(int filterIndex);
    virtual void selectFilterKey(int filterIndex);
    virtual void newPreset() = 0;
    virtual void save() = 0;
    virtual void saveAs() = 0;
    virtual void deleteSelected() = 0;
    // After every current-preset message, from any filter manager the page hears.
    virtual void currentPresetChanged() = 0;

    void resultRowSelected(int row) override;
    void presetFilterChanged(int id, int value, int value2, void* pointer) override;
    void buttonClicked(juce::Button* button) override;
    void comboBoxChanged(juce::ComboBox* box) override;
    void resized() override;

    MorvanePresetFilterManager* getFilterManager() const { return filters_; }
    CorvanFilterList* getFilterList(int i) const { return filterLists_[static_cast<size_t>(i)].get(); }
    CorvanResultList& getResultList() { return results_; }
    juce::ComboBox& getKeyBox(int i) { return keyBoxes_[static_cast<size_t>(i)]; }

protected:
    // gui is what the tool-bar buttons show their tooltips through.
    explicit CorvanTemplatePanel(MVGuiInterface* gui);

    // Binds the page to filters, which must outlive it: makes both filter lists, fills the key boxes with
    // the filter-category keys and the lists, listens, then shows each column's own key.
    void bindFilterManager(MorvanePresetFilterManager* filters);
    // Save and Delete only for a user preset: factory presets are never written over nor deleted here.
    void updateButtonStates();
    // Shows the current preset: clears the filters that hide it, then selects its row without loading it.
    void revealCurrentPreset();
    // After the preset that was at row went, another becomes current: the one now at that row, the one before
    // it at the end of the list, the manager's default one when the filters leave none.
    void selectAnotherPreset(int row);
    // A new preset takes the value chosen in each filter column, so that it stays in the filtered list. The
    // bank key is never written: a user file that claimed the factory bank could be neither saved nor deleted.
    void giveColumnValues(MorvanePreset* preset);
    // Selects a row of the result list without loading its preset; -1 deselects.
    void showResultRow(int row);

    MorvanePresetFilterManager* filters_ = nullptr;
    CvnLcdToolBarNewButton newButton_;
    CvnLcdToolBarSaveButton saveButton_;
    CvnLcdToolBarSaveAsButton saveAsButton_;
    CvnLcdToolBarDeleteButton deleteButton_;
    std::array<CvnLcdTextButton, kColumns> allButtons_{CvnLcdTextButton("All"), CvnLcdTextButton("All")};
    std::array<juce::Label, kColumns> captions_;
    std::array<juce::ComboBox, kColumns> keyBoxes_;
    std::array<std::unique_ptr<CorvanFilterList>, kColumns> filterLists_;
    CorvanResultList results_;
    bool updatingSelection_ = false;

private:
    void refreshUsedMarks();
};

} // namespace corvex
