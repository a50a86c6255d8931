// Makes the factory bank: plays each sound of the tables into a real instrument by parameter key and saves
// the layer or patch state through the preset library's own files, as a user's save would.
#pragma once

#include <memory>
#include <vector>

#include <juce_core/juce_core.h>
#include <juce_events/juce_events.h>

namespace corvex {

class CorvanAudioFilter;
class MorvaneFindFolder;

namespace factory {

struct Setting;

class FactoryBankGenerator {
public:
    FactoryBankGenerator();
    ~FactoryBankGenerator();
    FactoryBankGenerator(const FactoryBankGenerator&) = delete;
    FactoryBankGenerator& operator=(const FactoryBankGenerator&) = delete;

    // Writes "Default" and every program (".cvp") and patch (".cvm") of the tables into folder, after
    // removing the preset files a previous run left there. False, with the reason on stderr, when a table
    // names a key, program or mode that does not exist, or a file cannot be written.
    bool generate(const juce::File& folder);

private:
    bool makePrograms(const juce::File& staging);
    bool makePatches(const juce::File& staging);
    bool apply(const std::vector<Setting>& settings, int wantedLayer, const char* sound);
    int findParameter(const juce::String& key) const;
    void settle();

    juce::ScopedJuceInitialiser_GUI juce_; // the instrument's idle timer needs a message manager
    juce::File settingsRoot_;
    std::unique_ptr<MorvaneFindFolder> folder_;
    std::unique_ptr<CorvanAudioFilter> filter_;
    std::vector<uint8_t> initialLayer_;
    std::vector<uint8_t> initialPatch_;
};

} // namespace factory

} // namespace corvex
