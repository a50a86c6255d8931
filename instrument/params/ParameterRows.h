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
// The two insert-effect chains of a layer: one selector serves each chain's rows.
void addEffectLineRows(CorvanParameters& table, int layer);
// The step sequencer's steps, triggers, outputs and buttons.
void addSequencerRows(CorvanParameters& table, int layer);
// Global rows: the multi (patch) settings, the bender and LFO section, the two master effects.
void addMultiRows(CorvanParameters& table);
void addDoubleConnectionRows(CorvanParameters& table);
void addMasterEffectRows(CorvanParameters& table);

} // namespace corvex
