#include "editor/CorvanMultiDeletePanel.h"

#include "widgets/CorvanLookAndFeel.h"
#include "widgets/PanelLayout.h"

namespace corvex {

namespace {
constexpr int kRadioGroup = 1;
constexpr LayoutRect kTitleRect{5, 5, -10, 19};
constexpr LayoutRect kPatchRect{5, 24, -10, 19};
constexpr LayoutRect kProjectRect{5, 43, -10, 19};
constexpr LayoutRect kWarningRect{5, 81, -10, 76};
constexpr LayoutRect kCancelRect{-60, -25, 60, 20};
constexpr LayoutRect kOkRect{-120, -25, 60, 20};

juce::String quoted(const juce::String& text) { return "\"" + text + "\""; }
} // namespace

juce::String CorvanMultiDeletePanel::patchChoiceText(const juce::String& patchName) {
    return "Delete " + quoted(patchName) + " patch";
}

juce::String CorvanMultiDeletePanel::projectChoiceText(const juce::String& projectName) {
    return "Delete the whole " + quoted(projectName) + " project";
}

juce::String CorvanMultiDeletePanel::warningText(const juce::String& projectName) {
    return "Be very careful! You are about to delete all the patches which are linked to the " + quoted(projectName) +
           " project.\nAll programs only used by these patches will also be automatically removed.";
}

CorvanMultiDeletePanel::CorvanMultiDeletePanel(MorvanePresetFilterManager* patches, const juce::String& patchName,
                                               const juce::String& projectName)
    : patches_(patches) {
    CorvanLookAndFeel* look = CorvanLookAndFeel::getInstance();
    setLookAndFeel(look);
    const juce::Font font(static_cast<float>(look->getDefaultFontHeight()));
    title_.setFont(font);
    warning_.setFont(font);
    warning_.setText(warningText(projectName), juce::dontSendNotification);
    warning_.setJustificationType(juce::Justification::topLeft);
    patchOption_.setButtonText(patchChoiceText(patchName));
    projectOption_.setButtonText(projectChoiceText(projectName));
    for (juce::ToggleButton* option : {&patchOption_, &projectOption_}) {
        option->setRadioGroupId(kRadioGroup);
        option->setClickingTogglesState(true);
    }
    for (juce::Button* button : std::initializer_list<juce::Button*>{&patchOption_, &projectOption_, &cancel_, &ok_})
        button->addListener(this);
    for (juce::Component* child : std::initializer_list<juce::Component*>{&title_, &patchOption_, &projectOption_,
                                                                         &warning_, &cancel_, &ok_})
        addAndMakeVisible(*child);
    warning_.setVisible(false);
    patchOption_.setToggleState(true, juce::dontSendNotification);
    setSize(kWidth, kHeight);
}

CorvanMultiDeletePanel::~CorvanMultiDeletePanel() { setLookAndFeel(nullptr); }

void CorvanMultiDeletePanel::buttonClicked(juce::Button* button) {
    if (button == &projectOption_ || button == &patchOption_) {
        warning_.setVisible(projectOption_.getToggleState());
        return;
    }
    if (button == &ok_) confirmed_ = true;
    closeDialog();
}

void CorvanMultiDeletePanel::paint(juce::Graphics& g) { g.fillAll(CorvanLookAndFeel::getInstance()->darkColour); }

void CorvanMultiDeletePanel::resized() {
    const int w = getWidth(), h = getHeight();
    title_.setBounds(kTitleRect.within(w, h));
    patchOption_.setBounds(kPatchRect.within(w, h));
    projectOption_.setBounds(kProjectRect.within(w, h));
    warning_.setBounds(kWarningRect.within(w, h));
    cancel_.setBounds(kCancelRect.within(w, h));
    ok_.setBounds(kOkRect.within(w, h));
}

} // namespace corvex
