// Rows of plain parameter words and of the mappers that only write words.
#include "instrument/params/CorvanParameters.h"
#include "instrument/params/ParameterRows.h"

namespace corvex {

void addWordRows(CorvanParameters&, int) {}
void addGlobalWordRows(CorvanParameters&) {}

} // namespace corvex
