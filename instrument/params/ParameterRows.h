// The row builders, one per family of mappers; CorvanParameters::buildTable calls them in this order.
#pragma once

namespace corvex {

class CorvanParameters;

// Rows of plain parameter words and the mappers that only write words (per layer, then global).
void addWordRows(CorvanParameters& table, int layer);
void addGlobalWordRows(CorvanParameters& table);
// Rows that set connection amounts or switch connections.
void addConnectionRows(CorvanParameters& table, int layer);
// Pulse-width modulation and the modulation routers.
void addRoutingRows(CorvanParameters& table, int layer);

} // namespace corvex
