#include "instrument/params/EffectSelectorMapper.h"

#include <cmath>

#include "engine/program/CorvanKernelProgram.h"
#include "instrument/params/CorvanParameters.h"
#include "instrument/params/ParameterMapping.h"

namespace corvex {

namespace {

constexpr int kKind = 0;
constexpr uint16_t kAmount = 16384;
constexpr uint16_t kSecond = 0;

// The table's -1.0 asks for a row to be read again; it is never a choice.
bool isValue(float value) { return std::isfinite(value) && value != ParameterMapper::kUseCachedValue; }

} // namespace

// ---- Module selector ----

ModuleSelectorMapper::ModuleSelectorMapper(CorvanKernelProgram& program, int part, End source, End destination,
                                           std::vector<Choice> choices)
    : ParameterMapper({}, {}, true), program_(program), part_(part), source_(source), destination_(destination),
      choices_(std::move(choices)) {}

int ModuleSelectorMapper::choiceOf(float value) const { return ParameterMapping::quantise(choiceCount(), value); }

bool ModuleSelectorMapper::isConnected(int choice) const {
    if (choice < 0 || choice >= choiceCount()) return false;
    const Choice& c = choices_[static_cast<size_t>(choice)];
    if (c.slot < 0)
        return program_.findConnection(part_, source_.slot, source_.port, kKind, destination_.slot,
                                       destination_.port) >= 0;
    return program_.findConnection(part_, source_.slot, source_.port, kKind, c.slot, c.inputPort) >= 0 &&
           program_.findConnection(part_, c.slot, c.outputPort, kKind, destination_.slot, destination_.port) >= 0;
}

void ModuleSelectorMapper::disconnectChoice(int choice) {
    const Choice& c = choices_[static_cast<size_t>(choice)];
    if (c.slot < 0) {
        program_.disconnect(part_, source_.slot, source_.port, kKind, destination_.slot, destination_.port);
        return;
    }
    program_.disconnect(part_, source_.slot, source_.port, kKind, c.slot, c.inputPort);
    program_.disconnect(part_, c.slot, c.outputPort, kKind, destination_.slot, destination_.port);
}

void ModuleSelectorMapper::connectChoice(int choice) {
    const Choice& c = choices_[static_cast<size_t>(choice)];
    if (c.slot < 0) {
        program_.connect(part_, source_.slot, source_.port, kKind, destination_.slot, destination_.port, kAmount,
                         kSecond);
        return;
    }
    program_.connect(part_, c.slot, c.outputPort, kKind, destination_.slot, destination_.port, kAmount, kSecond);
    program_.connect(part_, source_.slot, source_.port, kKind, c.slot, c.inputPort, kAmount, kSecond);
}

void ModuleSelectorMapper::selectByValue(float value) {
    const int chosen = choiceOf(value);
    if (isConnected(chosen)) return;
    // A choice wired only in part (a connection refused for want of room, an odd program) goes as well:
    // its left-over half would keep a module running for nothing and hold the record the path needs.
    for (int c = 0; c < choiceCount(); ++c)
        if (c != chosen) disconnectChoice(c);
    connectChoice(chosen);
}

float ModuleSelectorMapper::connectedChoiceValue() const {
    for (int c = 0; c < choiceCount(); ++c)
        if (isConnected(c)) return ParameterMapping::stepToValue(c, choiceCount());
    return 0.0f;
}

void ModuleSelectorMapper::setValue(int, float value) {
    if (isValue(value)) selectByValue(value);
}

float ModuleSelectorMapper::getValue(int) { return connectedChoiceValue(); }

// ---- Effect selector ----

namespace {

std::vector<ModuleSelectorMapper::Choice> effectChoices(int chain) {
    return {
        {-1, 0, 0},
        {EffectChorusFlangerMapper::kModuleSlots[chain], 0, 0},
        {EffectDistoMapper::kModuleSlots[chain], 0, 0},
        {EffectParamEQMapper::kModuleSlots[chain], 0, 0},
        {EffectPhaserMapper::kModuleSlots[chain], 0, 0},
        // The ring modulator takes the chain on its second input.
        {EffectRingModMapper::kModuleSlots[chain], 1, 0},
    };
}

} // namespace

EffectSelectorMapper::EffectSelectorMapper(int layer, ParameterMapping& table, CorvanKernelProgram& program, int chain)
    : ModuleSelectorMapper(program, ParameterIndex::partOfLayer(layer), kChainSources[chain],
                           kChainDestinations[chain], effectChoices(chain)),
      table_(table), layer_(layer), chain_(chain) {
    lines_[ChorusFlanger] = std::make_unique<EffectChorusFlangerMapper>(table, program, layer, chain);
    lines_[Distortion] = std::make_unique<EffectDistoMapper>(table, program, layer, chain);
    lines_[ParamEQ] = std::make_unique<EffectParamEQMapper>(table, program, layer, chain);
    lines_[Phaser] = std::make_unique<EffectPhaserMapper>(table, program, layer, chain);
    lines_[RingMod] = std::make_unique<EffectRingModMapper>(table, program, layer, chain);
}

EffectSelectorMapper::~EffectSelectorMapper() = default;

EffectLineMapper* EffectSelectorMapper::lineMapper(int choice) const {
    return choice >= 0 && choice < kEffectCount ? lines_[static_cast<size_t>(choice)].get() : nullptr;
}

void EffectSelectorMapper::markRowsForReading() {
    for (int folded = EffectChain::kFirstRowA; folded <= EffectChain::kLastRowA; ++folded)
        table_.setValue(EffectChain::unfold(folded, chain_, layer_), kUseCachedValue);
    for (int folded = EffectChain::kSelectorRow; folded <= EffectChain::kLastRowC; ++folded)
        table_.setValue(EffectChain::unfold(folded, chain_, layer_), kUseCachedValue);
}

void EffectSelectorMapper::setValue(int index, float value) {
    if (!isValue(value)) return;
    if (EffectChain::fold(index) == EffectChain::kSelectorRow) {
        const int chosen = choiceOf(value);
        const bool changes = chosen != current_;
        if (changes)
            if (EffectLineMapper* old = lineMapper(current_)) old->onDeselected();
        selectByValue(value);
        if (changes) {
            current_ = chosen;
            if (EffectLineMapper* line = lineMapper(current_)) line->onSelected();
            markRowsForReading();
        }
    }
    if (EffectLineMapper* line = lineMapper(current_)) line->setValue(index, value);
}

float EffectSelectorMapper::getValue(int index) {
    if (EffectChain::fold(index) == EffectChain::kSelectorRow) {
        // A loaded program brings its own wiring: the connections say which effect is in the chain.
        const float value = connectedChoiceValue();
        current_ = choiceOf(value);
        return value;
    }
    EffectLineMapper* line = lineMapper(current_);
    return line ? line->getValue(index) : kUseCachedValue;
}

void EffectSelectorMapper::followLoad(int index) {
    // The loaded wiring is whole already (the ring modulator's carrier included): nothing to select.
    if (EffectChain::fold(index) == EffectChain::kSelectorRow) current_ = choiceOf(connectedChoiceValue());
}

std::string EffectSelectorMapper::getName(int index) const {
    const int folded = EffectChain::fold(index);
    std::string suffix;
    if (folded == EffectChain::kFirstRowA)
        suffix = "DW";
    else if (folded == EffectChain::kLastRowA)
        suffix = "Out";
    else if (folded > EffectChain::kFirstRowA && folded < EffectChain::kLastRowA)
        suffix = formatText("%s%d", (folded - EffectChain::kFirstRowA) % 2 == 1 ? "Pr" : "Md",
                            (folded - EffectChain::kFirstRowA + 1) / 2);
    else if (folded == EffectChain::kSelectorRow)
        suffix = "Typ";
    else if (folded > EffectChain::kSelectorRow && folded <= EffectChain::kLastRowC)
        suffix = formatText("N%3d", folded - EffectChain::kSelectorRow);
    else
        return {};
    return layerKey(layer_, "Ef" + std::to_string(chain_ + 1) + suffix);
}

std::string EffectSelectorMapper::getLongName(int index) const {
    if (EffectChain::fold(index) == EffectChain::kSelectorRow) return "Effect Selector";
    const EffectLineMapper* line = lineMapper(current_);
    return line ? line->getLongName(index) : std::string();
}

bool EffectSelectorMapper::isDiscrete(int index) const {
    const EffectLineMapper* line = lineMapper(current_);
    return line ? line->isDiscrete(index) : ParameterMapper::isDiscrete(index);
}

std::string EffectSelectorMapper::getText(int index, float value) const {
    const EffectLineMapper* line = lineMapper(current_);
    return line ? line->getText(index, value) : std::string();
}

} // namespace corvex
