// Global rows of the bender and LFO section, which act on both layers at once.
#include "instrument/params/CorvanParameters.h"
#include "instrument/params/ParameterRows.h"

namespace corvex {

void addDoubleConnectionRows(CorvanParameters&) {}

} // namespace corvex
