// A layer's sound as a chunk stream: 'info', 'prog' (the kernel part), 'cach' (the layer's cached values),
// 'end '. Either layer's stream reads into either layer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace corvex {

class CorvanKernelProgram;
class CorvanParameters;
class StateLoadListener;

// Kernel part 1 plays the Upper layer, kernel part 2 the Lower one; any other part writes nothing.
void writeLayerChunk(const CorvanKernelProgram& program, const CorvanParameters& table, int part,
                     std::vector<uint8_t>& out);

// The whole stream is checked before any of it is applied: a broken one is refused with a line on stderr
// and leaves the program and the table as they were (false). A good one is applied, then the after-load
// steps run.
bool readLayerChunk(CorvanKernelProgram& program, CorvanParameters& table, int part, const uint8_t* data,
                    size_t size, StateLoadListener& listener);
// Whether readLayerChunk would take the stream; nothing is applied.
bool checkLayerChunk(const CorvanKernelProgram& program, int part, const uint8_t* data, size_t size);

} // namespace corvex
