// "midi.prefs" as the instrument reads it at start: the receive channel and the controller map, which it
// then writes back when it ends.
#include "fuzz/FuzzSupport.h"
#include "instrument/CorvanAudioFilter.h"

using namespace corvex;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    MorvaneMidiManager& midi = fuzz::bareInstrument().getMidiManager();
    static const juce::File folder = fuzz::freshFolder("midi");
    // The map and channel before the first input; a refused file changes neither, an accepted one is undone.
    static const juce::File initial = [&midi] {
        const juce::File file = folder.getChildFile("initial.prefs");
        if (!midi.saveToFile(file)) std::abort();
        return file;
    }();

    const juce::File prefs = folder.getChildFile("midi.prefs");
    fuzz::writeInput(prefs, data, size);
    if (midi.loadFromFile(prefs)) {
        midi.saveToFile(folder.getChildFile("written.prefs"));
        midi.loadFromFile(initial);
    }
    return 0;
}
