// The patch's chunk stream (the kernel-global blocks and cached values), as a patch file or a host state
// hands it to the instrument.
#include "fuzz/FuzzSupport.h"
#include "instrument/CorvanAudioFilter.h"

using namespace corvex;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CorvanAudioFilter& instrument = fuzz::bareInstrument();
    static const std::vector<uint8_t> initial = fuzz::chunkBytes(instrument.multiChunk());
    fuzz::readChunk(instrument, instrument.multiChunk(), initial, data, size);
    return 0;
}
