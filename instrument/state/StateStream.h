// The chunks of a layer or patch stream that a reader applies: its program chunk and its cache chunk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "instrument/state/ChunkStream.h"

namespace corvex {

class CorvanKernelProgram;

struct StateStreamParts {
    const Chunk* program = nullptr;
    const Chunk* cache = nullptr;
    int cacheVersion = 0; // the 'info' version seen before the cache: a stream without one there predates it
};

// Picks out the program and cache chunks, each at most once (a second would be applied past the point of
// checking), reads every 'info' version and checks the cache before anything is applied. False, with a
// line on stderr naming the stream's kind, when any of that fails.
bool splitStateStream(const std::vector<Chunk>& chunks, int32_t programId, int32_t cacheId,
                      bool (*checkCache)(const std::vector<uint8_t>&), const char* kind, StateStreamParts& parts);

// Everything a reader of the stream would refuse, found without applying any of it: the container, the
// chunks, the cache and the program chunk as the kernel program would parse it into section.
bool checkStateStream(const CorvanKernelProgram& program, int section, const uint8_t* data, size_t size,
                      int32_t programId, int32_t cacheId, bool (*checkCache)(const std::vector<uint8_t>&),
                      const char* kind);

} // namespace corvex
