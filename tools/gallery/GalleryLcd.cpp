// The LCD widgets in the product's dark palette.
#include "instrument/params/ParameterIndex.h"
#include "tools/gallery/GallerySections.h"
#include "widgets/CorvanLookAndFeel.h"
#include "widgets/CvnLcdButton.h"
#include "widgets/CvnLcdComboBox.h"
#include "widgets/CvnLcdKnob.h"
#include "widgets/CvnLcdNumericalSwitch.h"
#include "widgets/CvnLcdTextButton.h"
#include "widgets/CvnLcdToolBarDeleteButton.h"
#include "widgets/CvnLcdToolBarLineButton.h"
#include "widgets/CvnLcdToolBarNewButton.h"
#include "widgets/CvnLcdToolBarPenButton.h"
#include "widgets/CvnLcdToolBarPlayButton.h"
#include "widgets/CvnLcdToolBarRandomButton.h"
#include "widgets/CvnLcdToolBarRubberButton.h"
#include "widgets/CvnLcdToolBarSaveAsButton.h"
#include "widgets/CvnLcdToolBarSaveButton.h"
#include "widgets/CvnLcdToolBarStopButton.h"
#include "widgets/CvnLfoLed.h"
#include "widgets/CvnSmallLcdCheckBox.h"

namespace corvex::gallery {

namespace {
template <typename Button>
void addToolBarButton(GallerySection& s, GalleryGui& gui, const char* name, bool on = false) {
    auto button = std::make_unique<Button>(name, &gui);
    button->setSize(24, 24);
    button->setToggleState(on, juce::dontSendNotification);
    s.add(std::move(button), name, 44);
}
} // namespace

std::unique_ptr<GallerySection> makeLcdSection(GalleryGui& gui) {
    CorvanLookAndFeel& lf = *CorvanLookAndFeel::getInstance();
    auto section = std::make_unique<GallerySection>("LCD widgets", lf.darkColour, lf.accentColour);
    section->setLookAndFeel(&lf);
    GallerySection& s = *section;

    gui.setValue(200, 0.25f);
    s.add(std::make_unique<CvnLcdKnob>(&gui, 200), "CvnLcdKnob 40").setSize(40, 40);
    gui.setValue(201, 0.75f);
    s.add(std::make_unique<CvnLcdKnob>(&gui, 201), "CvnLcdKnob 24").setSize(24, 24);
    gui.setValue(202, 0.5f);
    auto& highlighted = s.add(std::make_unique<CvnLcdKnob>(&gui, 202), "highlighted");
    highlighted.setSize(40, 40);
    gui.setHighlight(202, 3);
    auto disabledKnob = std::make_unique<CvnLcdKnob>(&gui, 203);
    disabledKnob->setSize(40, 40);
    disabledKnob->setEnabled(false);
    s.add(std::move(disabledKnob), "disabled");

    gui.setValue(204, 1.0f);
    s.add(std::make_unique<CvnLcdNumericalSwitch>(&gui, 204, 1, 16), "NumericalSwitch", 80).setSize(36, 20);
    gui.setValue(205, 0.0f);
    s.add(std::make_unique<CvnLcdNumericalSwitch>(&gui, 205, 1, 16), "at 0", 40).setSize(36, 20);

    auto text = std::make_unique<CvnLcdTextButton>("Text");
    text->setButtonText("Text");
    text->setSize(60, 20);
    s.add(std::move(text), "CvnLcdTextButton", 90);
    auto small = std::make_unique<CvnLcdTextButton>("small font");
    small->setButtonText("small font");
    small->setSmallFont(true);
    small->setSize(60, 20);
    s.add(std::move(small), "small font", 70);
    gui.setValue(206, 1.0f);
    s.add(std::make_unique<CvnLcdButton>("On", &gui, 206), "CvnLcdButton on", 80).setSize(60, 20);
    s.add(std::make_unique<CvnLcdButton>("Off", &gui, 207), "off", 70).setSize(60, 20);

    auto combo = std::make_unique<CvnLcdComboBox>("combo", &gui, 208);
    for (int i = 1; i <= 4; ++i) combo->addItem("Mode " + juce::String(i), i);
    gui.setValue(208, 0.625f);
    combo->setUp();
    combo->setSize(100, 20);
    s.add(std::move(combo), "CvnLcdComboBox", 110);

    gui.setValue(209, 1.0f);
    s.add(std::make_unique<CvnSmallLcdCheckBox>(&gui, 209), "check on", 50).setSize(12, 12);
    s.add(std::make_unique<CvnSmallLcdCheckBox>(&gui, 210), "check off", 50).setSize(12, 12);

    gui.setValue(ParameterIndex::kUpperLfoLamp, 1.0f);
    s.add(std::make_unique<CvnLfoLed>(&gui, ParameterIndex::kUpperLfoLamp), "CvnLfoLed 1", 50);
    gui.setValue(ParameterIndex::kLowerLfoLamp, 0.5f);
    s.add(std::make_unique<CvnLfoLed>(&gui, ParameterIndex::kLowerLfoLamp), "LED 0.5", 50);

    addToolBarButton<CvnLcdToolBarNewButton>(s, gui, "New");
    addToolBarButton<CvnLcdToolBarSaveButton>(s, gui, "Save");
    addToolBarButton<CvnLcdToolBarSaveAsButton>(s, gui, "Save as");
    addToolBarButton<CvnLcdToolBarDeleteButton>(s, gui, "Delete");
    addToolBarButton<CvnLcdToolBarLineButton>(s, gui, "Line");
    addToolBarButton<CvnLcdToolBarPenButton>(s, gui, "Pen", true);
    addToolBarButton<CvnLcdToolBarRubberButton>(s, gui, "Rubber");
    addToolBarButton<CvnLcdToolBarRandomButton>(s, gui, "Random");
    addToolBarButton<CvnLcdToolBarPlayButton>(s, gui, "Play");
    addToolBarButton<CvnLcdToolBarStopButton>(s, gui, "Stop");
    auto disabled = std::make_unique<CvnLcdToolBarSaveButton>("disabled", &gui);
    disabled->setSize(24, 24);
    disabled->setEnabled(false);
    s.add(std::move(disabled), "disabled", 44);

    s.layOut();
    return section;
}

} // namespace corvex::gallery
