// What the instrument answers for its parameters after real loads: every factory program, in either
// layer, and every factory patch, each loaded after another sound, reads the same however often and in
// whatever order its rows are read.
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <juce_events/juce_events.h>

#include "instrument/CorvanAudioFilter.h"
#include "presets/CorvanMultiFilterManager.h"
#include "presets/CorvanPresetServices.h"

namespace corvex {
namespace {

class ParameterReadBackTest : public ::testing::Test {
protected:
    ParameterReadBackTest() {
        root = juce::File::getSpecialLocation(juce::File::tempDirectory)
                   .getChildFile("corvex-readback-test-" + juce::String::toHexString(juce::Random().nextInt64()));
        folder = std::make_unique<MorvaneFindFolder>(root, "Corvex2");
        filter = CorvanAudioFilter::createPluginFilter(*folder, std::make_unique<CorvanPresetServices>(*folder));
    }
    ~ParameterReadBackTest() override {
        filter.reset();
        root.deleteRecursively();
    }

    // Reads every row forwards, then backwards, and lists the rows whose two answers differ.
    std::vector<std::string> rowsReadingDifferently() {
        std::vector<float> forwards(ParameterIndex::kCount), backwards(ParameterIndex::kCount);
        for (int i = 0; i < ParameterIndex::kCount; ++i) forwards[static_cast<size_t>(i)] = filter->getParameter(i);
        for (int i = ParameterIndex::kCount - 1; i >= 0; --i)
            backwards[static_cast<size_t>(i)] = filter->getParameter(i);
        std::vector<std::string> differing;
        for (int i = 0; i < ParameterIndex::kCount; ++i)
            if (forwards[static_cast<size_t>(i)] != backwards[static_cast<size_t>(i)])
                differing.push_back(std::to_string(i) + " " + filter->getParameterName(i).toStdString() + ": " +
                                    std::to_string(forwards[static_cast<size_t>(i)]) + " then " +
                                    std::to_string(backwards[static_cast<size_t>(i)]));
        return differing;
    }

    // Loads every preset of a filter manager in turn; after each, the rows must read alike twice.
    void checkEveryPresetOf(MorvanePresetFilterManager& presets, const char* where) {
        ASSERT_GT(presets.getNumPresets(), 1) << where;
        for (int p = 0; p < presets.getNumPresets(); ++p) {
            MorvanePreset* preset = presets.getPreset(p);
            SCOPED_TRACE(std::string(where) + " " + preset->getName().toStdString());
            ASSERT_TRUE(presets.loadPreset(preset));
            EXPECT_EQ(rowsReadingDifferently(), std::vector<std::string>{});
        }
    }

    juce::ScopedJuceInitialiser_GUI juce;
    juce::File root;
    std::unique_ptr<MorvaneFindFolder> folder;
    std::unique_ptr<CorvanAudioFilter> filter;
};

TEST_F(ParameterReadBackTest, EveryRowReadsTheSameTwiceAfterEachFactoryLoad) {
    ASSERT_NE(filter, nullptr);
    checkEveryPresetOf(*filter->getProgramFilterManager(false), "Upper");
    checkEveryPresetOf(*filter->getProgramFilterManager(true), "Lower");
    checkEveryPresetOf(*filter->getPatchFilterManager(), "patch");
}

} // namespace
} // namespace corvex
