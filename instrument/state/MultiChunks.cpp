#include "instrument/state/MultiChunks.h"

#include <cstdio>

#include "engine/program/CorvanKernelProgram.h"
#include "instrument/params/CorvanParameters.h"
#include "instrument/state/CacheEntries.h"
#include "instrument/state/ChunkStream.h"
#include "instrument/state/PresetStreams.h"
#include "instrument/state/StateLoadListener.h"
#include "instrument/state/StateStream.h"

namespace corvex {

void writeMultiChunk(const CorvanKernelProgram& program, const CorvanParameters& table, std::vector<uint8_t>& out) {
    ChunksWriter writer(out);
    writeInfoChunk(writer);
    MVPresetOutputStream words(writer.payload());
    program.writeMultiBlocks(words);
    writer.closeChunk(ChunkId::kMult);
    ByteWriter cache(writer.payload());
    table.writeGlobalCache(cache);
    writer.closeChunk(ChunkId::kCmul);
    writer.closeChunk(ChunkId::kEnd);
}

bool readMultiChunk(CorvanKernelProgram& program, CorvanParameters& table, const uint8_t* data, size_t size,
                    StateLoadListener& listener) {
    std::vector<Chunk> chunks;
    if (!readChunkList(data, size, chunks)) return false;

    StateStreamParts parts;
    if (!splitStateStream(chunks, ChunkId::kMult, ChunkId::kCmul, checkGlobalCache, "patch", parts)) return false;
    const Chunk* mult = parts.program;
    const Chunk* cmul = parts.cache;

    // The blocks go first, since the program refuses a bad stream before it changes anything; the cached
    // values that reach the kernel then land on the blocks they belong to.
    if (mult != nullptr) {
        MVPresetInputStream words(mult->payload);
        if (!program.readPart(0, words)) {
            std::fprintf(stderr, "Chunk Reader : patch blocks refused\n");
            return false;
        }
    }
    if (cmul != nullptr) {
        ByteReader in(cmul->payload);
        table.readGlobalCache(in);
    }
    finishStateLoad(program, table, listener, -1);
    return true;
}

bool checkMultiChunk(const CorvanKernelProgram& program, const uint8_t* data, size_t size) {
    return checkStateStream(program, 0, data, size, ChunkId::kMult, ChunkId::kCmul, checkGlobalCache, "patch");
}

} // namespace corvex
