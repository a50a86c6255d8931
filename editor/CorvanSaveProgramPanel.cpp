#include "editor/CorvanSaveProgramPanel.h"

#include "widgets/PanelLayout.h"
#include "editor/SaveDialogRules.h"
#include "presets/MorvanePresetFilterManager.h"
#include "widgets/CorvanLookAndFeel.h"

namespace corvex {

namespace {
constexpr int kRadioGroup = 1;
constexpr LayoutRect kDoNotSave{13, 19, -26, 20};
constexpr LayoutRect kSave{13, 34, -26, 20};
constexpr LayoutRect kSaveAs{13, 49, -26, 20};
constexpr LayoutRect kCharacteristics{8, 74, -16, -87};
constexpr LayoutRect kWarning{13, 74, -26, -87};
constexpr int kTitleFontHeight = 14;
} // namespace

CorvanSaveProgramPanel::CorvanSaveProgramPanel(MorvanePresetFilterManager& programs, const juce::String& title,
                                               bool preferSaveAs, bool warnOnSave)
    : programs_(programs), characteristics_(programs), preferSaveAs_(preferSaveAs), title_(title),
      warnOnSave_(warnOnSave) {
    setLookAndFeel(CorvanLookAndFeel::getInstance());
    for (juce::ToggleButton* button : {&doNotSave_, &save_, &saveAs_}) {
        button->setRadioGroupId(kRadioGroup);
        button->addListener(this);
        addAndMakeVisible(*button);
    }
    warning_.setMultiLine(true, true);
    warning_.setReadOnly(true);
    warning_.setCaretVisible(false);
    warning_.setFont(juce::Font(static_cast<float>(CorvanLookAndFeel::kFontHeight), juce::Font::plain));
    warning_.setText(savedialog::kOverwriteWarning, false);
    addChildComponent(warning_);
    addChildComponent(characteristics_);
    updateChoice();
}

CorvanSaveProgramPanel::~CorvanSaveProgramPanel() { setLookAndFeel(nullptr); }

void CorvanSaveProgramPanel::updateChoice() {
    const MorvanePreset* program = programs_.getCurrentPreset();
    save_.setEnabled(savedialog::canOverwrite(program));
    switch (savedialog::defaultKind(program, preferSaveAs_)) {
    case ProgramSaveChoice::kSave:
        save_.setToggleState(true, juce::sendNotificationSync);
        break;
    case ProgramSaveChoice::kSaveAs:
        saveAs_.setToggleState(true, juce::sendNotificationSync);
        break;
    case ProgramSaveChoice::kDoNotSave:
    default:
        doNotSave_.setToggleState(true, juce::sendNotificationSync);
        break;
    }
    // Selecting what is already selected sends nothing; the view must follow the choice all the same.
    buttonClicked(nullptr);
}

ProgramSaveChoice::Kind CorvanSaveProgramPanel::getSelectedKind() const {
    if (save_.getToggleState() && save_.isEnabled())
        return ProgramSaveChoice::kSave;
    if (saveAs_.getToggleState())
        return ProgramSaveChoice::kSaveAs;
    return ProgramSaveChoice::kDoNotSave;
}

ProgramSaveChoice CorvanSaveProgramPanel::getChoice() const {
    if (getSelectedKind() == ProgramSaveChoice::kSaveAs)
        return characteristics_.toSaveAsChoice();
    ProgramSaveChoice choice;
    choice.kind = getSelectedKind();
    return choice;
}

juce::String CorvanSaveProgramPanel::refusal() const {
    if (getSelectedKind() == ProgramSaveChoice::kSaveAs && savedialog::isBlankName(characteristics_.getEnteredName()))
        return savedialog::blankProgramName(title_);
    return {};
}

void CorvanSaveProgramPanel::buttonClicked(juce::Button*) {
    const savedialog::RowShows shows = savedialog::rowShows(getSelectedKind(), preferSaveAs_, warnOnSave_);
    characteristics_.setVisible(shows.characteristics);
    warning_.setVisible(shows.warning);
}

void CorvanSaveProgramPanel::paint(juce::Graphics& g) {
    CorvanLookAndFeel& lf = *CorvanLookAndFeel::getInstance();
    g.setColour(lf.greyColour);
    lf.drawGroupOutline(g, title_, 4, 7, getWidth() - 8, getHeight() - 11, 1.0f, kTitleFontHeight);
}

void CorvanSaveProgramPanel::resized() {
    const int w = getWidth(), h = getHeight();
    doNotSave_.setBounds(kDoNotSave.within(w, h));
    save_.setBounds(kSave.within(w, h));
    saveAs_.setBounds(kSaveAs.within(w, h));
    characteristics_.setBounds(kCharacteristics.within(w, h));
    warning_.setBounds(kWarning.within(w, h));
}

} // namespace corvex
