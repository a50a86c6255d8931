// The holder of the LCD screen: the bezel around it and the glass over it, as high as the strip the editor
// slides open between the background and the front panel.
#pragma once

#include <memory>

#include "editor/lcd/CorvanMainLcdPanel.h"
#include "editor/lcd/LcdArtSizes.h"
#include "widgets/MVPanel.h"

namespace corvex {

// Message thread only.
class CorvanExtraPanel : public MVPanel {
public:
    static constexpr int kWidth = lcdart::kHolder.width;
    static constexpr int kHeight = lcdart::kHolder.height;

    // patches and calls must outlive the holder (see CorvanMainLcdPanel).
    CorvanExtraPanel(MVGuiInterface* gui, CorvanMultiFilterManager* patches, ModalCalls& calls);
    ~CorvanExtraPanel() override;

    CorvanMainLcdPanel& getLcd() const { return *lcd_; }

    // The screen is told first, so its pages stop showing before the holder goes.
    void setVisible(bool shown) override;
    void resized() override;
    void paintOverChildren(juce::Graphics& g) override;

private:
    std::unique_ptr<CorvanMainLcdPanel> lcd_;
    juce::Image glass_;
};

} // namespace corvex
