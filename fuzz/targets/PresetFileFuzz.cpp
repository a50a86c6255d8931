// One preset file as the library reads it: the "XML" block and its length, the header with the preset's id,
// name and attributes, the "DATA" marker, the flags and the zlib payload. Read as a program and as a patch;
// a file that loads has its header rewritten from what was read, as editing an attribute does.
#include "fuzz/FuzzSupport.h"
#include "presets/MorvanePreset.h"

using namespace corvex;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const juce::File bank = fuzz::freshFolder("presetfile").getChildFile("User").getChildFile("Fuzz");
    static fuzz::PresetOwner owner;
    for (const auto& [typeName, extension] : {std::pair{"CorvanProgram", ".cvp"}, std::pair{"CorvanMulti", ".cvm"}}) {
        const juce::File file = bank.getChildFile(juce::String("input") + extension);
        fuzz::writeInput(file, data, size);
        MorvanePreset preset(&owner, typeName, file);
        fuzz::AcceptingChunks chunks;
        if (!preset.load(&chunks)) continue;
        preset.setAttribute("Characteristics", "Bright", false);
        if (preset.saveAttributes()) preset.readHeader();
    }
    return 0;
}
