// Global rows of the two master-effect slots.
#include "instrument/params/CorvanParameters.h"
#include "instrument/params/ParameterRows.h"

namespace corvex {

void addMasterEffectRows(CorvanParameters&) {}

} // namespace corvex
