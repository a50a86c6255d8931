// The morph on the real instrument and factory bank: halfway between a dark and a bright patch sounds between
// them (their spectral centroids), no step posts more kernel messages than the ring holds, and rendering what a step sent allocates nothing.
#include <complex>
#include <vector>

#include <gtest/gtest.h>

#include "engine/kernel/MessageRing.h"
#include "presetmap/MorphSnapshots.h"
#include "presetmap/PresetKey.h"
#include "tests/presetmap/InstrumentLibrary.h"
#include "tests/support/AudioThreadWatch.h"
#include "tests/support/SignalChecks.h"

namespace corvex {
namespace {

constexpr int kUpperCutoff = 12;
constexpr double kPi = 3.14159265358979323846;

class MorphSoundTest : public ::testing::Test {
protected:
    MorphSoundTest() {
        library.instrument->prepareToPlay(44100.0, 512);
        dark = keyOf(savePatch("Morph Dark", 0.05f));
        bright = keyOf(savePatch("Morph Bright", 1.0f));
        library.adapter->refreshPresetKeys();
        morph.init(library.adapter.get());
    }

    int64_t keyOf(MorvanePreset* patch) {
        EXPECT_NE(patch, nullptr);
        return patch != nullptr ? presetKeyFromId(patch->getIdentifier()) : 0;
    }
    MorvanePreset* savePatch(const juce::String& name, float cutoff) {
        library.instrument->setParameter(kUpperCutoff, cutoff);
        return library.saveNewPatch(name);
    }
    void take(int slot, int64_t key, MorphPoint at) {
        library.adapter->loadPreset(key);
        morph.setSnapshot(slot, &records[slot], at, library.adapter->buildPresetData());
    }
    // Plays a middle C from silence and gives its spectral centroid in hertz, over 2048 samples of the held note.
    double centroid() {
        juce::MidiBuffer events;
        events.addEvent(juce::MidiMessage::allNotesOff(1), 0);
        renderInto(events, 100, nullptr);
        events.clear();
        events.addEvent(juce::MidiMessage::noteOn(1, 60, static_cast<juce::uint8>(100)), 0);
        std::vector<float> note;
        renderInto(events, 100, &note);
        const std::vector<float> held(note.end() - 2048, note.end());
        EXPECT_GT(testing::rms(held), 1e-3) << "the note sounds";
        // Hann-windowed power spectrum, so that neither the cut at the window's edges nor a quiet floor of
        // high partials pulls a dark sound's centroid up.
        double weighted = 0.0, total = 0.0;
        const double n = static_cast<double>(held.size());
        std::vector<double> windowed(held.size());
        for (size_t i = 0; i < held.size(); ++i)
            windowed[i] = held[i] * 0.5 * (1.0 - std::cos(2.0 * kPi * static_cast<double>(i) / n));
        for (size_t k = 1; k < held.size() / 2; ++k) {
            std::complex<double> bin;
            for (size_t i = 0; i < held.size(); ++i)
                bin += windowed[i] * std::polar(1.0, -2.0 * kPi * static_cast<double>(k * i) / n);
            weighted += std::norm(bin) * static_cast<double>(k);
            total += std::norm(bin);
        }
        return total > 0.0 ? weighted / total * 44100.0 / n : 0.0;
    }
    // The blocks that run what a step posted, with buffers made beforehand so that only the instrument is counted.
    void renderInto(juce::MidiBuffer& events, int blocks, std::vector<float>* out) {
        for (int b = 0; b < blocks; ++b) {
            float* outs[2] = {left.data(), right.data()};
            library.instrument->processBlock(outs, 2, 64, false, events);
            events.clear();
            if (out != nullptr) out->insert(out->end(), left.begin(), left.end());
        }
    }
    int pendingKernelMessages() { return library.instrument->getKernel()->pendingMessageCount(); }

    testing::InstrumentLibrary library;
    int64_t dark = 0, bright = 0;
    std::vector<float> left = std::vector<float>(64), right = std::vector<float>(64);
    PresetMapRecord records[kMorphSlots];
    MorphSnapshots morph;
};

TEST_F(MorphSoundTest, HalfwayBetweenADarkAndABrightPatchSoundsBetweenThem) {
    library.adapter->loadPreset(dark);
    const double darkLevel = centroid();
    library.adapter->loadPreset(bright);
    const double brightLevel = centroid();

    take(0, dark, {0.0f, 0.0f});
    take(1, bright, {100.0f, 0.0f});
    ASSERT_TRUE(morph.beginMorph(50.0f, 0.0f, 100.0f, 100.0f));
    EXPECT_NEAR(library.instrument->getParameter(kUpperCutoff), 0.525f, 1e-3f);
    const double halfway = centroid();
    morph.endMorph();

    EXPECT_GT(halfway, 1.2 * darkLevel) << darkLevel << " " << halfway << " " << brightLevel;
    EXPECT_LT(1.1 * halfway, brightLevel) << darkLevel << " " << halfway << " " << brightLevel;
}

TEST_F(MorphSoundTest, EveryStepFitsTheKernelsRingAndRendersWithoutAllocating) {
    take(0, dark, {0.0f, 0.0f});
    take(1, bright, {100.0f, 0.0f});
    take(2, dark, {0.0f, 100.0f});
    take(3, bright, {100.0f, 100.0f});
    juce::MidiBuffer none;
    renderInto(none, 4, nullptr);
    ASSERT_EQ(pendingKernelMessages(), 0);

    struct Step {
        const char* what;
        float x, y;
        bool press;
    };
    // The press sends every parameter; the first drag writes every layer parameter back; a jump across the
    // map moves every parameter the patches differ in.
    const Step steps[] = {{"press", 1.0f, 1.0f, true},
                          {"first drag", 2.0f, 1.0f, false},
                          {"jump across", 99.0f, 60.0f, false},
                          {"small move", 98.0f, 60.0f, false}};
    for (const Step& step : steps) {
        testing::resetAudioThreadAllocations();
        {
            const testing::ScopedAudioThread counted;
            if (step.press)
                ASSERT_TRUE(morph.beginMorph(step.x, step.y, 100.0f, 100.0f));
            else
                ASSERT_TRUE(morph.continueMorph(step.x, step.y, 100.0f, 100.0f));
        }
        const int64_t stepAllocations = testing::audioThreadAllocations();
        // Nothing drains the ring meanwhile: a full ring would mean a poster had to run a message itself.
        EXPECT_LT(pendingKernelMessages(), MessageRing::kSlots - 1) << step.what;
        EXPECT_GT(pendingKernelMessages(), 0) << step.what;

        testing::resetAudioThreadAllocations();
        {
            const testing::ScopedAudioThread audio;
            renderInto(none, 2, nullptr);
        }
        EXPECT_EQ(pendingKernelMessages(), 0) << step.what;
        if (testing::allocationCountingAvailable()) {
            EXPECT_EQ(stepAllocations, 0) << step.what;
            EXPECT_EQ(testing::audioThreadAllocations(), 0) << step.what;
        }
    }
    morph.endMorph();
}

} // namespace
} // namespace corvex
