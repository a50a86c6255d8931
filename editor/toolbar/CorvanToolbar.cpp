// The editor's toolbar.
#include "editor/toolbar/CorvanToolbar.h"

#include "editor/ModalCalls.h"
#include "editor/toolbar/CorvanMidiChannelChooser.h"
#include "editor/toolbar/CorvanSearchMenu.h"
#include "editor/toolbar/CvnCpuLevel.h"
#include "editor/toolbar/CvnMidiLed.h"
#include "editor/toolbar/ToolbarArt.h"
#include "instrument/CorvanAudioFilter.h"
#include "instrument/params/ParameterIndex.h"
#include "presets/CorvanMultiFilterManager.h"
#include "presets/MorvanePreset.h"
#include "widgets/CorvanLookAndFeel.h"
#include "widgets/CvnLcdComboBox.h"
#include "widgets/CvnLcdNumericalSwitch.h"
#include "widgets/CvnLcdTextButton.h"

namespace corvex {

namespace {

namespace P = ParameterIndex;
namespace art = toolbarart;

// The patch filter manager's messages the toolbar acts on.
enum Message {
    kColumnChanged = 0, kNameChanged = 1, kAttributesChanged = 2, kCurrentChanged = 4, kAdded = 5, kDeleted = 6,
    kModifiedChanged = 7, kSaved = 8
};

std::unique_ptr<juce::DrawableButton> imageButton(const juce::String& name, art::Icon icon, bool withDisabled) {
    auto button = std::make_unique<juce::DrawableButton>(name, juce::DrawableButton::ImageRaw);
    auto face = [icon](art::Face f) {
        auto drawable = std::make_unique<juce::DrawableImage>();
        drawable->setImage(art::buttonFace(icon, f));
        return drawable;
    };
    const auto normal = face(art::Face::normal);
    const auto pressed = face(art::Face::pressed);
    const auto disabled = withDisabled ? face(art::Face::disabled) : nullptr;
    // A button that stays down shows its pressed face while it is on.
    button->setImages(normal.get(), nullptr, pressed.get(), disabled.get(), pressed.get(), nullptr, pressed.get());
    button->setSize(art::buttonSize(icon).getWidth(), art::buttonSize(icon).getHeight());
    return button;
}

// The library's combo boxes keep 30 pixels for their arrows and write with a 16-pixel font, which leaves the
// toolbar's narrow boxes no room for a word: their text takes the LCD's font and all but the arrow's square.
// A box places (and after a change of look, makes) its label whenever it is resized, so it is fitted then.
template <typename Box>
class FittedBox : public Box {
public:
    using Box::Box;
    void resized() override {
        Box::resized();
        for (juce::Component* child : this->getChildren())
            if (auto* label = dynamic_cast<juce::Label*>(child)) {
                label->setBounds(1, 1, this->getWidth() - this->getHeight(), this->getHeight() - 2);
                label->setBorderSize({1, 3, 1, 1});
                label->setFont(juce::Font(CorvanLookAndFeel::kTypefaceName,
                                          static_cast<float>(CorvanLookAndFeel::kFontHeight), juce::Font::plain));
            }
    }
};

} // namespace

CorvanToolbar::CorvanToolbar(MVGuiInterface* gui, CorvanMultiFilterManager* patches, CorvanAudioFilter* instrument,
                             ModalCalls& calls, std::unique_ptr<CorvanMapActionHandler> mapHandler,
                             std::function<void(bool)> showLcd)
    : gui_(gui), patches_(patches), instrument_(instrument), calls_(calls), mapHandler_(std::move(mapHandler)),
      showLcd_(std::move(showLcd)) {
    background_ = art::toolbarBackground();
    setSize(background_.getWidth(), background_.getHeight());
    setLookAndFeel(CorvanLookAndFeel::getInstance());

    adopt(kSave, imageButton("Save Button", art::Icon::save, true));
    adopt(kSaveAs, imageButton("SaveAs Button", art::Icon::saveAs, false));
    adopt(kLcdShow, imageButton("Open Button", art::Icon::lcdShow, false));
    adopt(kLcdHide, imageButton("Open Button", art::Icon::lcdHide, false));
    for (Child radio : {kLcdShow, kLcdHide}) {
        getButton(radio).setClickingTogglesState(true);
        getButton(radio).setRadioGroupId(kLcdRadioGroup, juce::dontSendNotification);
    }
    getButton(kLcdHide).setToggleState(true, juce::dontSendNotification);
    adopt(kUp, imageButton("Up Button", art::Icon::up, false));
    adopt(kDown, imageButton("Down Button", art::Icon::down, false));
    for (Child search : {kSearch1, kSearch2}) {
        auto button = std::make_unique<CvnLcdTextButton>(CorvanSearchMenu::kAllText);
        button->setButtonText(CorvanSearchMenu::kAllText);
        adopt(search, std::move(button));
    }
    for (Child listened : {kSave, kSaveAs, kLcdShow, kLcdHide, kUp, kDown, kSearch1, kSearch2})
        getButton(listened).addListener(this);

    auto combo = std::make_unique<FittedBox<juce::ComboBox>>("mResultCombo");
    presetCombo_ = combo.get();
    combo->setLookAndFeel(CorvanLookAndFeel::getInstance());
    combo->addListener(this);
    combo->setSelectedId(1, juce::dontSendNotification);
    // Dark text on a light box: the patch list stands out from the LCD-coloured controls around it.
    const CorvanLookAndFeel& look = *CorvanLookAndFeel::getInstance();
    combo->setColour(juce::ComboBox::buttonColourId, look.accentColour);
    combo->setColour(juce::ComboBox::textColourId, look.darkColour);
    combo->setColour(juce::ComboBox::backgroundColourId, look.lightColour);
    adopt(kPresets, std::move(combo));

    if (patches_ != nullptr) patches_->addListener(this);
    buildSearchMenu(0);
    buildSearchMenu(1);

    adopt(kChannel, std::make_unique<CorvanMidiChannelChooser>(gui_, calls_));
    adopt(kMidiLed, std::make_unique<CvnMidiLed>(gui_));
    auto priority = std::make_unique<FittedBox<CvnLcdComboBox>>("Prio Mode", gui_, P::kNotePriority);
    priority->addItemList({"Low", "High", "Last"}, 1);
    priority->setUp(-1);
    adopt(kPriority, std::move(priority));
    adopt(kUnison, std::make_unique<CvnLcdNumericalSwitch>(gui_, P::kUnisonVoices, 2, 4));
    adopt(kPolyphony, std::make_unique<CvnLcdNumericalSwitch>(gui_, P::kPolyphony, 2, 32));
    adopt(kCpu, std::make_unique<CvnCpuLevel>([instrument] { return instrument != nullptr ? instrument->getCpuLoad() : 0; }));
    adopt(kMap, imageButton("Open Soundmap", art::Icon::map, false));
    getButton(kMap).addListener(this);

    placeChildren(kLayout, children_);
    // The library announced its patches before this toolbar listened, when it is made after the instrument.
    refreshPresetCombo();
}

CorvanToolbar::~CorvanToolbar() {
    if (patches_ != nullptr) patches_->removeListener(this);
    for (auto& child : owned_) child.reset();
    mapHandler_.reset();
    setLookAndFeel(nullptr);
}

void CorvanToolbar::adopt(Child child, std::unique_ptr<juce::Component> component) {
    children_[static_cast<size_t>(child)] = component.get();
    addAndMakeVisible(*component);
    owned_[static_cast<size_t>(child)] = std::move(component);
}

juce::Button& CorvanToolbar::getButton(Child child) const {
    return dynamic_cast<juce::Button&>(*children_[static_cast<size_t>(child)]);
}

void CorvanToolbar::paint(juce::Graphics& g) { g.drawImage(background_, getLocalBounds().toFloat()); }

void CorvanToolbar::buttonClicked(juce::Button* button) {
    if (button == children_[kLcdShow] || button == children_[kLcdHide]) {
        // The radio pair reports the button switched off too; only the one switched on asks for something.
        if (showLcd_ && button->getToggleState()) showLcd_(button == children_[kLcdShow]);
    } else if (button == children_[kSave]) {
        if (patches_ != nullptr) patches_->savePatch();
    } else if (button == children_[kSaveAs]) {
        if (patches_ != nullptr) patches_->savePatchAs();
    } else if (button == children_[kUp]) {
        stepPreset(-1);
    } else if (button == children_[kDown]) {
        stepPreset(1);
    } else if (button == children_[kMap]) {
        if (mapHandler_ != nullptr) mapHandler_->toggleBrowser(patches_, instrument_);
    } else if (button == children_[kSearch1]) {
        runSearchMenu(0);
    } else if (button == children_[kSearch2]) {
        runSearchMenu(1);
    }
}

// The box's own change notice loads the patch, so stepping and choosing in the box are one road.
void CorvanToolbar::stepPreset(int delta) {
    const int target = presetCombo_->getSelectedItemIndex() + delta;
    if (presetCombo_->getSelectedItemIndex() < 0 || target < 0 || target >= presetCombo_->getNumItems()) return;
    presetCombo_->setSelectedItemIndex(target, juce::sendNotificationSync);
}

void CorvanToolbar::comboBoxChanged(juce::ComboBox* box) {
    if (box != presetCombo_ || patches_ == nullptr) return;
    MorvanePreset* chosen = patches_->getPreset(presetCombo_->getSelectedItemIndex());
    if (chosen != nullptr && chosen != patches_->getCurrentPreset()) patches_->setCurrentPreset(chosen, false);
}

void CorvanToolbar::presetFilterChanged(int id, int value, int, void*) {
    switch (id) {
    case kColumnChanged:
        updateSearchButton(value);
        refreshPresetCombo();
        break;
    case kAttributesChanged:
        buildSearchMenu(0);
        buildSearchMenu(1);
        refreshPresetCombo();
        break;
    case kDeleted:
        refreshPresetCombo();
        buildSearchMenu(0);
        buildSearchMenu(1);
        break;
    case kNameChanged:
    case kAdded:
    case kModifiedChanged:
    case kSaved: refreshPresetCombo(); break;
    case kCurrentChanged: selectCurrentInCombo(); break;
    default: break;
    }
}

void CorvanToolbar::buildSearchMenu(int n) {
    MorvanePresetManager* manager = patches_ != nullptr ? patches_->getPresetManager() : nullptr;
    searchMenus_[static_cast<size_t>(n)] = manager != nullptr ? CorvanSearchMenu::build(*manager, n) : juce::PopupMenu();
}

void CorvanToolbar::runSearchMenu(int n) {
    if (patches_ == nullptr) return;
    const int chosen = calls_.showMenu(searchMenus_[static_cast<size_t>(n)]);
    getButton(n == 0 ? kSearch1 : kSearch2).setButtonText(CorvanSearchMenu::choose(*patches_, n, chosen));
}

// Whoever set the column (this toolbar or an LCD page), the button shows it.
void CorvanToolbar::updateSearchButton(int column) {
    if ((column != 0 && column != 1) || patches_ == nullptr) return;
    getButton(column == 0 ? kSearch1 : kSearch2).setButtonText(CorvanSearchMenu::buttonText(*patches_, column));
}

void CorvanToolbar::refreshPresetCombo() {
    if (patches_ == nullptr) return;
    juce::StringArray names;
    patches_->getPresetDisplayNames(names);
    presetCombo_->clear(juce::dontSendNotification);
    for (int i = 0; i < names.size(); ++i)
        if (names[i].isNotEmpty()) presetCombo_->addItem(names[i], i + 1);
    selectCurrentInCombo();
}

// A factory patch is only ever saved under a new name, so Save waits for a user patch.
void CorvanToolbar::selectCurrentInCombo() {
    if (patches_ == nullptr) return;
    MorvanePreset* current = patches_->getCurrentPreset();
    const int row = patches_->indexOfPreset(current);
    if (row != -1) presetCombo_->setSelectedId(row + 1, juce::dontSendNotification);
    getButton(kSave).setEnabled(current != nullptr && current->isUserPreset());
}

} // namespace corvex
