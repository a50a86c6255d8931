// The parameter table's own rules: step arithmetic, layer folding, notifications and guarded entry points.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "engine/kernel/CorvexKernel.h"
#include "engine/program/CorvanKernelProgram.h"
#include "instrument/params/ByteStream.h"
#include "instrument/params/CorvanParameters.h"
#include "tests/instrument/core/ParameterRig.h"

namespace corvex {
namespace {

using testing::Heard;

class ParameterTable : public ::testing::Test, protected testing::ParameterRig {
protected:
    void SetUp() override { build(&heard); }
    Heard heard;
};

TEST(ParameterSteps, QuantiseTruncatesAndClamps) {
    struct Case {
        int steps;
        float value;
        int step;
    };
    for (const Case c : {Case{4, 1.0f, 3}, Case{4, 0.999f, 3}, Case{4, 0.25f, 1}, Case{4, 0.2499f, 0},
                         Case{4, -0.1f, 0}, Case{4, 7.0f, 3}, Case{3, 0.3f, 0}, Case{3, 1.0f / 3.0f, 1},
                         Case{129, 0.5f, 64}, Case{2, 0.5f, 1}})
        EXPECT_EQ(ParameterMapping::quantise(c.steps, c.value), c.step) << c.steps << " at " << c.value;
}

TEST(ParameterSteps, StepValuesAreStepCentresAndReadBack) {
    EXPECT_FLOAT_EQ(ParameterMapping::stepToValue(0, 4), 0.125f);
    EXPECT_FLOAT_EQ(ParameterMapping::stepToValue(1, 3), 0.5f);
    EXPECT_FLOAT_EQ(ParameterMapping::stepToValue(9, 4), 0.875f) << "a step past the end is the last one";
    for (int steps : {2, 3, 4, 5, 32, 129})
        for (int step = 0; step < steps; ++step)
            EXPECT_EQ(ParameterMapping::quantise(steps, ParameterMapping::stepToValue(step, steps)), step);
}

TEST(ParameterIndices, LayersFoldAndUnfold) {
    struct Case {
        int index, layer, upper;
    };
    for (const Case c : {Case{0, 0, 0}, Case{91, 0, 91}, Case{92, 1, 0}, Case{183, 1, 91}, Case{184, -1, 184},
                         Case{211, 0, 211}, Case{222, 1, 211}, Case{232, 1, 221}, Case{233, -1, 233},
                         Case{249, 0, 249}, Case{610, 1, 249}, Case{970, 1, 609}, Case{971, -1, 971},
                         Case{1009, -1, 1009}}) {
        EXPECT_EQ(ParameterIndex::layerOf(c.index), c.layer) << c.index;
        EXPECT_EQ(ParameterIndex::foldToUpper(c.index), c.upper) << c.index;
        if (c.layer >= 0) {
            EXPECT_EQ(ParameterIndex::unfold(c.upper, c.layer), c.index) << c.index;
        }
    }
    EXPECT_EQ(ParameterIndex::unfold(184, 1), 184) << "a global row has no twin";
    EXPECT_EQ(ParameterIndex::foldEffectIndex(1, 48), 70);
    EXPECT_EQ(ParameterIndex::foldEffectIndex(1, 249), 344);
    EXPECT_EQ(ParameterIndex::foldEffectIndex(1, 12), 12);
    EXPECT_EQ(ParameterIndex::foldEffectIndex(0, 91), 91);
}

TEST_F(ParameterTable, BuildingNotifiesEveryIndexOnceInOrderWithZero) {
    ASSERT_EQ(heard.changes.size(), 1010u);
    for (int i = 0; i < 1010; ++i) {
        EXPECT_EQ(heard.changes[static_cast<size_t>(i)].index, i);
        EXPECT_EQ(heard.changes[static_cast<size_t>(i)].value, 0.0f);
        EXPECT_EQ(table->getCachedValue(i), 0.0f);
    }
    const int posted = kernel->pendingMessageCount();
    CorvanParameters another(nullptr, *program);
    EXPECT_EQ(kernel->pendingMessageCount(), posted) << "building never touches the kernel";
}

TEST_F(ParameterTable, EntryPointsIgnoreBadIndicesAndValues) {
    heard.changes.clear();
    for (int index : {-1, 1010, 100000}) {
        table->setValue(index, 0.5f);
        table->setParameter(index, 0.5f);
        table->pushCachedValue(index);
        EXPECT_EQ(table->getName(index), "");
        EXPECT_EQ(table->getText(index), "");
        EXPECT_FALSE(table->isMapperFor(index, 5, 8));
        EXPECT_EQ(table->getParameter(index), 0.0f);
    }
    for (float bad : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()}) {
        table->setValue(12, bad);
        table->setParameter(12, bad);
    }
    EXPECT_TRUE(heard.changes.empty());
    EXPECT_EQ(table->getCachedValue(12), 0.0f);
}

// One cache entry as a payload writes it: index, key, value.
void writeEntry(ByteWriter& out, int index, const std::string& key, float value) {
    out.writeInt32(index);
    out.writeString(key);
    out.writeFloat(value);
}

struct Entry {
    int index;
    std::string key;
    float value;
};

std::vector<Entry> entriesOf(const std::vector<uint8_t>& payload) {
    std::vector<Entry> entries;
    ByteReader in(payload);
    Entry e;
    int32_t index = 0;
    while (in.readInt32(index) && in.readString(e.key) && in.readFloat(e.value)) {
        e.index = index;
        entries.push_back(e);
    }
    return entries;
}

TEST_F(ParameterTable, LayerCacheIsWrittenInUpperNumberingWithoutTheLayerLetter) {
    table->setValue(92, 0.3f);  // Lower "LFO Rate"
    table->setValue(224, 0.6f); // Lower "Oscillator 1 Wave Shape"
    std::vector<uint8_t> lower;
    ByteWriter out(lower);
    table->writeLayerCache(out, 1);
    const std::vector<Entry> entries = entriesOf(lower);
    ASSERT_EQ(entries.size(), 92u + 11u + 361u) << "every row of the layer, mapper or not";
    EXPECT_EQ(entries[0].index, 0);
    EXPECT_EQ(entries[0].key, "LfoRate");
    EXPECT_EQ(entries[0].value, 0.3f);
    EXPECT_EQ(entries[92 + 2].index, 213);
    EXPECT_EQ(entries[92 + 2].key, "Osc1Wav");

    // The Lower payload read into the Upper layer lands on the Upper rows.
    heard.changes.clear();
    ByteReader in(lower);
    table->readLayerCache(0, in, 2);
    EXPECT_EQ(table->getCachedValue(0), 0.3f);
    EXPECT_EQ(table->getCachedValue(213), 0.6f);
    EXPECT_FALSE(heard.changes.empty()) << "the listener hears what was read";
}

TEST_F(ParameterTable, LayerCacheEntriesFindTheirRowsByKey) {
    std::vector<uint8_t> payload;
    ByteWriter out(payload);
    writeEntry(out, 213, "Osc1Wav", 0.625f);   // lands on the Lower twin, 224
    writeEntry(out, 12, "NoSuchKey", 0.9f);     // a key that no longer names its row: skipped
    writeEntry(out, 48, "Ef1Pr1", 0.4f);        // effect rows change keys with the effect: taken as they come
    writeEntry(out, 5000, "Osc1Wav", 0.7f);     // outside the table: skipped
    writeEntry(out, 11, "HpfCut", 0.55f);
    payload.resize(payload.size() - 2);          // the last entry is cut short: ignored
    ByteReader in(payload);
    table->readLayerCache(1, in, 2);
    EXPECT_EQ(table->getCachedValue(224), 0.625f);
    EXPECT_EQ(table->getCachedValue(104), 0.0f);
    EXPECT_EQ(table->getCachedValue(140), 0.4f);
    EXPECT_EQ(table->getCachedValue(103), 0.0f);
    EXPECT_EQ(program->getParameterWord(2, 2, 12), 0) << "the cache alone never reaches the kernel program";
}

// Choosing an insert effect tells the chain's rows to re-read (-1.0 in their cache); a layer saved then
// keeps the effect's actual settings, never the signal.
TEST_F(ParameterTable, LayerCacheSavesWhatReReadRowsReadBack) {
    table->setParameter(249, ParameterMapping::stepToValue(2, 6)); // chain 1: "Distortion"
    ASSERT_EQ(table->getCachedValue(49), -1.0f);
    const float readBack = table->getParameter(49);
    ASSERT_NE(readBack, -1.0f);
    std::vector<uint8_t> payload;
    ByteWriter out(payload);
    table->writeLayerCache(out, 0);
    int found = 0;
    for (const Entry& e : entriesOf(payload)) {
        if (e.index != 49) continue;
        EXPECT_EQ(e.value, readBack);
        ++found;
    }
    EXPECT_EQ(found, 1);
}

TEST_F(ParameterTable, OldLayerCachesGiveTheKeyboardRoutesNeutralValues) {
    for (int version : {1, 2}) {
        SetUp();
        std::vector<uint8_t> empty;
        ByteReader in(empty);
        table->readLayerCache(0, in, version);
        const bool old = version < 2;
        EXPECT_EQ(table->getCachedValue(593), old ? 0.5f : 0.0f) << version;
        EXPECT_EQ(table->getCachedValue(595), old ? 0.5f : 0.0f) << version;
        EXPECT_EQ(table->getCachedValue(599), old ? 1.0f : 0.0f) << version;
        EXPECT_EQ(table->getCachedValue(609), old ? 1.0f : 0.0f) << version;
        EXPECT_EQ(table->getCachedValue(590), 0.0f) << version;
    }
}

TEST_F(ParameterTable, GlobalCacheFindsMovedRowsByKeyAndSetsTheKernelWhereItMust) {
    std::vector<uint8_t> written;
    ByteWriter out(written);
    table->writeGlobalCache(out);
    const std::vector<Entry> entries = entriesOf(written);
    ASSERT_FALSE(entries.empty());
    for (const Entry& e : entries) EXPECT_EQ(ParameterIndex::layerOf(e.index), -1) << e.index;

    // "PortSw" under a wrong index still lands on 247; through its mapper, so part 2 loses its glide.
    program->setParameter(2, 1, 20, 0.5f);
    std::vector<uint8_t> payload;
    ByteWriter moved(payload);
    writeEntry(moved, 300, "PortSw", ParameterMapping::stepToValue(2, 3));
    writeEntry(moved, 246, "NotARow", 0.8f);
    ByteReader in(payload);
    table->readGlobalCache(in);
    EXPECT_EQ(table->getCachedValue(247), ParameterMapping::stepToValue(2, 3));
    EXPECT_EQ(program->getParameterWord(2, 1, 20), 0) << "the switch's mapper reached the kernel program";
    EXPECT_EQ(table->getCachedValue(246), 0.0f);
}

TEST_F(ParameterTable, ReadsFallBackToTheCacheOnlyWhereTheMapperHasNoValue) {
    table->setValue(248, 0.4f); // portamento amount: its mapper never has a value of its own
    EXPECT_EQ(table->getParameter(248), 0.4f);
    table->setParameter(247, 0.9f);
    EXPECT_EQ(table->getParameter(247), 0.0f) << "the switch always reads 0";
    table->setParameter(12, 0.5f);
    EXPECT_EQ(table->getParameter(12), 0.5f);
    EXPECT_EQ(table->getCachedValue(12), 0.5f);
}

TEST_F(ParameterTable, RefreshPushesOnlyContinuousRows) {
    table->setValue(12, 0.7f); // cutoff: cached, not yet sent
    table->setValue(213, ParameterMapping::stepToValue(2, 4));
    const int posted = kernel->pendingMessageCount();
    EXPECT_FALSE(table->refreshParameter(12));
    EXPECT_EQ(program->getParameterWord(1, 5, 7), static_cast<int16_t>(0.7f * 16384.0f));
    EXPECT_TRUE(table->refreshParameter(213)) << "a discrete row answers true";
    EXPECT_EQ(program->getParameterWord(1, 2, 12), 0) << "and is not pushed";
    EXPECT_EQ(kernel->pendingMessageCount(), posted + 1);
    EXPECT_FALSE(table->refreshParameter(-3));
}

TEST_F(ParameterTable, EchoesConcernTheirWordRowsAndEveryRouter) {
    EXPECT_TRUE(table->isMapperFor(13, 5, 8));
    EXPECT_FALSE(table->isMapperFor(13, 5, 7));
    EXPECT_TRUE(table->isMapperFor(105, 5, 8)) << "the part is not compared";
    EXPECT_TRUE(table->isMapperFor(33, 0, 0)) << "a router claims every echo";
    EXPECT_TRUE(table->isMapperFor(16, 17, 99));
}

} // namespace
} // namespace corvex
