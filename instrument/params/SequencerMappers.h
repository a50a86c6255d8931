// Mappers of a layer's step sequencer that are more than a block word: the step triggers and their mode,
// the three output routes, what starts the sequencer, and the manual start button.
#pragma once

#include <string>

#include "instrument/params/ParameterMapper.h"
#include "instrument/params/RoutingMappers.h"

namespace corvex {

class CorvanKernelProgram;
class CorvanParameters;

// One object per layer serves the 32 step-trigger rows and the trigger-mode row. The step rows write the
// gate bits of the sequencer's first track; the mode row gates every step or none.
class SeqTrigStepMapper : public ParameterMapper {
public:
    static constexpr int kFirstStepRow = 482;
    static constexpr int kStepCount = 32;
    static constexpr int kModeRow = 589;

    SeqTrigStepMapper(CorvanParameters& table, int part);

    void setValue(int index, float value) override;
    float getValue(int index) override;
    // "USeqTg 1" .. "USeqTg32" for the steps, "USeqTgMd" for the mode.
    std::string getName(int index) const override;

private:
    // The step (1..32) an index names, or 0 when it names none.
    static int stepOf(int upperRow);
    int layerRow(int upperRow) const;
    void setGateWord(int step, int word);

    CorvanParameters& table_;
    CorvanKernelProgram& program_;
    int part_;
};

// One of the sequencer's three outputs (n = 1..3, connection kind n - 1) routed to a voice input. The
// pitch-quantised source always goes at full amount, so the amount row only scales the raw step value.
class SeqOutConnMapper : public ParameterMapperRouter {
public:
    SeqOutConnMapper(CorvanParameters& table, int part, int output);

    void setValue(int index, float value) override;
    // Only the amount row has a long name.
    std::string getLongName(int index) const override;

    // Upper rows of output n.
    static constexpr int amountRow(int output) { return 44 + output; }
    static constexpr int destinationRow(int output) { return 582 + output; }
    static constexpr int sourceRow(int output) { return 585 + output; }

private:
    void setAmount(float value);

    std::string amountLongName_;
};

// What starts the sequencer: the manual button, the layer's first-key events or the transport. The one
// destination is the sequencer's transport input.
class SeqTrigMapper : public ParameterMapperRouter {
public:
    static constexpr int kRow = 578;

    SeqTrigMapper(CorvanParameters& table, int part);

    void setValue(int index, float value) override;

private:
    int lastSource_ = 1; // the initial program starts the sequencer from the first-key events
};

// The button that starts and stops the sequencer by hand, through the part's value source in slot 22.
class ParameterMapperSeqManualButton : public ParameterMapper {
public:
    static constexpr int kRow = 221;

    ParameterMapperSeqManualButton(std::string key, CorvanKernelProgram& program, int part);

    void setValue(int index, float value) override;
    float getValue(int) override { return kUseCachedValue; }

private:
    CorvanKernelProgram& program_;
    int part_;
};

} // namespace corvex
