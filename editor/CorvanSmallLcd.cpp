// The small LCD.
#include "editor/CorvanSmallLcd.h"

#include "instrument/params/ParameterIndex.h"
#include "presets/CorvanMultiFilterManager.h"
#include "presets/MorvanePreset.h"
#include "presets/MorvanePresetManager.h"

namespace corvex {

namespace {

const MorvanePreset* currentOf(MorvanePresetFilterManager* manager) {
    return manager != nullptr ? manager->getCurrentPreset() : nullptr;
}

// Only a patch known to be Whole hides the Lower line: with no patch at all both layers may still play.
bool showsLowerLayer(CorvanMultiFilterManager* patches) {
    const MorvanePreset* patch = currentOf(patches);
    return patch == nullptr || patch->getAttribute("Mode") != "Whole";
}

} // namespace

CorvanSmallLcd::CorvanSmallLcd(MVGuiInterface* gui, CorvanMultiFilterManager* patches)
    : patches_(patches), upper_("U: "), lower_("L: ") {
    addAndMakeVisible(upper_);
    addAndMakeVisible(lower_);
    layerGroup_ = std::make_unique<MVButtonGroup>(gui, ParameterIndex::kShownLayer,
                                                  std::initializer_list<juce::Button*>{&upper_, &lower_});
    refresh();
    if (patches_ != nullptr) patches_->addListener(this);
}

CorvanSmallLcd::~CorvanSmallLcd() {
    if (patches_ != nullptr) patches_->removeListener(this);
    layerGroup_.reset();
}

juce::String CorvanSmallLcd::displayName(const MorvanePreset* program) {
    if (program == nullptr) return {};
    return program->getName() + (program->isModified() ? "*" : "");
}

void CorvanSmallLcd::refresh() {
    const MorvanePreset* upper = patches_ != nullptr ? currentOf(patches_->getUpperPrograms()) : nullptr;
    const MorvanePreset* lower = patches_ != nullptr ? currentOf(patches_->getLowerPrograms()) : nullptr;
    upper_.setName("U: " + displayName(upper));
    lower_.setName("L: " + displayName(lower));
    lower_.setVisible(showsLowerLayer(patches_));
    upper_.repaint();
    lower_.repaint();
}

void CorvanSmallLcd::resized() {
    const int x = (getWidth() - kLineWidth) / 2;
    const int gap = (getHeight() - 2 * kLineHeight) / 3;
    upper_.setBounds(x, gap, kLineWidth, kLineHeight);
    lower_.setBounds(x, 2 * gap + kLineHeight, kLineWidth, kLineHeight);
}

void CorvanSmallLcd::presetFilterChanged(int id, int, int, void*) {
    switch (id) {
    case MorvanePresetManager::kRenamed:
    case MorvanePresetManager::kChanged:
    case MorvanePresetFilterManager::kCurrentPresetChanged:
    case MorvanePresetManager::kReverted: refresh(); break;
    default: break;
    }
}

} // namespace corvex
