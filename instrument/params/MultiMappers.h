// The global performance settings of the multi: volume, balance, tuning, detune, the layers' holds,
// voice assignment, the bender, and the key, poly and arpeggio modes.
#pragma once

#include <string>

#include "instrument/params/ParameterIndex.h"
#include "instrument/params/ParameterMapper.h"

namespace corvex {

class CorvanKernelProgram;
class ParameterMapping;

// One object for the multi's global rows but the play modes. It keeps no value: every read asks the kernel
// program or the kernel, so a loaded multi shows through at once. Rows it does not know read -1.0.
class CorvanMultiParamsMapper : public ParameterMapper {
public:
    CorvanMultiParamsMapper(CorvanKernelProgram& program, ParameterMapping& table);

    void setValue(int index, float value) override;
    float getValue(int index) override;
    std::string getName(int index) const override;
    std::string getLongName(int index) const override;
    std::string getText(int index, float value) const override;

    // The normalised detune setting whose level curve gives this linear amount (0 for no amount).
    static float detuneSettingOf(float amount);

private:
    void setHold(int layer, float value);
    void setAssignParameters(int polyphony, int priority, int unison);

    CorvanKernelProgram& program_;
    ParameterMapping& table_;
};

// The key mode, split key, poly mode and arpeggio mode (rows 971-974). The poly and arpeggio modes
// exclude each other outside Split, so setting one may change the other: its row then hears -1.0, the
// signal for the editor to read it again.
class PlayModeMapper : public ParameterMapper {
public:
    PlayModeMapper(CorvanKernelProgram& program, ParameterMapping& table);

    void setValue(int index, float value) override;
    float getValue(int index) override;
    std::string getName(int index) const override;

private:
    void askToReread(int index);

    CorvanKernelProgram& program_;
    ParameterMapping& table_;
};

} // namespace corvex
