// The patch as a chunk stream: 'info', 'mult' (the kernel-global blocks), 'cmul' (the global cached
// values), 'end '.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace corvex {

class CorvanKernelProgram;
class CorvanParameters;
class StateLoadListener;

void writeMultiChunk(const CorvanKernelProgram& program, const CorvanParameters& table, std::vector<uint8_t>& out);

// Checked whole before it is applied, as a layer stream is.
bool readMultiChunk(CorvanKernelProgram& program, CorvanParameters& table, const uint8_t* data, size_t size,
                    StateLoadListener& listener);
// Whether readMultiChunk would take the stream; nothing is applied.
bool checkMultiChunk(const CorvanKernelProgram& program, const uint8_t* data, size_t size);

} // namespace corvex
