#include "instrument/params/DoubleConnectionMappers.h"

#include <cmath>

#include "engine/program/CorvanKernelProgram.h"
#include "instrument/params/ParameterMapping.h"
#include "instrument/params/RoutingMappers.h"

namespace corvex {

namespace {

constexpr float kWordScale = 16384.0f;
constexpr int kUpperPart = 1;
constexpr int kLowerPart = 2;
constexpr int kKeyboardSlot = 1;
constexpr int kBendPort = 5;
constexpr int kFilterSlot = 5;
constexpr int kCutoffPort = 1;

// The Upper part always sounds; the Lower one only when the keyboard plays both layers.
int lastPartPlayed(const CorvanKernelProgram& program) {
    return program.getKeyMode() != CorvanKernelProgram::Whole ? kLowerPart : kUpperPart;
}

bool present(const CorvanKernelProgram& program, int part, const ConnectionRoute& r) {
    return program.findConnection(part, r.sourceSlot, r.sourcePort, r.kind, r.destinationSlot, r.destinationPort) >= 0;
}

float amountOf(const CorvanKernelProgram& program, int part, const ConnectionRoute& r) {
    return static_cast<float>(program.getConnectionAmount(part, r.sourceSlot, r.sourcePort, r.kind,
                                                          r.destinationSlot, r.destinationPort)) /
           kWordScale;
}

void setAmount(CorvanKernelProgram& program, int part, const ConnectionRoute& r, uint16_t word) {
    program.setConnectionAmount(part, r.sourceSlot, r.sourcePort, r.kind, r.destinationSlot, r.destinationPort, word);
}

// The value the knob reads back for an amount it was given: what the amount word holds.
float heldAmount(uint16_t word) { return static_cast<float>(static_cast<int16_t>(word)) / kWordScale; }

// Whole semitones of bend range, 0..24, spread evenly over the knob.
constexpr int kBendSemitones = 24;
int bendSemitones(float value) {
    const double steps = std::trunc(static_cast<double>(value) * (kBendSemitones + 1));
    if (!(steps > 0.0)) return 0;
    return steps >= kBendSemitones ? kBendSemitones : static_cast<int>(steps);
}
float bendAmount(int semitones) { return static_cast<float>(semitones) / static_cast<float>(kBendSemitones); }
std::string bendText(float value) { return formatText("+/- %d semi-tones", bendSemitones(value)); }

} // namespace

// ---- Amounts ----

ParameterMapperDoubleConnectionAmount::ParameterMapperDoubleConnectionAmount(std::string key, std::string longName,
                                                                             CorvanKernelProgram& program,
                                                                             ConnectionRoute route)
    : ParameterMapper(std::move(key), std::move(longName), true), program_(program), route_(route) {}

void ParameterMapperDoubleConnectionAmount::setValue(int, float value) {
    if (!std::isfinite(value)) return;
    const uint16_t word = connectionAmountWord(value);
    lastAmount_ = heldAmount(word);
    for (int part = kUpperPart; part <= lastPartPlayed(program_); ++part) setAmount(program_, part, route_, word);
}

float ParameterMapperDoubleConnectionAmount::getValue(int) {
    if (present(program_, kUpperPart, route_)) lastAmount_ = amountOf(program_, kUpperPart, route_);
    return lastAmount_;
}

ParameterMapper2DoubleConnectionAmount::ParameterMapper2DoubleConnectionAmount(std::string key, std::string longName,
                                                                               CorvanKernelProgram& program,
                                                                               ConnectionRoute routeA,
                                                                               ConnectionRoute routeB)
    : ParameterMapper(std::move(key), std::move(longName), true), program_(program), routeA_(routeA),
      routeB_(routeB) {}

void ParameterMapper2DoubleConnectionAmount::setValue(int, float value) {
    if (!std::isfinite(value)) return;
    const uint16_t word = connectionAmountWord(value);
    lastAmount_ = heldAmount(word);
    for (int part = kUpperPart; part <= lastPartPlayed(program_); ++part) {
        setAmount(program_, part, routeA_, word);
        setAmount(program_, part, routeB_, word);
    }
}

float ParameterMapper2DoubleConnectionAmount::getValue(int) {
    if (present(program_, kUpperPart, routeA_)) lastAmount_ = amountOf(program_, kUpperPart, routeA_);
    return lastAmount_;
}

void CvnVCOBendAmount::setValue(int index, float value) {
    if (!std::isfinite(value)) return;
    ParameterMapper2DoubleConnectionAmount::setValue(index, bendAmount(bendSemitones(value)));
}

std::string CvnVCOBendAmount::getText(int, float value) const { return bendText(value); }

void CvnVCFBendAmount::setValue(int index, float value) {
    if (!std::isfinite(value)) return;
    ParameterMapperDoubleConnectionAmount::setValue(index, bendAmount(bendSemitones(value)));
}

std::string CvnVCFBendAmount::getText(int, float value) const { return bendText(value); }

// ---- Switches ----

ParameterMapperDoubleConnectionSwitch::ParameterMapperDoubleConnectionSwitch(
    std::string key, std::string longName, ParameterMapping& table, CorvanKernelProgram& program,
    ConnectionRoute first, ConnectionRoute second, int routeCount, uint16_t secondValue, int amountIndex)
    : ParameterMapper(std::move(key), std::move(longName), true), table_(table), program_(program),
      routes_{first, second}, routeCount_(routeCount), secondValue_(secondValue), amountIndex_(amountIndex) {}

void ParameterMapperDoubleConnectionSwitch::setValue(int, float value) {
    if (!std::isfinite(value)) return;
    const bool on = value >= 0.5f;
    for (int part = kUpperPart; part <= lastPartPlayed(program_); ++part) {
        for (int r = routeCount_ - 1; r >= 0; --r) {
            const ConnectionRoute& route = routes_[r];
            if (on)
                program_.connect(part, route.sourceSlot, route.sourcePort, route.kind, route.destinationSlot,
                                 route.destinationPort, 0, secondValue_);
            else
                program_.disconnect(part, route.sourceSlot, route.sourcePort, route.kind, route.destinationSlot,
                                    route.destinationPort);
        }
    }
    // Switching off leaves the amount row alone: switched on again, the routes get the same amount.
    if (on) table_.pushCachedValue(amountIndex_);
}

float ParameterMapperDoubleConnectionSwitch::getValue(int) {
    return present(program_, kUpperPart, routes_[routeCount_ - 1]) ? 1.0f : 0.0f;
}

std::string ParameterMapperDoubleConnectionSwitch::getText(int, float value) const {
    // Half way switches on but still reads "Off": only a value past it says "On".
    return value > 0.5f ? "On" : "Off";
}

ParameterMapperDoubleConnectionSwitchVCO::ParameterMapperDoubleConnectionSwitchVCO(std::string key,
                                                                                   std::string longName,
                                                                                   ParameterMapping& table,
                                                                                   CorvanKernelProgram& program,
                                                                                   int destinationSlot)
    : ParameterMapperDoubleConnectionSwitch(std::move(key), std::move(longName), table, program,
                                            {kKeyboardSlot, kBendPort, 0, destinationSlot, 0}, {}, 1, kSecondValue,
                                            kAmountIndex) {}

ParameterMapperDoubleConnectionSwitchVCF::ParameterMapperDoubleConnectionSwitchVCF(
    std::string key, std::string longName, ParameterMapping& table, CorvanKernelProgram& program, int sourceSlot,
    int sourcePort, uint16_t secondValue, int amountIndex)
    : ParameterMapperDoubleConnectionSwitch(std::move(key), std::move(longName), table, program,
                                            {sourceSlot, sourcePort, 0, kFilterSlot, kCutoffPort}, {}, 1, secondValue,
                                            amountIndex) {}

ParameterMapper2DoubleConnectionSwitch::ParameterMapper2DoubleConnectionSwitch(
    std::string key, std::string longName, ParameterMapping& table, CorvanKernelProgram& program,
    ConnectionRoute routeA, ConnectionRoute routeB, uint16_t secondValue, int amountIndex)
    : ParameterMapperDoubleConnectionSwitch(std::move(key), std::move(longName), table, program, routeA, routeB, 2,
                                            secondValue, amountIndex) {}

// ---- LFO trigger ----

ParameterMapperLFOButton::ParameterMapperLFOButton(std::string key, std::string longName,
                                                   CorvanKernelProgram& program)
    : ParameterMapper(std::move(key), std::move(longName), true), program_(program) {}

void ParameterMapperLFOButton::setValue(int, float value) {
    if (!std::isfinite(value)) return;
    // Both layers, whatever the keyboard plays: a Lower layer that starts sounding later must not keep a
    // stale trigger.
    program_.setParameter(kUpperPart, kSlot, kWord, value);
    program_.setParameter(kLowerPart, kSlot, kWord, value);
}

float ParameterMapperLFOButton::getValue(int) { return kUseCachedValue; }

} // namespace corvex
