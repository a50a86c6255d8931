// Choosing a patch through the instrument's own preset library changes what is heard.
#include <cmath>
#include <memory>
#include <vector>

#include <gtest/gtest.h>
#include <juce_events/juce_events.h>

#include "instrument/CorvanAudioFilter.h"
#include "presets/CorvanMultiFilterManager.h"
#include "presets/CorvanPresetServices.h"
#include "tests/support/SignalChecks.h"
#include "tests/support/InstrumentRender.h"

namespace corvex {
namespace {

constexpr int kUpperCutoff = 12; // "ULpfCut"

class PatchChoiceSoundTest : public ::testing::Test {
protected:
    PatchChoiceSoundTest() {
        root = juce::File::getSpecialLocation(juce::File::tempDirectory)
                   .getChildFile("corvex-patch-test-" + juce::String::toHexString(juce::Random().nextInt64()));
        folder = std::make_unique<MorvaneFindFolder>(root, "Corvex2");
        filter = CorvanAudioFilter::createPluginFilter(*folder, std::make_unique<CorvanPresetServices>(*folder));
        filter->prepareToPlay(44100.0, 512);
        // The table's cached values start at 0 while the initial program plays: the global values a patch
        // applies are given what the initial program holds, so that a saved patch still sounds.
        for (const int index : {184, 185, 187, 188, 234, 235, 236, 237, 238, 239, 240, 241, 242, 243, 244, 245, 247,
                                248, 971, 972, 973, 974, 976, 977, 1009})
            filter->setParameter(index, filter->getParameter(index));
        render({}, 100);
    }
    ~PatchChoiceSoundTest() override {
        filter.reset();
        root.deleteRecursively();
    }

    std::vector<float> render(juce::MidiBuffer midi, int blocks) { return testing::renderLeft(*filter, midi, blocks); }
    // High-frequency share of a held middle C: the first difference's level against the signal's.
    double brightness() {
        juce::MidiBuffer off;
        off.addEvent(juce::MidiMessage::allNotesOff(1), 0);
        render(off, 200);
        juce::MidiBuffer on;
        on.addEvent(juce::MidiMessage::noteOn(1, 60, static_cast<juce::uint8>(100)), 0);
        const std::vector<float> x = render(on, 120);
        const std::vector<float> held(x.begin() + 2048, x.end());
        std::vector<float> diff(held.size() - 1);
        for (size_t i = 0; i + 1 < held.size(); ++i) diff[i] = held[i + 1] - held[i];
        EXPECT_GT(testing::rms(held), 1e-3) << "the note sounds";
        return testing::rms(diff) / testing::rms(held);
    }
    MorvanePreset* savePatch(const juce::String& name, float cutoff) {
        filter->setParameter(kUpperCutoff, cutoff);
        filter->getProgramFilterManager(false)->saveCurrentAsNewPreset(name);
        return filter->getPatchFilterManager()->saveCurrentAsNewPreset(name);
    }

    juce::ScopedJuceInitialiser_GUI juce;
    juce::File root;
    std::unique_ptr<MorvaneFindFolder> folder;
    std::unique_ptr<CorvanAudioFilter> filter;
};

TEST_F(PatchChoiceSoundTest, ChoosingASavedPatchBringsBackItsSound) {
    ASSERT_NE(filter->getPatchFilterManager(), nullptr);
    MorvanePreset* dark = savePatch("Dark", 0.05f);
    MorvanePreset* bright = savePatch("Bright", 1.0f);
    ASSERT_NE(dark, nullptr);
    ASSERT_NE(bright, nullptr);
    EXPECT_NE(dark->getAttribute("Program1"), bright->getAttribute("Program1"));

    CorvanMultiFilterManager& patches = *filter->getPatchFilterManager();
    patches.setCurrentPreset(dark, false);
    EXPECT_NEAR(filter->getParameter(kUpperCutoff), 0.05f, 1e-3f);
    const double darkFirst = brightness();
    patches.setCurrentPreset(bright, false);
    EXPECT_NEAR(filter->getParameter(kUpperCutoff), 1.0f, 1e-3f);
    const double brightLevel = brightness();
    patches.setCurrentPreset(dark, false);
    const double darkAgain = brightness();

    // Free-running modules make two renders of one sound differ a little; the cut-off makes them differ a lot.
    EXPECT_GT(brightLevel, 2.0 * darkFirst) << darkFirst << " " << brightLevel;
    EXPECT_GT(brightLevel, 2.0 * darkAgain) << darkAgain << " " << brightLevel;
}

} // namespace
} // namespace corvex
