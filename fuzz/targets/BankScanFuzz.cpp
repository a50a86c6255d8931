// The scan of the banks at start: the input lies among a few factory presets, once as a program in the
// "Factory" bank and once as a patch in a user project. Both managers scan and index, each preset loads,
// and the patches look up their programs.
#include "fuzz/FuzzSupport.h"
#include "presets/CorvanMultiManager.h"
#include "presets/FactoryBank.h"

using namespace corvex;

namespace {

// Enough of the factory bank for the input to meet identifiers, names and programs already taken.
const juce::StringArray kFactoryFiles{"Default.cvp", "Default.cvm", "U_1001.cvp", "U_1002.cvp", "U_2001.cvm"};

void scanAndLoad(const MorvaneFindFolder& folder) {
    CorvanProgramManager programs(folder);
    CorvanMultiManager patches(folder, programs);
    for (MorvanePresetManager* manager : std::initializer_list<MorvanePresetManager*>{&programs, &patches}) {
        juce::StringArray keys;
        manager->getIndexedKeys(keys);
        for (const juce::String& key : keys) {
            juce::StringArray values;
            manager->getUsedAttributeValues(key, values);
            for (const juce::String& value : values) {
                std::set<juce::String> found;
                manager->findPresetsWithAttribute(key, value, found);
            }
        }
        manager->getFirstPreferredPreset();
        for (const auto& entry : manager->getPresets()) {
            fuzz::AcceptingChunks chunks;
            entry.second->load(&chunks);
        }
    }
    for (const auto& entry : patches.getPresets()) {
        patches.getProgramManager().findPreset(entry.second->getAttribute("Program1"));
        patches.getPatchesUsingProgram(entry.second.get(), nullptr);
    }
    fuzz::deliverMessages();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const MorvaneFindFolder folder = [] {
        MorvaneFindFolder made(fuzz::freshFolder("bankscan"), "Corvex2");
        const juce::File factory = factoryBankFolder(made);
        for (const FactoryBankFile& file : factoryBankFiles())
            if (kFactoryFiles.contains(file.name))
                fuzz::writeInput(factory.getChildFile(file.name), static_cast<const uint8_t*>(file.data), file.size);
        return made;
    }();
    const juce::File root = folder.getSettingsFolder();
    fuzz::writeInput(root.getChildFile("Factory").getChildFile("input.cvp"), data, size);
    fuzz::writeInput(root.getChildFile("User").getChildFile("Live").getChildFile("input.cvm"), data, size);
    scanAndLoad(folder);
    return 0;
}
