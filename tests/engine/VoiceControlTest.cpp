// The value source's edges and the voice control module: glide, bend smoothing, pressure per note,
// key follow and the drawn velocity and pressure curves.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "engine/modules/EngineContext.h"
#include "engine/modules/BlockBufferStore.h"
#include "engine/modules/ModulePools.h"
#include "engine/modules/types/ValueSource.h"
#include "engine/modules/types/VoiceControl.h"
#include "tests/engine/ModuleRig.h"

namespace corvex {
namespace {

class ControlModules : public testing::ModuleRig {
protected:
    void SetUp() override {
        ModuleRig::SetUp();
    }
    void* make(int type) {
        void* m = pools->poolForType(type)->allocate();
        initModuleByType(m, type, &record, 0, &context);
        return m;
    }
    void set(int parameter, int16_t word) {
        float echo = 0.0f;
        int code = word;
        parameterSetterFor(2)(word, parameter, &echo, &code, &record, &context);
    }
    ParameterRecord record;
};

TEST_F(ControlModules, ValueSourceTurnsChangesIntoEdges) {
    void* gate = make(1);
    auto step = [&] {
        processModuleByType(gate, nullptr, nullptr, nullptr);
        return gateOf(gate);
    };
    float echo = 0.0f;
    int code = 0;
    parameterSetterFor(1)(16384, 5, &echo, &code, &record, &context);
    EXPECT_EQ(step(), GateRising);
    EXPECT_EQ(step(), GateHigh);
    EXPECT_EQ(step(), GateHigh);
    parameterSetterFor(1)(0, 5, &echo, &code, &record, &context);
    EXPECT_EQ(step(), GateFalling);
    EXPECT_EQ(step(), GateLow);
    setGate(gate, GateRising); // a strike from voice assignment
    EXPECT_EQ(step(), GateHigh);
}

TEST_F(ControlModules, GlideReachesTheNoteAtOnceWithoutGlideTime) {
    set(20, 0);
    void* control = make(2);
    voiceControlNoteOn(control, 60, 100);
    processModuleByType(control, nullptr, nullptr, nullptr);
    EXPECT_FLOAT_EQ(static_cast<VoiceControlModule*>(control)->currentPitch, 60.0f);

    set(20, 8192); // 6 of 12 steps: 240 ms
    voiceControlNoteOn(control, 72, 100);
    auto& m = *static_cast<VoiceControlModule*>(control);
    EXPECT_GT(m.increment, 0.0f);
    int blocks = 0;
    while (m.currentPitch < 72.0f && blocks < 10000) {
        processModuleByType(control, nullptr, nullptr, nullptr);
        ++blocks;
    }
    EXPECT_GT(blocks, 5);
    processModuleByType(control, nullptr, nullptr, nullptr); // a last step may overshoot; then it settles
    EXPECT_FLOAT_EQ(m.currentPitch, 72.0f);
}

TEST_F(ControlModules, OutputsFollowBendPressureVelocityAndKey) {
    // Linear curves from 0 to 1 for velocity and pressure.
    for (int p : {31, 35}) {
        set(p, 0);
        set(p + 1, 8192);
        set(p + 2, 8192);
        set(p + 3, 16384);
    }
    set(9, 0);
    set(7, 0);
    void* control = make(2);
    auto& m = *static_cast<VoiceControlModule*>(control);
    for (PortEntry& port : m.ports) port.setUsers(1);
    float bend = 0.5f, pressureValue = 0.75f;
    uint16_t pressureNote = 255;
    voiceControlAttach(control, &bend, &pressureNote, &pressureValue);
    voiceControlNoteOn(control, 72, 127);
    processModuleByType(control, nullptr, nullptr, nullptr);
    EXPECT_FLOAT_EQ(m.ports[5].value, 0.5f) << "the first block takes the bend at once";
    EXPECT_NEAR(m.ports[4].value, 1.0f, 1e-6f) << "velocity 127 reads the curve's last point";
    EXPECT_NEAR(m.ports[6].value, 0.75f, 0.02f);
    EXPECT_NEAR(m.ports[0].value, (72.0f - 60.0f) * 0.25f / 12.0f, 1e-6f);

    bend = -0.5f;
    processModuleByType(control, nullptr, nullptr, nullptr);
    EXPECT_NEAR(m.ports[5].value, 0.5f - 0.05f, 1e-6f) << "then it is smoothed";

    pressureNote = 61; // polyphonic pressure on another key
    processModuleByType(control, nullptr, nullptr, nullptr);
    EXPECT_FLOAT_EQ(m.ports[6].value, 0.0f);
    pressureNote = 72;
    processModuleByType(control, nullptr, nullptr, nullptr);
    EXPECT_NEAR(m.ports[6].value, 0.75f, 0.02f);
}

// Every stored shape word must draw a curve in a bounded number of steps, inside -1..1.
TEST_F(ControlModules, CurvesAreDrawnForEveryShapeWord) {
    for (int shape = -32768; shape <= 32767; shape += 97) {
        const float controls[4] = {-2.0f, static_cast<float>(shape) / 16384.0f, 3.0f, 1.0f};
        float curve[kCurvePoints];
        drawControlCurve(controls, curve);
        for (float y : curve) {
            ASSERT_TRUE(std::isfinite(y)) << shape;
            ASSERT_LE(std::fabs(y), 1.0f) << shape;
        }
    }
    const float straight[4] = {0.0f, 0.5f, 0.5f, 1.0f};
    float curve[kCurvePoints];
    drawControlCurve(straight, curve);
    for (int i = 0; i < kCurvePoints; ++i) EXPECT_NEAR(curve[i], i / 6.0f, 0.02f) << i;
    EXPECT_EQ(curve[0], 0.0f) << "the curve starts at its start control";
    EXPECT_EQ(curve[6], 1.0f) << "and ends at its end control";
}

// Seven points for x = 0, 1/6 .. 1, read with straight lines between them and held at the ends.
TEST_F(ControlModules, CurvesAreReadBetweenTheirPointsAndHeldAtTheEnds) {
    const float squares[kCurvePoints] = {0.0f, 1.0f, 4.0f, 9.0f, 16.0f, 25.0f, 36.0f};
    struct Case {
        float x, y;
    };
    for (const Case c : {Case{-1.0f, 0.0f}, Case{0.0f, 0.0f}, Case{0.25f, 2.5f}, Case{0.5f, 9.0f},
                         Case{11.0f / 12.0f, 30.5f}, Case{1.0f, 36.0f}, Case{2.0f, 36.0f}})
        EXPECT_NEAR(readControlCurve(squares, c.x), c.y, 1e-5f) << c.x;
}

TEST_F(ControlModules, GlideTimeMapping) {
    EXPECT_FLOAT_EQ(glideTimeFromValue(0.0f), 0.0f);
    EXPECT_FLOAT_EQ(glideTimeFromValue(0.5f), 240.0f);
    EXPECT_FLOAT_EQ(glideTimeFromValue(1.0f), 13600.0f);
    EXPECT_FLOAT_EQ(glideTimeFromValue(1.0f / 24.0f), 3.75f);
    EXPECT_FLOAT_EQ(glideTimeFromValue(-3.0f), 0.0f);
}

} // namespace
} // namespace corvex
