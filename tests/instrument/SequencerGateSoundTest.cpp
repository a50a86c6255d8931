// A held key under the step sequencer's gate: steps without their gate bit tie, stopping the sequencer keeps
// the note, and the key's release still ends it.
#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include <gtest/gtest.h>
#include <juce_events/juce_events.h>

#include "instrument/CorvanAudioFilter.h"
#include "instrument/params/ParameterIndex.h"
#include "presets/CorvanPresetServices.h"
#include "tests/support/SignalChecks.h"

namespace corvex {
namespace {

constexpr double kRate = 44100.0;
constexpr int kBlock = 64;
constexpr double kStepSeconds = 0.5; // the initial program's sequencer: one step a beat at 120 bpm

class SequencerGateSoundTest : public ::testing::Test {
protected:
    SequencerGateSoundTest() {
        root = juce::File::getSpecialLocation(juce::File::tempDirectory)
                   .getChildFile("corvex-gate-test-" + juce::String::toHexString(juce::Random().nextInt64()));
        folder = std::make_unique<MorvaneFindFolder>(root, "Corvex2");
        filter = CorvanAudioFilter::createPluginFilter(*folder, std::make_unique<CorvanPresetServices>(*folder));
        filter->prepareToPlay(kRate, kBlock);
    }
    ~SequencerGateSoundTest() override {
        filter.reset();
        root.deleteRecursively();
    }

    // Env 2 opens the amplifier at once, holds a sustain and releases in under a millisecond, so a release
    // begun anywhere silences the rest of the render; one oscillator alone keeps the level steady.
    void setQuickEnvelope() {
        set("UEnv2Att", 0.0f);
        set("UEnv2Dec", 0.0f);
        set("UEnv2Sus", 0.8f);
        set("UEnv2Rel", 0.0f);
        set("UOscMix", 0.0f);
    }

    void set(const char* key, float value) {
        for (int index = 0; index < ParameterIndex::kCount; ++index) {
            if (filter->getParameterName(index) == key) {
                filter->setParameter(index, value);
                return;
            }
        }
        FAIL() << "no parameter " << key;
    }

    // The left output of `seconds`, with `midi` at its start.
    std::vector<float> render(juce::MidiBuffer midi, double seconds) {
        std::vector<float> out, left(kBlock), right(kBlock);
        for (int b = 0; b < int(seconds * kRate / kBlock); ++b) {
            float* outs[2] = {left.data(), right.data()};
            filter->processBlock(outs, 2, kBlock, false, midi);
            midi.clear();
            out.insert(out.end(), left.begin(), left.end());
        }
        return out;
    }

    juce::ScopedJuceInitialiser_GUI juce;
    juce::File root;
    std::unique_ptr<MorvaneFindFolder> folder;
    std::unique_ptr<CorvanAudioFilter> filter;
};

// The RMS level from one time to another, or to the end of the render if that comes first.
double level(const std::vector<float>& x, double fromSeconds, double toSeconds) {
    const size_t to = std::min(x.size(), size_t(toSeconds * kRate));
    return testing::rms(std::vector<float>(x.begin() + long(fromSeconds * kRate), x.begin() + long(to)));
}

// Four steps, the first gated and the other three not; both envelopes follow the sequencer's gate
// beside the key's. With the key held the gate-off steps hold the note at its sustain; the key's release
// ends it.
TEST_F(SequencerGateSoundTest, GateOffStepsTieAHeldKeyAndTheReleaseEndsTheNote) {
    set("USeqTgMd", 1.0f); // every step gated, then a step switched on loses its gate
    for (const char* step : {"USeqTg 2", "USeqTg 3", "USeqTg 4"}) set(step, 1.0f);
    set("USeqLen", 3.5f / 32.0f); // steps 1 to 4
    setQuickEnvelope();
    render({}, 0.2);

    juce::MidiBuffer on;
    on.addEvent(juce::MidiMessage::noteOn(1, 60, juce::uint8(100)), 0);
    const std::vector<float> held = render(on, 4.0 * kStepSeconds);
    juce::MidiBuffer off;
    off.addEvent(juce::MidiMessage::noteOff(1, 60), 0);
    const std::vector<float> released = render(off, 1.2);

    const double gated = level(held, 0.2, 0.45);
    ASSERT_GT(gated, 1e-3) << "the note sounds in its gated step";
    for (int step = 1; step < 4; ++step) {
        const double start = step * kStepSeconds;
        EXPECT_NEAR(level(held, start, start + 0.05) / gated, 1.0, 0.1) << "as the gate-off step " << step + 1
                                                                          << " begins";
        EXPECT_NEAR(level(held, start + 0.05, start + kStepSeconds) / gated, 1.0, 0.1) << "through step "
                                                                                     << step + 1;
    }
    EXPECT_LT(level(released, 0.05, 0.1), 1e-3 * gated) << "released";
    EXPECT_LT(level(released, 0.5, 1.0), 1e-4 * gated) << "and ended";
}

// Every step gated, the sequencer started and stopped by its button while a key is held: the sequencer's
// gate leaves as the key's stays, so the note holds its sustain until the key's release ends it.
TEST_F(SequencerGateSoundTest, StoppingTheSequencerKeepsAHeldKeysNoteAndTheReleaseEndsIt) {
    set("USqPlMS", 0.0f); // the button runs the sequencer
    set("USeqTgMd", 1.0f);
    setQuickEnvelope();
    render({}, 0.2);

    juce::MidiBuffer on;
    on.addEvent(juce::MidiMessage::noteOn(1, 60, juce::uint8(100)), 0);
    const std::vector<float> held = render(on, 0.5);
    set("USeqTrBt", 1.0f);
    const std::vector<float> running = render({}, 3.0 * kStepSeconds);
    set("USeqTrBt", 0.0f);
    const std::vector<float> stopped = render({}, 1.0);
    juce::MidiBuffer off;
    off.addEvent(juce::MidiMessage::noteOff(1, 60), 0);
    const std::vector<float> released = render(off, 1.2);

    const double sustained = level(held, 0.2, 0.5);
    ASSERT_GT(sustained, 1e-3) << "the key alone sounds";
    EXPECT_NEAR(level(running, 0.2, 3.0 * kStepSeconds) / sustained, 1.0, 0.1) << "while the sequencer runs";
    EXPECT_NEAR(level(stopped, 0.0, 0.05) / sustained, 1.0, 0.1) << "as the sequencer stops";
    EXPECT_NEAR(level(stopped, 0.05, 1.0) / sustained, 1.0, 0.1) << "with the sequencer stopped";
    EXPECT_LT(level(released, 0.05, 0.1), 1e-3 * sustained) << "released";
    EXPECT_LT(level(released, 0.5, 1.2), 1e-4 * sustained) << "and ended";
}

} // namespace
} // namespace corvex
