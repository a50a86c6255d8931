// A program browsing page of the LCD's "Presets" tab: one layer's programs through its program filter manager.
#pragma once

#include "editor/CorvanTemplatePanel.h"

namespace corvex {

class CorvanMultiFilterManager;
class ModalCalls;

class CorvanProgramPanel : public CorvanTemplatePanel {
public:
    static constexpr const char* kDeleteTitle = "Delete Program";
    static constexpr const char* kSaveAsTitle = "Program Save As...";

    // calls opens the dialogs and must outlive the page.
    CorvanProgramPanel(MVGuiInterface* gui, ModalCalls& calls);

    // The question before a program goes, naming the other patches that play it.
    static juce::String deleteQuestion(const juce::StringArray& otherPatches);

    // Both filter managers must outlive the page; patches finds the patches that play a program.
    void initialise(MorvanePresetFilterManager* programs, CorvanMultiFilterManager* patches);

    void newPreset() override;
    void save() override;
    // A user copy of the current program with the dialog's name, type and characteristics, made current.
    void saveAs() override;
    void deleteSelected() override;
    void currentPresetChanged() override { revealCurrentPreset(); }

private:
    ModalCalls& calls_;
    CorvanMultiFilterManager* patches_ = nullptr;
};

} // namespace corvex
