// The bender and LFO section of the front panel: global rows whose connections live in both layers'
// parts at once (the Lower part only while the keyboard plays both layers).
#pragma once

#include <cstdint>
#include <string>

#include "instrument/params/ConnectionMappers.h"
#include "instrument/params/ParameterMapper.h"

namespace corvex {

class CorvanKernelProgram;
class ParameterMapping;

// The amount of one route, written in every part the keyboard plays. A missing route keeps the last
// amount set, so the knob does not jump.
class ParameterMapperDoubleConnectionAmount : public ParameterMapper {
public:
    ParameterMapperDoubleConnectionAmount(std::string key, std::string longName, CorvanKernelProgram& program,
                                          ConnectionRoute route);

    void setValue(int index, float value) override;
    float getValue(int index) override;

private:
    CorvanKernelProgram& program_;
    ConnectionRoute route_;
    float lastAmount_ = 0.0f;
};

// One amount for two routes (both oscillators' pitch); the first route is the one read back.
class ParameterMapper2DoubleConnectionAmount : public ParameterMapper {
public:
    // What the knob shows before anything was set or found in the Upper part.
    static constexpr int kInitialAmountWord = 16000;

    ParameterMapper2DoubleConnectionAmount(std::string key, std::string longName, CorvanKernelProgram& program,
                                           ConnectionRoute routeA, ConnectionRoute routeB);

    void setValue(int index, float value) override;
    float getValue(int index) override;

private:
    CorvanKernelProgram& program_;
    ConnectionRoute routeA_;
    ConnectionRoute routeB_;
    float lastAmount_ = static_cast<float>(kInitialAmountWord) / 16384.0f;
};

// A switch that adds or removes routes in every part the keyboard plays. New routes start silent and
// take their amount from the paired amount row's cached value, so the amount has one source of truth.
class ParameterMapperDoubleConnectionSwitch : public ParameterMapper {
public:
    void setValue(int index, float value) override;
    float getValue(int index) override;
    std::string getText(int index, float value) const override;

protected:
    // With two routes, the second is made first and is the one read back.
    ParameterMapperDoubleConnectionSwitch(std::string key, std::string longName, ParameterMapping& table,
                                          CorvanKernelProgram& program, ConnectionRoute first, ConnectionRoute second,
                                          int routeCount, uint16_t secondValue, int amountIndex);

private:
    ParameterMapping& table_;
    CorvanKernelProgram& program_;
    ConnectionRoute routes_[2];
    int routeCount_;
    uint16_t secondValue_;
    int amountIndex_;
};

// Pitch bend into one oscillator's pitch; the bend range row sets its amount.
class ParameterMapperDoubleConnectionSwitchVCO : public ParameterMapperDoubleConnectionSwitch {
public:
    static constexpr uint16_t kSecondValue = 160;
    static constexpr int kAmountIndex = 238;

    ParameterMapperDoubleConnectionSwitchVCO(std::string key, std::string longName, ParameterMapping& table,
                                             CorvanKernelProgram& program, int destinationSlot);
};

// A source into the low-pass filter's cutoff.
class ParameterMapperDoubleConnectionSwitchVCF : public ParameterMapperDoubleConnectionSwitch {
public:
    ParameterMapperDoubleConnectionSwitchVCF(std::string key, std::string longName, ParameterMapping& table,
                                             CorvanKernelProgram& program, int sourceSlot, int sourcePort,
                                             uint16_t secondValue, int amountIndex);
};

// One switch for two routes (one source into both oscillators' pitch).
class ParameterMapper2DoubleConnectionSwitch : public ParameterMapperDoubleConnectionSwitch {
public:
    ParameterMapper2DoubleConnectionSwitch(std::string key, std::string longName, ParameterMapping& table,
                                           CorvanKernelProgram& program, ConnectionRoute routeA, ConnectionRoute routeB,
                                           uint16_t secondValue, int amountIndex);
};

// Retriggers the LFO of both layers, whatever the keyboard plays.
class ParameterMapperLFOButton : public ParameterMapper {
public:
    static constexpr int kSlot = 21;
    static constexpr int kWord = 5;

    ParameterMapperLFOButton(std::string key, std::string longName, CorvanKernelProgram& program);

    void setValue(int index, float value) override;
    float getValue(int index) override;

private:
    CorvanKernelProgram& program_;
};

// The bend ranges: 0 to 24 semitones in whole steps, shown as such.
class CvnVCOBendAmount : public ParameterMapper2DoubleConnectionAmount {
public:
    using ParameterMapper2DoubleConnectionAmount::ParameterMapper2DoubleConnectionAmount;

    void setValue(int index, float value) override;
    std::string getText(int index, float value) const override;
};

class CvnVCFBendAmount : public ParameterMapperDoubleConnectionAmount {
public:
    using ParameterMapperDoubleConnectionAmount::ParameterMapperDoubleConnectionAmount;

    void setValue(int index, float value) override;
    std::string getText(int index, float value) const override;
};

} // namespace corvex
