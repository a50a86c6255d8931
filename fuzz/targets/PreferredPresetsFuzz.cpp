// A manager's preferred-preset slots, "prefered_preset_<kind>.prefs", read when the library starts.
#include "fuzz/FuzzSupport.h"
#include "presets/MorvanePreferedPresetManager.h"

using namespace corvex;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const MorvaneFindFolder folder(fuzz::freshFolder("preferred"), "Corvex2");
    fuzz::writeInput(folder.getSettingsFolder().getChildFile("prefered_preset_1.prefs"), data, size);

    const MorvanePreferedPresetManager preferred(1, folder);
    // The preset buttons look each slot up by its identifier.
    for (int slot = 0; slot < preferred.getNumSlots(); ++slot)
        preferred.findName(preferred.getName(slot));
    return 0;
}
