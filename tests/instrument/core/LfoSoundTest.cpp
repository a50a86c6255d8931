// The layer LFO as a player sets it through the parameter rows and hears it: a vibrato on the
// first oscillator, its rate (free or locked to 120 bpm) and its depth measured from the pitch.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "tests/instrument/core/ParameterRig.h"
#include "tests/support/SignalChecks.h"

namespace corvex::testing {
namespace {

constexpr double kRate = 44100.0;
constexpr double kA4 = 440.0;

// Upper-layer rows.
constexpr int kLfoRateRow = 0;
constexpr int kLfoDelayRow = 1;
constexpr int kOscLfoAmountRow = 6;
constexpr int kLfoWaveRow = 211;
constexpr int kLfoSyncRow = 212;
constexpr int kOscModSelectRow = 216;

struct PitchTrack {
    std::vector<double> seconds, semitones;
};

// Pitch of A4 with its vibrato, from 300-sample windows every 2.5 ms: short beside a vibrato cycle.
PitchTrack track(const std::vector<float>& x, double from) {
    PitchTrack t;
    const size_t window = 300, hop = 110;
    for (size_t at = size_t(from * kRate); at + window <= x.size(); at += hop) {
        const std::vector<float> w(x.begin() + long(at), x.begin() + long(at + window));
        const double f = autocorrelationFrequency(w, kRate, 300.0, 700.0);
        if (f <= 0.0) continue;
        t.seconds.push_back((double(at) + window / 2.0) / kRate);
        t.semitones.push_back(12.0 * std::log2(f / kA4));
    }
    return t;
}

// Rate from the upward crossings of the track's mean; depth as half the swing.
void measure(const PitchTrack& t, double& hertz, double& depth) {
    double mean = 0.0;
    for (double s : t.semitones) mean += s;
    mean /= double(t.semitones.size());
    std::vector<double> ups;
    for (size_t i = 1; i < t.semitones.size(); ++i) {
        const double a = t.semitones[i - 1] - mean, b = t.semitones[i] - mean;
        if (a < 0.0 && b >= 0.0) ups.push_back(t.seconds[i - 1] + (t.seconds[i] - t.seconds[i - 1]) * a / (a - b));
    }
    hertz = ups.size() < 2 ? 0.0 : double(ups.size() - 1) / (ups.back() - ups.front());
    const auto [low, high] = std::minmax_element(t.semitones.begin(), t.semitones.end());
    depth = (*high - *low) / 2.0;
}

TEST(LfoSound, VibratoRateAndDepthFromTheRows) {
    struct Case {
        const char* what;
        float rate, sync, amount;
        double hertz;     // the rate curve's 8.305648 Hz at 0.75; sync code 2 at 120 bpm is 4 Hz
        double semitones; // pitch range 11.9 x amount curve 2 (0.25 at 0.5, 0.10415 at 0.25)
    };
    const Case cases[] = {
        {"free 8.3 Hz, 3 semitones", 0.75f, 0.0f, 0.5f, 8.305648, 11.9 * 0.25},
        {"two cycles a beat at 120 bpm, 1.24 semitones", 0.5f, 0.75f, 0.25f, 4.0, 11.9 * (0.0833 + 0.125) / 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ParameterRig rig;
        rig.build();
        rig.program->setParameterWord(1, 9, 8, -1, 0); // the second oscillator out of the mix
        rig.table->setParameter(kLfoWaveRow, 0.125f);      // sine
        rig.table->setParameter(kLfoRateRow, c.rate);
        rig.table->setParameter(kLfoSyncRow, c.sync);
        rig.table->setParameter(kLfoDelayRow, 0.0f);
        rig.table->setParameter(kOscModSelectRow, 0.9f); // VCO 1 (the third step)
        rig.table->setParameter(kOscLfoAmountRow, c.amount);
        rig.render();
        rig.kernel->sendMidiNote(0x90, 69, 100);
        std::vector<float> left;
        float l[32], r[32];
        float* outs[2] = {l, r};
        for (int b = 0; b < int(1.3 * kRate / 32); ++b) {
            rig.kernel->processBlock(2, outs, 32);
            left.insert(left.end(), l, l + 32);
        }
        ASSERT_EQ(badSamples(left.data(), left.size()), 0);
        double hertz = 0.0, depth = 0.0;
        measure(track(left, 0.05), hertz, depth);
        EXPECT_NEAR(hertz, c.hertz, c.hertz * 0.02);
        EXPECT_NEAR(depth, c.semitones, c.semitones * 0.05);
    }
}

// The same note without an LFO amount holds its pitch: the vibrato is the LFO's.
TEST(LfoSound, NoAmountNoVibrato) {
    ParameterRig rig;
    rig.build();
    rig.program->setParameterWord(1, 9, 8, -1, 0);
    rig.table->setParameter(kLfoRateRow, 0.75f);
    rig.table->setParameter(kLfoDelayRow, 0.0f);
    rig.table->setParameter(kOscLfoAmountRow, 0.0f);
    rig.render();
    rig.kernel->sendMidiNote(0x90, 69, 100);
    std::vector<float> left;
    float l[32], r[32];
    float* outs[2] = {l, r};
    for (int b = 0; b < int(0.6 * kRate / 32); ++b) {
        rig.kernel->processBlock(2, outs, 32);
        left.insert(left.end(), l, l + 32);
    }
    double hertz = 0.0, depth = 0.0;
    measure(track(left, 0.05), hertz, depth);
    // The pitch estimate itself wanders by a few hundredths of a semitone.
    EXPECT_LT(depth, 0.15);
}

} // namespace
} // namespace corvex::testing
