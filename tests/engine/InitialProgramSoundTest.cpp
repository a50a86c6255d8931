// The initial program as a player hears it: middle C at its pitch, a fast attack, a held level, a
// short release, and then silence with the voice freed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/program/CorvanKernelProgram.h"
#include "tests/engine/KernelTestHelpers.h"
#include "tests/support/SignalChecks.h"

namespace corvex::testing {
namespace {

struct Take {
    std::vector<float> left, right;
    double rate;
    std::vector<float> window(double from, double to) const {
        const auto at = [&](double seconds) { return std::min(left.size(), static_cast<size_t>(seconds * rate)); };
        return std::vector<float>(left.begin() + static_cast<long>(at(from)), left.begin() + static_cast<long>(at(to)));
    }
};

enum class Oscillators { Both, First, Second };

// Holds a key for `hold` seconds, then renders `tail` seconds more. The two oscillators beat against
// each other (the second is tuned a little sharp), so level and pitch are measured on one at a time.
Take play(double rate, int note, double hold, double tail, Oscillators heard = Oscillators::First) {
    auto kernel = makeKernel(rate);
    CorvanKernelProgram program(*kernel);
    program.initialise();
    if (heard == Oscillators::First) program.setParameterWord(1, 9, 8, -1, 0); // mixer input 1 to -80 dB
    if (heard == Oscillators::Second) program.setParameterWord(1, 9, 7, -1, 0);
    Block b;
    render(*kernel, b);
    Take t{{}, {}, rate};
    kernel->sendMidiNote(0x90, note, 100);
    const int holdBlocks = static_cast<int>(hold * rate / 32.0);
    const int tailBlocks = static_cast<int>(tail * rate / 32.0);
    for (int i = 0; i < holdBlocks + tailBlocks; ++i) {
        if (i == holdBlocks) kernel->sendMidiNote(0x80, note, 0);
        render(*kernel, b);
        t.left.insert(t.left.end(), b.left, b.left + 32);
        t.right.insert(t.right.end(), b.right, b.right + 32);
    }
    EXPECT_EQ(kernel->soundingVoiceCount(), 0) << "the voice is freed after its release";
    return t;
}

double pitchOf(const Take& t) { return autocorrelationFrequency(t.window(0.1, 0.6), t.rate, 100.0, 1000.0); }

TEST(InitialProgram, PlaysMiddleCAtItsPitch) {
    for (double rate : {44100.0, 48000.0}) {
        EXPECT_NEAR(pitchOf(play(rate, 60, 0.6, 0.3, Oscillators::First)), 261.63, 261.63 * 0.002) << rate;
        // The second oscillator's fine tuning word 9011 makes it 0.5% sharp.
        EXPECT_NEAR(pitchOf(play(rate, 60, 0.6, 0.3, Oscillators::Second)), 261.63 * 1.005, 261.63 * 0.002) << rate;
        const Take both = play(rate, 60, 0.6, 0.3, Oscillators::Both);
        EXPECT_EQ(both.left, both.right);
    }
}

TEST(InitialProgram, NotesAcrossTheKeyboardHaveTheirPitch) {
    for (int note : {36, 48, 57, 72, 84}) {
        const double expected = 440.0 * std::pow(2.0, (note - 69) / 12.0);
        const Take t = play(44100.0, note, 0.6, 0.3);
        EXPECT_NEAR(autocorrelationFrequency(t.window(0.1, 0.6), 44100.0, expected / 1.5, expected * 1.5), expected,
                    expected * 0.003)
            << note;
    }
}

TEST(InitialProgram, AttackHoldReleaseAndSilence) {
    const double rate = 44100.0;
    const Take t = play(rate, 60, 0.5, 0.5);
    const double held = rms(t.window(0.2, 0.5));
    EXPECT_GT(held, 0.01);
    EXPECT_GT(rms(t.window(0.005, 0.05)), 0.9 * held) << "full level within a few milliseconds";
    EXPECT_NEAR(rms(t.window(0.1, 0.2)), held, 0.05 * held) << "a steady held level";
    EXPECT_LT(rms(t.window(0.56, 0.6)), 0.05 * held) << "a short release";
    const std::vector<float> after = t.window(0.7, 1.0);
    for (float s : after) ASSERT_EQ(s, 0.0f);
    EXPECT_EQ(badSamples(t.left.data(), t.left.size()), 0);
}

// A chord of all 32 voices, bright and resonant: every sample finite, no denormals, no drifting DC.
TEST(InitialProgram, ThirtyTwoVoiceChordStaysClean) {
    auto kernel = makeKernel(48000.0);
    CorvanKernelProgram program(*kernel);
    program.initialise();
    program.setAssignParameters(32, 2, 2);
    program.setPartAssignMode(0, 0);
    program.setParameterWord(1, 5, 8, -1, 16384); // full resonance
    Block b;
    render(*kernel, b);
    for (int n = 0; n < 32; ++n) kernel->sendMidiNote(0x90, 24 + 3 * n, 127);
    std::vector<float> left;
    for (int i = 0; i < 3000; ++i) {
        render(*kernel, b);
        left.insert(left.end(), b.left, b.left + 32);
        ASSERT_EQ(badSamples(b.left, 32) + badSamples(b.right, 32), 0) << i;
    }
    EXPECT_EQ(kernel->soundingVoiceCount(), 32);
    const std::vector<float> last(left.end() - 48000, left.end());
    double mean = 0.0;
    for (float s : last) mean += s;
    mean /= static_cast<double>(last.size());
    EXPECT_GT(rms(last), 0.01);
    EXPECT_LT(std::fabs(mean), 0.05 * rms(last)) << "no runaway DC";
}

} // namespace
} // namespace corvex::testing
