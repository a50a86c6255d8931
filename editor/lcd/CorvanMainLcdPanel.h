// The LCD screen: three tabbed pages, "Presets", "Modulations" and "Effects". It opens on the page the
// instrument's state remembers and reports the page shown (with its sub-page) as one number for that state.
#pragma once

#include "editor/lcd/LcdArtSizes.h"
#include "widgets/MVGuiInterface.h"
#include "widgets/MVTabbedComponent.h"

namespace corvex {

class CorvanMainEffectPanel;
class CorvanMainSequencerPanel;
class CorvanMultiFilterManager;
class CorvanPresetPanel;
class ModalCalls;

// Message thread only.
class CorvanMainLcdPanel : public MVTabbedComponent {
public:
    static constexpr int kWidth = lcdart::kScreen.width;
    static constexpr int kHeight = lcdart::kScreen.height;

    // patches (with its program filter managers) and calls must outlive the panel; without patches the preset
    // page stays empty.
    CorvanMainLcdPanel(MVGuiInterface* gui, CorvanMultiFilterManager* patches, ModalCalls& calls);
    ~CorvanMainLcdPanel() override;

    // The page number the instrument keeps: 1 presets, 2 to 4 a modulation sub-page, 5 to 9 the effects page
    // (see editor/lcd/LcdPage.h).
    int getCurrentPage() const;

    CorvanPresetPanel* getPresetPage() const { return presetPage_; }
    CorvanMainSequencerPanel* getModulationPage() const { return modulationPage_; }
    CorvanMainEffectPanel* getEffectPage() const { return effectPage_; }

private:
    MVGuiInterface* gui_;
    CorvanPresetPanel* presetPage_;
    CorvanMainSequencerPanel* modulationPage_;
    CorvanMainEffectPanel* effectPage_;
};

} // namespace corvex
