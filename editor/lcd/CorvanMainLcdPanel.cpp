#include "editor/lcd/CorvanMainLcdPanel.h"

#include "editor/CorvanPresetPanel.h"
#include "editor/lcd/CorvanMainEffectPanel.h"
#include "editor/lcd/CorvanMainSequencerPanel.h"
#include "editor/lcd/LcdPage.h"
#include "instrument/params/ParameterIndex.h"
#include "widgets/CorvanLookAndFeel.h"

namespace corvex {

namespace {
constexpr const char* kPresetsTab = "Presets";
constexpr const char* kModulationsTab = "Modulations";
constexpr const char* kEffectsTab = "Effects";
} // namespace

CorvanMainLcdPanel::CorvanMainLcdPanel(MVGuiInterface* gui, CorvanMultiFilterManager* patches, ModalCalls& calls)
    : MVTabbedComponent(CorvanLookAndFeel::getInstance()), gui_(gui) {
    setLookAndFeel(CorvanLookAndFeel::getInstance());
    presetPage_ = new CorvanPresetPanel(gui, calls);
    if (patches != nullptr) presetPage_->initialise(patches);
    addTab(presetPage_, kPresetsTab);
    modulationPage_ = new CorvanMainSequencerPanel(gui);
    addTab(modulationPage_, kModulationsTab);
    effectPage_ = new CorvanMainEffectPanel(gui);
    addTab(effectPage_, kEffectsTab);

    const int page = lcdpage::fromValue(gui_->getParameter(ParameterIndex::kLcdPage));
    if (page == lcdpage::kPresets) selectTab(kPresetsTab);
    if (lcdpage::isModulation(page)) selectTab(kModulationsTab);
    if (lcdpage::isEffects(page)) selectTab(kEffectsTab);
    setSize(kWidth, kHeight);
}

CorvanMainLcdPanel::~CorvanMainLcdPanel() { setLookAndFeel(nullptr); }

int CorvanMainLcdPanel::getCurrentPage() const {
    const juce::Component* shown = getPage(getCurrentTab());
    if (shown == presetPage_) return lcdpage::kPresets;
    if (shown == modulationPage_) {
        const int sub = modulationPage_->getSubPageIndex();
        return sub >= 0 && sub < CorvanMainSequencerPanel::kSubPageCount ? lcdpage::kFirstModulation + sub
                                                                         : lcdpage::kHidden;
    }
    if (shown == effectPage_) return effectPage_->getCurrentPage();
    return lcdpage::kHidden;
}

} // namespace corvex
