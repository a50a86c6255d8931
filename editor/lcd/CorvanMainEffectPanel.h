// The LCD's "Effects" page: a column of four tabs, one per effect slot, beside the slot's page. The tabs read
// as the effect each slot holds, sit on a drawn signal flow (VCO, pre effect, filter, post effect, VCA in each
// voice, then the two master effects in series on the summed patch) and tell the LCD which slot is shown.
#pragma once

#include <array>
#include <memory>

#include "editor/effects/CorvanEffectsPanel.h"
#include "editor/effects/CorvanMultiEffectsPanel.h"
#include "widgets/CvnLcdTextButton.h"
#include "widgets/MVGuiInterface.h"
#include "widgets/MVPanel.h"
#include "widgets/MVParameterListener.h"

namespace corvex {

// Message thread only.
class CorvanMainEffectPanel : public MVPanel, public juce::Button::Listener, public MVParameterListener {
public:
    enum Slot { kPreEffect, kPostEffect, kMasterEffect1, kMasterEffect2, kSlotCount };

    // The name an effect-type value shows, the last entry for a value at the top of the range.
    static juce::String effectNameFor(Slot slot, float value);

    // Each slot's tab and where its page's effect list sits, for a page of that height.
    struct Layout {
        int rowUnit;
        std::array<juce::Rectangle<int>, kSlotCount> tabs;
    };
    static Layout layoutFor(int height);
    static constexpr int kPageX = 200;
    static constexpr int kListY = 35;
    static constexpr int kListHeight = 120;

    explicit CorvanMainEffectPanel(MVGuiInterface* gui);
    ~CorvanMainEffectPanel() override;

    // 6 to 9 for the slot shown, 5 while none is.
    int getCurrentPage() const;

    juce::Button* getTab(Slot slot) const { return tabs_[static_cast<size_t>(slot)].get(); }
    juce::Component* getSlotPage(Slot slot) const;

    void buttonClicked(juce::Button* button) override;
    void parameterChanged(int index, float value) override;
    void highlightChanged(int, float) override {}
    void resized() override;
    void paint(juce::Graphics& g) override;

private:
    void paintFrame(juce::Graphics& g, const juce::String& label, int left, int top, int right, int bottom,
                    int labelY) const;

    MVGuiInterface* gui_;
    std::unique_ptr<CorvanEffectsPanel> preEffectPage_, postEffectPage_;
    std::unique_ptr<CorvanMultiEffectsPanel> multiEffect1Page_, multiEffect2Page_;
    std::array<std::unique_ptr<CvnLcdTextButton>, kSlotCount> tabs_;
    juce::Component* shownPage_ = nullptr;
    Layout layout_{};
};

} // namespace corvex
