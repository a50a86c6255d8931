// The about box the editor centres over its window: the product's picture in grey on a dark, nearly opaque
// panel, the credits rolling beside it, a close button, and two switches for when value bubbles open.
#pragma once

#include <memory>

#include "editor/lcd/CImageButton.h"
#include "editor/lcd/CScrollableText.h"
#include "widgets/MVGuiInterface.h"
#include "widgets/MVPanel.h"

namespace corvex {

// Message thread only.
class CorvanAboutPanel : public MVPanel, public juce::Button::Listener {
public:
    // What each button carries in its "morvane_id" property.
    static constexpr int kCloseId = 0;
    static constexpr int kPopupOnOverId = 1;
    static constexpr int kPopupOnClickId = 2;

    // The clock moves the credits; tests turn one by hand.
    explicit CorvanAboutPanel(MVGuiInterface* gui, MVMillisecondClock clock = systemMillisecondClock());
    ~CorvanAboutPanel() override;

    CScrollableText& getCredits() const { return *credits_; }
    juce::Button& getCloseButton() const { return *closeButton_; }
    juce::Button& getPopupOnOverButton() const { return *popupOnOverButton_; }
    juce::Button& getPopupOnClickButton() const { return *popupOnClickButton_; }

    // The credits start from their first line on every show.
    void setVisible(bool shown) override;
    void paint(juce::Graphics& g) override;
    void buttonClicked(juce::Button* button) override;

private:
    MVGuiInterface* gui_;
    juce::Image picture_;
    std::unique_ptr<CScrollableText> credits_;
    std::unique_ptr<juce::ImageButton> closeButton_;
    std::unique_ptr<CImageButton> popupOnOverButton_;
    std::unique_ptr<CImageButton> popupOnClickButton_;
};

} // namespace corvex
