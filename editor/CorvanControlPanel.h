// The skinned front panel: every knob, slider, switch and LED of the instrument on the panel picture, made,
// bound and labelled from the one table in FrontPanelLayout.h, with the keyboard and its split marker, the
// small LCD, the five button groups, the sixteen preferred-patch LEDs and the project import and export LEDs.
// Layer widgets are bound to Upper indices; the editor folds them into the layer shown.
#pragma once

#include <array>
#include <memory>
#include <vector>

#include "editor/CorvanSmallLcd.h"
#include "editor/FrontPanelLayout.h"
#include "presets/PresetFilterListeners.h"
#include "widgets/CorvanKeyboard.h"
#include "widgets/CorvanMoveSplitComponent.h"
#include "widgets/MVButtonGroup.h"
#include "widgets/MVPanel.h"

namespace corvex {

class CorvanMultiFilterManager;
class ModalCalls;

// Message thread only. The GUI interface, the patches and the modal calls must outlive the panel.
class CorvanControlPanel : public MVPanel, private juce::Button::Listener, public MorvanePresetFilterManagerListener {
public:
    static constexpr int kPreferredSlots = 16;
    static constexpr float kLabelFontHeight = 9.0f;
    static constexpr float kTitleFontHeight = 10.0f;

    CorvanControlPanel(MVGuiInterface* gui, CorvanMultiFilterManager* patches, ModalCalls& calls);
    ~CorvanControlPanel() override;
    CorvanControlPanel(const CorvanControlPanel&) = delete;
    CorvanControlPanel& operator=(const CorvanControlPanel&) = delete;

    // The fonts the panel writes with: the product's face, so that every machine draws the same labels.
    static juce::Font labelFont();
    static juce::Font titleFont();

    void paint(juce::Graphics& g) override;
    void modifierKeysChanged(const juce::ModifierKeys& modifiers) override;
    void presetFilterChanged(int id, int value, int value2, void* pointer) override;
    // Lights the preferred LEDs whose slots hold the current patch; only the patches' id (2) is heard.
    void refreshPreferedLeds(int kind);

    // Row i of frontpanel::kRows.
    juce::Component* getWidget(int row) const { return widgets_[static_cast<size_t>(row)].get(); }
    juce::Button* getPreferredLed(int slot) const { return preferred_[static_cast<size_t>(slot)]; }
    juce::Button* getImportLed() const { return importLed_; }
    juce::Button* getExportLed() const { return exportLed_; }
    // Null for an index no group is bound to.
    MVButtonGroup* getGroup(int index) const;
    CorvanKeyboard& getKeyboard() { return keyboard_; }
    CorvanMoveSplitComponent& getSplitMarker() { return *splitMarker_; }
    CorvanSmallLcd& getSmallLcd() { return *smallLcd_; }
    bool isStoreMode() const { return storeMode_; }

private:
    void buttonClicked(juce::Button* button) override;

    MVGuiInterface* const gui_;
    CorvanMultiFilterManager* const patches_;
    ModalCalls& calls_;
    std::vector<std::unique_ptr<juce::Component>> widgets_;
    std::vector<std::unique_ptr<MVButtonGroup>> groups_;
    std::array<juce::Button*, kPreferredSlots> preferred_{};
    juce::Button* importLed_ = nullptr;
    juce::Button* exportLed_ = nullptr;
    CorvanKeyboard keyboard_;
    std::unique_ptr<CorvanMoveSplitComponent> splitMarker_;
    std::unique_ptr<CorvanSmallLcd> smallLcd_;
    bool storeMode_ = false;
};

} // namespace corvex
