// The step sequencer as a player hears it: a held note whose low-pass cutoff the first track steps
// between closed and open, set up through the parameter rows, alternating at the set tempo.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/dsp/ScopedNoDenormals.h"
#include "instrument/params/CorvanParameters.h"
#include "tests/instrument/core/ParameterRig.h"
#include "tests/support/SignalChecks.h"

namespace corvex {
namespace {

// Upper rows of the sequencer.
constexpr int kRateRow = 39;         // free rate: 240 bpm at full value
constexpr int kSyncRow = 580;        // follow the engine tempo
constexpr int kStepsPerBeatRow = 581; // word / 4 steps per beat, 129 choices
constexpr int kLengthRow = 582;      // last step, 32 choices
constexpr int kFirstStepValueRow = 450;
constexpr int kOutputAmountRow = 45, kOutputDestinationRow = 583, kOutputSourceRow = 586;
constexpr int kLowPassCutoff = 6;    // entry of the output destination list
constexpr int kLowPassCutoffRow = 12;
constexpr double kRate = 44100.0;
constexpr double kBlockMs = 32000.0 / kRate;
constexpr int kWindowBlocks = 7; // levels are taken over 224 samples, about 5 ms
constexpr double kWindowMs = kWindowBlocks * kBlockMs;

class SequencerSound : public ::testing::Test, protected testing::ParameterRig {
protected:
    void SetUp() override { fresh(); }

    // The second oscillator is tuned a little sharp and beats against the first: it is turned down
    // (mixer input 2 to -80 dB) so that the level follows the filter alone. The cutoff sits half way,
    // where six octaves down silence a high note and the open step passes it whole.
    void fresh() {
        build();
        program->setParameterWord(1, 9, 8, -1, 0);
        table->setParameter(kLowPassCutoffRow, 0.5f);
        deliver();
    }

    // Two steps: step 0 closes the low-pass six octaves down, step 1 leaves it as it is.
    void routeTwoStepsToCutoff() {
        table->setParameter(kLengthRow, ParameterMapping::stepToValue(1, 32));
        table->setParameter(kFirstStepValueRow, 0.0f);      // value -1
        table->setParameter(kFirstStepValueRow + 1, 0.5f);  // value 0
        table->setValue(kOutputAmountRow, 1.0f);
        table->setParameter(kOutputSourceRow, ParameterMapping::stepToValue(0, 2));
        table->setParameter(kOutputDestinationRow, ParameterMapping::stepToValue(kLowPassCutoff, 9));
    }

    // The level of each window of a note held for `seconds`.
    std::vector<double> heldLevels(int note, double seconds) {
        corvex::ScopedNoDenormals flush;
        render();
        kernel->sendMidiNote(0x90, note, 100);
        std::vector<double> levels;
        std::vector<float> window;
        float left[32], right[32];
        float* outs[2] = {left, right};
        for (int b = 0; b < int(seconds * 1000.0 / kBlockMs); ++b) {
            kernel->processBlock(2, outs, 32);
            EXPECT_EQ(testing::badSamples(left, 32), 0);
            window.insert(window.end(), left, left + 32);
            if (window.size() == 32 * kWindowBlocks) {
                levels.push_back(testing::rms(window));
                window.clear();
            }
        }
        return levels;
    }
};

// Rising edges of the level through the middle of its range: one per pair of steps, when step 1 opens
// the filter again. Times in ms from the note on.
std::vector<double> openings(const std::vector<double>& levels) {
    double low = 1e9, high = 0.0;
    for (size_t i = 20; i < levels.size(); ++i) {
        low = std::min(low, levels[i]);
        high = std::max(high, levels[i]);
    }
    const double middle = 0.5 * (low + high);
    std::vector<double> t;
    for (size_t i = 1; i < levels.size(); ++i)
        if (levels[i - 1] < middle && levels[i] >= middle) t.push_back(double(i) * kWindowMs);
    return t;
}

TEST_F(SequencerSound, ACutoffTrackStepsAtTheSetTempo) {
    struct Case {
        const char* what;
        float rate;        // row value: 240 bpm at 1.0
        int stepsWord;     // 4 x steps per beat
        bool followEngine;
        float engineTempo;
        double stepMs;     // 60000 / (steps per beat x tempo)
    };
    const Case cases[] = {
        {"90 bpm, 2 steps per beat", 0.375f, 8, false, 120.0f, 333.333},
        {"150 bpm, 1 step per beat", 0.625f, 4, false, 120.0f, 400.0},
        {"the engine's 100 bpm, 4 steps per beat", 0.375f, 16, true, 100.0f, 150.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fresh();
        routeTwoStepsToCutoff();
        table->setParameter(kRateRow, c.rate);
        table->setParameter(kStepsPerBeatRow, ParameterMapping::stepToValue(c.stepsWord, 129));
        table->setParameter(kSyncRow, c.followEngine ? 0.75f : 0.25f);
        deliver();
        kernel->setTempo(c.engineTempo);

        const std::vector<double> levels = heldLevels(84, 12.0 * c.stepMs / 1000.0);
        const std::vector<double> opened = openings(levels);
        double low = 1e9, high = 0.0;
        for (size_t i = 20; i < levels.size(); ++i) {
            low = std::min(low, levels[i]);
            high = std::max(high, levels[i]);
        }
        EXPECT_GT(high, 0.01) << "the note sounds";
        EXPECT_LT(low, 0.05 * high) << "the closed step silences the note";
        // Step 0 begins with the note; step 1 first opens the filter one step later, then every two.
        ASSERT_GE(opened.size(), 5u);
        EXPECT_NEAR(opened[0], c.stepMs, 12.0);
        for (size_t k = 1; k < opened.size(); ++k)
            EXPECT_NEAR(opened[k] - opened[k - 1], 2.0 * c.stepMs, 7.0) << "pair " << k;
    }
}

// Without a route from the sequencer the same held note keeps one level.
TEST_F(SequencerSound, WithoutTheRouteTheNoteHoldsItsLevel) {
    table->setParameter(kFirstStepValueRow, 0.0f);
    table->setParameter(kFirstStepValueRow + 1, 0.5f);
    table->setParameter(kLengthRow, ParameterMapping::stepToValue(1, 32));
    deliver();
    const std::vector<double> levels = heldLevels(84, 2.0);
    double low = 1e9, high = 0.0;
    for (size_t i = 40; i < levels.size(); ++i) {
        low = std::min(low, levels[i]);
        high = std::max(high, levels[i]);
    }
    EXPECT_GT(high, 0.01);
    EXPECT_GT(low, 0.9 * high);
}

} // namespace
} // namespace corvex
