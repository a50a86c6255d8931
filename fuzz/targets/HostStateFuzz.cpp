// The state a host hands back to the instrument: the page value, then the patch and both layers' sections
// with their preset identifiers, sounds and filter columns, read against the real preset library.
#include "fuzz/FuzzSupport.h"
#include "instrument/CorvanAudioFilter.h"

using namespace corvex;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CorvanAudioFilter& instrument = fuzz::libraryInstrument();
    // Every input starts from the state the instrument had before the first one.
    static const juce::MemoryBlock initial = [&instrument] {
        juce::MemoryBlock block;
        instrument.getStateInformation(block);
        return block;
    }();

    instrument.setStateInformation(data, static_cast<int>(size));
    fuzz::deliverMessages();
    fuzz::renderBlock(instrument);
    // What was taken is written out again, as the host's next save would.
    juce::MemoryBlock written;
    instrument.getStateInformation(written);

    instrument.setStateInformation(initial.getData(), static_cast<int>(initial.getSize()));
    fuzz::deliverMessages();
    return 0;
}
