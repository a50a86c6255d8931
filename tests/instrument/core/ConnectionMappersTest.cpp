// The rows that set modulation amounts or rewire modulation: what they write into the layer's connection
// list, what they read back (also from a layer loaded from a stream) and what a player hears.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "engine/kernel/CorvexKernel.h"
#include "engine/program/CorvanKernelProgram.h"
#include "engine/program/WordStream.h"
#include "instrument/params/CorvanParameters.h"
#include "tests/support/SignalChecks.h"

namespace corvex {
namespace {

struct Route {
    int sourceSlot, sourcePort, destinationSlot, destinationPort;
};

// The routes as the front panel names them (all of kind 0).
constexpr Route kCrossMod{3, 0, 2, 0};
constexpr Route kLfoToFilter{29, 0, 5, 1};
constexpr Route kKeyboardToFilter{1, 0, 5, 1};
constexpr Route kEnvelope2ToVca{6, 0, 8, 4};
constexpr Route kLfoToVca{29, 0, 8, 2};
constexpr Route kEnvelope1ToFilter{7, 0, 5, 1};
constexpr Route kEnvelope2ToFilter{6, 0, 5, 1};
constexpr Route kLfoToVco1{29, 0, 2, 0};
constexpr Route kLfoToVco2{29, 0, 3, 0};
constexpr Route kEnvelopeToVco1{7, 0, 2, 0};
constexpr Route kEnvelopeToVco2{7, 0, 3, 0};

struct Rig {
    std::unique_ptr<CorvexKernel> kernel = [] {
        auto k = std::make_unique<CorvexKernel>();
        k->initialise();
        k->setSampleRate(44100.0);
        return k;
    }();
    CorvanKernelProgram program{*kernel};
    std::unique_ptr<CorvanParameters> table;

    explicit Rig(bool buildTable = true) {
        program.initialise();
        drain();
        if (buildTable) table = std::make_unique<CorvanParameters>(nullptr, program);
    }

    void render() {
        float left[32], right[32];
        float* outs[2] = {left, right};
        kernel->processBlock(2, outs, 32);
    }
    void drain() {
        for (int i = 0; i < 64 && kernel->pendingMessageCount() > 0; ++i) render();
        ASSERT_EQ(kernel->pendingMessageCount(), 0);
    }
    // Messages that an action posts to the kernel.
    int postsOf(const std::function<void()>& action) {
        drain();
        action();
        return kernel->pendingMessageCount();
    }

    bool present(int part, Route r) const {
        return program.findConnection(part, r.sourceSlot, r.sourcePort, 0, r.destinationSlot, r.destinationPort) >= 0;
    }
    int amount(int part, Route r) const {
        return program.getConnectionAmount(part, r.sourceSlot, r.sourcePort, 0, r.destinationSlot, r.destinationPort);
    }
    void setAmount(int part, Route r, int word) {
        ASSERT_GE(program.setConnectionAmount(part, r.sourceSlot, r.sourcePort, 0, r.destinationSlot,
                                              r.destinationPort, static_cast<uint16_t>(word)),
                  0);
    }
    int second(int part, Route r) const {
        const int i = program.findConnection(part, r.sourceSlot, r.sourcePort, 0, r.destinationSlot, r.destinationPort);
        return i < 0 ? -1 : program.connections(part)->record(i).second;
    }
    int connectionCount(int part) const { return program.connections(part)->count(); }
};

float stepCentre(int step, int steps) { return (static_cast<float>(step) + 0.5f) / static_cast<float>(steps); }

TEST(ConnectionRows, KeysLongNamesAndLowerTwins) {
    Rig rig;
    struct Row {
        int upper;
        const char* key;
        const char* longName;
    };
    for (const Row r : {Row{6, "UOscLfoM", "VCO LFO Mod"}, Row{7, "UOscEnvM", "VCO Env1 Mod"},
                        Row{9, "UOscCMod", "Oscillator cross-modulation"},
                        Row{15, "ULpfEnvS", "Filter envelope modulation source"},
                        Row{16, "ULpfEnvM", "Filter envelope modulation amount"},
                        Row{17, "ULfoFilt", "Filter LFO modulation amount"},
                        Row{18, "UFiltKF", "Filter Keyboard Follow Amount"},
                        Row{19, "UVcaEnv", "VCA envelope 2 modulation amount"},
                        Row{20, "UVcaLfo", "VCA LFO modulation amount"}, Row{216, "UOscModS", "VCO Mod Select"},
                        Row{218, "UEnv1KF", "Envelope 1 keyboard follow"},
                        Row{220, "UEnv2KF", "Envelope 2 keyboard follow"}}) {
        const int lower = r.upper + (r.upper < 92 ? 92 : 11);
        EXPECT_EQ(rig.table->getName(r.upper), r.key);
        EXPECT_EQ(rig.table->getLongName(r.upper), r.longName);
        EXPECT_EQ(rig.table->getName(lower), "L" + std::string(r.key + 1)) << lower;
        EXPECT_EQ(rig.table->getLongName(lower), r.longName) << lower;
        EXPECT_TRUE(rig.table->isDiscrete(r.upper)) << r.key;
        EXPECT_TRUE(rig.table->isDiscrete(lower)) << r.key;
    }
}

TEST(ConnectionRows, AmountRowsWriteTheirRouteInTheirLayersPart) {
    struct Row {
        int upper;
        Route route;
    };
    struct Value {
        float v;
        int word; // the value times 16384, truncated
    };
    for (int layer = 0; layer < 2; ++layer) {
        const int part = layer + 1, other = 2 - layer;
        for (const Row row : {Row{9, kCrossMod}, Row{17, kLfoToFilter}, Row{18, kKeyboardToFilter},
                              Row{19, kEnvelope2ToVca}, Row{20, kLfoToVca}}) {
            Rig rig;
            const int index = row.upper + 92 * layer;
            const int otherBefore = rig.amount(other, row.route);
            for (const Value c : {Value{0.1f, 1638}, Value{0.7f, 11468}, Value{1.0f, 16384}, Value{0.0f, 0},
                                  Value{0.25f, 4096}}) {
                EXPECT_EQ(rig.postsOf([&] { rig.table->setParameter(index, c.v); }), 1) << index;
                EXPECT_EQ(rig.amount(part, row.route), c.word) << index << " at " << c.v;
                EXPECT_FLOAT_EQ(rig.table->getParameter(index), c.word / 16384.0f) << index;
            }
            EXPECT_EQ(rig.amount(other, row.route), otherBefore) << "the other layer's route stays, " << index;

            // Without its route the row keeps what it was last given and sends nothing.
            ASSERT_GE(rig.program.disconnect(part, row.route.sourceSlot, row.route.sourcePort, 0,
                                             row.route.destinationSlot, row.route.destinationPort),
                      0);
            EXPECT_EQ(rig.postsOf([&] { rig.table->setParameter(index, 0.42f); }), 0) << index;
            EXPECT_FALSE(rig.present(part, row.route));
            EXPECT_FLOAT_EQ(rig.table->getParameter(index), 0.42f) << index;
        }
    }
}

TEST(ConnectionRows, ValuesOutsideTheRangeAreClampedAndNonFiniteOnesIgnored) {
    Rig rig;
    ParameterMapper* crossMod = rig.table->mapper(9);
    crossMod->setValue(9, 1.0e9f);
    EXPECT_EQ(rig.amount(1, kCrossMod), 32767) << "the largest amount a word holds, not a wrapped one";
    crossMod->setValue(9, -1.0e9f);
    EXPECT_EQ(rig.amount(1, kCrossMod), -32768);
    crossMod->setValue(9, -0.5f);
    EXPECT_EQ(rig.amount(1, kCrossMod), -8192);

    for (int index : {6, 7, 9, 15, 16, 17, 18, 19, 20, 216, 218, 220, 98, 99, 101, 107, 108, 227, 229, 231}) {
        ParameterMapper* m = rig.table->mapper(index);
        ASSERT_NE(m, nullptr) << index;
        for (float bad : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                          -std::numeric_limits<float>::infinity()}) {
            EXPECT_EQ(rig.postsOf([&] { m->setValue(index, bad); }), 0) << index;
            EXPECT_EQ(rig.postsOf([&] { rig.table->setParameter(index, bad); }), 0) << index;
        }
        // Far outside 0..1 the stepped rows take their first or last step; nothing breaks.
        for (float far : {-7.0f, 7.0f}) {
            m->setValue(index, far);
            EXPECT_TRUE(std::isfinite(m->getValue(index))) << index;
            EXPECT_FALSE(m->getText(index, far).empty()) << index;
        }
    }
}

TEST(ConnectionRows, FilterEnvelopeSwitchMovesTheRouteWithItsAmount) {
    for (int layer = 0; layer < 2; ++layer) {
        Rig rig;
        const int part = layer + 1, source = 15 + 92 * layer, amount = 16 + 92 * layer;
        rig.table->setParameter(amount, 0.3f);
        EXPECT_EQ(rig.amount(part, kEnvelope1ToFilter), 4915);

        EXPECT_EQ(rig.postsOf([&] { rig.table->setParameter(source, 0.0f); }), 0)
            << "envelope 1 is wired already";
        EXPECT_GT(rig.postsOf([&] { rig.table->setParameter(source, 1.0f); }), 0);
        EXPECT_EQ(rig.postsOf([&] { rig.table->setParameter(source, 0.9f); }), 0) << "the same step again";
        EXPECT_FALSE(rig.present(part, kEnvelope1ToFilter));
        EXPECT_EQ(rig.amount(part, kEnvelope2ToFilter), 4915) << "the new route carries the old amount";
        EXPECT_EQ(rig.second(part, kEnvelope2ToFilter), 65);
        EXPECT_FLOAT_EQ(rig.table->getParameter(source), 1.0f);
        EXPECT_FLOAT_EQ(rig.table->getParameter(amount), 4915 / 16384.0f);

        rig.table->setParameter(amount, 0.5f);
        EXPECT_EQ(rig.amount(part, kEnvelope2ToFilter), 8192) << "the knob follows the envelope now wired";
        rig.table->setParameter(source, 0.2f);
        EXPECT_EQ(rig.amount(part, kEnvelope1ToFilter), 8192);
        EXPECT_FALSE(rig.present(part, kEnvelope2ToFilter));
        EXPECT_FLOAT_EQ(rig.table->getParameter(source), 0.0f);
        EXPECT_TRUE(rig.present(3 - part, kEnvelope1ToFilter)) << "the other layer keeps its envelope";
        EXPECT_FALSE(rig.present(3 - part, kEnvelope2ToFilter));
    }
}

TEST(ConnectionRows, OscillatorModulationDestinationSplitsBothAmounts) {
    struct Case {
        int step;
        bool first, second; // which oscillators the amounts reach
    };
    for (int layer = 0; layer < 2; ++layer) {
        for (const Case c : {Case{0, false, true}, Case{1, true, true}, Case{2, true, false}}) {
            Rig rig;
            const int part = layer + 1, offset = 92 * layer;
            // The other layer's amounts differ, so a switch that pushed the wrong layer's values shows.
            rig.table->setParameter(6 + 92 * (1 - layer), 0.9f);
            rig.table->setParameter(7 + 92 * (1 - layer), 0.9f);
            rig.table->setParameter(6 + offset, 0.5f);
            rig.table->setParameter(7 + offset, 0.25f);
            rig.table->setParameter(216 + 11 * layer, stepCentre(c.step, 3));
            EXPECT_EQ(rig.amount(part, kLfoToVco1), c.first ? 8192 : 0) << c.step;
            EXPECT_EQ(rig.amount(part, kLfoToVco2), c.second ? 8192 : 0) << c.step;
            EXPECT_EQ(rig.amount(part, kEnvelopeToVco1), c.first ? 4096 : 0) << c.step;
            EXPECT_EQ(rig.amount(part, kEnvelopeToVco2), c.second ? 4096 : 0) << c.step;
            EXPECT_FLOAT_EQ(rig.table->getParameter(216 + 11 * layer), stepCentre(c.step, 3));
            // The knobs read the route into oscillator 1, which carries nothing with oscillator 2 alone.
            EXPECT_FLOAT_EQ(rig.table->getParameter(6 + offset), c.first ? 0.5f : 0.0f);
            EXPECT_FLOAT_EQ(rig.table->getParameter(7 + offset), c.first ? 0.25f : 0.0f);

            // A new amount goes where the destination says.
            rig.table->setParameter(7 + offset, 0.125f);
            EXPECT_EQ(rig.amount(part, kEnvelopeToVco1), c.first ? 2048 : 0) << c.step;
            EXPECT_EQ(rig.amount(part, kEnvelopeToVco2), c.second ? 2048 : 0) << c.step;
        }
    }
}

TEST(ConnectionRows, LoadedLayerShowsTheFilterEnvelopeItCarries) {
    Rig made(false);
    ASSERT_GE(made.program.setDoubleConnection(1, 7, 0, 6, 0, 0, 5, 1, 9000, 65, 0), 0);
    MemoryWordOutput stored;
    ASSERT_TRUE(made.program.writePart(1, stored));

    Rig loaded;
    MemoryWordInput in(stored.bytes);
    ASSERT_TRUE(loaded.program.readPart(1, in));
    EXPECT_FLOAT_EQ(loaded.table->getParameter(16), 9000 / 16384.0f);
    EXPECT_FLOAT_EQ(loaded.table->getParameter(15), 1.0f);
    EXPECT_EQ(loaded.postsOf([&] { loaded.table->setParameter(15, 1.0f); }), 0) << "envelope 2 is wired already";
    loaded.table->setParameter(16, 0.5f);
    EXPECT_EQ(loaded.amount(1, kEnvelope2ToFilter), 8192);
    EXPECT_FALSE(loaded.present(1, kEnvelope1ToFilter));

    // Envelope 1 chosen before the load, and chosen again right after it, without a read between:
    // the loaded layer's envelope 2 route is what the choice must replace.
    Rig reloaded;
    reloaded.table->setParameter(15, 1.0f);
    reloaded.table->setParameter(15, 0.0f);
    MemoryWordInput again(stored.bytes);
    ASSERT_TRUE(reloaded.program.readPart(1, again));
    reloaded.table->setParameter(15, 0.0f);
    EXPECT_EQ(reloaded.amount(1, kEnvelope1ToFilter), 9000);
    EXPECT_FALSE(reloaded.present(1, kEnvelope2ToFilter));
}

TEST(ConnectionRows, KeyboardFollowAddsAndRemovesThreeRoutes) {
    struct Case {
        int index, part, envelopeSlot;
    };
    for (const Case c : {Case{218, 1, 7}, Case{220, 1, 6}, Case{229, 2, 7}, Case{231, 2, 6}}) {
        Rig rig;
        const int before = rig.connectionCount(c.part), otherBefore = rig.connectionCount(3 - c.part);
        EXPECT_FLOAT_EQ(rig.table->getParameter(c.index), 0.25f);
        EXPECT_EQ(rig.postsOf([&] { rig.table->setParameter(c.index, 0.75f); }), 3) << c.index;
        for (int port : {2, 3, 5}) {
            EXPECT_EQ(rig.amount(c.part, Route{1, 1, c.envelopeSlot, port}), 16384) << c.index << " port " << port;
            EXPECT_EQ(rig.second(c.part, Route{1, 1, c.envelopeSlot, port}), 176) << c.index << " port " << port;
        }
        EXPECT_EQ(rig.connectionCount(c.part), before + 3);
        EXPECT_EQ(rig.connectionCount(3 - c.part), otherBefore);
        EXPECT_FLOAT_EQ(rig.table->getParameter(c.index), 0.75f);

        EXPECT_EQ(rig.postsOf([&] { rig.table->setParameter(c.index, 1.0f); }), 0) << "on twice adds nothing";
        EXPECT_EQ(rig.connectionCount(c.part), before + 3);

        EXPECT_EQ(rig.postsOf([&] { rig.table->setParameter(c.index, 0.1f); }), 3) << c.index;
        EXPECT_EQ(rig.connectionCount(c.part), before);
        for (int port : {2, 3, 5}) EXPECT_FALSE(rig.present(c.part, Route{1, 1, c.envelopeSlot, port}));
        EXPECT_FLOAT_EQ(rig.table->getParameter(c.index), 0.25f);
    }
}

TEST(ConnectionRows, KeyboardFollowOnAFullListAddsNothingAnywhere) {
    Rig rig;
    for (int port = 0, kind = 1; rig.connectionCount(1) < 96; ++kind) {
        if (kind > 15) {
            kind = 1;
            ++port;
        }
        ASSERT_GE(rig.program.connect(1, 0, port, kind, 1, 0, 0, 0), 0);
    }
    EXPECT_EQ(rig.postsOf([&] { rig.table->setParameter(218, 1.0f); }), 0);
    EXPECT_EQ(rig.connectionCount(1), 96);
    EXPECT_FALSE(rig.present(1, Route{1, 1, 7, 2}));
    EXPECT_FLOAT_EQ(rig.table->getParameter(218), 0.25f);
}

TEST(ConnectionRows, ValueTexts) {
    Rig rig;
    struct Case {
        int index;
        float value;
        const char* text;
    };
    for (const Case c : {Case{15, 0.0f, "Env1"}, Case{15, 0.49f, "Env1"}, Case{15, 0.5f, "Env2"},
                         Case{107, 1.0f, "Env2"}, Case{216, 0.0f, "VCO 2"}, Case{216, 0.33f, "VCO 2"},
                         Case{216, 0.34f, "VCO 1 & 2"}, Case{216, 0.67f, "VCO 1"}, Case{227, 1.0f, "VCO 1"},
                         Case{218, 0.2f, "Off"}, Case{218, 0.5f, "On"}, Case{231, 1.0f, "On"},
                         Case{9, 0.25f, "0.250"}, Case{6, 0.5f, "0.500"}, Case{16, 0.125f, "0.125"}})
        EXPECT_EQ(rig.table->mapper(c.index)->getText(c.index, c.value), c.text) << c.index << " at " << c.value;
}

// Brightness of a held note, early and late: the level of its slope (first difference) relative to its
// level, which grows with the weight of the upper harmonics.
struct Brightness {
    double early, late;
};

Brightness brightnessWithFilterEnvelope(float amount) {
    Rig rig;
    rig.table->setParameter(16, amount);
    rig.drain();
    rig.kernel->sendMidiNote(0x90, 45, 100);
    std::vector<float> take;
    for (int block = 0; block < 44100 / 32; ++block) {
        float left[32], right[32];
        float* outs[2] = {left, right};
        rig.kernel->processBlock(2, outs, 32);
        take.insert(take.end(), left, left + 32);
    }
    EXPECT_EQ(testing::badSamples(take.data(), take.size()), 0);
    const auto measure = [&](double from, double to) {
        const std::vector<float> x(take.begin() + static_cast<long>(from * 44100), take.begin() + static_cast<long>(to * 44100));
        std::vector<float> slope(x.size() - 1);
        for (size_t i = 1; i < x.size(); ++i) slope[i - 1] = x[i] - x[i - 1];
        EXPECT_GT(testing::rms(x), 0.01) << "the note sounds";
        return testing::rms(slope) / testing::rms(x);
    };
    return {measure(0.02, 0.12), measure(0.8, 0.95)};
}

TEST(ConnectionRows, FilterEnvelopeAmountIsHeard) {
    const Brightness none = brightnessWithFilterEnvelope(0.0f);
    const Brightness full = brightnessWithFilterEnvelope(1.0f);
    // The envelope opens the filter over the whole note, attack and sustain alike.
    EXPECT_GT(full.early, 1.3 * none.early);
    EXPECT_GT(full.late, 1.3 * none.late);
}

} // namespace
} // namespace corvex
