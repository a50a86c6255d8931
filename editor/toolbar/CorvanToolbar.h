// The strip at the top of the editor: the patch list with its two search menus, previous and next, save and
// save as, the MIDI channel, LED and CPU meter, polyphony, note priority and unison, the preset map button and
// the two buttons that show and hide the LCD. The list mirrors the patch filter manager and keeps no copy.
#pragma once

#include <array>
#include <functional>
#include <memory>

#include "editor/toolbar/CorvanMapActionHandler.h"
#include "presets/PresetFilterListeners.h"
#include "widgets/MVPanel.h"
#include "widgets/PanelLayout.h"

namespace corvex {

class CorvanAudioFilter;
class CorvanMidiChannelChooser;
class CorvanMultiFilterManager;
class CvnCpuLevel;
class CvnLcdComboBox;
class CvnLcdNumericalSwitch;
class CvnLcdTextButton;
class CvnMidiLed;
class MVGuiInterface;
class ModalCalls;

// Message thread only. The GUI interface, the patches, the instrument and the modal calls must outlive it.
class CorvanToolbar : public MVPanel,
                      private juce::Button::Listener,
                      public MorvanePresetFilterManagerListener,
                      private juce::ComboBox::Listener {
public:
    // The children in the order of the layout table.
    enum Child {
        kSave, kSaveAs, kSearch1, kSearch2, kPresets, kUp, kDown, kChannel, kMidiLed, kPolyphony, kPriority,
        kUnison, kCpu, kMap, kLcdShow, kLcdHide, kChildCount
    };
    static constexpr PanelRect kLayout[kChildCount] = {
        {4, 1, 30, 22},   {36, 1, 30, 22},  {80, 2, 116, 20}, {201, 2, 116, 20}, {324, 2, 130, 20}, {458, 2, 15, 9},
        {458, 11, 15, 9}, {516, 2, 30, 20}, {550, 7, 10, 10}, {598, 2, 36, 20},  {698, 2, 44, 20},  {782, 2, 36, 20},
        {830, 1, 50, 20}, {893, 1, 37, 22}, {939, 1, 37, 22}, {977, 1, 37, 22}};
    static constexpr int kLcdRadioGroup = 1;

    // showLcd is told true or false by the two LCD buttons; the map handler may be null.
    CorvanToolbar(MVGuiInterface* gui, CorvanMultiFilterManager* patches, CorvanAudioFilter* instrument,
                  ModalCalls& calls, std::unique_ptr<CorvanMapActionHandler> mapHandler,
                  std::function<void(bool)> showLcd);
    ~CorvanToolbar() override;
    CorvanToolbar(const CorvanToolbar&) = delete;
    CorvanToolbar& operator=(const CorvanToolbar&) = delete;

    void presetFilterChanged(int id, int value, int value2, void* pointer) override;
    void paint(juce::Graphics& g) override;

    juce::Component* getChild(Child child) const { return children_[static_cast<size_t>(child)]; }
    juce::ComboBox& getPresetCombo() { return *presetCombo_; }
    juce::Button& getButton(Child child) const;
    // The menu search button n opens, as it was last built.
    const juce::PopupMenu& getSearchMenu(int n) const { return searchMenus_[static_cast<size_t>(n)]; }

private:
    void buttonClicked(juce::Button* button) override;
    void comboBoxChanged(juce::ComboBox* box) override;
    void buildSearchMenu(int n);
    void runSearchMenu(int n);
    void updateSearchButton(int column);
    void refreshPresetCombo();
    void selectCurrentInCombo();
    void stepPreset(int delta);
    void adopt(Child child, std::unique_ptr<juce::Component> component);

    MVGuiInterface* const gui_;
    CorvanMultiFilterManager* const patches_;
    CorvanAudioFilter* const instrument_;
    ModalCalls& calls_;
    std::unique_ptr<CorvanMapActionHandler> mapHandler_;
    std::function<void(bool)> showLcd_;
    juce::Image background_;
    std::array<juce::PopupMenu, 2> searchMenus_;
    std::array<std::unique_ptr<juce::Component>, kChildCount> owned_;
    std::array<juce::Component*, kChildCount> children_{};
    juce::ComboBox* presetCombo_ = nullptr;
};

} // namespace corvex
