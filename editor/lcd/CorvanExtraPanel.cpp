#include "editor/lcd/CorvanExtraPanel.h"

#include "CorvexArtwork.h"
#include "widgets/MVFilmStrip.h"

namespace corvex {

CorvanExtraPanel::CorvanExtraPanel(MVGuiInterface* gui, CorvanMultiFilterManager* patches, ModalCalls& calls)
    : lcd_(std::make_unique<CorvanMainLcdPanel>(gui, patches, calls)) {
    addAndMakeVisible(*lcd_);
    setBackgroundImage(CorvexArtwork::lcd_frame_png, CorvexArtwork::lcd_frame_pngSize);
    glass_ = loadWidgetImage(CorvexArtwork::lcd_glass_png, CorvexArtwork::lcd_glass_pngSize);
    setSize(kWidth, kHeight);
}

CorvanExtraPanel::~CorvanExtraPanel() = default;

void CorvanExtraPanel::setVisible(bool shown) {
    lcd_->setVisible(shown);
    MVPanel::setVisible(shown);
}

void CorvanExtraPanel::resized() {
    lcd_->setBounds(lcdart::kScreen.x, lcdart::kScreen.y, lcdart::kScreen.width, lcdart::kScreen.height);
}

void CorvanExtraPanel::paintOverChildren(juce::Graphics& g) {
    if (glass_.isValid()) g.drawImage(glass_, getLocalBounds().toFloat());
}

} // namespace corvex
