// Global rows of the multi: volume, balance, tuning, detune, holds, play modes and polyphony.
#include "instrument/params/CorvanParameters.h"
#include "instrument/params/ParameterRows.h"

namespace corvex {

void addMultiRows(CorvanParameters&) {}

} // namespace corvex
