// Rows of the insert-effect chains: one selector per chain of a layer serves all the chain's rows.
#include "instrument/params/CorvanParameters.h"
#include "instrument/params/ParameterRows.h"

namespace corvex {

void addEffectLineRows(CorvanParameters&, int) {}

} // namespace corvex
