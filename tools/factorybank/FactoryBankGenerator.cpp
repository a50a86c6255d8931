// Makes the factory bank: plays each sound of the tables into a real instrument by parameter key and saves
// the layer or patch state through the preset library's own files, as a user's save would.
#include "tools/factorybank/FactoryBankGenerator.h"

#include <iostream>
#include <map>

#include "instrument/CorvanAudioFilter.h"
#include "instrument/MorvaneFindFolder.h"
#include "instrument/params/ParameterIndex.h"
#include "presets/CorvanMultiManager.h"
#include "presets/CorvanProgramManager.h"
#include "tools/factorybank/FactorySounds.h"

namespace corvex::factory {

namespace {

constexpr int kKernelBlock = 32;
constexpr double kSampleRate = 44100.0;
constexpr int kUpperLayer = 0;
constexpr int kGlobal = -1;
const juce::StringArray kKeyModes{"Whole", "Dual", "Split"};

juce::String identifierOf(int number) { return "U_" + juce::String(number); }

// Preset files are written into a "User" bank, the only one the library writes, and published from there.
juce::File userBank(const MorvanePresetManager& manager) { return manager.getBankRoot().getChildFile("User"); }

bool fail(const juce::String& why) {
    std::cerr << "corvex-factorybank: " << why << "\n";
    return false;
}

} // namespace

FactoryBankGenerator::FactoryBankGenerator()
    : settingsRoot_(juce::File::createTempFile("corvex-factorybank-instrument")) {
    folder_ = std::make_unique<MorvaneFindFolder>(settingsRoot_, "Corvex2");
    filter_ = CorvanAudioFilter::createPluginFilter(*folder_, std::make_unique<NoPresetServices>());
    if (filter_ == nullptr) return;
    filter_->prepareToPlay(kSampleRate, kKernelBlock);
    settle();
    // Every sound starts from the instrument's initial program, so a table lists only what it changes.
    filter_->upperChunk().write(initialLayer_);
    filter_->multiChunk().write(initialPatch_);
}

FactoryBankGenerator::~FactoryBankGenerator() {
    filter_.reset(); // writes its controller map into the private folder, which then goes
    settingsRoot_.deleteRecursively();
}

void FactoryBankGenerator::settle() {
    float left[kKernelBlock] = {}, right[kKernelBlock] = {};
    float* channels[2] = {left, right};
    juce::MidiBuffer none;
    filter_->processBlock(channels, 2, kKernelBlock, false, none);
}

int FactoryBankGenerator::findParameter(const juce::String& key) const {
    const ParameterMapping* table = filter_->getParameterTable();
    for (int index = 0; index < ParameterIndex::kCount; ++index)
        if (juce::String(table->getName(index)) == key) return index;
    return -1;
}

bool FactoryBankGenerator::apply(const std::vector<Setting>& settings, int wantedLayer, const char* sound) {
    for (const Setting& s : settings) {
        const int index = findParameter(s.key);
        if (index < 0) return fail(juce::String("\"") + sound + "\" sets unknown key \"" + s.key + "\"");
        if (ParameterIndex::layerOf(index) != wantedLayer)
            return fail(juce::String("\"") + sound + "\" sets \"" + s.key + "\", which " +
                        (wantedLayer == kGlobal ? "belongs to a layer" : "is not an Upper-layer key"));
        if (!(s.value >= 0.0f && s.value <= 1.0f))
            return fail(juce::String("\"") + sound + "\" sets \"" + s.key + "\" outside 0..1");
        filter_->setParameter(index, s.value);
    }
    settle();
    return true;
}

bool FactoryBankGenerator::makePrograms(const juce::File& staging) {
    MorvaneFindFolder folder(staging, "Corvex2");
    CorvanProgramManager programs(folder);
    auto save = [&](const juce::String& id, const char* name, const char* type,
                    const std::vector<const char*>& characteristics) {
        auto preset = std::make_unique<MorvanePreset>(&programs, programs.getTypeName(),
                                                      userBank(programs).getChildFile(id + programs.getExtension()));
        preset->setIdentifier(id);
        preset->setName(name);
        if (type != nullptr) preset->setAttribute("Type", type, false);
        for (const char* c : characteristics) preset->setAttribute("Characteristics", c, false);
        if (!preset->save(&filter_->upperChunk())) return fail(juce::String("\"") + name + "\" not saved");
        programs.addPreset(std::move(preset), false);
        return true;
    };

    if (!filter_->upperChunk().read(initialLayer_.data(), initialLayer_.size()) ||
        !apply(defaultProgramSettings(), kUpperLayer, "Default") || !save("Default", "Default", nullptr, {}))
        return false;
    for (const ProgramSound& p : programSounds()) {
        if (!CorvanProgramManager::typeValues().contains(p.type))
            return fail(juce::String("\"") + p.name + "\" has unknown type \"" + p.type + "\"");
        for (const char* c : p.characteristics)
            if (!CorvanProgramManager::characteristicValues().contains(c))
                return fail(juce::String("\"") + p.name + "\" has unknown characteristic \"" + c + "\"");
        if (programs.findPreset(identifierOf(p.number)) != nullptr)
            return fail(juce::String("\"") + p.name + "\" reuses number " + juce::String(p.number));
        if (!filter_->upperChunk().read(initialLayer_.data(), initialLayer_.size()) ||
            !apply(p.settings, kUpperLayer, p.name) || !save(identifierOf(p.number), p.name, p.type, p.characteristics))
            return false;
    }
    return true;
}

bool FactoryBankGenerator::makePatches(const juce::File& staging) {
    std::map<juce::String, juce::String> programIds{{"Default", "Default"}};
    for (const ProgramSound& p : programSounds())
        if (!programIds.emplace(p.name, identifierOf(p.number)).second)
            return fail(juce::String("two programs are called \"") + p.name + "\"");

    MorvaneFindFolder folder(staging, "Corvex2");
    CorvanProgramManager programs(folder);
    CorvanMultiManager patches(folder, programs);
    auto save = [&](const juce::String& id, const char* name, const char* project, const juce::String& mode,
                    const juce::String& upper, const juce::String& lower) {
        auto preset = std::make_unique<MorvanePreset>(&patches, patches.getTypeName(),
                                                      userBank(patches).getChildFile(id + patches.getExtension()));
        preset->setIdentifier(id);
        preset->setName(name);
        preset->setAttribute("Mode", mode, false);
        preset->setAttribute("Program1", upper, false);
        preset->setAttribute("Program2", lower, false);
        if (project != nullptr) preset->setAttribute("Project", project, false);
        if (!preset->save(&filter_->multiChunk())) return fail(juce::String("\"") + name + "\" not saved");
        patches.addPreset(std::move(preset), false);
        return true;
    };

    if (!filter_->multiChunk().read(initialPatch_.data(), initialPatch_.size()) ||
        !save("Default", "Default", nullptr, "Whole", "Default", "Default"))
        return false;
    for (const PatchSound& p : patchSounds()) {
        const int mode = kKeyModes.indexOf(p.mode);
        if (mode < 0) return fail(juce::String("\"") + p.name + "\" has unknown mode \"" + p.mode + "\"");
        const bool whole = mode == 0;
        if (whole != (p.lower == nullptr))
            return fail(juce::String("\"") + p.name + "\": only a Whole patch goes without a lower program");
        const auto upper = programIds.find(p.upper);
        // A Whole patch names its one program twice, so that a switch to Dual or Split starts from it.
        const auto lower = programIds.find(whole ? p.upper : p.lower);
        if (upper == programIds.end() || lower == programIds.end())
            return fail(juce::String("\"") + p.name + "\" names a program the tables do not have");
        if (patches.findPreset(identifierOf(p.number)) != nullptr)
            return fail(juce::String("\"") + p.name + "\" reuses number " + juce::String(p.number));
        if (!filter_->multiChunk().read(initialPatch_.data(), initialPatch_.size())) return false;
        filter_->setParameter(ParameterIndex::kKeyMode, choice(mode, kKeyModes.size()));
        if (!apply(p.settings, kGlobal, p.name) ||
            !save(identifierOf(p.number), p.name, p.project, p.mode, upper->second, lower->second))
            return false;
    }
    return true;
}

bool FactoryBankGenerator::generate(const juce::File& folder) {
    if (filter_ == nullptr || initialLayer_.empty() || initialPatch_.empty())
        return fail("the instrument did not start");
    const juce::File staging = juce::File::createTempFile("corvex-factorybank-staging");
    const bool made = makePrograms(staging) && makePatches(staging);
    bool published = made;
    if (made) {
        // A sound taken out of the tables must not linger from an earlier run.
        for (const juce::File& old : folder.findChildFiles(juce::File::findFiles, false, "*.cvp;*.cvm"))
            if (!old.deleteFile()) published = fail("cannot remove " + old.getFullPathName());
        const juce::Result created = folder.createDirectory();
        if (created.failed()) published = fail("cannot create " + folder.getFullPathName());
        juce::Array<juce::File> files = staging.findChildFiles(juce::File::findFiles, true, "*.cvp;*.cvm");
        for (const juce::File& file : files)
            if (published && !file.copyFileTo(folder.getChildFile(file.getFileName())))
                published = fail("cannot write " + folder.getChildFile(file.getFileName()).getFullPathName());
    }
    staging.deleteRecursively();
    return published;
}

} // namespace corvex::factory
