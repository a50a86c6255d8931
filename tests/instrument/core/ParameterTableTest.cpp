// The parameter table's own rules: step arithmetic, layer folding, notifications and guarded entry points.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "engine/kernel/CorvexKernel.h"
#include "engine/program/CorvanKernelProgram.h"
#include "instrument/params/CorvanParameters.h"

namespace corvex {
namespace {

struct Heard : MapperManagerListener {
    void valueChanged(int index, float value) override { changes.push_back({index, value}); }
    struct Change {
        int index;
        float value;
    };
    std::vector<Change> changes;
};

class ParameterTable : public ::testing::Test {
protected:
    void SetUp() override {
        kernel = std::make_unique<CorvexKernel>();
        kernel->initialise();
        kernel->setSampleRate(44100.0);
        program = std::make_unique<CorvanKernelProgram>(*kernel);
        program->initialise();
        table = std::make_unique<CorvanParameters>(&heard, *program);
    }
    Heard heard;
    std::unique_ptr<CorvexKernel> kernel;
    std::unique_ptr<CorvanKernelProgram> program;
    std::unique_ptr<CorvanParameters> table;
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

} // namespace
} // namespace corvex
