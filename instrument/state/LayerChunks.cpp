#include "instrument/state/LayerChunks.h"

#include <cstdio>

#include "engine/program/CorvanKernelProgram.h"
#include "instrument/params/CorvanParameters.h"
#include "instrument/state/CacheEntries.h"
#include "instrument/state/ChunkStream.h"
#include "instrument/state/PresetStreams.h"
#include "instrument/state/StateLoadListener.h"
#include "instrument/state/StateStream.h"

namespace corvex {

void writeLayerChunk(const CorvanKernelProgram& program, const CorvanParameters& table, int part,
                     std::vector<uint8_t>& out) {
    if (part != 1 && part != 2) return;
    ChunksWriter writer(out);
    writeInfoChunk(writer);
    MVPresetOutputStream words(writer.payload());
    program.writePart(part, words);
    writer.closeChunk(ChunkId::kProg);
    ByteWriter cache(writer.payload());
    table.writeLayerCache(cache, part - 1);
    writer.closeChunk(ChunkId::kCach);
    writer.closeChunk(ChunkId::kEnd);
}

bool readLayerChunk(CorvanKernelProgram& program, CorvanParameters& table, int part, const uint8_t* data,
                    size_t size, StateLoadListener& listener) {
    if (part != 1 && part != 2) return false;
    const int layer = part - 1;
    std::vector<Chunk> chunks;
    if (!readChunkList(data, size, chunks)) return false;

    StateStreamParts parts;
    if (!splitStateStream(chunks, ChunkId::kProg, ChunkId::kCach, checkLayerCache, "layer", parts)) return false;
    const Chunk* prog = parts.program;
    const Chunk* cach = parts.cache;

    // The kernel program checks its part whole before it takes it, so the part goes first: when it fails,
    // nothing has been applied yet.
    if (prog != nullptr) {
        MVPresetInputStream words(prog->payload);
        if (!program.readPart(part, words)) {
            std::fprintf(stderr, "Chunk Reader : layer program refused\n");
            return false;
        }
    }
    if (cach != nullptr) {
        ByteReader in(cach->payload);
        table.readLayerCache(layer, in, parts.cacheVersion);
    }
    finishStateLoad(program, table, listener, layer);
    return true;
}

bool checkLayerChunk(const CorvanKernelProgram& program, int part, const uint8_t* data, size_t size) {
    if (part != 1 && part != 2) return false;
    return checkStateStream(program, part, data, size, ChunkId::kProg, ChunkId::kCach, checkLayerCache, "layer");
}

} // namespace corvex
