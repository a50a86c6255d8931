// The chunks of a layer or patch stream that a reader applies: its program chunk and its cache chunk.
#pragma once

#include <cstdint>
#include <vector>

#include "instrument/state/ChunkStream.h"

namespace corvex {

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

} // namespace corvex
