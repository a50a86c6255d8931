// A project as "Import Project" reads it: the patch section, then the program section, each a count of
// records holding a whole preset file; an input that begins as a zlib stream does (0x78) is a project file,
// the two sections packed. The library is made again from the same banks for every input; after
// the import it starts once more over what the import wrote, loads every preset and deletes the project.
#include "fuzz/FuzzSupport.h"
#include "presets/CorvanPresetServices.h"
#include "presets/FactoryBank.h"
#include "presets/ProjectFile.h"

using namespace corvex;

namespace {

// The project's own presets are user copies of these; the rest are what a library holds beside them.
const juce::StringArray kFactoryFiles{"Default.cvp", "Default.cvm", "U_1001.cvp", "U_1002.cvp", "U_2001.cvm"};

struct Library {
    explicit Library(const MorvaneFindFolder& folder) : services(folder, CorvanPresetServices::FactoryBank::Leave) {
        services.create(lower, upper, multi, listener);
        fuzz::deliverMessages();
    }
    ~Library() { fuzz::deliverMessages(); }

    fuzz::AcceptingChunks lower, upper, multi;
    fuzz::NullPresetListener listener;
    CorvanPresetServices services;
};

void writeBanks(const MorvaneFindFolder& folder) {
    const juce::File factory = factoryBankFolder(folder);
    for (const FactoryBankFile& file : factoryBankFiles())
        if (kFactoryFiles.contains(file.name))
            fuzz::writeInput(factory.getChildFile(file.name), static_cast<const uint8_t*>(file.data), file.size);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const juce::File root = fuzz::freshFolder("project");
    const MorvaneFindFolder folder(root, "Corvex2");
    writeBanks(folder);

    bool imported = false;
    {
        Library library(folder);
        CorvanMultiFilterManager& patches = *library.services.patchFilterManager();
        if (size > 0 && data[0] == 0x78) {
            imported = projectfile::import(patches, data, size, "Live");
        } else {
            juce::MemoryInputStream in(data, size, false);
            imported = patches.importProject(in, "Live");
        }
    }
    if (imported) {
        Library library(folder);
        CorvanMultiFilterManager& patches = *library.services.patchFilterManager();
        for (const auto& entry : library.services.getMultiManager()->getPresets())
            patches.setCurrentPreset(entry.second.get(), true);
        patches.deleteProject("Live");
    }
    return 0;
}
