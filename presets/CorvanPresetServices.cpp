// The preset library the instrument owns, made and deleted in order.
#include "presets/CorvanPresetServices.h"

#include "presets/FactoryBank.h"

namespace corvex {

CorvanPresetServices::~CorvanPresetServices() {
    destroyFilterManagers();
    destroyPresetManagers();
}

void CorvanPresetServices::create(MorvanePresetChunkInterface& lower, MorvanePresetChunkInterface& upper,
                                  MorvanePresetChunkInterface& multi, MorvanePresetManagerListener& listener) {
    // Before the banks are scanned, so that a first start finds the factory sounds; a failure is reported and
    // the library still opens with what is there.
    if (factory_ == FactoryBank::Install) installFactoryBank(folder_);
    programs_ = std::make_unique<CorvanProgramManager>(folder_);
    patches_ = std::make_unique<CorvanMultiManager>(folder_, *programs_);
    listener_ = &listener;
    patches_->addListener(listener_);
    // Each binding loads its start preset; the patch's comes last and so decides what both layers play.
    lowerFilter_ = std::make_unique<CorvanProgramFilterManager>();
    lowerFilter_->setPresetManager(&lower, programs_.get(), MorvanePresetFilterManager::kLowerPrograms);
    upperFilter_ = std::make_unique<CorvanProgramFilterManager>();
    upperFilter_->setPresetManager(&upper, programs_.get(), MorvanePresetFilterManager::kUpperPrograms);
    patchFilter_ = std::make_unique<CorvanMultiFilterManager>(lowerFilter_.get(), upperFilter_.get());
    patchFilter_->setPresetManager(&multi, patches_.get(), MorvanePresetFilterManager::kPatches);
}

void CorvanPresetServices::markLayerPresetModified(bool lower) {
    MorvanePresetFilterManager* programs = programFilterManager(lower);
    if (programs != nullptr)
        programs->setPresetModified(programs->getCurrentPreset(), true, true);
}

void CorvanPresetServices::destroyFilterManagers() {
    // The patches listen to both layers: they go first.
    patchFilter_.reset();
    upperFilter_.reset();
    lowerFilter_.reset();
}

void CorvanPresetServices::destroyPresetManagers() {
    if (patches_ != nullptr && listener_ != nullptr)
        patches_->removeListener(listener_);
    patches_.reset();
    programs_.reset();
}

} // namespace corvex
