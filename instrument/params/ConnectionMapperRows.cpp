// Rows whose mappers set connection amounts or switch connections.
#include <memory>

#include "instrument/params/ConnectionMappers.h"
#include "instrument/params/CorvanParameters.h"
#include "instrument/params/ParameterIndex.h"
#include "instrument/params/ParameterRows.h"

namespace corvex {

namespace {

struct AmountRow {
    int upperIndex;
    const char* name;
    const char* longName;
    ConnectionRoute route;
};

constexpr AmountRow kAmountRows[] = {
    {9, "OscCMod", "Oscillator cross-modulation", {3, 0, 0, 2, 0}},
    {17, "LfoFilt", "Filter LFO modulation amount", {29, 0, 0, 5, 1}},
    {18, "FiltKF", "Filter Keyboard Follow Amount", {1, 0, 0, 5, 1}},
    {19, "VcaEnv", "VCA envelope 2 modulation amount", {6, 0, 0, 8, 4}},
    {20, "VcaLfo", "VCA LFO modulation amount", {29, 0, 0, 8, 2}},
};

constexpr int kLfoSlot = 29;
constexpr int kEnvelope1Slot = 7;
constexpr int kEnvelope2Slot = 6;

} // namespace

void addConnectionRows(CorvanParameters& table, int layer) {
    CorvanKernelProgram& program = table.program();
    const int part = ParameterIndex::partOfLayer(layer);

    for (const AmountRow& row : kAmountRows)
        table.placeLayerMapper(row.upperIndex, layer,
                               std::make_shared<ParameterMapperConnectionAmount>(layerKey(layer, row.name), row.longName,
                                                                                 program, part, row.route));

    auto filterAmount = std::make_shared<ParameterMapper2ConnectionAmount>(
        layerKey(layer, "LpfEnvM"), "Filter envelope modulation amount", program, part);
    table.placeLayerMapper(16, layer, filterAmount);
    table.placeLayerMapper(15, layer,
                           std::make_shared<ParameterMapper2ConnectionSwitch>(
                               layerKey(layer, "LpfEnvS"), "Filter envelope modulation source", program, part,
                               filterAmount));

    auto lfoAmount = std::make_shared<ParameterMapperOscModAmount>(layerKey(layer, "OscLfoM"), "VCO LFO Mod", program,
                                                                   part, kLfoSlot, 0);
    auto envelopeAmount = std::make_shared<ParameterMapperOscModAmount>(layerKey(layer, "OscEnvM"), "VCO Env1 Mod",
                                                                        program, part, kEnvelope1Slot, 0);
    table.placeLayerMapper(6, layer, lfoAmount);
    table.placeLayerMapper(7, layer, envelopeAmount);
    table.placeLayerMapper(216, layer,
                           std::make_shared<ParameterMapperOscMod3Switch>(layerKey(layer, "OscModS"), "VCO Mod Select",
                                                                          table, part, lfoAmount, envelopeAmount));

    table.placeLayerMapper(218, layer,
                           std::make_shared<KeyFollow2EnvMapper>(layerKey(layer, "Env1KF"), "Envelope 1 keyboard follow",
                                                                 program, part, kEnvelope1Slot));
    table.placeLayerMapper(220, layer,
                           std::make_shared<KeyFollow2EnvMapper>(layerKey(layer, "Env2KF"), "Envelope 2 keyboard follow",
                                                                 program, part, kEnvelope2Slot));
}

} // namespace corvex
