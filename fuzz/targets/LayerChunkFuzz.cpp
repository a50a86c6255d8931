// A layer's chunk stream, as a preset file or a host state hands it to the instrument: read into the Upper
// layer and then into the Lower one, whose rows sit at other indices.
#include "fuzz/FuzzSupport.h"
#include "instrument/CorvanAudioFilter.h"

using namespace corvex;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CorvanAudioFilter& instrument = fuzz::bareInstrument();
    static const std::vector<uint8_t> upper = fuzz::chunkBytes(instrument.upperChunk());
    static const std::vector<uint8_t> lower = fuzz::chunkBytes(instrument.lowerChunk());
    fuzz::readChunk(instrument, instrument.upperChunk(), upper, data, size);
    fuzz::readChunk(instrument, instrument.lowerChunk(), lower, data, size);
    return 0;
}
