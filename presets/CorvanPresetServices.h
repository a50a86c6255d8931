// The preset library the instrument owns: the program and patch managers and the three filter managers,
// made, bound and deleted in the order the instrument relies on.
#pragma once

#include <memory>

#include "instrument/MorvaneFindFolder.h"
#include "instrument/PresetServices.h"
#include "presets/CorvanMultiFilterManager.h"
#include "presets/CorvanMultiManager.h"
#include "presets/CorvanProgramFilterManager.h"
#include "presets/CorvanProgramManager.h"

namespace corvex {

class CorvanPresetServices : public PresetServices {
public:
    // The folder must outlive this object.
    // Whether the compiled-in factory bank is installed into the settings folder before the banks are scanned;
    // tests of the library's own lists start from banks they wrote themselves.
    enum class FactoryBank { Install, Leave };

    explicit CorvanPresetServices(const MorvaneFindFolder& folder, FactoryBank factory = FactoryBank::Install)
        : folder_(folder), factory_(factory) {}
    ~CorvanPresetServices() override;

    void create(MorvanePresetChunkInterface& lower, MorvanePresetChunkInterface& upper,
                MorvanePresetChunkInterface& multi, MorvanePresetManagerListener& listener) override;
    HostStateFilter* multiFilterManager() override { return patchFilter_.get(); }
    void markLayerPresetModified(bool lower) override;
    void destroyFilterManagers() override;
    void destroyPresetManagers() override;
    CorvanMultiFilterManager* patchFilterManager() override { return patchFilter_.get(); }
    MorvanePresetFilterManager* programFilterManager(bool lower) override {
        return lower ? lowerFilter_.get() : upperFilter_.get();
    }

    CorvanProgramManager* getProgramManager() const { return programs_.get(); }
    CorvanMultiManager* getMultiManager() const { return patches_.get(); }

private:
    const MorvaneFindFolder& folder_;
    const FactoryBank factory_;
    MorvanePresetManagerListener* listener_ = nullptr;
    std::unique_ptr<CorvanProgramManager> programs_;
    std::unique_ptr<CorvanMultiManager> patches_;
    std::unique_ptr<CorvanProgramFilterManager> lowerFilter_;
    std::unique_ptr<CorvanProgramFilterManager> upperFilter_;
    std::unique_ptr<CorvanMultiFilterManager> patchFilter_;
};

} // namespace corvex
