// Checks the arpeggiator block's loader and setter: stored fields, rate curve, sync codes and echoes.
#include "engine/modules/types/GlobalBlock.h"

#include <gtest/gtest.h>

#include <utility>

#include "engine/modules/EngineContext.h"

namespace corvex {
namespace {

class GlobalBlock : public ::testing::Test {
protected:
    EngineContext context;
    ParameterRecord record;

    const GlobalBlockParams& params() { return record.as<GlobalBlockParams>(); }

    // Sends a block of wordCount words; the loader finds block word j at data[j + 2].
    void load(std::initializer_list<std::pair<int, int>> words, int wordCount = 15) {
        uint16_t data[2 + 15] = {};
        data[2 + 2] = static_cast<uint16_t>(wordCount);
        for (const auto& w : words) data[2 + w.first] = static_cast<uint16_t>(w.second);
        moduleOps(ModuleType::GlobalBlock).load(data, wordCount, &record, &context);
    }

    struct Echo {
        float value;
        int code;
    };
    Echo set(int parameter, int value) {
        Echo echo{-1.0f, value}; // the code arrives holding the word
        moduleOps(ModuleType::GlobalBlock).set(static_cast<int16_t>(value), parameter, &echo.value, &echo.code,
                                               &record, &context);
        return echo;
    }
};

TEST_F(GlobalBlock, LoaderReadsEveryWordOfTheBlock) {
    load({{3, 8}, {7, 1}, {8, 0}, {10, 2}, {11, 3}, {13, 8192}, {14, 1}});
    EXPECT_EQ(params().stateWord, 8);
    EXPECT_EQ(params().layer1Arpeggiator, 1);
    EXPECT_EQ(params().layer2Arpeggiator, 0);
    EXPECT_EQ(params().mode, ArpeggioUpDown);
    EXPECT_EQ(params().octaveRange, 3);
    EXPECT_FLOAT_EQ(params().freeRate, 171.0f);
    EXPECT_EQ(params().syncCode, 2.0f);
    EXPECT_EQ(params().tempoSync, 1);

    // The state word is carried whole, even the "not in use" mark.
    load({{3, 65535}});
    EXPECT_EQ(params().stateWord, 65535);
}

TEST_F(GlobalBlock, RateWordGivesFreeRateAndSyncCode) {
    struct Case { int word; float stepsPerMinute; float code; };
    const Case cases[] = {
        {0, 37.5f, -8},      {4096, 60.0f, -4},    {8192, 171.0f, 2},   {12288, 480.0f, 6},
        {16384, 1225.0f, 9}, {2048, 48.75f, -6},   {10240, 325.5f, 4},  {14336, 852.5f, 8},
        {7168, 143.25f, 1},  {20000, 1225.0f, 9},  {-4096, 37.5f, -8},  {-32768, 37.5f, -8},
    };
    for (const Case& c : cases) {
        load({{13, c.word}});
        EXPECT_FLOAT_EQ(params().freeRate, c.stepsPerMinute) << "loaded word " << c.word;
        EXPECT_EQ(params().syncCode, c.code) << "loaded word " << c.word;
        set(13, c.word);
        EXPECT_FLOAT_EQ(params().freeRate, c.stepsPerMinute) << "set word " << c.word;
        EXPECT_EQ(params().syncCode, c.code) << "set word " << c.word;
    }
}

TEST_F(GlobalBlock, ModeAndRangeAreForcedIntoTheirRanges) {
    struct Case { int word; int mode; int range; };
    const Case cases[] = {{0, 0, 0}, {3, 3, 3}, {4, 3, 3}, {16383, 3, 3}, {-1, 0, 0}, {65535, 0, 0}, {-32768, 0, 0}};
    for (const Case& c : cases) {
        load({{10, c.word}, {11, c.word}});
        EXPECT_EQ(params().mode, c.mode) << "loaded word " << c.word;
        EXPECT_EQ(params().octaveRange, c.range) << "loaded word " << c.word;
        set(10, c.word);
        set(11, c.word);
        EXPECT_EQ(params().mode, c.mode) << "set word " << c.word;
        EXPECT_EQ(params().octaveRange, c.range) << "set word " << c.word;
    }
}

TEST_F(GlobalBlock, ShortOrMissingBlockLeavesTheRecordAlone) {
    load({{7, 1}, {10, 1}, {13, 8192}});
    load({{7, 0}, {10, 3}, {13, 0}}, 14);
    EXPECT_EQ(params().layer1Arpeggiator, 1);
    EXPECT_EQ(params().mode, 1);
    EXPECT_FLOAT_EQ(params().freeRate, 171.0f);
    moduleOps(ModuleType::GlobalBlock).load(nullptr, 15, &record, &context);
    moduleOps(ModuleType::GlobalBlock).load(nullptr, 15, nullptr, &context);
    EXPECT_EQ(params().layer1Arpeggiator, 1);
}

TEST_F(GlobalBlock, SetterStoresAndEchoesEachParameter) {
    struct Case { int parameter; int value; float echo; int code; };
    const Case cases[] = {
        {3, 8, 8.0f, 7},  {7, 1, 1.0f, 7},  {8, 1, 1.0f, 7},  {7, 0, 0.0f, 7},
        {10, 1, 1.0f, 7}, {10, 9, 3.0f, 7}, {11, 2, 2.0f, 7}, {11, -5, 0.0f, 7},
    };
    for (const Case& c : cases) {
        const Echo echo = set(c.parameter, c.value);
        EXPECT_EQ(echo.value, c.echo) << "parameter " << c.parameter << " value " << c.value;
        EXPECT_EQ(echo.code, c.code) << "parameter " << c.parameter << " value " << c.value;
    }
    EXPECT_EQ(params().stateWord, 8);
    EXPECT_EQ(params().layer1Arpeggiator, 0);
    EXPECT_EQ(params().layer2Arpeggiator, 1);
}

TEST_F(GlobalBlock, RateEchoFollowsTheSyncSwitch) {
    const Echo sync = set(14, 1);
    EXPECT_EQ(sync.value, 1.0f);
    EXPECT_EQ(sync.code, 7);
    const Echo synced = set(13, 8192);
    EXPECT_EQ(synced.value, 2.0f);
    EXPECT_EQ(synced.code, 3);

    set(14, 0);
    const Echo free = set(13, 8192);
    EXPECT_FLOAT_EQ(free.value, 171.0f);
    EXPECT_EQ(free.code, 2);
}

TEST_F(GlobalBlock, OtherParametersChangeNothingAndEchoNothing) {
    load({{3, 8}, {7, 1}, {8, 1}, {10, 2}, {11, 1}, {13, 8192}, {14, 1}});
    const GlobalBlockParams before = params();
    for (int parameter : {0, 1, 2, 4, 5, 6, 9, 12, 15, 100, -1}) {
        const Echo echo = set(parameter, 1234);
        EXPECT_EQ(echo.value, -1.0f) << "parameter " << parameter;
        EXPECT_EQ(echo.code, 1234) << "parameter " << parameter;
    }
    EXPECT_EQ(params().stateWord, before.stateWord);
    EXPECT_EQ(params().layer1Arpeggiator, before.layer1Arpeggiator);
    EXPECT_EQ(params().layer2Arpeggiator, before.layer2Arpeggiator);
    EXPECT_EQ(params().mode, before.mode);
    EXPECT_EQ(params().octaveRange, before.octaveRange);
    EXPECT_EQ(params().freeRate, before.freeRate);
    EXPECT_EQ(params().syncCode, before.syncCode);
    EXPECT_EQ(params().tempoSync, before.tempoSync);

    // Null outputs and a null record are tolerated.
    moduleOps(ModuleType::GlobalBlock).set(5, 7, nullptr, nullptr, &record, &context);
    moduleOps(ModuleType::GlobalBlock).set(5, 7, nullptr, nullptr, nullptr, &context);
    EXPECT_EQ(params().layer1Arpeggiator, 5);
}

} // namespace
} // namespace corvex
