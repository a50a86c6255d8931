// Rows of the step sequencer: steps, triggers, outputs and the manual trigger button.
#include <memory>

#include "instrument/params/CorvanParameters.h"
#include "instrument/params/ParameterIndex.h"
#include "instrument/params/ParameterRows.h"
#include "instrument/params/SequencerMappers.h"

namespace corvex {

void addSequencerRows(CorvanParameters& table, int layer) {
    const int part = ParameterIndex::partOfLayer(layer);

    const auto steps = std::make_shared<SeqTrigStepMapper>(table, part);
    for (int step = 0; step < SeqTrigStepMapper::kStepCount; ++step)
        table.placeLayerMapper(SeqTrigStepMapper::kFirstStepRow + step, layer, steps);
    table.placeLayerMapper(SeqTrigStepMapper::kModeRow, layer, steps);

    for (int output = 1; output <= 3; ++output) {
        const auto route = std::make_shared<SeqOutConnMapper>(table, part, output);
        table.placeLayerMapper(SeqOutConnMapper::amountRow(output), layer, route);
        table.placeLayerMapper(SeqOutConnMapper::destinationRow(output), layer, route);
        table.placeLayerMapper(SeqOutConnMapper::sourceRow(output), layer, route);
    }

    table.placeLayerMapper(SeqTrigMapper::kRow, layer, std::make_shared<SeqTrigMapper>(table, part));
    table.placeLayerMapper(ParameterMapperSeqManualButton::kRow, layer,
                           std::make_shared<ParameterMapperSeqManualButton>(layerKey(layer, "SeqTrBt"),
                                                                            table.program(), part));
}

} // namespace corvex
