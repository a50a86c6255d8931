#include "instrument/state/StateStream.h"

#include <cstdio>

#include "engine/program/CorvanKernelProgram.h"
#include "instrument/state/CacheEntries.h"
#include "instrument/state/PresetStreams.h"

namespace corvex {

bool splitStateStream(const std::vector<Chunk>& chunks, int32_t programId, int32_t cacheId,
                      bool (*checkCache)(const std::vector<uint8_t>&), const char* kind, StateStreamParts& parts) {
    parts = StateStreamParts{};
    int version = 0;
    bool infoSeen = false;
    for (const Chunk& c : chunks) {
        bool duplicate = false;
        if (c.id == ChunkId::kInfo) {
            duplicate = infoSeen;
            infoSeen = true;
            if (!readInfoVersion(c.payload, version)) return false;
        } else if (c.id == programId) {
            duplicate = parts.program != nullptr;
            parts.program = &c;
        } else if (c.id == cacheId) {
            duplicate = parts.cache != nullptr;
            parts.cache = &c;
            parts.cacheVersion = version;
            if (!checkCache(c.payload)) return false;
        }
        if (duplicate) {
            std::fprintf(stderr, "Chunk Reader : %s stream holds a chunk twice\n", kind);
            return false;
        }
    }
    return true;
}

bool checkStateStream(const CorvanKernelProgram& program, int section, const uint8_t* data, size_t size,
                      int32_t programId, int32_t cacheId, bool (*checkCache)(const std::vector<uint8_t>&),
                      const char* kind) {
    std::vector<Chunk> chunks;
    StateStreamParts parts;
    if (!readChunkList(data, size, chunks) || !splitStateStream(chunks, programId, cacheId, checkCache, kind, parts))
        return false;
    if (parts.program == nullptr) return true;
    MVPresetInputStream words(parts.program->payload);
    if (program.checkPart(section, words)) return true;
    std::fprintf(stderr, "Chunk Reader : %s program refused\n", kind);
    return false;
}

} // namespace corvex
