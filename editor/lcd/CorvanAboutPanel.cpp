#include "editor/lcd/CorvanAboutPanel.h"

#include "CorvexArtwork.h"
#include "editor/lcd/LcdArtSizes.h"
#include "instrument/params/ParameterIndex.h"
#include "widgets/CorvanLookAndFeel.h"
#include "widgets/MVFilmStrip.h"

namespace corvex {

namespace {

constexpr const char* kIdProperty = "morvane_id";
constexpr float kPanelAlpha = 0.9f;

// Which preference each switch shows.
const char* settingOf(int id) {
    return id == CorvanAboutPanel::kPopupOnOverId ? guisettings::kShowPopupOnOver : guisettings::kShowPopupOnClick;
}

} // namespace

CorvanAboutPanel::CorvanAboutPanel(MVGuiInterface* gui, MVMillisecondClock clock) : gui_(gui) {
    picture_ = loadWidgetImage(CorvexArtwork::about_png, CorvexArtwork::about_pngSize);
    setSize(lcdart::kAbout.width, lcdart::kAbout.height);

    credits_ = std::make_unique<CScrollableText>(std::move(clock));
    credits_->setBounds(lcdart::kCredits.x, lcdart::kCredits.y, lcdart::kCredits.width, lcdart::kCredits.height);
    addChildComponent(*credits_);

    const juce::Colour grey = CorvanLookAndFeel::getInstance()->greyColour;
    const juce::Image cross = loadWidgetImage(CorvexArtwork::close_button_png, CorvexArtwork::close_button_pngSize);
    closeButton_ = std::make_unique<juce::ImageButton>();
    closeButton_->setImages(true, false, true, cross, 1.0f, grey, cross, 1.0f, grey.brighter(0.2f), cross, 1.0f,
                            grey.brighter(0.4f));
    closeButton_->getProperties().set(kIdProperty, kCloseId);
    closeButton_->setTopLeftPosition(lcdart::kCloseRight - closeButton_->getWidth(), lcdart::kCloseTop);

    popupOnOverButton_ = std::make_unique<CImageButton>();
    popupOnOverButton_->getProperties().set(kIdProperty, kPopupOnOverId);
    popupOnOverButton_->setTopLeftPosition(lcdart::kPopupOnOverToggle.x, lcdart::kPopupOnOverToggle.y);
    popupOnClickButton_ = std::make_unique<CImageButton>();
    popupOnClickButton_->getProperties().set(kIdProperty, kPopupOnClickId);
    popupOnClickButton_->setTopLeftPosition(lcdart::kPopupOnClickToggle.x, lcdart::kPopupOnClickToggle.y);

    for (CImageButton* toggle : {popupOnOverButton_.get(), popupOnClickButton_.get()}) {
        toggle->setImages(CorvexArtwork::about_toggle_off_png, CorvexArtwork::about_toggle_off_pngSize,
                          CorvexArtwork::about_toggle_on_png, CorvexArtwork::about_toggle_on_pngSize);
        const int id = toggle->getProperties()[kIdProperty];
        toggle->setToggleState(gui_->getStringSetting(settingOf(id), guisettings::kYes) == guisettings::kYes,
                               juce::dontSendNotification);
    }
    for (juce::Button* button : {static_cast<juce::Button*>(closeButton_.get()),
                                 static_cast<juce::Button*>(popupOnOverButton_.get()),
                                 static_cast<juce::Button*>(popupOnClickButton_.get())}) {
        button->addListener(this);
        addAndMakeVisible(*button);
    }
}

CorvanAboutPanel::~CorvanAboutPanel() {
    closeButton_->removeListener(this);
    popupOnOverButton_->removeListener(this);
    popupOnClickButton_->removeListener(this);
}

void CorvanAboutPanel::setVisible(bool shown) {
    MVPanel::setVisible(shown);
    credits_->setVisible(shown);
}

void CorvanAboutPanel::paint(juce::Graphics& g) {
    CorvanLookAndFeel& lf = *CorvanLookAndFeel::getInstance();
    g.fillAll(lf.darkColour.withAlpha(kPanelAlpha));
    if (!picture_.isValid()) return;
    g.setColour(lf.greyColour);
    g.drawImage(picture_, getLocalBounds().toFloat(), juce::RectanglePlacement::stretchToFit, true);
}

void CorvanAboutPanel::buttonClicked(juce::Button* button) {
    const int id = button->getProperties().getWithDefault(kIdProperty, kCloseId);
    if (id == kCloseId) {
        gui_->notifyParameterEdit(MVGuiInterface::kNewValue, ParameterIndex::kAboutShown, 0.0f);
    } else if (id == kPopupOnOverId || id == kPopupOnClickId) {
        const bool on = !button->getToggleState();
        gui_->setStringSetting(settingOf(id), on ? guisettings::kYes : guisettings::kNo);
        button->setToggleState(on, juce::dontSendNotification);
    }
}

} // namespace corvex
