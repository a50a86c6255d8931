#include "instrument/params/ConnectionMappers.h"

#include <algorithm>
#include <cmath>

#include "engine/program/CorvanKernelProgram.h"
#include "instrument/params/CorvanParameters.h"
#include "instrument/params/ParameterIndex.h"

namespace corvex {

namespace {

constexpr float kWordScale = 16384.0f;

// An amount word is signed 14-bit fixed point; a value beyond what the word holds is clamped rather
// than wrapped, so an overshooting controller cannot flip the modulation's sign.
uint16_t amountWord(float value) {
    const double scaled = std::trunc(static_cast<double>(value) * kWordScale);
    return static_cast<uint16_t>(static_cast<int16_t>(std::clamp(scaled, -32768.0, 32767.0)));
}

bool present(const CorvanKernelProgram& program, int part, const ConnectionRoute& r) {
    return program.findConnection(part, r.sourceSlot, r.sourcePort, r.kind, r.destinationSlot, r.destinationPort) >= 0;
}

int amountOf(const CorvanKernelProgram& program, int part, const ConnectionRoute& r) {
    return program.getConnectionAmount(part, r.sourceSlot, r.sourcePort, r.kind, r.destinationSlot,
                                       r.destinationPort);
}

// A route that is absent takes nothing: the kernel program drops the amount.
void setAmount(CorvanKernelProgram& program, int part, const ConnectionRoute& r, uint16_t word) {
    program.setConnectionAmount(part, r.sourceSlot, r.sourcePort, r.kind, r.destinationSlot, r.destinationPort, word);
}

// 0 when envelope 1 drives the filter, 1 for envelope 2, -1 when neither does.
int wiredEnvelope(const CorvanKernelProgram& program, int part) {
    if (present(program, part, ParameterMapper2ConnectionAmount::kEnvelope1Route)) return 0;
    if (present(program, part, ParameterMapper2ConnectionAmount::kEnvelope2Route)) return 1;
    return -1;
}

} // namespace

ParameterMapperConnectionAmount::ParameterMapperConnectionAmount(std::string key, std::string longName,
                                                                 CorvanKernelProgram& program, int part,
                                                                 ConnectionRoute route)
    : ParameterMapper(std::move(key), std::move(longName), true), program_(program), part_(part), route_(route) {}

void ParameterMapperConnectionAmount::setValue(int, float value) {
    if (!std::isfinite(value)) return;
    lastValue_ = value;
    setAmount(program_, part_, route_, amountWord(value));
}

float ParameterMapperConnectionAmount::getValue(int) {
    if (present(program_, part_, route_)) lastValue_ = static_cast<float>(amountOf(program_, part_, route_)) / kWordScale;
    return lastValue_;
}

ParameterMapper2ConnectionAmount::ParameterMapper2ConnectionAmount(std::string key, std::string longName,
                                                                   CorvanKernelProgram& program, int part)
    : ParameterMapper(std::move(key), std::move(longName), true), program_(program), part_(part) {}

int ParameterMapper2ConnectionAmount::followRoutes() {
    const int wired = wiredEnvelope(program_, part_);
    if (wired >= 0) selection_ = wired;
    return selection_;
}

void ParameterMapper2ConnectionAmount::setValue(int, float value) {
    if (!std::isfinite(value)) return;
    const uint16_t word = amountWord(value);
    amountWord_ = static_cast<int16_t>(word);
    setAmount(program_, part_, followRoutes() == 0 ? kEnvelope1Route : kEnvelope2Route, word);
}

float ParameterMapper2ConnectionAmount::getValue(int) {
    const ConnectionRoute& route = followRoutes() == 0 ? kEnvelope1Route : kEnvelope2Route;
    if (present(program_, part_, route)) amountWord_ = amountOf(program_, part_, route);
    return static_cast<float>(amountWord_) / kWordScale;
}

ParameterMapper2ConnectionSwitch::ParameterMapper2ConnectionSwitch(
    std::string key, std::string longName, CorvanKernelProgram& program, int part,
    std::shared_ptr<ParameterMapper2ConnectionAmount> amount)
    : ParameterMapper(std::move(key), std::move(longName), true), program_(program), part_(part),
      amount_(std::move(amount)) {}

void ParameterMapper2ConnectionSwitch::setValue(int, float value) {
    if (!std::isfinite(value)) return;
    const int step = ParameterMapping::quantise(2, value);
    // The routes, not the last setting, say which envelope is wired: a loaded layer may differ.
    const int wired = wiredEnvelope(program_, part_);
    if (wired >= 0) selection_ = wired;
    if (step == selection_) return;
    selection_ = step;
    // The new route takes over the old one's amount, so the knob keeps its meaning across the switch.
    const float amount = amount_->getValue(0);
    amount_->select(step);
    const ConnectionRoute& from =
        step == 0 ? ParameterMapper2ConnectionAmount::kEnvelope2Route : ParameterMapper2ConnectionAmount::kEnvelope1Route;
    const ConnectionRoute& to =
        step == 0 ? ParameterMapper2ConnectionAmount::kEnvelope1Route : ParameterMapper2ConnectionAmount::kEnvelope2Route;
    program_.setDoubleConnection(part_, from.sourceSlot, from.sourcePort, to.sourceSlot, to.sourcePort, to.kind,
                                 to.destinationSlot, to.destinationPort, amountWord(amount), kSecondValue, 0);
}

float ParameterMapper2ConnectionSwitch::getValue(int) {
    selection_ = present(program_, part_, ParameterMapper2ConnectionAmount::kEnvelope1Route) ? 0 : 1;
    return selection_ == 0 ? 0.0f : 1.0f;
}

std::string ParameterMapper2ConnectionSwitch::getText(int, float value) const {
    return ParameterMapping::quantise(2, value) == 0 ? "Env1" : "Env2";
}

ParameterMapperOscModAmount::ParameterMapperOscModAmount(std::string key, std::string longName,
                                                         CorvanKernelProgram& program, int part, int sourceSlot,
                                                         int sourcePort)
    : ParameterMapper(std::move(key), std::move(longName), true), program_(program), part_(part),
      toOscillator1_{sourceSlot, sourcePort, 0, 2, 0}, toOscillator2_{sourceSlot, sourcePort, 0, 3, 0} {}

void ParameterMapperOscModAmount::setValue(int, float value) {
    if (!std::isfinite(value)) return;
    const uint16_t word = amountWord(value);
    setAmount(program_, part_, toOscillator1_, selection_ == Oscillator2 ? uint16_t{0} : word);
    setAmount(program_, part_, toOscillator2_, selection_ == Oscillator1 ? uint16_t{0} : word);
}

float ParameterMapperOscModAmount::getValue(int) {
    return static_cast<float>(amountOf(program_, part_, toOscillator1_)) / kWordScale;
}

ParameterMapperOscMod3Switch::ParameterMapperOscMod3Switch(std::string key, std::string longName,
                                                           CorvanParameters& table, int part,
                                                           std::shared_ptr<ParameterMapperOscModAmount> lfoAmount,
                                                           std::shared_ptr<ParameterMapperOscModAmount> envelopeAmount)
    : ParameterMapper(std::move(key), std::move(longName), true), table_(table), part_(part),
      lfoAmount_(std::move(lfoAmount)), envelopeAmount_(std::move(envelopeAmount)) {}

void ParameterMapperOscMod3Switch::select(int step) {
    lfoAmount_->select(step);
    envelopeAmount_->select(step);
}

void ParameterMapperOscMod3Switch::setValue(int, float value) {
    if (!std::isfinite(value)) return;
    const int layer = part_ - 1;
    // Each amount is written again from its row's cached value under the new destination.
    select(ParameterMapping::quantise(3, value));
    table_.pushCachedValue(ParameterIndex::unfold(6, layer));
    table_.pushCachedValue(ParameterIndex::unfold(7, layer));
}

float ParameterMapperOscMod3Switch::getValue(int) {
    return ParameterMapping::stepToValue(std::min(envelopeAmount_->selection(), 2), 3);
}

void ParameterMapperOscMod3Switch::followLoad(int index) {
    // The re-read signal names no position: the choice then stays as it was.
    const float loaded = table_.getCachedValue(index);
    if (std::isfinite(loaded) && loaded != kUseCachedValue) select(ParameterMapping::quantise(3, loaded));
}

std::string ParameterMapperOscMod3Switch::getText(int, float value) const {
    switch (ParameterMapping::quantise(3, value)) {
    case ParameterMapperOscModAmount::Oscillator2:
        return "VCO 2";
    case ParameterMapperOscModAmount::BothOscillators:
        return "VCO 1 & 2";
    default:
        return "VCO 1";
    }
}

KeyFollow2EnvMapper::KeyFollow2EnvMapper(std::string key, std::string longName, CorvanKernelProgram& program,
                                         int part, int envelopeSlot)
    : ParameterMapper(std::move(key), std::move(longName), true), program_(program), part_(part),
      envelopeSlot_(envelopeSlot) {}

void KeyFollow2EnvMapper::setValue(int, float value) {
    if (!std::isfinite(value)) return;
    const bool on = ParameterMapping::quantise(2, value) == 1;
    // The kernel program adds only a route that is missing and refuses one the list has no room for,
    // in its image and towards the kernel alike.
    for (int port : kEnvelopePorts) {
        if (on)
            program_.connect(part_, 1, 1, 0, envelopeSlot_, port, 16384, kSecondValue);
        else
            program_.disconnect(part_, 1, 1, 0, envelopeSlot_, port);
    }
}

float KeyFollow2EnvMapper::getValue(int) {
    return program_.findConnection(part_, 1, 1, 0, envelopeSlot_, kEnvelopePorts[0]) >= 0 ? 0.75f : 0.25f;
}

std::string KeyFollow2EnvMapper::getText(int, float value) const {
    return ParameterMapping::quantise(2, value) == 1 ? "On" : "Off";
}

} // namespace corvex
