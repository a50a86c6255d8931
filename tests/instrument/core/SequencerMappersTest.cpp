// The sequencer rows that are more than a block word: its output routes, what starts it, the manual button
// and the step triggers: what they write into the layer's program and its kernel, and what they read back.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "engine/kernel/CorvexKernel.h"
#include "engine/kernel/KernelMessage.h"
#include "engine/program/CorvanKernelProgram.h"
#include "engine/program/ModuleBlocks.h"
#include "instrument/params/CorvanParameters.h"
#include "tests/instrument/core/ParameterRig.h"

namespace corvex {
namespace {

using testing::Route;

constexpr int kSequencer = 24, kButton = 22, kButtonWord = 5;

// List positions as values: nine output destinations, two output sources, three trigger sources.
float destination(int entry) { return ParameterMapping::stepToValue(entry, 9); }
float outputSource(int entry) { return ParameterMapping::stepToValue(entry, 2); }
float triggerSource(int entry) { return ParameterMapping::stepToValue(entry, 3); }

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInfinity = std::numeric_limits<float>::infinity();

class Recorder : public MapperManagerListener {
public:
    void valueChanged(int index, float value) override { heard.emplace_back(index, value); }
    std::vector<std::pair<int, float>> heard;
};

class SequencerRows : public ::testing::Test, protected testing::ParameterRig {
protected:
    void SetUp() override { build(); }

    void build(MapperManagerListener* listener = nullptr) {
        ParameterRig::build(listener);
        deliver();
    }
    // Routes of the part into one input, whatever their source and kind.
    int routesInto(int part, int slot, int port) const {
        const ConnectionManager& list = *program->connections(part);
        int n = 0;
        for (int i = 0; i < list.count(); ++i)
            if (list.record(i).destinationSlot() == slot && list.record(i).destinationPort() == port) ++n;
        return n;
    }
    int gateWord(int part, int step) const { return program->getParameterWord(part, kSequencer, 86 + step); }
    int buttonWord(int part) const { return program->getParameterWord(part, kButton, kButtonWord); }

    // Fills part 1's list with routes that no sequencer row uses.
    void fillConnectionList() {
        for (int kind = 4; kind < 16 && connectionCount(1) < kMaxConnections; ++kind)
            for (int port = 0; port < 7 && connectionCount(1) < kMaxConnections; ++port)
                program->connect(1, 1, 0, kind, 8, port, 0, 0);
        ASSERT_EQ(connectionCount(1), kMaxConnections);
        deliver();
    }
};

// ---- Output routes ----

struct OutputCase {
    int output; // 1..3: rows 44 + n (amount), 582 + n (destination), 585 + n (source); kind n - 1
    int source, sourcePort;
    int destinationEntry;
    Route route;
    int second;
    float cachedAmount;
    int amountWord; // the raw value scaled by the amount row; the quantised one always whole
};
constexpr OutputCase kOutputCases[] = {
    {1, 0, 0, 6, {24, 0, 0, 5, 1}, 65, 0.25f, 4096},
    {2, 1, 1, 1, {24, 1, 1, 2, 0}, 49, 0.25f, 16384},
    {3, 0, 0, 8, {24, 0, 2, 8, 2}, 1, 0.5f, 8192},
    {1, 1, 1, 4, {24, 1, 0, 3, 2}, 1, 0.75f, 16384},
    {2, 0, 0, 5, {24, 0, 1, 4, 1}, 65, 0.125f, 2048},
    {3, 0, 0, 7, {24, 0, 2, 5, 2}, 0, 0.5f, 8192},
};

TEST_F(SequencerRows, OutputSourceAndDestinationMakeOneRouteWithItsAmount) {
    for (const OutputCase& c : kOutputCases) {
        SCOPED_TRACE(::testing::Message() << "output " << c.output << " to entry " << c.destinationEntry);
        build();
        const int amountRow = 44 + c.output, destinationRow = 582 + c.output, sourceRow = 585 + c.output;
        const int before = connectionCount(1);
        table->setValue(amountRow, c.cachedAmount);
        table->setParameter(sourceRow, outputSource(c.source));
        EXPECT_EQ(connectionCount(1), before) << "no destination yet";
        table->setParameter(destinationRow, destination(c.destinationEntry));
        ASSERT_TRUE(has(1, c.route));
        EXPECT_EQ(second(1, c.route), c.second);
        EXPECT_EQ(amount(1, c.route), c.amountWord);
        EXPECT_EQ(connectionCount(1), before + 1);
        EXPECT_FLOAT_EQ(table->getParameter(destinationRow), destination(c.destinationEntry));
        EXPECT_FLOAT_EQ(table->getParameter(sourceRow), outputSource(c.source));
        EXPECT_FLOAT_EQ(table->getParameter(amountRow), c.amountWord / 16384.0f);
        deliver();
        EXPECT_TRUE(kernelHas(1, c.route));
        EXPECT_EQ(kernelConnectionCount(1), connectionCount(1));

        // Another destination moves the one route and keeps what it carried.
        const Route lowPass2{24, c.sourcePort, c.output - 1, 5, 2};
        table->setParameter(destinationRow, destination(c.destinationEntry == 7 ? 1 : 7));
        const Route moved = c.destinationEntry == 7 ? Route{24, c.sourcePort, c.output - 1, 2, 0} : lowPass2;
        EXPECT_FALSE(has(1, c.route));
        ASSERT_TRUE(has(1, moved));
        EXPECT_EQ(amount(1, moved), c.amountWord);
        EXPECT_EQ(connectionCount(1), before + 1);
        deliver();
        EXPECT_TRUE(kernelHas(1, moved));
        EXPECT_FALSE(kernelHas(1, c.route));
    }
}

TEST_F(SequencerRows, QuantisedSourceGoesWholeWhateverTheAmountRowHolds) {
    const Route raw{24, 0, 0, 5, 1}, quantised{24, 1, 0, 5, 1};
    const int before = connectionCount(1);
    table->setValue(45, 0.3f);
    table->setParameter(583, destination(6));
    ASSERT_TRUE(has(1, raw));
    EXPECT_EQ(amount(1, raw), 4915);

    table->setParameter(586, outputSource(1));
    EXPECT_FALSE(has(1, raw));
    ASSERT_TRUE(has(1, quantised));
    EXPECT_EQ(amount(1, quantised), 16384);
    table->setParameter(45, 0.2f);
    EXPECT_EQ(amount(1, quantised), 16384);
    EXPECT_FLOAT_EQ(table->getParameter(45), 1.0f) << "read from the route";

    // Back to the raw value: the amount row's cached value applies again.
    table->setParameter(586, outputSource(0));
    ASSERT_TRUE(has(1, raw));
    EXPECT_EQ(amount(1, raw), 3276);
    EXPECT_EQ(connectionCount(1), before + 1);
}

// A program may arrive with a second route of the same output, earlier in list order: the amount pushed
// after a change must still land on the route that the change made.
TEST_F(SequencerRows, AmountLandsOnTheRouteJustMadeWhenAnOlderOneRemains) {
    const Route older{24, 0, 0, 2, 0}, made{24, 1, 0, 5, 1};
    table->setValue(45, 0.3f);
    table->setParameter(583, destination(6));
    program->connect(1, older.sourceSlot, older.sourcePort, older.kind, older.destinationSlot,
                     older.destinationPort, 1000, 49);
    table->setParameter(586, outputSource(1));
    ASSERT_TRUE(has(1, made));
    EXPECT_EQ(amount(1, made), 16384);
    EXPECT_EQ(amount(1, older), 1000);
}

TEST_F(SequencerRows, OutputDestinationNoneRemovesTheRouteAndAddsNone) {
    const Route route{24, 0, 1, 8, 2};
    const int before = connectionCount(1);
    table->setValue(46, 0.6f);
    table->setParameter(584, destination(8));
    ASSERT_TRUE(has(1, route));
    deliver();
    table->setParameter(584, destination(0));
    EXPECT_FALSE(has(1, route));
    EXPECT_EQ(connectionCount(1), before);
    EXPECT_EQ(table->mapper(46)->getValue(46), ParameterMapper::kUseCachedValue);
    EXPECT_FLOAT_EQ(table->getParameter(46), 0.6f) << "the cached amount stands";
    EXPECT_FLOAT_EQ(table->getParameter(584), destination(0));
    deliver();
    EXPECT_EQ(kernelConnectionCount(1), before);
    EXPECT_FALSE(kernelHas(1, route));
}

TEST_F(SequencerRows, OutputAmountWithoutARouteSendsNothing) {
    const int before = connectionCount(1);
    for (int row : {45, 46, 47, 137, 139}) {
        table->setParameter(row, 0.7f);
        EXPECT_EQ(posted(), 0) << row;
    }
    // A source chosen without a destination makes no route either.
    table->setParameter(587, outputSource(1));
    table->setParameter(46, 0.4f);
    EXPECT_EQ(posted(), 0);
    EXPECT_EQ(connectionCount(1), before);
}

TEST_F(SequencerRows, ThreeOutputsKeepThreeRoutesIntoOneInput) {
    const int before = routesInto(1, 5, 1);
    for (int output = 1; output <= 3; ++output) {
        table->setValue(44 + output, 0.25f * output);
        table->setParameter(582 + output, destination(6));
    }
    EXPECT_EQ(routesInto(1, 5, 1), before + 3);
    for (int output = 1; output <= 3; ++output) EXPECT_EQ(amount(1, {24, 0, output - 1, 5, 1}), 4096 * output);
    table->setParameter(584, destination(0));
    EXPECT_FALSE(has(1, {24, 0, 1, 5, 1}));
    EXPECT_TRUE(has(1, {24, 0, 0, 5, 1}));
    EXPECT_TRUE(has(1, {24, 0, 2, 5, 1}));
}

// ---- Step triggers ----

TEST_F(SequencerRows, TriggerModeGatesEveryStepOrNone) {
    Recorder recorder;
    build(&recorder);
    for (int step = 1; step <= 32; ++step) {
        EXPECT_EQ(gateWord(1, step), 0) << step;
        EXPECT_EQ(table->mapper(481 + step)->getValue(481 + step), ParameterMapper::kUseCachedValue) << step;
    }
    recorder.heard.clear();

    table->setParameter(589, 1.0f);
    EXPECT_EQ(posted(), 32) << "one word per step";
    std::vector<std::pair<int, float>> expected;
    for (int step = 1; step <= 32; ++step) {
        EXPECT_EQ(gateWord(1, step), 1) << step;
        EXPECT_FLOAT_EQ(table->getParameter(481 + step), 0.25f) << step;
        expected.emplace_back(481 + step, -1.0f);
    }
    EXPECT_EQ(recorder.heard, expected) << "every step row is told to read again, in order";
    EXPECT_EQ(gateWord(2, 1), 0) << "the other layer keeps its gates";

    deliver();
    recorder.heard.clear();
    table->setParameter(589, 0.2f);
    EXPECT_EQ(posted(), 32);
    for (int step = 1; step <= 32; ++step) {
        EXPECT_EQ(gateWord(1, step), 0) << step;
        EXPECT_EQ(table->mapper(481 + step)->getValue(481 + step), ParameterMapper::kUseCachedValue) << step;
    }
    EXPECT_TRUE(recorder.heard.empty());
}

TEST_F(SequencerRows, StepTriggersWriteTheirGateUnderEachMode) {
    struct Case {
        float mode, step;
        int word;
        float readBack; // -1: the cached value stands
    };
    constexpr Case kCases[] = {
        {0.0f, 1.0f, 0, -1.0f}, {0.0f, 0.0f, 0, -1.0f}, {1.0f, 1.0f, 0, 0.75f},
        {1.0f, 0.0f, 1, 0.25f}, {0.75f, 0.49f, 1, 0.25f}, {0.75f, 0.5f, 0, 0.75f},
    };
    for (const Case& c : kCases) {
        for (int step : {1, 17, 32}) {
            SCOPED_TRACE(::testing::Message() << "mode " << c.mode << " step " << step << " at " << c.step);
            build();
            table->setParameter(589, c.mode);
            deliver();
            const int row = 481 + step;
            const int neighbour = step == 1 ? 2 : step - 1;
            const int neighbourWord = gateWord(1, neighbour);
            table->setParameter(row, c.step);
            EXPECT_EQ(posted(), 1);
            EXPECT_EQ(gateWord(1, step), c.word);
            EXPECT_EQ(gateWord(1, neighbour), neighbourWord);
            EXPECT_EQ(table->mapper(row)->getValue(row), c.readBack);
            EXPECT_FLOAT_EQ(table->getParameter(row), c.readBack < 0.0f ? c.step : c.readBack);
        }
    }
}

// ---- What starts the sequencer ----

TEST_F(SequencerRows, TriggerSourceIsTheOneRouteIntoTheSequencer) {
    struct Case {
        int source;
        Route route;
    };
    constexpr Case kCases[] = {{0, {22, 0, 0, 24, 0}}, {2, {32, 0, 0, 24, 0}}, {1, {20, 0, 0, 24, 0}}};
    ASSERT_TRUE(has(1, {20, 0, 0, 24, 0})) << "the initial program starts the sequencer on the first key";
    ASSERT_EQ(routesInto(1, 24, 0), 1);
    const int before = connectionCount(1);
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.source);
        table->setParameter(578, triggerSource(c.source));
        ASSERT_TRUE(has(1, c.route));
        EXPECT_EQ(amount(1, c.route), 16384);
        EXPECT_EQ(second(1, c.route), 0);
        EXPECT_EQ(routesInto(1, 24, 0), 1);
        EXPECT_EQ(connectionCount(1), before);
        EXPECT_FLOAT_EQ(table->getParameter(578), triggerSource(c.source));
        // The kernel takes the route too, the transport's kernel-wide source included.
        deliver();
        EXPECT_TRUE(kernelHas(1, c.route));
        EXPECT_EQ(kernelConnectionCount(1), before);
    }
}

TEST_F(SequencerRows, LeavingTheManualButtonReleasesIt) {
    struct Case {
        const char* name;
        int from, to;
        bool released;
    };
    constexpr Case kCases[] = {
        {"button to transport", 0, 2, true}, {"button to first key", 0, 1, true},
        {"first key to transport", 1, 2, false}, {"transport to button", 2, 0, false},
        {"button to button", 0, 0, false},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        build();
        table->setParameter(578, triggerSource(c.from));
        table->setParameter(221, 1.0f);
        ASSERT_EQ(buttonWord(1), 16384);
        deliver();
        table->setParameter(578, triggerSource(c.to));
        EXPECT_EQ(buttonWord(1), c.released ? 0 : 16384);
        if (c.released) {
            ASSERT_GE(posted(), 1);
            EXPECT_EQ(kernel->pendingMessage(0).messageClass, KernelMessage::ParameterSet)
                << "the button lets go before the route moves";
        }
    }
}

TEST_F(SequencerRows, ButtonRoutedByALoadedProgramIsReleasedToo) {
    // A program that arrived with the button driving the sequencer: the route says so, not the row.
    program->disconnect(1, 20, 0, 0, 24, 0);
    program->connect(1, 22, 0, 0, 24, 0, 16384, 0);
    program->setParameter(1, kButton, kButtonWord, 1.0f);
    table->setParameter(578, triggerSource(2));
    EXPECT_EQ(buttonWord(1), 0);
    EXPECT_TRUE(has(1, {32, 0, 0, 24, 0}));
}

TEST_F(SequencerRows, ManualButtonSetsItsValueSourceAndSaysSo) {
    struct Case {
        int row, part;
        float value;
        int word;
        const char* line;
    };
    constexpr Case kCases[] = {
        {221, 1, 1.0f, 16384, "Seq On\n"},  {221, 1, 0.0f, 0, "Seq Off\n"},  {221, 1, 0.7f, 11468, "Seq On\n"},
        {221, 1, 0.5f, 8192, "Seq Off\n"}, {232, 2, 1.0f, 16384, "Seq On\n"}, {221, 1, 3.0f, 16384, "Seq On\n"},
        {221, 1, -2.0f, 0, "Seq Off\n"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(::testing::Message() << c.row << " at " << c.value);
        build();
        const int otherLayer = buttonWord(3 - c.part);
        ::testing::internal::CaptureStderr();
        table->mapper(c.row)->setValue(c.row, c.value);
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), c.line);
        EXPECT_EQ(buttonWord(c.part), c.word);
        EXPECT_EQ(buttonWord(3 - c.part), otherLayer);
        EXPECT_EQ(table->mapper(c.row)->getValue(c.row), ParameterMapper::kUseCachedValue);
    }
}

// ---- Names, texts, shared objects ----

TEST_F(SequencerRows, KeysLongNamesAndTexts) {
    struct Case {
        int row;
        const char* key;
        const char* longName;
    };
    constexpr Case kCases[] = {
        {45, "USqOut1A", "Ouput 1 Amount"}, {47, "USqOut3A", "Ouput 3 Amount"}, {583, "USqOut1D", ""},
        {585, "USqOut3D", ""},              {586, "USqOut1S", ""},              {588, "USqOut3S", ""},
        {137, "LSqOut1A", "Ouput 1 Amount"}, {946, "LSqOut3D", ""},             {948, "LSqOut2S", ""},
        {578, "USqPlMS", "USqPlM"},         {939, "LSqPlMS", "LSqPlM"},         {482, "USeqTg 1", ""},
        {490, "USeqTg 9", ""},              {491, "USeqTg10", ""},              {513, "USeqTg32", ""},
        {589, "USeqTgMd", ""},              {843, "LSeqTg 1", ""},              {874, "LSeqTg32", ""},
        {950, "LSeqTgMd", ""},              {221, "USeqTrBt", "Seq Trig Button"}, {232, "LSeqTrBt", "Seq Trig Button"},
    };
    for (const Case& c : kCases) {
        EXPECT_EQ(table->getName(c.row), c.key) << c.row;
        EXPECT_EQ(table->getLongName(c.row), c.longName) << c.row;
        EXPECT_TRUE(table->isDiscrete(c.row)) << c.row;
    }
    struct Text {
        int row;
        float value;
        const char* text;
    };
    for (const Text t : {Text{45, 0.5f, "0.500"}, Text{583, 0.25f, "0.250"}, Text{578, 0.125f, "0.125"},
                         Text{482, 0.75f, "0.750"}, Text{221, 1.0f, "1.000"}}) {
        table->setValue(t.row, t.value);
        EXPECT_EQ(table->getText(t.row), t.text) << t.row;
    }
}

TEST_F(SequencerRows, OneObjectServesEachGroupOfRows) {
    struct Group {
        std::vector<int> rows;
    };
    const std::vector<Group> groups = {
        {{45, 583, 586}}, {{46, 584, 587}}, {{47, 585, 588}}, {{137, 944, 947}}, {{139, 946, 949}},
        {{482, 497, 513, 589}}, {{843, 874, 950}},
    };
    for (const Group& g : groups) {
        ASSERT_NE(table->mapper(g.rows[0]), nullptr) << g.rows[0];
        for (int row : g.rows) EXPECT_EQ(table->mapper(row), table->mapper(g.rows[0])) << row;
    }
    EXPECT_NE(table->mapper(45), table->mapper(46));
    EXPECT_NE(table->mapper(45), table->mapper(137)) << "each layer has its own outputs";
    EXPECT_NE(table->mapper(482), table->mapper(843));
    EXPECT_NE(table->mapper(578), table->mapper(939));
    EXPECT_NE(table->mapper(221), table->mapper(232));
}

// ---- The Lower layer ----

TEST_F(SequencerRows, LowerRowsActOnPartTwo) {
    const std::vector<uint16_t> part1(program->sectionImage(1), program->sectionImage(1) + kPartAreaWords);
    // Outputs: amount +92, destination and source +361.
    table->setValue(137, 0.5f);
    table->setParameter(944, destination(6));
    EXPECT_EQ(amount(2, {24, 0, 0, 5, 1}), 8192);
    table->setParameter(947, outputSource(1));
    EXPECT_EQ(amount(2, {24, 1, 0, 5, 1}), 16384);
    // Trigger mode and steps +361.
    table->setParameter(950, 1.0f);
    EXPECT_EQ(gateWord(2, 32), 1);
    table->setParameter(843, 1.0f);
    EXPECT_EQ(gateWord(2, 1), 0);
    EXPECT_FLOAT_EQ(table->getParameter(843), 0.75f);
    EXPECT_FLOAT_EQ(table->getParameter(844), 0.25f);
    table->setParameter(843, 0.0f);
    EXPECT_EQ(gateWord(2, 1), 1) << "the Lower mode, not the Upper one, decides";
    // What starts the sequencer +361, the button +11.
    table->setParameter(939, triggerSource(0));
    EXPECT_TRUE(has(2, {22, 0, 0, 24, 0}));
    table->setParameter(232, 1.0f);
    EXPECT_EQ(buttonWord(2), 16384);
    table->setParameter(939, triggerSource(2));
    EXPECT_EQ(buttonWord(2), 0);
    EXPECT_TRUE(has(2, {32, 0, 0, 24, 0}));

    const std::vector<uint16_t> after(program->sectionImage(1), program->sectionImage(1) + kPartAreaWords);
    EXPECT_EQ(after, part1) << "part 1 untouched";
    deliver();
    EXPECT_EQ(kernelConnectionCount(2), connectionCount(2));
}

// ---- Faults ----

TEST_F(SequencerRows, ValuesOutsideTheRangeAreClampedAndNonFiniteOnesHarmless) {
    struct Case {
        int row;
        float value;
    };
    // Each mapper called directly, where the table's own guard does not stand in front of it.
    for (const Case c : {Case{583, 7.0f}, Case{586, 1e30f}, Case{45, -1e30f}, Case{45, kNaN}, Case{586, kNaN},
                         Case{583, -kInfinity}, Case{578, kInfinity}, Case{578, kNaN}, Case{578, -4.0f},
                         Case{589, kNaN}, Case{589, 1e30f}, Case{482, kInfinity}, Case{513, -kInfinity},
                         Case{500, kNaN}, Case{221, kNaN}, Case{221, kInfinity}, Case{221, -1e30f}}) {
        ::testing::internal::CaptureStderr();
        table->mapper(c.row)->setValue(c.row, c.value);
        ::testing::internal::GetCapturedStderr();
    }
    deliver();

    struct Effect {
        const char* name;
        int row;
        float value;
        std::function<bool()> holds;
    };
    const Route toAmplifier{24, 0, 0, 8, 2};
    int intoAmplifier = 0;
    const std::vector<Effect> effects = {
        {"past the end is the last destination", 583, 7.0f, [&] { return has(1, toAmplifier); }},
        {"amounts saturate", 45, 1e30f, [&] { return amount(1, toAmplifier) == 32767; }},
        {"and on the other side", 45, -1e30f, [&] { return amount(1, toAmplifier) == -32768; }},
        {"not a number is no amount", 45, kNaN, [&] { return amount(1, toAmplifier) == 0; }},
        {"past the end is the quantised source", 586, 5.0f, [&] { return has(1, {24, 1, 0, 8, 2}); }},
        {"before the start is destination none", 583, -3.0f, [&] { return routesInto(1, 8, 2) == intoAmplifier; }},
        {"past the end is the transport", 578, 9.0f, [&] { return has(1, {32, 0, 0, 24, 0}); }},
        {"before the start is the button", 578, -9.0f, [&] { return has(1, {22, 0, 0, 24, 0}); }},
        {"past the end gates every step", 589, 4.0f, [&] { return gateWord(1, 32) == 1; }},
        {"a step past the end is on", 482, 3.0f, [&] { return gateWord(1, 1) == 0; }},
        {"a step before the start is off", 482, -3.0f, [&] { return gateWord(1, 1) == 1; }},
        {"a button past the end is pressed", 221, 1e30f, [&] { return buttonWord(1) == 16384; }},
        {"a button that is no number is released", 221, kNaN, [&] { return buttonWord(1) == 0; }},
    };
    build();
    intoAmplifier = routesInto(1, 8, 2);
    table->setParameter(45, 0.5f);
    for (const Effect& e : effects) {
        ::testing::internal::CaptureStderr();
        // Finite values go through the table, which caches them as a player's would be; the others
        // straight to the mapper, where the table's guard does not stand in front of it.
        if (std::isfinite(e.value))
            table->setParameter(e.row, e.value);
        else
            table->mapper(e.row)->setValue(e.row, e.value);
        ::testing::internal::GetCapturedStderr();
        EXPECT_TRUE(e.holds()) << e.name;
    }

    // Through the table, values that are no numbers never reach a mapper.
    deliver();
    for (int row : {45, 583, 586, 578, 589, 482, 221})
        for (float bad : {kNaN, kInfinity, -kInfinity}) table->setParameter(row, bad);
    EXPECT_EQ(posted(), 0);
}

TEST_F(SequencerRows, RouteRefusedForAFullListIsRefusedOnBothSides) {
    // The trigger route goes first, so that no route of these rows holds a place in the full list.
    program->disconnect(1, 20, 0, 0, 24, 0);
    fillConnectionList();
    table->setValue(45, 0.6f);
    table->setParameter(583, destination(6));
    table->setParameter(578, triggerSource(2));
    EXPECT_EQ(posted(), 0) << "nothing the kernel would have to refuse is sent";
    EXPECT_EQ(connectionCount(1), kMaxConnections);
    EXPECT_FALSE(has(1, {24, 0, 0, 5, 1}));
    EXPECT_FALSE(has(1, {32, 0, 0, 24, 0}));
    EXPECT_EQ(table->mapper(45)->getValue(45), ParameterMapper::kUseCachedValue);
    EXPECT_FLOAT_EQ(table->getParameter(45), 0.6f);
    EXPECT_FLOAT_EQ(table->getParameter(583), destination(6)) << "the cached choice stands";
    EXPECT_FLOAT_EQ(table->getParameter(578), triggerSource(2));
    EXPECT_EQ(kernelConnectionCount(1), kMaxConnections);
    EXPECT_FALSE(kernelHas(1, {32, 0, 0, 24, 0}));

    // A route that holds its place may still move: it gives its place up first.
    program->disconnect(1, 1, 0, 4, 8, 0);
    program->connect(1, 20, 0, 0, 24, 0, 16384, 0);
    ASSERT_EQ(connectionCount(1), kMaxConnections);
    deliver();
    table->setParameter(578, triggerSource(0));
    EXPECT_TRUE(has(1, {22, 0, 0, 24, 0}));
    EXPECT_FALSE(has(1, {20, 0, 0, 24, 0}));
    deliver();
    EXPECT_TRUE(kernelHas(1, {22, 0, 0, 24, 0}));
    EXPECT_EQ(kernelConnectionCount(1), kMaxConnections);
}

} // namespace
} // namespace corvex
