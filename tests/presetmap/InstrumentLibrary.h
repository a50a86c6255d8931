// The instrument with the product's preset library over a temporary settings folder holding the factory bank,
// and the map's adapter over both.
#pragma once

#include <functional>
#include <memory>

#include <juce_events/juce_events.h>

#include "instrument/CorvanAudioFilter.h"
#include "presetmap/CorvanSoundmapAdapter.h"
#include "presets/CorvanMultiFilterManager.h"
#include "presets/CorvanPresetServices.h"
#include "presets/FactoryBank.h"
#include "tests/presets/PresetTestSupport.h"

namespace corvex::testing {

class InstrumentLibrary {
public:
    // beforeScan may add files to the bank before the library reads it.
    explicit InstrumentLibrary(const std::function<void(const juce::File& bank)>& beforeScan = {}) {
        installFactoryBank(folder);
        if (beforeScan) beforeScan(factoryBankFolder(folder));
        instrument = CorvanAudioFilter::createPluginFilter(folder, std::make_unique<CorvanPresetServices>(folder));
        adapter = std::make_unique<CorvanSoundmapAdapter>(patches(), *instrument, folder, nullptr);
    }
    ~InstrumentLibrary() {
        adapter.reset();
        instrument.reset();
    }

    CorvanMultiFilterManager& patches() { return *instrument->getPatchFilterManager(); }
    MorvanePreset* patch(const juce::String& identifier) { return patches().getPresetManager()->findPreset(identifier); }
    // A new user patch of what is heard now.
    MorvanePreset* saveNewPatch(const juce::String& name) {
        instrument->getProgramFilterManager(false)->saveCurrentAsNewPreset(name);
        return patches().saveCurrentAsNewPreset(name);
    }
    void deliverMessages() { juce::MessageManager::getInstance()->runDispatchLoopUntil(1); }

    juce::ScopedJuceInitialiser_GUI juceRuntime;
    TempFolder temp;
    MorvaneFindFolder folder{temp.root(), "Corvex2"};
    std::unique_ptr<CorvanAudioFilter> instrument;
    std::unique_ptr<CorvanSoundmapAdapter> adapter;
};

} // namespace corvex::testing
