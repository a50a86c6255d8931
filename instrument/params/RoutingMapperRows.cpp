// Rows of the pulse-width modulation mapper and the modulation routers.
#include "instrument/params/CorvanParameters.h"
#include "instrument/params/ParameterRows.h"

namespace corvex {

void addRoutingRows(CorvanParameters&, int) {}

} // namespace corvex
