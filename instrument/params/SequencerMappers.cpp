#include "instrument/params/SequencerMappers.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <utility>
#include <vector>

#include "engine/program/CorvanKernelProgram.h"
#include "instrument/params/CorvanParameters.h"
#include "instrument/params/ParameterIndex.h"

namespace corvex {

namespace {

constexpr int kSequencerSlot = 24;
constexpr int kGateWordBeforeStep1 = 86; // step n's gate bit (first track) is word 86 + n
constexpr int kButtonSlot = 22;          // the part's value source that the manual button drives
constexpr int kButtonWord = 5;
constexpr int kSwitchSteps = 2;
constexpr int kTriggerSourceCount = 3;

using Router = ParameterMapperRouter;

std::string layerLetter(int part) { return layerKey(part - 1, {}); }

} // namespace

// ---- Step triggers ----

SeqTrigStepMapper::SeqTrigStepMapper(CorvanParameters& table, int part)
    : ParameterMapper({}, {}, true), table_(table), program_(table.program()), part_(part) {}

int SeqTrigStepMapper::stepOf(int upperRow) {
    if (upperRow < kFirstStepRow || upperRow >= kFirstStepRow + kStepCount) return 0;
    return upperRow - kFirstStepRow + 1;
}

int SeqTrigStepMapper::layerRow(int upperRow) const { return ParameterIndex::unfold(upperRow, part_ - 1); }

void SeqTrigStepMapper::setGateWord(int step, int word) {
    program_.setParameterWord(part_, kSequencerSlot, kGateWordBeforeStep1 + step, -1, static_cast<uint16_t>(word));
}

void SeqTrigStepMapper::setValue(int index, float value) {
    const int row = ParameterIndex::foldToUpper(index);
    if (row == kModeRow) {
        const bool everyStepGated = ParameterMapping::quantise(kSwitchSteps, value) == 1;
        for (int step = 1; step <= kStepCount; ++step) setGateWord(step, everyStepGated ? 1 : 0);
        // Under this mode the step rows show their gates, which their cached values no longer tell:
        // whoever shows them must read them again.
        if (everyStepGated)
            for (int step = 0; step < kStepCount; ++step)
                table_.setValue(layerRow(kFirstStepRow + step), kUseCachedValue);
        return;
    }
    const int step = stepOf(row);
    if (step == 0) return;
    const bool on = ParameterMapping::quantise(kSwitchSteps, value) == 1;
    // With every step gated, switching a step on is what takes its gate away.
    const bool everyStepGated = ParameterMapping::quantise(kSwitchSteps, table_.getParameter(layerRow(kModeRow))) == 1;
    setGateWord(step, everyStepGated && !on ? 1 : 0);
}

float SeqTrigStepMapper::getValue(int index) {
    const int step = stepOf(ParameterIndex::foldToUpper(index));
    if (step == 0) return kUseCachedValue;
    if (ParameterMapping::quantise(kSwitchSteps, table_.getCachedValue(layerRow(kModeRow))) == 0)
        return kUseCachedValue;
    return program_.getParameterWord(part_, kSequencerSlot, kGateWordBeforeStep1 + step) == 0 ? 0.75f : 0.25f;
}

std::string SeqTrigStepMapper::getName(int index) const {
    const int row = ParameterIndex::foldToUpper(index);
    if (row == kModeRow) return layerLetter(part_) + "SeqTgMd";
    const int step = stepOf(row);
    return step == 0 ? std::string() : formatText("%sSeqTg%2d", layerLetter(part_).c_str(), step);
}

// ---- Sequencer outputs ----

namespace {

// The first track's raw step value and its value quantised to the pitch grid.
constexpr Router::Source kOutputSources[] = {{kSequencerSlot, 0}, {kSequencerSlot, 1}};
constexpr Router::Destination kOutputDestinations[] = {
    {-1, -1, 0}, // none
    {2, 0, 49},  // oscillator 1 pitch
    {3, 0, 49},  // oscillator 2 pitch
    {2, 2, 1},   // oscillator 1 pulse width
    {3, 2, 1},   // oscillator 2 pulse width
    {4, 1, 65},  // high-pass cutoff
    {5, 1, 65},  // low-pass cutoff
    {5, 2, 0},   // low-pass input 2
    {8, 2, 1},   // amplifier
};

template <typename T, size_t N>
std::vector<T> listOf(const T (&entries)[N]) {
    return std::vector<T>(entries, entries + N);
}

Router::Rows outputRows(int output) {
    Router::Rows rows;
    rows.source = SeqOutConnMapper::sourceRow(output);
    rows.destination = SeqOutConnMapper::destinationRow(output);
    rows.amount = SeqOutConnMapper::amountRow(output);
    return rows;
}

} // namespace

SeqOutConnMapper::SeqOutConnMapper(CorvanParameters& table, int part, int output)
    : ParameterMapperRouter(layerLetter(part) + formatText("SqOut%1d", output), {}, table, part, output - 1,
                            outputRows(output), listOf(kOutputSources), listOf(kOutputDestinations),
                            TextMode::Unipolar),
      amountLongName_(formatText("Ouput %d Amount", output)) {}

std::string SeqOutConnMapper::getLongName(int index) const {
    return ParameterIndex::foldToUpper(index) == rows_.amount ? amountLongName_ : std::string();
}

void SeqOutConnMapper::setAmount(float value) {
    const Route chosen{selection(rows_.source, static_cast<int>(sources_.size())),
                       selection(rows_.destination, static_cast<int>(destinations_.size())), 0.0f};
    const std::optional<Route> found = findRoute(chosen);
    if (!found) return;
    // Scaling the quantised output would move its notes off the pitch grid: it always goes whole.
    setRouteAmount(found->source, found->destination, found->source == 0 ? value : 1.0f);
}

void SeqOutConnMapper::setValue(int index, float value) {
    const int row = ParameterIndex::foldToUpper(index);
    if (row == rows_.amount) {
        setAmount(value);
        return;
    }
    if (row != rows_.source && row != rows_.destination) return;
    ParameterMapperRouter::setValue(index, value);
    // The new choice goes into the cache before the table would put it there, so that the amount pushed
    // next looks for the route just made first.
    table_.storeCachedValue(layerRow(row), value);
    table_.pushCachedValue(layerRow(rows_.amount));
}

// ---- Sequencer trigger ----

namespace {

constexpr Router::Source kTriggerSources[] = {
    {kButtonSlot, 0}, // the manual button
    {20, 0},          // the layer's first-key events
    {32, 0},          // the transport's run signal
};
constexpr Router::Destination kTriggerDestinations[] = {{kSequencerSlot, 0, 0}};

Router::Rows triggerRows() {
    Router::Rows rows;
    rows.source = SeqTrigMapper::kRow;
    return rows;
}

} // namespace

SeqTrigMapper::SeqTrigMapper(CorvanParameters& table, int part)
    : ParameterMapperRouter(layerLetter(part) + "SqPlM", layerLetter(part) + "SqPlM", table, part, 0, triggerRows(),
                            listOf(kTriggerSources), listOf(kTriggerDestinations), TextMode::Unipolar) {}

void SeqTrigMapper::setValue(int index, float value) {
    if (ParameterIndex::foldToUpper(index) != kRow) return;
    const int source = ParameterMapping::quantise(kTriggerSourceCount, value);
    // After a program load the route in place, not the last choice made here, tells what drives the
    // sequencer now.
    const std::optional<Route> current = findRoute(std::nullopt);
    const int previous = current ? current->source : lastSource_;
    // A button left held would keep its value source high: release it, so the next press starts anew.
    if (source != 0 && previous == 0) program_.setParameterWord(part_, kButtonSlot, kButtonWord, -1, 0);
    ParameterMapperRouter::setValue(index, value);
    lastSource_ = source;
}

// ---- Manual button ----

ParameterMapperSeqManualButton::ParameterMapperSeqManualButton(std::string key, CorvanKernelProgram& program,
                                                               int part)
    : ParameterMapper(std::move(key), "Seq Trig Button", true), program_(program), part_(part) {}

void ParameterMapperSeqManualButton::setValue(int, float value) {
    // Past either end the button is still pressed or released, and a value that is no number releases
    // it: the kernel word must agree with the line written.
    const float pressed = std::isnan(value) ? 0.0f : std::clamp(value, 0.0f, 1.0f);
    std::fprintf(stderr, "Seq %s\n", pressed > 0.5f ? "On" : "Off");
    program_.setParameter(part_, kButtonSlot, kButtonWord, pressed);
}

} // namespace corvex
