// The front panel.
#include "editor/CorvanControlPanel.h"

#include "CorvexArtwork.h"
#include "editor/ModalCalls.h"
#include "editor/ProjectTransfer.h"
#include "presets/CorvanMultiFilterManager.h"
#include "presets/MorvanePreset.h"
#include "presets/MorvanePresetManager.h"
#include "widgets/CorvanLookAndFeel.h"
#include "widgets/CvnBlueLedButton.h"
#include "widgets/CvnFlatKnob.h"
#include "widgets/CvnGreen2LedButton.h"
#include "widgets/CvnLeft4PosKnob.h"
#include "widgets/CvnLeftKnob.h"
#include "widgets/CvnLeftSlider.h"
#include "widgets/CvnLeftSwitch2Pos.h"
#include "widgets/CvnLfoButton.h"
#include "widgets/CvnLfoLed.h"
#include "widgets/CvnMiddle4PosKnob.h"
#include "widgets/CvnMiddleKnob.h"
#include "widgets/CvnMiddleSlider.h"
#include "widgets/CvnOrangeLedButton.h"
#include "widgets/CvnRedLedButton.h"
#include "widgets/CvnRightSlider.h"
#include "widgets/CvnRightSwitch2Pos.h"
#include "widgets/CvnSwitch3Pos.h"
#include "widgets/CvnWheelKnob.h"
#include "widgets/CvnWhiteLedButton.h"
#include "widgets/CvnYellowLedButton.h"
#include "widgets/MVFilmStrip.h"

namespace corvex {

namespace {

namespace fp = frontpanel;

const juce::Colour kLabelColour{0xFFC9CCD2};
const juce::Colour kTitleColour{0xFFE8E4DA};

std::unique_ptr<juce::Component> makeWidget(fp::Widget widget, MVGuiInterface* gui, int index) {
    switch (widget) {
    case fp::Widget::LeftKnob: return std::make_unique<CvnLeftKnob>(gui, index);
    case fp::Widget::MiddleKnob: return std::make_unique<CvnMiddleKnob>(gui, index);
    case fp::Widget::Left4PosKnob: return std::make_unique<CvnLeft4PosKnob>(gui, index);
    case fp::Widget::Middle4PosKnob: return std::make_unique<CvnMiddle4PosKnob>(gui, index);
    case fp::Widget::FlatKnob: return std::make_unique<CvnFlatKnob>(gui, index);
    case fp::Widget::Wheel: return std::make_unique<CvnWheelKnob>(gui, index);
    case fp::Widget::LeftSlider: return std::make_unique<CvnLeftSlider>(gui, index);
    case fp::Widget::MiddleSlider: return std::make_unique<CvnMiddleSlider>(gui, index);
    case fp::Widget::RightSlider: return std::make_unique<CvnRightSlider>(gui, index);
    case fp::Widget::LeftSwitch2: return std::make_unique<CvnLeftSwitch2Pos>(gui, index);
    case fp::Widget::RightSwitch2: return std::make_unique<CvnRightSwitch2Pos>(gui, index);
    case fp::Widget::Switch3: return std::make_unique<CvnSwitch3Pos>(gui, index);
    case fp::Widget::OrangeLed: return std::make_unique<CvnOrangeLedButton>(gui, index);
    case fp::Widget::GreenLed: return std::make_unique<CvnGreen2LedButton>(gui, index);
    case fp::Widget::BlueLed: return std::make_unique<CvnBlueLedButton>(gui, index);
    case fp::Widget::WhiteLed: return std::make_unique<CvnWhiteLedButton>(gui, index);
    case fp::Widget::YellowLed: return std::make_unique<CvnYellowLedButton>(gui, index);
    case fp::Widget::RedLed: return std::make_unique<CvnRedLedButton>(gui, index);
    case fp::Widget::LfoLamp: return std::make_unique<CvnLfoLed>(gui, index);
    case fp::Widget::LfoButton: return std::make_unique<CvnLfoButton>(gui, index);
    }
    return nullptr;
}

juce::Rectangle<int> toRectangle(const fp::Rect& r) { return {r.x, r.y, r.width, r.height}; }

} // namespace

CorvanControlPanel::CorvanControlPanel(MVGuiInterface* gui, CorvanMultiFilterManager* patches, ModalCalls& calls)
    : gui_(gui), patches_(patches), calls_(calls), keyboard_(gui) {
    for (const fp::Row& row : fp::kRows) {
        // Only bound rows reach a parameter; the LEDs of the groups and of the panel's own rows stay unbound.
        auto widget = makeWidget(row.widget, gui, row.role == fp::Role::Bound ? row.index : -1);
        widget->setBounds(toRectangle(fp::boundsOf(row)));
        addAndMakeVisible(*widget);
        auto* button = dynamic_cast<juce::Button*>(widget.get());
        switch (row.role) {
        case fp::Role::PreferredSlot: preferred_[static_cast<size_t>(row.step)] = button; break;
        case fp::Role::ProjectImport: importLed_ = button; break;
        case fp::Role::ProjectExport: exportLed_ = button; break;
        default: break;
        }
        widgets_.push_back(std::move(widget));
    }
    for (juce::Button* led : preferred_) led->addListener(this);
    importLed_->addListener(this);
    exportLed_->addListener(this);

    for (const fp::ButtonGroup& group : fp::kButtonGroups) {
        std::vector<juce::Button*> steps(static_cast<size_t>(group.steps), nullptr);
        for (int i = 0; i < fp::kRowCount; ++i) {
            const fp::Row& row = fp::kRows[i];
            if (row.role == fp::Role::GroupStep && row.index == group.index)
                steps[static_cast<size_t>(row.step)] = dynamic_cast<juce::Button*>(widgets_[static_cast<size_t>(i)].get());
        }
        auto made = std::make_unique<MVButtonGroup>(gui, group.index);
        for (juce::Button* step : steps) made->addButton(step);
        groups_.push_back(std::move(made));
    }

    keyboard_.setBounds(toRectangle(fp::kKeyboard));
    addAndMakeVisible(keyboard_);
    splitMarker_ = std::make_unique<CorvanMoveSplitComponent>(gui, &keyboard_);
    splitMarker_->setBounds(toRectangle(fp::kSplitMarker));
    addChildComponent(*splitMarker_);
    smallLcd_ = std::make_unique<CorvanSmallLcd>(gui, patches);
    smallLcd_->setBounds(toRectangle(fp::kSmallLcd));
    addAndMakeVisible(*smallLcd_);

    setBackgroundImage(CorvexArtwork::front_panel_png, CorvexArtwork::front_panel_pngSize);
    setSize(fp::kWidth, fp::kHeight);
    setOpaque(true);
    refreshPreferedLeds(MorvanePresetFilterManager::kPatches);
    if (patches_ != nullptr) patches_->addListener(this);
}

CorvanControlPanel::~CorvanControlPanel() {
    if (patches_ != nullptr) patches_->removeListener(this);
    for (juce::Button* led : preferred_) led->removeListener(this);
    importLed_->removeListener(this);
    exportLed_->removeListener(this);
    groups_.clear();
}

juce::Font CorvanControlPanel::labelFont() {
    return juce::Font(CorvanLookAndFeel::kTypefaceName, kLabelFontHeight, juce::Font::plain);
}

juce::Font CorvanControlPanel::titleFont() {
    return juce::Font(CorvanLookAndFeel::kTypefaceName, kTitleFontHeight, juce::Font::bold);
}

MVButtonGroup* CorvanControlPanel::getGroup(int index) const {
    for (size_t i = 0; i < groups_.size(); ++i)
        if (fp::kButtonGroups[i].index == index) return groups_[i].get();
    return nullptr;
}

void CorvanControlPanel::paint(juce::Graphics& g) {
    MVPanel::paint(g);
    g.setColour(kTitleColour);
    g.setFont(titleFont());
    for (const fp::Section& section : fp::kSections)
        g.drawText(section.title, toRectangle(fp::titleBoxOf(section)), juce::Justification::centredLeft, false);
    const juce::Font font = labelFont();
    g.setFont(font);
    g.setColour(kLabelColour);
    for (const fp::Row& row : fp::kRows) {
        const int width = font.getStringWidth(row.label) + 2;
        g.drawText(row.label, toRectangle(fp::labelBoxOf(row, width)), juce::Justification::centred, false);
    }
}

void CorvanControlPanel::modifierKeysChanged(const juce::ModifierKeys& modifiers) {
    storeMode_ = modifiers.isShiftDown();
}

void CorvanControlPanel::presetFilterChanged(int id, int value, int, void*) {
    if (id == MorvanePresetFilterManager::kCurrentPresetChanged) refreshPreferedLeds(value);
}

void CorvanControlPanel::refreshPreferedLeds(int kind) {
    if (kind != MorvanePresetFilterManager::kPatches || patches_ == nullptr) return;
    const juce::Array<int> lit = patches_->getPreferedPresetIndices();
    for (int k = 0; k < kPreferredSlots; ++k)
        preferred_[static_cast<size_t>(k)]->setToggleState(lit.contains(k), juce::dontSendNotification);
}

void CorvanControlPanel::buttonClicked(juce::Button* button) {
    if (patches_ == nullptr || gui_ == nullptr) return;
    if (button == importLed_ || button == exportLed_) {
        if (button == importLed_)
            projecttransfer::importProject(calls_, *patches_, *gui_);
        else
            projecttransfer::exportProject(calls_, *patches_, *gui_);
        button->setToggleState(false, juce::dontSendNotification);
        return;
    }
    for (int k = 0; k < kPreferredSlots; ++k) {
        if (button != preferred_[static_cast<size_t>(k)]) continue;
        // Shift held stores the patch playing now in the slot; a plain click plays the slot's patch.
        if (storeMode_) {
            if (const MorvanePreset* patch = patches_->getCurrentPreset())
                if (MorvanePresetManager* manager = patches_->getPresetManager())
                    manager->getPreferred().save(k, patch->getIdentifier());
        } else {
            patches_->selectPreferedPreset(k);
        }
        refreshPreferedLeds(MorvanePresetFilterManager::kPatches);
        return;
    }
}

} // namespace corvex
