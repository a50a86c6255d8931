#include "editor/CorvanMultiSaveAsPanel.h"

#include "editor/ModalCalls.h"
#include "widgets/PanelLayout.h"
#include "editor/SaveDialogRules.h"
#include "presets/CorvanMultiFilterManager.h"
#include "widgets/CorvanLookAndFeel.h"

namespace corvex {

namespace {
constexpr LayoutRect kTitle{0, 5, 0, 20};
constexpr LayoutRect kNameCaption{5, 30, 60, 20};
constexpr LayoutRect kName{70, 30, 100, 20};
constexpr LayoutRect kProjectCaption{185, 30, 60, 20};
constexpr LayoutRect kProject{250, 30, 100, 20};
constexpr LayoutRect kOk{230, 280, 60, 20};
constexpr LayoutRect kCancel{295, 280, 60, 20};
// The two rows share the width side by side, Lower on the left.
constexpr int kRowsY = 60;
constexpr int kRowHeight = 210;

MorvanePreset* currentOf(MorvanePresetFilterManager* programs) {
    return programs != nullptr ? programs->getCurrentPreset() : nullptr;
}

bool isShared(CorvanMultiFilterManager& patches, MorvanePresetFilterManager* programs) {
    auto* manager = dynamic_cast<CorvanMultiManager*>(patches.getPresetManager());
    return manager != nullptr && manager->isProgramUsed(currentOf(programs));
}
} // namespace

CorvanMultiSaveAsPanel::CorvanMultiSaveAsPanel(ModalCalls& calls, CorvanMultiFilterManager& patches)
    : calls_(calls), patches_(patches),
      lowerRow_(*patches.getLowerPrograms(), savedialog::rowTitle("Lower", currentOf(patches.getLowerPrograms())),
                isShared(patches, patches.getLowerPrograms()), true),
      upperRow_(*patches.getUpperPrograms(), savedialog::rowTitle("Upper", currentOf(patches.getUpperPrograms())),
                isShared(patches, patches.getUpperPrograms()), true) {
    setLookAndFeel(CorvanLookAndFeel::getInstance());
    const juce::Colour grey = CorvanLookAndFeel::getInstance()->greyColour;
    MorvanePreset* patch = patches_.getCurrentPreset();
    const juce::String patchName = patch != nullptr ? patch->getName() : juce::String();

    title_.setText("Patch: " + patchName, juce::dontSendNotification);
    title_.setJustificationType(juce::Justification::centred);
    title_.setColour(juce::Label::textColourId, grey);
    projectCaption_.setColour(juce::Label::textColourId, grey);
    name_.setName("Patch Name");
    name_.setText(patches_.makeUniqueName(patchName), false);

    juce::StringArray projects;
    if (MorvanePresetManager* manager = patches_.getPresetManager())
        manager->getAttributeValueList(CorvanMultiFilterManager::kProjectKey, projects);
    project_.addItemList(projects, 1);
    project_.setEditableText(true);
    if (patch != nullptr) {
        const juce::String current = patch->getAttribute(CorvanMultiFilterManager::kProjectKey);
        if (current.isNotEmpty())
            project_.setText(current, juce::dontSendNotification);
    }

    for (juce::Component* child :
         std::initializer_list<juce::Component*>{&title_, &nameCaption_, &name_, &projectCaption_, &project_})
        addAndMakeVisible(child);
    const juce::String mode = patch != nullptr ? patch->getAttribute(CorvanMultiFilterManager::kModeKey) : "";
    addChildComponent(lowerRow_);
    lowerRow_.setVisible(mode == "Dual" || mode == "Split");
    addAndMakeVisible(upperRow_);
    for (CvnLcdTextButton* button : {&cancel_, &ok_}) {
        button->addListener(this);
        addAndMakeVisible(*button);
    }
    setSize(kWidth, kHeight);
}

CorvanMultiSaveAsPanel::~CorvanMultiSaveAsPanel() { setLookAndFeel(nullptr); }

juce::String CorvanMultiSaveAsPanel::refusal() const {
    if (savedialog::isBlankName(name_.getText()))
        return savedialog::kBlankPatchName;
    for (const CorvanSaveProgramPanel* row : {&lowerRow_, &upperRow_}) {
        // A hidden row's copy keeps the name it was given by the library.
        if (row->isVisible() && row->refusal().isNotEmpty())
            return row->refusal();
    }
    return {};
}

void CorvanMultiSaveAsPanel::buttonClicked(juce::Button* button) {
    if (button == &ok_) {
        if (const juce::String why = refusal(); why.isNotEmpty()) {
            calls_.showWarning(savedialog::kBlankNameTitle, why);
            return;
        }
        answer_ = PatchSaveAsChoice{name_.getText(), project_.getText(), lowerRow_.getChoice(), upperRow_.getChoice()};
    }
    closeDialog();
}

void CorvanMultiSaveAsPanel::paint(juce::Graphics& g) { g.fillAll(CorvanLookAndFeel::getInstance()->darkColour); }

void CorvanMultiSaveAsPanel::resized() {
    const int w = getWidth(), h = getHeight();
    title_.setBounds(kTitle.within(w, h));
    nameCaption_.setBounds(kNameCaption.within(w, h));
    name_.setBounds(kName.within(w, h));
    projectCaption_.setBounds(kProjectCaption.within(w, h));
    project_.setBounds(kProject.within(w, h));
    lowerRow_.setBounds(0, kRowsY, w / 2, kRowHeight);
    upperRow_.setBounds(w / 2, kRowsY, w / 2, kRowHeight);
    ok_.setBounds(kOk.within(w, h));
    cancel_.setBounds(kCancel.within(w, h));
}

} // namespace corvex
