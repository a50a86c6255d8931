#include "instrument/params/RoutingMappers.h"

#include <cmath>

#include "engine/program/CorvanKernelProgram.h"
#include "instrument/params/CorvanParameters.h"
#include "instrument/params/ParameterIndex.h"

namespace corvex {

uint16_t connectionAmountWord(double amount) {
    if (std::isnan(amount)) return 0;
    const double word = std::trunc(amount * 16384.0);
    if (word <= -32768.0) return static_cast<uint16_t>(int16_t{-32768});
    if (word >= 32767.0) return 32767;
    return static_cast<uint16_t>(static_cast<int16_t>(word));
}

// ---- Pulse-width modulation ----

namespace {

struct PwmSource {
    int slot, port;
    uint16_t second;
};
constexpr PwmSource kPwmEnvelope{7, 0, 0};
constexpr PwmSource kPwmLfo{29, 0, 1};
constexpr int kPwmKind = 0;
constexpr int kOscillator1 = 2;
constexpr int kOscillator2 = 3;
constexpr int kPulseWidthInput = 2;
constexpr int kManualPulseWidthWord = 8;
constexpr int kOsc1WaveRow = 213;
constexpr int kRectangleStep = 2;
constexpr int kWaveSteps = 4;
constexpr int kModeSteps = 3;

} // namespace

ParameterMapperPWMMod::ParameterMapperPWMMod(CorvanParameters& table, int part)
    : ParameterMapper({}, {}, true), table_(table), program_(table.program()), part_(part) {}

bool ParameterMapperPWMMod::hasRoute(bool fromLfo, int osc) const {
    const PwmSource& s = fromLfo ? kPwmLfo : kPwmEnvelope;
    return program_.findConnection(part_, s.slot, s.port, kPwmKind, osc, kPulseWidthInput) >= 0;
}

float ParameterMapperPWMMod::routeAmount(bool fromLfo, int osc) const {
    const PwmSource& s = fromLfo ? kPwmLfo : kPwmEnvelope;
    return program_.getConnectionAmount(part_, s.slot, s.port, kPwmKind, osc, kPulseWidthInput) / 16384.0f;
}

bool ParameterMapperPWMMod::oscillator1IsRectangle() {
    const int waveRow = ParameterIndex::unfold(kOsc1WaveRow, part_ - 1);
    return ParameterMapping::quantise(kWaveSteps, table_.getParameter(waveRow)) == kRectangleStep;
}

void ParameterMapperPWMMod::applyMode(int osc) {
    const uint16_t word = connectionAmountWord(amount_);
    // Moving between the envelope and the LFO swaps the source of the one route in place. Should both
    // routes be present (a program stored that way), the one not wanted goes: an input fed twice would
    // sum both modulations.
    const auto moveTo = [&](bool toLfo) {
        const PwmSource& from = toLfo ? kPwmEnvelope : kPwmLfo;
        const PwmSource& to = toLfo ? kPwmLfo : kPwmEnvelope;
        program_.setParameter(part_, osc, kManualPulseWidthWord, 0.0f);
        const bool fromPresent = hasRoute(!toLfo, osc);
        const bool toPresent = hasRoute(toLfo, osc);
        if (fromPresent && toPresent)
            program_.disconnect(part_, from.slot, from.port, kPwmKind, osc, kPulseWidthInput);
        else if (fromPresent)
            program_.setDoubleConnection(part_, from.slot, from.port, to.slot, to.port, kPwmKind, osc,
                                         kPulseWidthInput, word, to.second, 0);
        else if (!toPresent)
            program_.connect(part_, to.slot, to.port, kPwmKind, osc, kPulseWidthInput, word, to.second);
    };
    switch (mode_) {
    case Lfo:
        moveTo(true);
        break;
    case Envelope:
        moveTo(false);
        break;
    case Manual:
        program_.disconnect(part_, kPwmEnvelope.slot, kPwmEnvelope.port, kPwmKind, osc, kPulseWidthInput);
        program_.disconnect(part_, kPwmLfo.slot, kPwmLfo.port, kPwmKind, osc, kPulseWidthInput);
        program_.setParameter(part_, osc, kManualPulseWidthWord, amount_);
        break;
    default:
        break;
    }
}

void ParameterMapperPWMMod::applyAmount(int osc, float value) {
    switch (mode_) {
    case Lfo:
    case Envelope: {
        const PwmSource& s = mode_ == Lfo ? kPwmLfo : kPwmEnvelope;
        program_.setConnectionAmount(part_, s.slot, s.port, kPwmKind, osc, kPulseWidthInput,
                                     connectionAmountWord(value));
        break;
    }
    case Manual:
        program_.setParameter(part_, osc, kManualPulseWidthWord, value);
        break;
    default: // no mode chosen yet: nothing to send the amount to
        break;
    }
}

void ParameterMapperPWMMod::detachOscillator1() {
    program_.disconnect(part_, kPwmEnvelope.slot, kPwmEnvelope.port, kPwmKind, kOscillator1, kPulseWidthInput);
    program_.disconnect(part_, kPwmLfo.slot, kPwmLfo.port, kPwmKind, kOscillator1, kPulseWidthInput);
    program_.setParameter(part_, kOscillator1, kManualPulseWidthWord, 0.0f);
}

void ParameterMapperPWMMod::setValue(int index, float value) {
    const bool rectangle = oscillator1IsRectangle();
    const int row = ParameterIndex::foldToUpper(index);
    if (row == kModeRow) {
        mode_ = ParameterMapping::quantise(kModeSteps, value);
        applyMode(kOscillator2);
        if (rectangle) applyMode(kOscillator1);
    } else if (row == kAmountRow) {
        applyAmount(kOscillator2, value);
        if (rectangle) applyAmount(kOscillator1, value);
        amount_ = value;
    }
    // Only the rectangle has a pulse width: any other wave must not keep a modulation it cannot use.
    if (!rectangle) detachOscillator1();
}

int ParameterMapperPWMMod::modeFromRoutes() const {
    if (hasRoute(false, kOscillator2)) return Envelope;
    if (hasRoute(true, kOscillator2)) return Lfo;
    return Manual;
}

float ParameterMapperPWMMod::amountIn(int mode) const {
    if (mode == Manual) return program_.getParameterWord(part_, kOscillator2, kManualPulseWidthWord) / 16384.0f;
    return routeAmount(mode == Lfo, kOscillator2);
}

float ParameterMapperPWMMod::getValue(int index) {
    const int row = ParameterIndex::foldToUpper(index);
    if (row == kModeRow) {
        mode_ = modeFromRoutes();
        return ParameterMapping::stepToValue(mode_, kModeSteps);
    }
    if (row != kAmountRow) return kUseCachedValue;
    amount_ = amountIn(mode_ == Unknown ? modeFromRoutes() : mode_);
    return amount_;
}

void ParameterMapperPWMMod::followLoad(int index) {
    if (ParameterIndex::foldToUpper(index) != kModeRow) return;
    mode_ = modeFromRoutes();
    amount_ = amountIn(mode_);
}

std::string ParameterMapperPWMMod::getName(int index) const {
    const int row = ParameterIndex::foldToUpper(index);
    if (row == kAmountRow) return layerKey(part_ - 1, "OscPwmM");
    if (row == kModeRow) return layerKey(part_ - 1, "OscPwmS");
    return {};
}

std::string ParameterMapperPWMMod::getLongName(int index) const {
    if (ParameterIndex::foldToUpper(index) != kAmountRow) return "VCO PW Mode";
    switch (mode_) {
    case Envelope:
        return "Env1 PW Mod Amount";
    case Manual:
        return "PW";
    case Lfo:
        return "LFO PW Mod Amount";
    default:
        return {};
    }
}

std::string ParameterMapperPWMMod::getText(int index, float value) const {
    if (ParameterIndex::foldToUpper(index) != kModeRow) return ParameterMapper::getText(index, value);
    static const char* const kModeTexts[kModeSteps] = {"Env 1 Mod", "Manual", "LFO Mod"};
    return kModeTexts[ParameterMapping::quantise(kModeSteps, value)];
}

// ---- Modulation router ----

ParameterMapperRouter::ParameterMapperRouter(std::string keyBase, std::string longName, CorvanParameters& table,
                                             int part, int kind, Rows rows, std::vector<Source> sources,
                                             std::vector<Destination> destinations, TextMode textMode)
    : ParameterMapper(std::move(keyBase), std::move(longName), true), table_(table), program_(table.program()),
      kind_(kind), part_(part), rows_(rows), sources_(std::move(sources)), destinations_(std::move(destinations)),
      textMode_(textMode) {}

int ParameterMapperRouter::layerRow(int upperRow) const { return ParameterIndex::unfold(upperRow, part_ - 1); }

int ParameterMapperRouter::selection(int upperRow, int count) const {
    if (upperRow < 0) return 0;
    return ParameterMapping::quantise(count, table_.getCachedValue(layerRow(upperRow)));
}

bool ParameterMapperRouter::usable(int source, int destination) const {
    if (source < 0 || source >= static_cast<int>(sources_.size())) return false;
    if (destination < 0 || destination >= static_cast<int>(destinations_.size())) return false;
    const Source& s = sources_[static_cast<size_t>(source)];
    const Destination& d = destinations_[static_cast<size_t>(destination)];
    return s.slot >= 0 && s.port >= 0 && d.slot >= 0 && d.port >= 0;
}

std::optional<ParameterMapperRouter::Route> ParameterMapperRouter::findRoute(std::optional<Route> preferred) const {
    const auto present = [&](int source, int destination) -> std::optional<Route> {
        if (!usable(source, destination)) return std::nullopt;
        const Source& s = sources_[static_cast<size_t>(source)];
        const Destination& d = destinations_[static_cast<size_t>(destination)];
        if (program_.findConnection(part_, s.slot, s.port, kind_, d.slot, d.port) < 0) return std::nullopt;
        return Route{source, destination,
                     program_.getConnectionAmount(part_, s.slot, s.port, kind_, d.slot, d.port) / 16384.0f};
    };
    if (preferred)
        if (std::optional<Route> r = present(preferred->source, preferred->destination)) return r;
    for (int s = 0; s < static_cast<int>(sources_.size()); ++s)
        for (int d = 0; d < static_cast<int>(destinations_.size()); ++d)
            if (std::optional<Route> r = present(s, d)) return r;
    return std::nullopt;
}

void ParameterMapperRouter::connectRoute(int source, int destination, float amount) {
    if (!usable(source, destination)) return;
    const Source& s = sources_[static_cast<size_t>(source)];
    const Destination& d = destinations_[static_cast<size_t>(destination)];
    program_.connect(part_, s.slot, s.port, kind_, d.slot, d.port, connectionAmountWord(amount), d.second);
}

void ParameterMapperRouter::disconnectRoute(int source, int destination) {
    if (!usable(source, destination)) return;
    const Source& s = sources_[static_cast<size_t>(source)];
    const Destination& d = destinations_[static_cast<size_t>(destination)];
    program_.disconnect(part_, s.slot, s.port, kind_, d.slot, d.port);
}

void ParameterMapperRouter::setRouteAmount(int source, int destination, float amount) {
    if (!usable(source, destination)) return;
    const Source& s = sources_[static_cast<size_t>(source)];
    const Destination& d = destinations_[static_cast<size_t>(destination)];
    program_.setConnectionAmount(part_, s.slot, s.port, kind_, d.slot, d.port, connectionAmountWord(amount));
}

void ParameterMapperRouter::setValue(int index, float value) {
    const int sourceCount = static_cast<int>(sources_.size());
    const int destinationCount = static_cast<int>(destinations_.size());
    // The table stores the new value only after this call, so the cache still names the old choice.
    Route current{selection(rows_.source, sourceCount), selection(rows_.destination, destinationCount),
                  rows_.amount >= 0 ? table_.getCachedValue(layerRow(rows_.amount)) : 1.0f};
    const std::optional<Route> found = findRoute(current);
    if (found) current = *found;
    const int row = ParameterIndex::foldToUpper(index);
    if (rows_.source >= 0 && row == rows_.source) {
        if (found) disconnectRoute(found->source, found->destination);
        connectRoute(ParameterMapping::quantise(sourceCount, value), current.destination, current.amount);
    } else if (rows_.destination >= 0 && row == rows_.destination) {
        if (found) disconnectRoute(found->source, found->destination);
        connectRoute(current.source, ParameterMapping::quantise(destinationCount, value), current.amount);
    } else if (rows_.amount >= 0 && row == rows_.amount) {
        setRouteAmount(current.source, current.destination, value);
    }
}

float ParameterMapperRouter::getValue(int index) {
    const std::optional<Route> found = findRoute(std::nullopt);
    if (!found) return kUseCachedValue;
    const int row = ParameterIndex::foldToUpper(index);
    if (rows_.source >= 0 && row == rows_.source)
        return ParameterMapping::stepToValue(found->source, static_cast<int>(sources_.size()));
    if (rows_.destination >= 0 && row == rows_.destination)
        return ParameterMapping::stepToValue(found->destination, static_cast<int>(destinations_.size()));
    if (rows_.amount >= 0 && row == rows_.amount) return found->amount;
    return kUseCachedValue;
}

std::string ParameterMapperRouter::getName(int index) const {
    const int row = ParameterIndex::foldToUpper(index);
    if (rows_.source >= 0 && row == rows_.source) return key_ + "S";
    if (rows_.destination >= 0 && row == rows_.destination) return key_ + "D";
    if (rows_.amount >= 0 && row == rows_.amount) return key_ + "A";
    return key_;
}

std::string ParameterMapperRouter::getText(int, float value) const {
    if (textMode_ == TextMode::Bipolar) return formatText("%+.3f", 2.0f * value - 1.0f);
    return formatText("%.3f", value);
}

} // namespace corvex
