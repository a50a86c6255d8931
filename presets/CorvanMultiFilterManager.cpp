// The patches over the two layers' programs: choosing, editing and saving a patch.
#include "presets/CorvanMultiFilterManager.h"

#include <algorithm>
#include <iostream>

namespace corvex {

namespace {

const char* const kModeNames[3] = {"Whole", "Dual", "Split"};

juce::String modePrefix(const MorvanePreset& patch) {
    const juce::String mode = patch.getAttribute(CorvanMultiFilterManager::kModeKey);
    if (mode == "Whole")
        return "w: ";
    if (mode == "Dual")
        return "d: ";
    if (mode == "Split")
        return "s: ";
    return {};
}

} // namespace

CorvanMultiFilterManager::CorvanMultiFilterManager(MorvanePresetFilterManager* lowerPrograms,
                                                   MorvanePresetFilterManager* upperPrograms)
    : lowerPrograms_(lowerPrograms), upperPrograms_(upperPrograms) {
    lowerPrograms_->addListener(this);
    upperPrograms_->addListener(this);
    // Whole first, then Split, then Dual; by name within a mode.
    setSortKey(kModeKey, 0);
}

CorvanMultiFilterManager::~CorvanMultiFilterManager() {
    lowerPrograms_->removeListener(this);
    upperPrograms_->removeListener(this);
}

void CorvanMultiFilterManager::addListener(MorvanePresetFilterManagerListener* listener) {
    MorvanePresetFilterManager::addListener(listener);
    lowerPrograms_->addListener(listener);
    upperPrograms_->addListener(listener);
}

void CorvanMultiFilterManager::removeListener(MorvanePresetFilterManagerListener* listener) {
    MorvanePresetFilterManager::removeListener(listener);
    lowerPrograms_->removeListener(listener);
    upperPrograms_->removeListener(listener);
}

void CorvanMultiFilterManager::getPresetDisplayNames(juce::StringArray& names) {
    const int first = names.size();
    MorvanePresetFilterManager::getPresetDisplayNames(names);
    for (int i = first; i < names.size(); ++i)
        if (const MorvanePreset* patch = getPreset(i - first))
            names.set(i, modePrefix(*patch) + names[i]);
}

void CorvanMultiFilterManager::setCurrentPreset(MorvanePreset* patch, bool force) {
    // The patch's own file is checked before either layer changes: a patch refused after its programs were
    // switched would leave the previous patch current with those programs in it, and a save would keep them.
    if (patch != nullptr && patch != currentPreset() && !patch->check(getChunkInterface())) {
        reportNotMadeCurrent(*patch);
        return;
    }
    if (patch != nullptr) {
        // Lower first, then Upper, each reloaded even when it is already the layer's program; a program the
        // library lost plays the default program and the patch keeps naming the lost one.
        MorvanePresetManager* programs = lowerPrograms_->getPresetManager();
        const auto programOf = [&](MorvanePresetFilterManager* layer, const char* key) {
            MorvanePreset* program = layer->getPresetByName(patch->getAttribute(key));
            return program != nullptr ? program : (programs != nullptr ? programs->getDefaultPreset() : nullptr);
        };
        lowerProgram_ = programOf(lowerPrograms_, kLowerProgramKey);
        lowerPrograms_->setCurrentPreset(lowerProgram_, true);
        upperProgram_ = programOf(upperPrograms_, kUpperProgramKey);
        upperPrograms_->setCurrentPreset(upperProgram_, true);
    }
    if (patch == currentPreset())
        return;
    MorvanePresetFilterManager::setCurrentPreset(patch, force);
}

MorvanePreset* CorvanMultiFilterManager::createNewPreset(int /*unused*/) {
    CorvanMultiManager* patches = multiManager();
    if (patches == nullptr)
        return nullptr;
    MorvanePreset* patch = patches->createNewPreset("New_Patch");
    if (patch == nullptr)
        return nullptr;
    setCurrentPreset(patch, false);
    const juce::String program = patches->getProgramManager().getDefaultPreset()->getIdentifier();
    patch->setAttribute(kLowerProgramKey, program, true);
    patch->setAttribute(kUpperProgramKey, program, true);
    patch->setAttribute(kModeKey, "Whole", true);
    patch->saveAttributes();
    return patch;
}

bool CorvanMultiFilterManager::savePreset(MorvanePreset* patch) {
    // A factory patch is refused before it is touched: it would otherwise show edits nobody made.
    if (patch != nullptr && patch->isUserPreset()) {
        patch->setAttribute(kLowerProgramKey, lowerPrograms_->getCurrentPreset()->getIdentifier(), true);
        patch->setAttribute(kUpperProgramKey, upperPrograms_->getCurrentPreset()->getIdentifier(), true);
    }
    return MorvanePresetFilterManager::savePreset(patch);
}

void CorvanMultiFilterManager::writeState(std::vector<uint8_t>& out) {
    MorvanePresetFilterManager::writeState(out);
    lowerPrograms_->writeState(out);
    upperPrograms_->writeState(out);
}

bool CorvanMultiFilterManager::readState(ByteReader& in) {
    StateSection patch, lower, upper;
    if (!readStateSection(in, patch) || !readStateSection(in, lower) || !readStateSection(in, upper)) {
        std::cerr << "Saved state: patch or program section damaged, state ignored\n";
        return false;
    }
    // Every payload is offered to its reader before any preset is chosen: choosing the patch alone already
    // changes both layers, so a refusal found half-way could not be undone.
    if (!checkStateSection(patch) || !lowerPrograms_->checkStateSection(lower) ||
        !upperPrograms_->checkStateSection(upper)) {
        std::cerr << "Saved state: a sound in it cannot be read, state ignored\n";
        return false;
    }
    const bool patchTaken = applyStateSection(patch);
    const bool lowerTaken = lowerPrograms_->applyStateSection(lower);
    const bool upperTaken = upperPrograms_->applyStateSection(upper);
    return patchTaken && lowerTaken && upperTaken;
}

void CorvanMultiFilterManager::presetFilterChanged(int id, int value, int /*value2*/, void* /*pointer*/) {
    MorvanePreset* patch = getCurrentPreset();
    switch (id) {
    case kCurrentPresetChanged: {
        const bool lower = value == kLowerPrograms;
        if (!lower && value != kUpperPrograms)
            return;
        MorvanePreset* program = (lower ? lowerPrograms_ : upperPrograms_)->getCurrentPreset();
        MorvanePreset*& taken = lower ? lowerProgram_ : upperProgram_;
        if (program == nullptr || program == taken)
            return;
        taken = program;
        if (patch != nullptr)
            patch->setAttribute(lower ? kLowerProgramKey : kUpperProgramKey, program->getIdentifier(), true);
        return;
    }
    case MorvanePresetManager::kReverted:
        for (MorvanePresetFilterManager* layer : {lowerPrograms_, upperPrograms_})
            if (layer->getCurrentPreset() != nullptr && layer->getCurrentPreset()->isModified())
                setPresetModified(patch, true, true);
        return;
    case MorvanePresetManager::kChanged:
    case MorvanePresetManager::kAdded:
    case MorvanePresetManager::kDeleted:
        // Patches are found and sorted through their programs' attributes too.
        markListDirty();
        return;
    default:
        return;
    }
}

void CorvanMultiFilterManager::keyModeChanged(float value) {
    const int step = std::clamp(static_cast<int>(value * 3.0f), 0, 2);
    MorvanePreset* patch = getCurrentPreset();
    if (patch != nullptr && patch->getAttribute(kModeKey) != kModeNames[step])
        patch->setAttribute(kModeKey, kModeNames[step], true);
}

void CorvanMultiFilterManager::shownLayerChanged(float value) {
    shownLayer_ = std::clamp(static_cast<int>(value * 2.0f), 0, 1);
    post(kShownLayer, shownLayer_, 0, nullptr);
}

void CorvanMultiFilterManager::setShownLayer(int layer) {
    if (layerSwitch_ != nullptr) layerSwitch_->showLayer(layer);
}

std::optional<ProgramSaveChoice> CorvanMultiFilterManager::askAboutProgram(const char* label,
                                                                          MorvanePresetFilterManager* programs,
                                                                          MorvanePreset* patch) {
    MorvanePreset* program = programs->getCurrentPreset();
    if (program == nullptr || !program->isModified())
        return ProgramSaveChoice{};
    ProgramSaveQuestion question{label, programs, program, {}};
    if (CorvanMultiManager* patches = multiManager())
        question.otherPatches = patches->getPatchesUsingProgram(program, patch);
    if (!program->isUserPreset())
        return prompt_ != nullptr ? prompt_->askFactoryProgram(question) : ProgramSaveChoice{};
    if (!question.otherPatches.isEmpty())
        return prompt_ != nullptr ? prompt_->askSharedProgram(question) : ProgramSaveChoice{};
    return ProgramSaveChoice{ProgramSaveChoice::kSave, {}, {}, {}};
}

void CorvanMultiFilterManager::savePatch() {
    MorvanePreset* patch = currentPreset();
    // Every question is answered before anything is written, so that a cancel at any of them leaves the
    // files and the modified marks as they were.
    const std::optional<ProgramSaveChoice> upper = askAboutProgram("Upper", upperPrograms_, patch);
    if (!upper)
        return;
    std::optional<ProgramSaveChoice> lower = ProgramSaveChoice{};
    // A program both layers play is asked about once.
    const bool lowerCounts = patch == nullptr || patch->getAttribute(kModeKey) != "Whole";
    if (lowerCounts && lowerPrograms_->getCurrentPreset() != upperPrograms_->getCurrentPreset())
        lower = askAboutProgram("Lower", lowerPrograms_, patch);
    if (!lower)
        return;
    applyProgramSaveChoice(*upperPrograms_, *upper);
    applyProgramSaveChoice(*lowerPrograms_, *lower);
    if (patch != nullptr)
        savePreset(patch);
}

void CorvanMultiFilterManager::savePatchAs() {
    if (prompt_ == nullptr)
        return;
    if (const std::optional<PatchSaveAsChoice> choice = prompt_->askSaveAs(*this))
        applySaveAs(*choice);
}

MorvanePreset* CorvanMultiFilterManager::applySaveAs(const PatchSaveAsChoice& choice) {
    CorvanMultiManager* patches = multiManager();
    // A patch is never stored without a name; nothing is written for a choice that lacks one.
    if (patches == nullptr || choice.name.trim().isEmpty())
        return nullptr;
    MorvanePreset* lower = applyProgramSaveChoice(*lowerPrograms_, choice.lower);
    MorvanePreset* upper = applyProgramSaveChoice(*upperPrograms_, choice.upper);
    MorvanePreset* patch = patches->duplicatePreset(getCurrentPreset());
    if (patch == nullptr)
        return nullptr;
    patch->setName(choice.name);
    patch->setAttribute(kProjectKey, choice.project, true);
    if (lower != nullptr)
        patch->setAttribute(kLowerProgramKey, lower->getIdentifier(), true);
    if (upper != nullptr)
        patch->setAttribute(kUpperProgramKey, upper->getIdentifier(), true);
    savePreset(patch);
    setCurrentPreset(patch, false);
    return patch;
}

MorvanePreset* applyProgramSaveChoice(MorvanePresetFilterManager& programs, const ProgramSaveChoice& choice) {
    MorvanePreset* program = programs.getCurrentPreset();
    if (program == nullptr)
        return nullptr;
    switch (choice.kind) {
    case ProgramSaveChoice::kSave:
        programs.savePreset(program);
        return program;
    case ProgramSaveChoice::kSaveAs: {
        MorvanePresetManager* manager = programs.getPresetManager();
        MorvanePreset* copy = manager != nullptr ? manager->duplicatePreset(program) : nullptr;
        if (copy == nullptr)
            return program;
        if (choice.name.trim().isNotEmpty())
            copy->setName(choice.name);
        if (choice.type.isNotEmpty())
            copy->setAttribute("Type", choice.type, true);
        copy->removeAttribute("Characteristics", {});
        for (const juce::String& value : choice.characteristics)
            copy->setAttribute("Characteristics", value, true);
        // The copy keeps the sound the layer plays now, edits included.
        programs.savePreset(copy);
        programs.setCurrentPreset(copy, false);
        return copy;
    }
    case ProgramSaveChoice::kDoNotSave:
    default:
        return program;
    }
}

} // namespace corvex
