// "standalone.prefs": the audio device state the standalone program reads at start and hands to JUCE's
// device manager, which keeps it and writes it out again as XML.
#include "app/StandalonePrefs.h"
#include "fuzz/FuzzSupport.h"

using namespace corvex;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const juce::File file = fuzz::freshFolder("standalone").getChildFile("standalone.prefs");
    fuzz::writeInput(file, data, size);
    if (std::unique_ptr<juce::XmlElement> state = readStandalonePrefs(file))
        writeStandalonePrefs(file.getSiblingFile("written.prefs"), state.get());
    return 0;
}
