#include "instrument/params/EffectLineMappers.h"

#include <algorithm>
#include <cmath>

#include "engine/program/CorvanKernelProgram.h"
#include "instrument/params/ParameterMapping.h"
#include "instrument/params/RoutingMappers.h"

namespace corvex {

namespace {

constexpr int kModulationKind = 0;
constexpr uint16_t kNewModulationAmount = 16384;
constexpr uint16_t kModulationSecond = 0;

// A value a row can act on: the re-read mark and anything not finite carry no value.
bool isValue(float value) { return std::isfinite(value) && value != ParameterMapper::kUseCachedValue; }

} // namespace

EffectLineMapper::EffectLineMapper(ParameterMapping& table, CorvanKernelProgram& program, int layer, int chain,
                                   int moduleSlot, const EffectRow* rows, int rowCount)
    : ParameterMapper({}, {}, true), table_(table), program_(program), layer_(layer), chain_(chain),
      moduleSlot_(moduleSlot), rows_(rows), rowCount_(rowCount) {}

const EffectRow* EffectLineMapper::findRow(int index) const {
    const int folded = EffectChain::fold(index);
    for (int i = 0; i < rowCount_; ++i)
        if (rows_[i].folded == folded) return &rows_[i];
    return nullptr;
}

bool EffectLineMapper::modulated(int source, int input) const {
    const ModulationSource& s = ModulationSourceNames[source];
    return program_.findConnection(part(), s.slot, s.port, kModulationKind, moduleSlot_, input) >= 0;
}

void EffectLineMapper::setModulationAmount(int input, float value) {
    const uint16_t word = connectionAmountWord(value);
    for (int s = 1; s < kModulationSourceCount; ++s) {
        const ModulationSource& source = ModulationSourceNames[s];
        program_.setConnectionAmount(part(), source.slot, source.port, kModulationKind, moduleSlot_, input, word);
    }
}

float EffectLineMapper::modulationAmount(int input) const {
    for (int s = 1; s < kModulationSourceCount; ++s) {
        const ModulationSource& source = ModulationSourceNames[s];
        if (modulated(s, input))
            return program_.getConnectionAmount(part(), source.slot, source.port, kModulationKind, moduleSlot_,
                                                input) /
                   16384.0f;
    }
    return kUseCachedValue;
}

void EffectLineMapper::setModulationSource(const EffectRow& row, float value) {
    const int chosen = ParameterMapping::quantise(kModulationSourceCount, value);
    const int input = row.target;
    // The source already there keeps its connection and with it its amount.
    if (chosen == 0 || !modulated(chosen, input)) {
        for (int s = 1; s < kModulationSourceCount; ++s) {
            const ModulationSource& source = ModulationSourceNames[s];
            program_.disconnect(part(), source.slot, source.port, kModulationKind, moduleSlot_, input);
        }
        if (chosen != 0) {
            const ModulationSource& source = ModulationSourceNames[chosen];
            program_.connect(part(), source.slot, source.port, kModulationKind, moduleSlot_, input,
                             kNewModulationAmount, kModulationSecond);
        }
    }
    // The amount lives in the amount row: a new connection takes it from there.
    table_.pushCachedValue(EffectChain::unfold(row.pairedAmount, chain_, layer_));
}

float EffectLineMapper::modulationSource(int input) const {
    for (int s = 1; s < kModulationSourceCount; ++s)
        if (modulated(s, input)) return ParameterMapping::stepToValue(s, kModulationSourceCount);
    return 0.0f;
}

void EffectLineMapper::setValue(int index, float value) {
    const EffectRow* row = findRow(index);
    if (row == nullptr || !isValue(value)) return;
    switch (row->drive) {
    case EffectDrive::Word:
        program_.setParameterWord(part(), moduleSlot_, row->target, -1, connectionAmountWord(value));
        break;
    case EffectDrive::SteppedWord: {
        const int step = ParameterMapping::quantise(row->steps, value);
        program_.setParameterWord(part(), moduleSlot_, row->target, -1, static_cast<uint16_t>(step + row->firstStep));
        break;
    }
    case EffectDrive::ModAmount:
        setModulationAmount(row->target, value);
        break;
    case EffectDrive::ModSource:
        setModulationSource(*row, value);
        break;
    }
}

float EffectLineMapper::getValue(int index) {
    const EffectRow* row = findRow(index);
    if (row == nullptr) return kUseCachedValue;
    switch (row->drive) {
    case EffectDrive::Word:
        return program_.getParameterWord(part(), moduleSlot_, row->target) / 16384.0f;
    case EffectDrive::SteppedWord: {
        // Stepped words are small unsigned numbers; a word below the first step reads as the first step.
        const int word = static_cast<uint16_t>(program_.getParameterWord(part(), moduleSlot_, row->target));
        return ParameterMapping::stepToValue(std::max(word - row->firstStep, 0), row->steps);
    }
    case EffectDrive::ModAmount:
        return modulationAmount(row->target);
    case EffectDrive::ModSource:
        return modulationSource(row->target);
    }
    return kUseCachedValue;
}

std::string EffectLineMapper::getLongName(int index) const {
    const EffectRow* row = findRow(index);
    return row ? row->longName : std::string();
}

bool EffectLineMapper::isDiscrete(int index) const {
    const EffectRow* row = findRow(index);
    return row ? row->discrete : true;
}

std::string EffectLineMapper::getText(int index, float value) const {
    if (EffectChain::fold(index) == EffectChain::kFirstRowA) return formatText("%.1f%%", value * 100.0f);
    return ParameterMapper::getText(index, value);
}

} // namespace corvex
