// The bender and LFO section: global rows whose routes are made, removed and scaled in the Upper part and,
// while the keyboard plays both layers, in the Lower part too; their texts, and a bend a player hears.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "engine/kernel/CorvexKernel.h"
#include "engine/program/CorvanKernelProgram.h"
#include "instrument/params/CorvanParameters.h"
#include "tests/instrument/core/ParameterRig.h"
#include "tests/support/SignalChecks.h"

namespace corvex {
namespace {

// A route as the front panel names it (all of kind 0).
struct Route {
    int sourceSlot, sourcePort, destinationSlot, destinationPort;
};

constexpr Route kBendToVco1{1, 5, 2, 0};
constexpr Route kBendToVco2{1, 5, 3, 0};
constexpr Route kBendToFilter{1, 5, 5, 1};
constexpr Route kLfoToVco1{30, 0, 2, 0};
constexpr Route kLfoToVco2{30, 0, 3, 0};
constexpr Route kLfoToFilter{30, 0, 5, 1};

constexpr int kWhole = 0, kDual = 1, kSplit = 2;

class DoubleConnectionRows : public ::testing::Test, protected testing::ParameterRig {
protected:
    void SetUp() override {
        build();
        kernel->processPendingMessages(1000);
    }

    int posted() const { return kernel->pendingMessageCount(); }
    int find(int part, Route r) const {
        return program->findConnection(part, r.sourceSlot, r.sourcePort, 0, r.destinationSlot, r.destinationPort);
    }
    bool has(int part, Route r) const { return find(part, r) >= 0; }
    int amount(int part, Route r) const {
        return program->getConnectionAmount(part, r.sourceSlot, r.sourcePort, 0, r.destinationSlot, r.destinationPort);
    }
    int second(int part, Route r) const {
        const int i = find(part, r);
        return i < 0 ? -1 : program->connections(part)->record(i).second;
    }
    // Test setup, not through the rows: the routes the initial program may carry go from both parts.
    void removeEverywhere(Route r) {
        for (int part : {1, 2}) program->disconnect(part, r.sourceSlot, r.sourcePort, 0, r.destinationSlot, r.destinationPort);
    }
    std::string text(int index, float value) const { return table->mapper(index)->getText(index, value); }
};

TEST_F(DoubleConnectionRows, KeysAndLongNames) {
    struct Row {
        int index;
        const char* key;
        const char* longName;
    };
    for (const Row r : {Row{236, "VCO1BndS", "VCO1BendSw"}, Row{237, "VCO2BndS", "VCO2BendSw"},
                        Row{238, "VCOBndAm", "VCOBendAmt"}, Row{239, "VCFBendS", "VCFBendSw"},
                        Row{240, "VCFBndAm", "VCFBendAmt"}, Row{241, "VCOLFOSw", "VCOLFOSw"},
                        Row{242, "VCOLFOAm", "VCOLFOAmt"}, Row{243, "VCFBndSw", "VCFBndSw"},
                        Row{244, "VCFLFOAm", "VCFLFOAmt"}, Row{245, "LFOTrBtn", "LFOTrBtn"}}) {
        EXPECT_EQ(table->getName(r.index), r.key) << r.index;
        EXPECT_EQ(table->getLongName(r.index), r.longName) << r.index;
        EXPECT_TRUE(table->isDiscrete(r.index)) << r.index;
    }
}

// The LFO-to-pitch switch makes both routes in the parts the keyboard plays, and only there.
TEST_F(DoubleConnectionRows, SwitchWritesTheLowerPartOnlyWhenBothLayersPlay) {
    struct Case {
        int keyMode;
        bool lowerWritten;
    };
    for (const Case c : {Case{kWhole, false}, Case{kDual, true}, Case{kSplit, true}}) {
        SCOPED_TRACE(c.keyMode);
        build();
        removeEverywhere(kLfoToVco1);
        removeEverywhere(kLfoToVco2);
        program->setKeyMode(c.keyMode);
        table->setParameter(242, 0.25f);
        const int before1 = program->connections(1)->count(), before2 = program->connections(2)->count();

        table->setParameter(241, 1.0f);
        for (Route r : {kLfoToVco1, kLfoToVco2}) {
            EXPECT_EQ(amount(1, r), 4096) << "the amount row's cached value";
            EXPECT_EQ(second(1, r), 114);
            EXPECT_EQ(has(2, r), c.lowerWritten);
            if (c.lowerWritten) {
                EXPECT_EQ(amount(2, r), 4096);
                EXPECT_EQ(second(2, r), 114);
            }
        }
        EXPECT_EQ(program->connections(1)->count(), before1 + 2);
        EXPECT_EQ(program->connections(2)->count(), before2 + (c.lowerWritten ? 2 : 0));
        EXPECT_FLOAT_EQ(table->getParameter(241), 1.0f);

        // A later key mode change copies nothing into the Lower part.
        program->setKeyMode(kDual);
        EXPECT_EQ(has(2, kLfoToVco1), c.lowerWritten);
        EXPECT_EQ(has(2, kLfoToVco2), c.lowerWritten);

        // With the routes in both parts, off removes them from the parts the keyboard plays and leaves
        // the amount row's value for the next on.
        table->setParameter(241, 1.0f);
        program->setKeyMode(c.keyMode);
        table->setParameter(241, 0.0f);
        for (Route r : {kLfoToVco1, kLfoToVco2}) {
            EXPECT_FALSE(has(1, r));
            EXPECT_EQ(has(2, r), !c.lowerWritten);
        }
        EXPECT_FLOAT_EQ(table->getParameter(241), 0.0f);
        EXPECT_FLOAT_EQ(table->getCachedValue(242), 0.25f);
        table->setParameter(241, 1.0f);
        EXPECT_EQ(amount(1, kLfoToVco1), 4096);
        EXPECT_EQ(amount(1, kLfoToVco2), 4096);
    }
}

TEST_F(DoubleConnectionRows, AmountsReachTheLowerPartOnlyWhenBothLayersPlay) {
    struct Row {
        int switchIndex, amountIndex;
        std::vector<Route> routes;
    };
    const Row rows[] = {{236, 238, {kBendToVco1}}, {237, 238, {kBendToVco2}}, {239, 240, {kBendToFilter}},
                        {241, 242, {kLfoToVco1, kLfoToVco2}}, {243, 244, {kLfoToFilter}}};
    for (int keyMode : {kWhole, kDual}) {
        for (const Row& row : rows) {
            SCOPED_TRACE(::testing::Message() << "key mode " << keyMode << ", row " << row.amountIndex);
            build();
            // Both parts carry the routes, with an amount the rows never write.
            program->setKeyMode(kDual);
            table->setParameter(row.switchIndex, 1.0f);
            for (Route r : row.routes)
                for (int part : {1, 2})
                    ASSERT_GE(program->setConnectionAmount(part, r.sourceSlot, r.sourcePort, 0, r.destinationSlot,
                                                           r.destinationPort, 1234),
                              0);
            program->setKeyMode(keyMode);

            table->setParameter(row.amountIndex, 0.5f); // 12 of 24 semitones for the bend ranges: 8192 too
            for (Route r : row.routes) {
                EXPECT_EQ(amount(1, r), 8192);
                EXPECT_EQ(amount(2, r), keyMode == kWhole ? 1234 : 8192);
            }
        }
    }
}

TEST_F(DoubleConnectionRows, SwitchIsOnFromHalfWayAndSaysSoPastIt) {
    struct Row {
        int index;
        Route readBack; // the route whose presence in the Upper part the switch reports
    };
    struct Value {
        float v;
        bool on;
        const char* text;
    };
    for (const Row row : {Row{236, kBendToVco1}, Row{237, kBendToVco2}, Row{239, kBendToFilter},
                          Row{241, kLfoToVco1}, Row{243, kLfoToFilter}}) {
        // Exactly half way is on, yet its text still reads "Off".
        for (const Value c : {Value{0.0f, false, "Off"}, Value{0.5f, true, "Off"}, Value{0.4999f, false, "Off"},
                              Value{0.5001f, true, "On"}, Value{1.0f, true, "On"}, Value{0.2f, false, "Off"},
                              Value{0.75f, true, "On"}}) {
            table->setParameter(row.index, c.v);
            EXPECT_EQ(has(1, row.readBack), c.on) << row.index << " at " << c.v;
            EXPECT_FLOAT_EQ(table->getParameter(row.index), c.on ? 1.0f : 0.0f) << row.index << " at " << c.v;
            EXPECT_EQ(text(row.index, c.v), c.text) << row.index << " at " << c.v;
        }
    }
    // Of its two routes, 241 reports the one into oscillator 1.
    table->setParameter(241, 1.0f);
    removeEverywhere(kLfoToVco1);
    EXPECT_TRUE(has(1, kLfoToVco2));
    EXPECT_FLOAT_EQ(table->getParameter(241), 0.0f);
}

TEST_F(DoubleConnectionRows, NewRouteTakesTheAmountSetBeforeIt) {
    ASSERT_FALSE(has(1, kLfoToFilter));
    table->setParameter(244, 0.3f);
    EXPECT_EQ(posted(), 0) << "no route yet to take the amount";
    table->setParameter(243, 1.0f);
    EXPECT_EQ(amount(1, kLfoToFilter), 4915) << "0.3 x 16384, truncated";
    EXPECT_EQ(second(1, kLfoToFilter), 147);
    EXPECT_FLOAT_EQ(table->getParameter(244), 4915 / 16384.0f);

    // The filter bend range arrives in whole semitones: 0.3 is step 7 of 24.
    table->setParameter(240, 0.3f);
    table->setParameter(239, 1.0f);
    EXPECT_EQ(amount(1, kBendToFilter), 4778) << "7/24 x 16384, truncated";
    EXPECT_EQ(second(1, kBendToFilter), 160);

    // The kernel gets the same route and amount.
    kernel->processPendingMessages(1000);
    const int k = kernel->program(0)->connections.find(30, 0, 0, 5, 1);
    ASSERT_GE(k, 0);
    EXPECT_EQ(static_cast<int16_t>(kernel->program(0)->connections.record(k).amount), 4915);
}

TEST_F(DoubleConnectionRows, AmountsReadBackNormalisedValues) {
    // Neither route is there and nothing was set: the single-route amount reads 0, the two-route one
    // its starting word.
    removeEverywhere(kLfoToVco1);
    ASSERT_FALSE(has(1, kLfoToFilter));
    EXPECT_FLOAT_EQ(table->getParameter(244), 0.0f);
    EXPECT_FLOAT_EQ(table->getParameter(242), 16000 / 16384.0f);

    // Set while absent: what an amount word would hold.
    table->setParameter(244, 0.3f);
    table->setParameter(242, 0.3f);
    EXPECT_FLOAT_EQ(table->getParameter(244), 4915 / 16384.0f);
    EXPECT_FLOAT_EQ(table->getParameter(242), 4915 / 16384.0f);

    // Present: the Upper part's route, whatever was set last.
    ASSERT_GE(program->connect(1, 30, 0, 0, 2, 0, 6000, 114), 0);
    EXPECT_FLOAT_EQ(table->getParameter(242), 6000 / 16384.0f);
    ASSERT_GE(program->connect(1, 30, 0, 0, 5, 1, 3000, 147), 0);
    EXPECT_FLOAT_EQ(table->getParameter(244), 3000 / 16384.0f);
    // The initial program bends both oscillators by the full range.
    EXPECT_FLOAT_EQ(table->getParameter(238), 1.0f);
}

TEST_F(DoubleConnectionRows, BendRangesTakeWholeSemitones) {
    struct Case {
        float v;
        const char* text;
        int word; // semitones / 24 x 16384, truncated
    };
    table->setParameter(239, 1.0f);
    for (const Case c : {Case{1.0f, "+/- 24 semi-tones", 16384}, Case{0.5f, "+/- 12 semi-tones", 8192},
                         Case{0.999f, "+/- 24 semi-tones", 16384}, Case{0.0f, "+/- 0 semi-tones", 0},
                         Case{0.039f, "+/- 0 semi-tones", 0}, Case{0.041f, "+/- 1 semi-tones", 682},
                         Case{0.961f, "+/- 24 semi-tones", 16384}, Case{0.9599f, "+/- 23 semi-tones", 15701},
                         Case{-0.5f, "+/- 0 semi-tones", 0}, Case{7.0f, "+/- 24 semi-tones", 16384}}) {
        for (int index : {238, 240}) {
            table->setParameter(index, c.v);
            EXPECT_EQ(text(index, c.v), c.text) << index << " at " << c.v;
            EXPECT_FLOAT_EQ(table->getParameter(index), c.word / 16384.0f) << index << " at " << c.v;
        }
        EXPECT_EQ(amount(1, kBendToVco1), c.word) << c.v;
        EXPECT_EQ(amount(1, kBendToVco2), c.word) << c.v;
        EXPECT_EQ(amount(1, kBendToFilter), c.word) << c.v;
    }
}

TEST_F(DoubleConnectionRows, LfoButtonTriggersBothLayersInEveryKeyMode) {
    for (int keyMode : {kWhole, kDual}) {
        build();
        program->setKeyMode(keyMode);
        for (float v : {1.0f, 0.0f, 0.5f}) {
            table->setParameter(245, v);
            for (int part : {1, 2})
                EXPECT_EQ(program->getParameterWord(part, 21, 5), static_cast<int>(v * 16384)) << part << " at " << v;
            EXPECT_EQ(table->mapper(245)->getValue(245), ParameterMapper::kUseCachedValue);
            EXPECT_FLOAT_EQ(table->getParameter(245), v) << "the cached value stands";
        }
        EXPECT_EQ(table->getText(245), "0.500");
    }
}

TEST_F(DoubleConnectionRows, ValuesOutsideTheRangeAreHeldAndNonFiniteOnesIgnored) {
    table->setParameter(241, 1.0f);
    table->setParameter(243, 1.0f);
    struct Case {
        int index;
        Route route;
    };
    for (const Case c : {Case{242, kLfoToVco1}, Case{244, kLfoToFilter}}) {
        ParameterMapper* m = table->mapper(c.index);
        m->setValue(c.index, 1.0e9f);
        EXPECT_EQ(amount(1, c.route), 32767) << "the largest amount a word holds, not a wrapped one";
        m->setValue(c.index, -1.0e9f);
        EXPECT_EQ(amount(1, c.route), -32768);
        m->setValue(c.index, 1.5f);
        EXPECT_EQ(amount(1, c.route), 24576) << "amounts above 1 are the kernel's to take";
        EXPECT_FLOAT_EQ(m->getValue(c.index), 1.5f);
    }
    for (int index = 236; index <= 245; ++index) {
        ParameterMapper* m = table->mapper(index);
        ASSERT_NE(m, nullptr) << index;
        kernel->processPendingMessages(1000);
        for (float bad : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                          -std::numeric_limits<float>::infinity()}) {
            m->setValue(index, bad);
            EXPECT_EQ(posted(), 0) << index << " at " << bad;
            EXPECT_FALSE(m->getText(index, bad).empty()) << index;
        }
        // Far outside 0..1 a switch is simply on or off and a bend range at its end.
        for (float far : {-7.0f, 7.0f}) {
            m->setValue(index, far);
            EXPECT_TRUE(std::isfinite(m->getValue(index))) << index << " at " << far;
            EXPECT_FALSE(m->getText(index, far).empty()) << index;
        }
    }
    EXPECT_TRUE(has(1, kLfoToFilter)) << "243 was left on by 7";
    EXPECT_EQ(text(243, 7.0f), "On");
    EXPECT_EQ(text(243, -7.0f), "Off");
}

// A held note's pitch (autocorrelation, oscillator 1 alone) before and after the bender is pushed fully up.
struct BentPitch {
    double centre, bent;
};

BentPitch pitchOfABend(bool routed) {
    testing::ParameterRig rig;
    rig.build();
    rig.table->setParameter(10, 0.0f);   // oscillator 1 alone in the mix
    rig.table->setParameter(236, 0.0f);  // no bend anywhere to start with
    rig.table->setParameter(237, 0.0f);
    rig.table->setParameter(238, 0.5f);  // 12 semitones, while no route carries it yet
    if (routed) rig.table->setParameter(236, 1.0f);
    rig.kernel->processPendingMessages(1000);

    float left[32], right[32];
    float* outs[2] = {left, right};
    rig.kernel->sendMidiNote(0x90, 57, 127);
    const auto take = [&](int blocks) {
        std::vector<float> x;
        for (int i = 0; i < blocks; ++i) {
            rig.kernel->processBlock(2, outs, 32);
            x.insert(x.end(), left, left + 32);
        }
        EXPECT_EQ(testing::badSamples(x.data(), x.size()), 0);
        return x;
    };
    take(64);
    const std::vector<float> centre = take(64);
    rig.program->setBend(1.0f);
    take(200); // the pitch glides to the bend
    const std::vector<float> bent = take(64);
    return {testing::autocorrelationFrequency(centre, 44100.0, 50.0, 2000.0),
            testing::autocorrelationFrequency(bent, 44100.0, 50.0, 2000.0)};
}

TEST(DoubleConnectionSound, BendRoutedToOscillatorPitchMovesTheHeldNote) {
    const BentPitch plain = pitchOfABend(false);
    const BentPitch routed = pitchOfABend(true);
    ASSERT_GT(plain.centre, 100.0) << "the note sounds";
    EXPECT_NEAR(plain.bent / plain.centre, 1.0, 0.005) << "without a route the bender does nothing";
    EXPECT_NEAR(routed.centre, plain.centre, plain.centre * 0.005);
    EXPECT_NEAR(routed.bent / routed.centre, 2.0, 0.01) << "12 semitones up";
}

} // namespace
} // namespace corvex
