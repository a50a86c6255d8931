// Rows whose mappers set connection amounts or switch connections.
#include "instrument/params/CorvanParameters.h"
#include "instrument/params/ParameterRows.h"

namespace corvex {

void addConnectionRows(CorvanParameters&, int) {}

} // namespace corvex
