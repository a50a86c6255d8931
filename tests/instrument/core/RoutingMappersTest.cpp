// The pulse-width modulation rows and the modulation routers: which connections they make, move and
// remove in the kernel program, what they read back, their names and texts, and one audible route.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "engine/kernel/CorvexKernel.h"
#include "engine/program/CorvanKernelProgram.h"
#include "instrument/params/CorvanParameters.h"
#include "instrument/params/RoutingMappers.h"
#include "tests/instrument/core/ParameterRig.h"
#include "tests/support/SignalChecks.h"

namespace corvex {
namespace {

using testing::Route;

// Values of list positions: the destination list has nine entries, the PW modes three, the waves four.
float destination(int entry) { return ParameterMapping::stepToValue(entry, 9); }
float pwMode(int mode) { return ParameterMapping::stepToValue(mode, 3); }

constexpr int kSaw = 1, kRectangle = 2, kTriangle = 0, kSquare = 3;
constexpr int kEnvelopeMode = 0, kManualMode = 1, kLfoMode = 2;

class RoutingRows : public ::testing::Test, protected testing::ParameterRig {
protected:
    void SetUp() override { build(); }

    // A fresh kernel, program and table, with the program's own messages taken by the kernel.
    void build() {
        ParameterRig::build();
        deliver();
    }


    // Oscillator 1's wave of a layer, through whatever mapper its row has, so the cache and the kernel agree.
    void setWave(int layer, int step) {
        table->setParameter(ParameterIndex::unfold(213, layer), ParameterMapping::stepToValue(step, 4));
    }

};

// ---- Routers ----

struct RouterCase {
    const char* name;
    int destinationRow, amountRow;
    int sourceSlot, sourcePort;
    int secondToLowPass, secondToOsc1Pitch; // the family's second values for entries 6 and 1
};
constexpr RouterCase kRouterCases[] = {
    {"X axis", 444, 33, 25, 4, 147, 114},
    {"Y axis", 447, 36, 25, 5, 147, 114},
    {"velocity", 590, 593, 1, 4, 159, 127},
    {"aftertouch", 600, 603, 1, 6, 159, 127},
};

TEST_F(RoutingRows, RouterDestinationMakesAndMovesOneRouteKeepingItsAmount) {
    for (const RouterCase& c : kRouterCases) {
        SCOPED_TRACE(c.name);
        const Route lowPass{c.sourceSlot, c.sourcePort, 1, 5, 1};
        const Route osc1Pitch{c.sourceSlot, c.sourcePort, 1, 2, 0};
        const int before = connectionCount(1);
        table->setValue(c.amountRow, 0.25f);
        table->setParameter(c.destinationRow, destination(6));
        ASSERT_TRUE(has(1, lowPass));
        EXPECT_EQ(amount(1, lowPass), 4096) << "the amount row's cached value";
        EXPECT_EQ(second(1, lowPass), c.secondToLowPass);
        EXPECT_EQ(connectionCount(1), before + 1);
        EXPECT_FLOAT_EQ(table->getParameter(c.destinationRow), destination(6));
        EXPECT_FLOAT_EQ(table->getParameter(c.amountRow), 0.25f);

        // The amount travels with the route, whatever the cache says by then.
        table->setParameter(c.amountRow, 0.5f);
        EXPECT_EQ(amount(1, lowPass), 8192);
        table->setValue(c.amountRow, 0.9f);
        table->setParameter(c.destinationRow, destination(1));
        EXPECT_FALSE(has(1, lowPass));
        ASSERT_TRUE(has(1, osc1Pitch));
        EXPECT_EQ(amount(1, osc1Pitch), 8192);
        EXPECT_EQ(second(1, osc1Pitch), c.secondToOsc1Pitch);
        EXPECT_EQ(connectionCount(1), before + 1);
        EXPECT_FLOAT_EQ(table->getParameter(c.amountRow), 0.5f) << "read from the route, not the cache";

        deliver();
        EXPECT_TRUE(kernelHas(1, osc1Pitch));
        EXPECT_FALSE(kernelHas(1, lowPass));
        EXPECT_EQ(kernelConnectionCount(1), connectionCount(1));
        table->setParameter(c.destinationRow, destination(0));
        deliver();
    }
}

TEST_F(RoutingRows, RouterDestinationNoneRemovesTheRouteAndAddsNone) {
    const Route route{25, 4, 1, 4, 1};
    const int before = connectionCount(1);
    table->setValue(33, 0.75f);
    table->setParameter(444, destination(5));
    ASSERT_TRUE(has(1, route));
    table->setParameter(444, destination(0));
    EXPECT_FALSE(has(1, route));
    EXPECT_EQ(connectionCount(1), before);
    EXPECT_EQ(table->mapper(33)->getValue(33), ParameterMapper::kUseCachedValue);
    EXPECT_EQ(table->mapper(444)->getValue(444), ParameterMapper::kUseCachedValue);
    EXPECT_FLOAT_EQ(table->getParameter(33), 0.75f) << "the cached amount stands";
    deliver();
    EXPECT_EQ(kernelConnectionCount(1), before);
}

TEST_F(RoutingRows, RouterAmountWithoutARouteSendsNothing) {
    const int before = connectionCount(1);
    for (int row : {33, 38, 593, 605}) {
        table->setParameter(row, 0.7f);
        EXPECT_EQ(posted(), 0) << row;
        EXPECT_EQ(connectionCount(1), before) << row;
    }
    // With destination "none" cached the amount has no route either.
    table->setValue(590, destination(0));
    table->setParameter(593, 0.3f);
    EXPECT_EQ(posted(), 0);
}

TEST_F(RoutingRows, TwoRoutersOnOneSourceKeepTwoConnections) {
    const Route first{25, 4, 1, 5, 1}, second{25, 4, 2, 5, 1};
    table->setParameter(444, destination(6));
    table->setParameter(445, destination(6));
    ASSERT_TRUE(has(1, first));
    ASSERT_TRUE(has(1, second));
    table->setParameter(34, 0.5f);
    EXPECT_EQ(amount(1, second), 8192);
    EXPECT_EQ(amount(1, first), 0) << "the first router's amount came from its own empty cache";
    table->setParameter(444, destination(0));
    EXPECT_FALSE(has(1, first));
    EXPECT_TRUE(has(1, second));
    EXPECT_FLOAT_EQ(table->getParameter(445), destination(6));
}

TEST_F(RoutingRows, RouterTextsAreUnipolarForXYAndBipolarForTheKeyboard) {
    struct Case {
        int row;
        float value;
        const char* text;
    };
    for (const Case c : {Case{33, 0.5f, "0.500"}, Case{444, 0.25f, "0.250"}, Case{593, 0.5f, "+0.000"},
                         Case{593, 1.0f, "+1.000"}, Case{603, 0.0f, "-1.000"}, Case{590, 0.75f, "+0.500"}}) {
        table->setValue(c.row, c.value);
        EXPECT_EQ(table->getText(c.row), c.text) << c.row << " at " << c.value;
    }
}

TEST_F(RoutingRows, NamesAndSharedObjectsByRow) {
    struct Case {
        int row;
        const char* key;
        const char* longName;
    };
    for (const Case c : {Case{33, "UQXRot1A", "X Axis Mod 1 Amount"}, Case{444, "UQXRot1D", "X Axis Mod 1 Amount"},
                         Case{35, "UQXRot3A", "X Axis Mod 3 Amount"}, Case{449, "UQYRot3D", "Y Axis Mod 3 Amount"},
                         Case{36, "UQYRot1A", "Y Axis Mod 1 Amount"}, Case{590, "UKeybV1D", "Keyb Velo 1 Amount"},
                         Case{595, "UKeybV3A", "Keyb Velo 3 Amount"}, Case{601, "UKeybA2D", "Keyb Aftertouch 2 Amount"},
                         Case{605, "UKeybA3A", "Keyb Aftertouch 3 Amount"}, Case{125, "LQXRot1A", "X Axis Mod 1 Amount"},
                         Case{805, "LQXRot1D", "X Axis Mod 1 Amount"}, Case{951, "LKeybV1D", "Keyb Velo 1 Amount"},
                         Case{966, "LKeybA3A", "Keyb Aftertouch 3 Amount"}, Case{217, "UOscPwmS", "VCO PW Mode"},
                         Case{228, "LOscPwmS", "VCO PW Mode"}, Case{8, "UOscPwmM", ""}, Case{100, "LOscPwmM", ""}}) {
        EXPECT_EQ(table->getName(c.row), c.key) << c.row;
        EXPECT_EQ(table->getLongName(c.row), c.longName) << c.row;
        EXPECT_TRUE(table->isDiscrete(c.row)) << c.row;
    }
    struct Pair {
        int a, b;
    };
    for (const Pair p : {Pair{33, 444}, Pair{38, 449}, Pair{590, 593}, Pair{602, 605}, Pair{125, 805},
                         Pair{8, 217}, Pair{100, 228}}) {
        ASSERT_NE(table->mapper(p.a), nullptr) << p.a;
        EXPECT_EQ(table->mapper(p.a), table->mapper(p.b)) << p.a << " and " << p.b;
    }
    EXPECT_NE(table->mapper(33), table->mapper(34));
    EXPECT_NE(table->mapper(33), table->mapper(125)) << "each layer has its own router";
    EXPECT_NE(table->mapper(8), table->mapper(100));
}

TEST_F(RoutingRows, PwmNamesAndTextsFollowTheMode) {
    struct Case {
        int mode;
        const char* longName;
        const char* modeText;
    };
    for (const Case c : {Case{kEnvelopeMode, "Env1 PW Mod Amount", "Env 1 Mod"}, Case{kManualMode, "PW", "Manual"},
                         Case{kLfoMode, "LFO PW Mod Amount", "LFO Mod"}}) {
        table->setParameter(217, pwMode(c.mode));
        EXPECT_EQ(table->getLongName(8), c.longName);
        EXPECT_EQ(table->getLongName(217), "VCO PW Mode");
        EXPECT_EQ(table->getText(217), c.modeText);
        EXPECT_EQ(table->getName(8), "UOscPwmM");
    }
    table->setValue(8, 0.25f);
    EXPECT_EQ(table->getText(8), "0.250");
    EXPECT_EQ(table->mapper(8)->getText(217, 0.99f), "LFO Mod");
    EXPECT_EQ(table->mapper(8)->getText(217, 0.0f), "Env 1 Mod");
}

// The kernel program checks every route against the slot table; a router must go through that check,
// so a route the kernel would refuse leaves both lists as they were.
TEST_F(RoutingRows, RouteTheKernelWouldRefuseIsRefusedOnBothSides) {
    ParameterMapperRouter::Rows rows;
    rows.destination = 444;
    // Slot 5 has four inputs: port 9 does not exist.
    ParameterMapperRouter router("UTest", "", *table, 1, 1, rows, {{25, 4}}, {{-1, -1, 0}, {5, 9, 147}, {5, 1, 147}},
                                 ParameterMapperRouter::TextMode::Unipolar);
    const int before = connectionCount(1);
    router.setValue(444, ParameterMapping::stepToValue(1, 3));
    EXPECT_EQ(connectionCount(1), before);
    EXPECT_EQ(posted(), 0);
    EXPECT_EQ(router.getValue(444), ParameterMapper::kUseCachedValue);
    router.setValue(444, ParameterMapping::stepToValue(2, 3));
    EXPECT_EQ(connectionCount(1), before + 1);
    deliver();
    EXPECT_EQ(kernelConnectionCount(1), before + 1);
    EXPECT_TRUE(kernelHas(1, {25, 4, 1, 5, 1}));
}

TEST_F(RoutingRows, FullConnectionListMakesTheRouterFindNothing) {
    // Fill part 1's list with routes no mapper uses.
    for (int kind = 4; kind < 16 && connectionCount(1) < kMaxConnections; ++kind)
        for (int port = 0; port < 7 && connectionCount(1) < kMaxConnections; ++port)
            program->connect(1, 1, 0, kind, 8, port, 0, 0);
    ASSERT_EQ(connectionCount(1), kMaxConnections);
    deliver();
    table->setValue(593, 0.6f);
    table->setParameter(590, destination(6));
    EXPECT_EQ(connectionCount(1), kMaxConnections);
    EXPECT_FALSE(has(1, {1, 4, 1, 5, 1}));
    EXPECT_EQ(table->mapper(593)->getValue(593), ParameterMapper::kUseCachedValue);
    EXPECT_FLOAT_EQ(table->getParameter(593), 0.6f);
    EXPECT_FLOAT_EQ(table->getParameter(590), destination(6)) << "the cached choice stands";
    deliver();
    EXPECT_EQ(kernelConnectionCount(1), kMaxConnections);
}

TEST_F(RoutingRows, ValuesOutsideTheRangeAreClampedAndNonFiniteOnesIgnored) {
    const Route amp{25, 4, 1, 8, 2};
    table->setParameter(444, 7.0f);
    ASSERT_TRUE(has(1, amp)) << "past the end is the last destination";
    struct Case {
        float value;
        int word;
    };
    // Amounts reach the kernel as signed words: beyond +-2 they saturate rather than change sign.
    for (const Case c : {Case{-0.5f, -8192}, Case{1.5f, 24576}, Case{5.0f, 32767}, Case{-5.0f, -32768},
                         Case{1e30f, 32767}, Case{-1e30f, -32768}}) {
        table->setParameter(33, c.value);
        EXPECT_EQ(amount(1, amp), c.word) << c.value;
        EXPECT_FLOAT_EQ(table->getParameter(33), c.word / 16384.0f) << c.value;
    }
    deliver();
    for (float bad : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()}) {
        table->setParameter(33, bad);
        table->setParameter(444, bad);
        table->setParameter(217, bad);
        table->setParameter(8, bad);
        EXPECT_EQ(posted(), 0);
    }
    EXPECT_TRUE(has(1, amp));
    // A mapper called directly must survive them too.
    table->mapper(33)->setValue(33, std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(amount(1, amp), 0);
    table->mapper(8)->setValue(217, -3.0f);
    EXPECT_EQ(static_cast<ParameterMapperPWMMod*>(table->mapper(8))->mode(), kEnvelopeMode);
    table->mapper(8)->setValue(8, 1e30f);
    table->mapper(8)->setValue(217, 9.0f);
    EXPECT_EQ(static_cast<ParameterMapperPWMMod*>(table->mapper(8))->mode(), kLfoMode);
    EXPECT_EQ(amount(1, {29, 0, 0, 3, 2}), 32767);
    table->setParameter(444, -3.0f);
    EXPECT_FALSE(has(1, amp)) << "before the start is destination none";
}

TEST_F(RoutingRows, LowerRowsActOnPartTwo) {
    const std::vector<ConnectionRecord> upperBefore(program->connections(1)->records(),
                                                    program->connections(1)->records() + connectionCount(1));
    table->setValue(125, 0.25f); // Lower "X Axis Mod 1 Amount"
    table->setParameter(805, destination(6));
    EXPECT_EQ(amount(2, {25, 4, 1, 5, 1}), 4096) << "the Lower amount row's cache";
    table->setParameter(951, destination(2)); // Lower velocity 1
    EXPECT_TRUE(has(2, {1, 4, 1, 3, 0}));
    setWave(1, kRectangle);
    table->setParameter(100, 0.4f);
    table->setParameter(228, pwMode(kLfoMode));
    EXPECT_TRUE(has(2, {29, 0, 0, 3, 2}));
    EXPECT_TRUE(has(2, {29, 0, 0, 2, 2}));
    EXPECT_FLOAT_EQ(table->getParameter(228), pwMode(kLfoMode));
    EXPECT_FLOAT_EQ(table->getParameter(100), 6553 / 16384.0f);
    const std::vector<ConnectionRecord> upperAfter(program->connections(1)->records(),
                                                   program->connections(1)->records() + connectionCount(1));
    EXPECT_EQ(upperAfter, upperBefore) << "part 1 untouched";
    EXPECT_EQ(table->mapper(805)->getValue(444), table->mapper(805)->getValue(805))
        << "an Upper index reaching a Lower mapper is folded alike";
}

// ---- Pulse-width modulation ----

const Route kEnvToOsc1{7, 0, 0, 2, 2}, kEnvToOsc2{7, 0, 0, 3, 2};
const Route kLfoToOsc1{29, 0, 0, 2, 2}, kLfoToOsc2{29, 0, 0, 3, 2};

TEST_F(RoutingRows, PwmManualWritesTheWordOfEachOscillatorThatHasAPulseWidth) {
    struct Case {
        const char* wave;
        int step;
        bool oscillator1Takes;
    };
    for (const Case c : {Case{"Saw", kSaw, false}, Case{"Rectangle", kRectangle, true}, Case{"Triangle", kTriangle, false},
                         Case{"Square", kSquare, false}}) {
        SCOPED_TRACE(c.wave);
        build();
        ASSERT_TRUE(has(1, kEnvToOsc1)) << "the initial program modulates oscillator 1's pulse width";
        setWave(0, c.step);
        table->setParameter(217, pwMode(kManualMode));
        table->setParameter(8, 0.3f);
        EXPECT_EQ(word(1, 3, 8), 4915);
        EXPECT_EQ(word(1, 2, 8), c.oscillator1Takes ? 4915 : 0);
        for (const Route r : {kEnvToOsc1, kEnvToOsc2, kLfoToOsc1, kLfoToOsc2}) EXPECT_FALSE(has(1, r));
        EXPECT_FLOAT_EQ(table->getParameter(8), 4915 / 16384.0f);
    }
}

TEST_F(RoutingRows, PwmAmountChosenBeforeTheModeReachesTheWordWithTheMode) {
    // The wave as a loaded program leaves it, word and cache, without the re-push that a wave change
    // makes (which would fix a mode).
    program->setParameterWord(1, 2, 12, -1, 1);
    table->setValue(213, ParameterMapping::stepToValue(kRectangle, 4));
    const int initialWord = word(1, 3, 8);
    ASSERT_NE(initialWord, 4915);
    table->setParameter(8, 0.3f);
    EXPECT_EQ(posted(), 1) << "only the wave word: no mode yet, nothing to send the amount to";
    EXPECT_EQ(word(1, 3, 8), initialWord);
    table->setParameter(217, pwMode(kManualMode));
    EXPECT_EQ(word(1, 3, 8), 4915);
    EXPECT_EQ(word(1, 2, 8), 4915);
}

TEST_F(RoutingRows, PwmEnvelopeAndLfoModesRouteTheOscillators) {
    struct Case {
        const char* wave;
        int step;
        bool oscillator1Takes;
    };
    for (const Case c : {Case{"Rectangle", kRectangle, true}, Case{"Saw", kSaw, false}}) {
        SCOPED_TRACE(c.wave);
        build();
        const int before = connectionCount(1);
        setWave(0, c.step);
        table->setParameter(217, pwMode(kManualMode));
        table->setParameter(8, 0.5f);
        table->setParameter(217, pwMode(kEnvelopeMode));
        ASSERT_TRUE(has(1, kEnvToOsc2));
        EXPECT_EQ(amount(1, kEnvToOsc2), 8192);
        EXPECT_EQ(second(1, kEnvToOsc2), 0);
        EXPECT_EQ(has(1, kEnvToOsc1), c.oscillator1Takes);
        if (c.oscillator1Takes) {
            EXPECT_EQ(amount(1, kEnvToOsc1), 8192);
        }
        EXPECT_EQ(word(1, 3, 8), 0);
        EXPECT_EQ(word(1, 2, 8), 0);
        table->setParameter(8, 0.25f);
        EXPECT_EQ(amount(1, kEnvToOsc2), 4096);

        // "LFO Mod" while the envelope routes exist: the same records change source.
        const int withEnvelope = connectionCount(1);
        table->setParameter(217, pwMode(kLfoMode));
        EXPECT_EQ(connectionCount(1), withEnvelope) << "one route per destination";
        EXPECT_FALSE(has(1, kEnvToOsc2));
        EXPECT_FALSE(has(1, kEnvToOsc1));
        ASSERT_TRUE(has(1, kLfoToOsc2));
        EXPECT_EQ(amount(1, kLfoToOsc2), 4096);
        EXPECT_EQ(second(1, kLfoToOsc2), 1);
        EXPECT_EQ(has(1, kLfoToOsc1), c.oscillator1Takes);
        table->setParameter(8, 0.75f);
        EXPECT_EQ(amount(1, kLfoToOsc2), 12288);
        EXPECT_EQ(connectionCount(1), before + (c.oscillator1Takes ? 1 : 0))
            << "the initial envelope route into oscillator 1 is the one kept or dropped";

        deliver();
        EXPECT_TRUE(kernelHas(1, kLfoToOsc2));
        EXPECT_FALSE(kernelHas(1, kEnvToOsc2));
        EXPECT_EQ(kernelConnectionCount(1), connectionCount(1));
    }
}

TEST_F(RoutingRows, PwmModeChangeNeverLeavesTwoRoutesIntoOneInput) {
    struct Case {
        int mode;
        int routesLeft;
        Route kept;
    };
    for (const Case c : {Case{kLfoMode, 1, kLfoToOsc2}, Case{kEnvelopeMode, 1, kEnvToOsc2}, Case{kManualMode, 0, {}}}) {
        SCOPED_TRACE(c.mode);
        build();
        setWave(0, kRectangle);
        // A program that arrived with both sources on oscillator 2.
        program->connect(1, 7, 0, 0, 3, 2, 1000, 0);
        program->connect(1, 29, 0, 0, 3, 2, 2000, 1);
        table->setParameter(217, pwMode(c.mode));
        int intoOsc2 = 0;
        const ConnectionManager& list = *program->connections(1);
        for (int i = 0; i < list.count(); ++i)
            if (list.record(i).destinationSlot() == 3 && list.record(i).destinationPort() == 2) ++intoOsc2;
        EXPECT_EQ(intoOsc2, c.routesLeft);
        if (c.routesLeft > 0) {
            EXPECT_TRUE(has(1, c.kept));
        }
    }
}

TEST_F(RoutingRows, PwmReadsItsModeAndAmountFromTheRoutes) {
    // Before any mode is known, the amount comes from whatever route oscillator 2 has.
    program->connect(1, 7, 0, 0, 3, 2, 4000, 0);
    EXPECT_FLOAT_EQ(table->getParameter(8), 4000 / 16384.0f);
    EXPECT_FLOAT_EQ(table->getParameter(217), pwMode(kEnvelopeMode));

    program->disconnect(1, 7, 0, 0, 3, 2);
    program->connect(1, 29, 0, 0, 3, 2, 6000, 1);
    EXPECT_FLOAT_EQ(table->getParameter(217), pwMode(kLfoMode));
    EXPECT_FLOAT_EQ(table->getParameter(8), 6000 / 16384.0f);
    EXPECT_EQ(table->getLongName(8), "LFO PW Mod Amount");

    program->disconnect(1, 29, 0, 0, 3, 2);
    program->setParameter(1, 3, 8, 0.25f);
    EXPECT_FLOAT_EQ(table->getParameter(217), pwMode(kManualMode));
    EXPECT_FLOAT_EQ(table->getParameter(8), 0.25f);
    EXPECT_EQ(table->getLongName(8), "PW");
}

// ---- Sound ----

// Middle C on oscillator 1 alone, at full velocity: its pitch, with or without a velocity route.
double pitchWithVelocityRoute(bool routed) {
    auto kernel = std::make_unique<CorvexKernel>();
    kernel->initialise();
    kernel->setSampleRate(44100.0);
    CorvanKernelProgram program(*kernel);
    program.initialise();
    CorvanParameters table(nullptr, program);
    program.setParameterWord(1, 9, 8, -1, 0); // mixer: oscillator 2 silent
    if (routed) {
        table.setParameter(593, 1.0f);
        table.setParameter(590, destination(1)); // velocity 1 -> oscillator 1 pitch
    }
    float left[32], right[32];
    float* outs[2] = {left, right};
    kernel->processBlock(2, outs, 32);
    kernel->sendMidiNote(0x90, 60, 127);
    std::vector<float> take;
    for (int i = 0; i < 44100 * 4 / 10 / 32; ++i) {
        kernel->processBlock(2, outs, 32);
        take.insert(take.end(), left, left + 32);
    }
    const std::vector<float> held(take.begin() + 4410, take.end());
    return testing::autocorrelationFrequency(held, 44100.0, 50.0, 4000.0);
}

TEST(RoutingSound, VelocityRoutedToPitchRaisesTheNote) {
    const double plain = pitchWithVelocityRoute(false);
    const double routed = pitchWithVelocityRoute(true);
    EXPECT_NEAR(plain, 261.63, 261.63 * 0.003);
    EXPECT_GT(routed, plain * 1.06) << "at least a semitone higher";
}

} // namespace
} // namespace corvex
