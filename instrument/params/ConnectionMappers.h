// Mappers whose value is the amount of a modulation connection of a layer, and the switches that move,
// add and remove such connections.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "instrument/params/ParameterMapper.h"

namespace corvex {

class CorvanKernelProgram;
class CorvanParameters;

// One connection of a part's list, named by its two ends and its kind.
struct ConnectionRoute {
    int sourceSlot, sourcePort, kind, destinationSlot, destinationPort;
};

// The amount of one route. A missing route keeps the last value set, so the knob does not jump.
class ParameterMapperConnectionAmount : public ParameterMapper {
public:
    ParameterMapperConnectionAmount(std::string key, std::string longName, CorvanKernelProgram& program, int part,
                                    ConnectionRoute route);

    void setValue(int index, float value) override;
    float getValue(int index) override;

private:
    CorvanKernelProgram& program_;
    int part_;
    ConnectionRoute route_;
    float lastValue_ = 0.0f;
};

// The filter's envelope amount: one knob for whichever envelope currently drives the filter.
class ParameterMapper2ConnectionAmount : public ParameterMapper {
public:
    static constexpr ConnectionRoute kEnvelope1Route{7, 0, 0, 5, 1};
    static constexpr ConnectionRoute kEnvelope2Route{6, 0, 0, 5, 1};

    ParameterMapper2ConnectionAmount(std::string key, std::string longName, CorvanKernelProgram& program, int part);

    void setValue(int index, float value) override;
    float getValue(int index) override;

    // 0 envelope 1, 1 envelope 2.
    void select(int selection) { selection_ = selection; }
    // A route that exists outranks the remembered choice: a loaded layer may carry either envelope.
    int followRoutes();

private:
    CorvanKernelProgram& program_;
    int part_;
    int selection_ = 0;
    int amountWord_ = 16000;
};

// Which envelope modulates the filter; the amount moves with the route.
class ParameterMapper2ConnectionSwitch : public ParameterMapper {
public:
    static constexpr uint16_t kSecondValue = 65;

    ParameterMapper2ConnectionSwitch(std::string key, std::string longName, CorvanKernelProgram& program, int part,
                                     std::shared_ptr<ParameterMapper2ConnectionAmount> amount);

    void setValue(int index, float value) override;
    float getValue(int index) override;
    std::string getText(int index, float value) const override;

private:
    CorvanKernelProgram& program_;
    int part_;
    int selection_ = 2; // neither envelope, so that the first setting always acts
    std::shared_ptr<ParameterMapper2ConnectionAmount> amount_;
};

// The amount of one source's modulation of the oscillators' pitch, written to the oscillators that the
// layer's destination switch selects. Only that switch chooses the destination: routes that carry no
// amount cannot tell it, so they are never asked.
class ParameterMapperOscModAmount : public ParameterMapper {
public:
    // Destination steps, in the switch's order.
    enum Selection { Oscillator2 = 0, BothOscillators = 1, Oscillator1 = 2 };

    ParameterMapperOscModAmount(std::string key, std::string longName, CorvanKernelProgram& program, int part,
                                int sourceSlot, int sourcePort);

    void setValue(int index, float value) override;
    // What the route into oscillator 1 carries: 0 with the destination at oscillator 2 alone.
    float getValue(int index) override;

    void select(int selection) { selection_ = selection; }
    int selection() const { return selection_; }

private:
    CorvanKernelProgram& program_;
    int part_;
    ConnectionRoute toOscillator1_;
    ConnectionRoute toOscillator2_;
    int selection_ = BothOscillators;
};

// The destination of both oscillator modulations of a layer.
class ParameterMapperOscMod3Switch : public ParameterMapper {
public:
    ParameterMapperOscMod3Switch(std::string key, std::string longName, CorvanParameters& table, int part,
                                 std::shared_ptr<ParameterMapperOscModAmount> lfoAmount,
                                 std::shared_ptr<ParameterMapperOscModAmount> envelopeAmount);

    void setValue(int index, float value) override;
    float getValue(int index) override;
    std::string getText(int index, float value) const override;
    // The loaded layer's own position of the switch (its cached value) becomes the destination; the
    // loaded routes carry their amounts already.
    void followLoad(int index) override;

private:
    void select(int step);

    CorvanParameters& table_;
    int part_;
    std::shared_ptr<ParameterMapperOscModAmount> lfoAmount_;
    std::shared_ptr<ParameterMapperOscModAmount> envelopeAmount_;
};

// Lets an envelope follow the keyboard: three routes from the key position into the envelope's times.
class KeyFollow2EnvMapper : public ParameterMapper {
public:
    static constexpr uint16_t kSecondValue = 176;
    static constexpr int kEnvelopePorts[3] = {2, 3, 5};

    KeyFollow2EnvMapper(std::string key, std::string longName, CorvanKernelProgram& program, int part,
                        int envelopeSlot);

    void setValue(int index, float value) override;
    float getValue(int index) override;
    std::string getText(int index, float value) const override;

private:
    CorvanKernelProgram& program_;
    int part_;
    int envelopeSlot_;
};

} // namespace corvex
