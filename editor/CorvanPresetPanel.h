// The LCD's "Presets" page: three levels, Patch, Lower and Upper, each a properties panel (always shown, side
// by side) and a browsing page (one shown at a time, joined to its properties panel by a drawn outline).
// Choosing Lower or Upper shows that layer on the front panel too, and a layer shown from elsewhere moves the
// page to it while a layer is shown here. A "Whole" patch plays no Lower layer: its button and panel go grey.
#pragma once

#include <memory>

#include "editor/CorvanMultiPanel.h"
#include "editor/CorvanMultiPropertiesPanel.h"
#include "editor/CorvanProgramPanel.h"
#include "editor/CorvanProgramPropertiesPanel.h"
#include "presets/PresetFilterListeners.h"
#include "widgets/CvnLcdTextButton.h"
#include "widgets/MVPanel.h"

namespace corvex {

class CorvanMultiFilterManager;
class ModalCalls;

class CorvanPresetPanel : public MVPanel, public MorvanePresetFilterManagerListener, public juce::Button::Listener {
public:
    // The size the LCD screen's tabs give their pages.
    static constexpr int kLcdPageWidth = 956;
    static constexpr int kLcdPageHeight = 185;

    struct Layout {
        juce::Rectangle<int> patchButton, patchProperties, lowerButton, lowerProperties, upperButton,
            upperProperties, pages, pageArea;
    };
    static Layout layoutFor(int width, int height);

    // calls opens the pages' dialogs and must outlive the page; nothing is shown until initialise.
    CorvanPresetPanel(MVGuiInterface* gui, ModalCalls& calls);
    ~CorvanPresetPanel() override;

    // patches, and its two program filter managers, must outlive the page.
    void initialise(CorvanMultiFilterManager* patches);

    void buttonClicked(juce::Button* button) override;
    void presetFilterChanged(int id, int value, int value2, void* pointer) override;
    void setLowerLayerEnabled(bool enabled);
    void resized() override;
    void paint(juce::Graphics& g) override;

    juce::Component* getShownPage() const { return shownPage_; }
    CorvanMultiPanel* getPatchPage() const { return patchPage_.get(); }
    CorvanProgramPanel* getLowerPage() const { return lowerPage_.get(); }
    CorvanProgramPanel* getUpperPage() const { return upperPage_.get(); }
    juce::Button* getPatchButton() const { return patchButton_.get(); }
    juce::Button* getLowerButton() const { return lowerButton_.get(); }
    juce::Button* getUpperButton() const { return upperButton_.get(); }
    PresetPropertiesPanel* getPatchProperties() const { return patchProperties_.get(); }
    PresetPropertiesPanel* getLowerProperties() const { return lowerProperties_.get(); }
    PresetPropertiesPanel* getUpperProperties() const { return upperProperties_.get(); }

private:
    static constexpr int kMargin = 10;
    void applyModeOf(const MorvanePreset* patch);
    void paintLevel(juce::Graphics& g, const PresetPropertiesPanel& properties, const juce::Component& page,
                    bool lower);

    MVGuiInterface* gui_;
    ModalCalls& calls_;
    CorvanMultiFilterManager* patches_ = nullptr;
    juce::Component* shownPage_ = nullptr;
    std::unique_ptr<CorvanMultiPanel> patchPage_;
    std::unique_ptr<CorvanProgramPanel> lowerPage_, upperPage_;
    std::unique_ptr<CvnLcdTextButton> patchButton_, lowerButton_, upperButton_;
    std::unique_ptr<CorvanMultiPropertiesPanel> patchProperties_;
    std::unique_ptr<CorvanProgramPropertiesPanel> lowerProperties_, upperProperties_;
    juce::Rectangle<int> pageArea_;
    juce::Rectangle<int> upperPropertiesBounds_;
};

} // namespace corvex
