// How a module hands a data block to the editor without knowing the kernel that carries it.
#pragma once

#include <cstdint>

namespace corvex {

struct EngineContext;
struct ParameterRecord;

// Reserves a data notification about the module whose record is given (its section, group, type and
// instance), with `size` payload bytes for the caller to fill before the block ends. Answers null
// when the context has no reserver (no kernel) or the kernel's notification space is full: the report
// is dropped.
uint8_t* requestModuleDataReport(EngineContext* context, const ParameterRecord& record, int writerByte, int size);

} // namespace corvex
