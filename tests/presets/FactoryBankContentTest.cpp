// The installed factory bank as the library and the instrument see it: every file loads through the
// instrument's own chunks, every program sounds at middle C, every patch names programs that exist and
// plays the key mode it says, and the bank covers every program type.
#include <cmath>
#include <memory>
#include <set>

#include <gtest/gtest.h>
#include <juce_events/juce_events.h>

#include "instrument/CorvanAudioFilter.h"
#include "instrument/params/ParameterIndex.h"
#include "presets/CorvanMultiManager.h"
#include "presets/CorvanProgramManager.h"
#include "presets/FactoryBank.h"
#include "tests/presets/PresetTestSupport.h"
#include "tests/support/SignalChecks.h"

namespace corvex::testing {
namespace {

constexpr double kRate = 44100.0;
constexpr int kBlock = 32;
constexpr int kMiddleC = 60;

class FactoryContent : public ::testing::Test {
protected:
    static void SetUpTestSuite() { juce_ = std::make_unique<juce::ScopedJuceInitialiser_GUI>(); }
    static void TearDownTestSuite() { juce_.reset(); }

    void SetUp() override {
        ASSERT_TRUE(installFactoryBank(folder));
        programs = std::make_unique<CorvanProgramManager>(folder);
        patches = std::make_unique<CorvanMultiManager>(folder, *programs);
        // A separate settings folder: the instrument's "midi.prefs" stays out of the bank's.
        filter = CorvanAudioFilter::createPluginFilter(instrumentFolder, std::make_unique<NoPresetServices>());
        ASSERT_NE(filter, nullptr);
        filter->prepareToPlay(kRate, kBlock);
        render(1, false); // the initial program's messages take effect in the first block
    }

    // Left channel of `blocks` blocks, with middle C struck at the start when asked.
    std::vector<float> render(int blocks, bool strike) {
        std::vector<float> left;
        juce::MidiBuffer midi;
        for (int b = 0; b < blocks; ++b) {
            midi.clear();
            if (strike && b == 0) midi.addEvent(juce::MidiMessage::noteOn(1, kMiddleC, static_cast<juce::uint8>(100)), 0);
            float l[kBlock] = {}, r[kBlock] = {};
            float* channels[2] = {l, r};
            filter->processBlock(channels, 2, kBlock, false, midi);
            left.insert(left.end(), l, l + kBlock);
        }
        return left;
    }

    std::vector<MorvanePreset*> factoryPresets(MorvanePresetManager& manager) {
        std::vector<MorvanePreset*> found;
        for (const auto& [id, preset] : manager.getPresets())
            if (preset->getAttribute("Fact_User") == "Factory") found.push_back(preset.get());
        return found;
    }

    static std::unique_ptr<juce::ScopedJuceInitialiser_GUI> juce_;
    TempFolder temp;
    TempFolder instrumentTemp;
    MorvaneFindFolder folder{temp.root(), "Corvex2"};
    MorvaneFindFolder instrumentFolder{instrumentTemp.root(), "Corvex2"};
    std::unique_ptr<CorvanProgramManager> programs;
    std::unique_ptr<CorvanMultiManager> patches;
    std::unique_ptr<CorvanAudioFilter> filter;
};

std::unique_ptr<juce::ScopedJuceInitialiser_GUI> FactoryContent::juce_;

TEST_F(FactoryContent, CoversEveryTypeWithEnoughProgramsAndPatches) {
    const std::vector<MorvanePreset*> bankPrograms = factoryPresets(*programs);
    const std::vector<MorvanePreset*> bankPatches = factoryPresets(*patches);
    EXPECT_GE(bankPrograms.size(), 1u + 48u);
    EXPECT_GE(bankPatches.size(), 1u + 16u);
    EXPECT_NE(programs->findPreset("Default"), nullptr);
    EXPECT_NE(patches->findPreset("Default"), nullptr);

    std::set<juce::String> types, modes, projects;
    for (MorvanePreset* p : bankPrograms)
        if (p->getAttribute("Type").isNotEmpty()) types.insert(p->getAttribute("Type"));
    for (MorvanePreset* p : bankPatches) {
        modes.insert(p->getAttribute("Mode"));
        if (p->getAttribute("Project").isNotEmpty()) projects.insert(p->getAttribute("Project"));
    }
    const std::set<juce::String> allTypes{"Bass",  "Brass", "Efx",        "Fm",    "Guitar",   "Lead",
                                          "Organ", "Pad",   "Percussive", "Piano", "Sequence", "Strings"};
    EXPECT_EQ(types, allTypes);
    EXPECT_EQ(modes, (std::set<juce::String>{"Whole", "Dual", "Split"}));
    EXPECT_GE(projects.size(), 2u);
}

TEST_F(FactoryContent, EveryProgramLoadsAndSoundsAtMiddleC) {
    for (MorvanePreset* program : factoryPresets(*programs)) {
        SCOPED_TRACE(program->getName().toStdString());
        ASSERT_TRUE(program->load(&filter->upperChunk()));
        render(1, false); // a load takes effect in the next block
        const std::vector<float> sound = render(static_cast<int>(0.5 * kRate) / kBlock, true);
        EXPECT_EQ(badSamples(sound.data(), sound.size()), 0);
        EXPECT_GT(rms(sound), 1e-3);
        juce::MidiBuffer off; // every note ends before the next program
        off.addEvent(juce::MidiMessage::allNotesOff(1), 0);
        float l[kBlock] = {}, r[kBlock] = {};
        float* channels[2] = {l, r};
        filter->processBlock(channels, 2, kBlock, false, off);
        render(static_cast<int>(2.0 * kRate) / kBlock, false);
    }
}

TEST_F(FactoryContent, EveryPatchNamesProgramsThatExistAndStoresItsMode) {
    const juce::StringArray modes{"Whole", "Dual", "Split"};
    for (MorvanePreset* patch : factoryPresets(*patches)) {
        SCOPED_TRACE(patch->getName().toStdString());
        for (const char* key : {"Program1", "Program2"}) {
            MorvanePreset* program = programs->findPreset(patch->getAttribute(key));
            ASSERT_NE(program, nullptr) << key << " = " << patch->getAttribute(key);
            EXPECT_EQ(program->getAttribute("Fact_User"), "Factory") << "a factory patch plays factory programs";
        }
        ASSERT_TRUE(patch->load(&filter->multiChunk()));
        const int mode = modes.indexOf(patch->getAttribute("Mode"));
        ASSERT_GE(mode, 0);
        EXPECT_EQ(ParameterMapping::quantise(3, filter->getParameter(ParameterIndex::kKeyMode)), mode)
            << "the attribute and the stored key mode agree";
    }
}

// A patch brings back its global rows too (volume, balance, polyphony): every one must still sound.
TEST_F(FactoryContent, EveryPatchSoundsAtMiddleC) {
    for (MorvanePreset* patch : factoryPresets(*patches)) {
        SCOPED_TRACE(patch->getName().toStdString());
        // A patch loads as the library loads it: Lower, then Upper, then the patch's own settings.
        ASSERT_TRUE(programs->findPreset(patch->getAttribute("Program2"))->load(&filter->lowerChunk()));
        ASSERT_TRUE(programs->findPreset(patch->getAttribute("Program1"))->load(&filter->upperChunk()));
        ASSERT_TRUE(patch->load(&filter->multiChunk()));
        render(1, false);
        const std::vector<float> sound = render(static_cast<int>(0.3 * kRate) / kBlock, true);
        EXPECT_EQ(badSamples(sound.data(), sound.size()), 0);
        EXPECT_GT(rms(sound), 1e-4);
        juce::MidiBuffer off;
        off.addEvent(juce::MidiMessage::allNotesOff(1), 0);
        float l[kBlock] = {}, r[kBlock] = {};
        float* channels[2] = {l, r};
        filter->processBlock(channels, 2, kBlock, false, off);
        render(static_cast<int>(2.0 * kRate) / kBlock, false);
    }
}

} // namespace
} // namespace corvex::testing
