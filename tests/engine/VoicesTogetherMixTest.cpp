// The mixer, the envelopes and the voice output of a part's voices, run together, play exactly what
// voices rendered one at a time play: with every mixer input wired (samples, a block-rate value, a
// silenced connection), the voice output's audio-rate gain, modulated envelope times, and their
// levels and times edited while notes start, steal, release and retrigger.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/program/CorvanKernelProgram.h"
#include "tests/engine/KernelTestHelpers.h"

namespace corvex::testing {
namespace {

constexpr int kFirstOscillator = 2;
constexpr int kSecondOscillator = 3;
constexpr int kReleaseEnvelope = 6;
constexpr int kGateEnvelope = 7;
constexpr int kVoiceOutput = 8;
constexpr int kMixer = 9;
constexpr int kPartLfo = 29;
constexpr int kSecondPartLfo = 30;

struct Performer {
    std::unique_ptr<CorvexKernel> kernel;
    std::unique_ptr<CorvanKernelProgram> program;
    std::vector<float> left, right;

    Performer(bool together, bool dual) {
        kernel = makeKernel();
        kernel->setRandomSeed(20261211);
        kernel->setVoicesTogether(together);
        program = startInitialProgram(*kernel, dual);
        for (int s : {1, 2}) {
            // Mixer inputs 2..4: the other oscillator again, a block-rate LFO (no samples to mix) and
            // a connection at amount 0; the voice output's gain follows an oscillator; the LFO
            // shortens one envelope's release.
            EXPECT_GE(program->connect(s, kSecondOscillator, 0, 0, kMixer, 2, -7000, 0), 0);
            EXPECT_GE(program->connect(s, kSecondPartLfo, 0, 0, kMixer, 3, 9000, 0), 0);
            EXPECT_GE(program->connect(s, kFirstOscillator, 0, 0, kMixer, 4, 0, 0), 0);
            EXPECT_GE(program->connect(s, kFirstOscillator, 0, 0, kVoiceOutput, 5, 2500, 0), 0);
            EXPECT_GE(program->connect(s, kPartLfo, 0, 0, kReleaseEnvelope, 5, 6000, 0), 0);
        }
    }

    void play(int blocks) {
        Block block;
        for (int b = 0; b < blocks; ++b) {
            render(*kernel, block);
            left.insert(left.end(), block.left, block.left + kBlockFrames);
            right.insert(right.end(), block.right, block.right + kBlockFrames);
        }
    }

    void edit(int slot, int parameter, uint16_t word) {
        for (int s : {1, 2}) program->setParameterWord(s, slot, parameter, -1, word);
    }
};

void perform(Performer& p, int keys) {
    p.play(2);
    for (int k = 0; k < keys; ++k) p.kernel->sendMidiNote(0x90, 40 + k, 50 + k % 70);
    p.play(30);
    p.edit(kMixer, 7, 16384); // inputs up to +20 dB, one down to its floor
    p.edit(kMixer, 8, 2000);
    p.edit(kMixer, 9, 14000);
    p.edit(kVoiceOutput, 7, 15000);
    p.edit(kGateEnvelope, 8, 9000); // slower attack and decay, lower sustain
    p.edit(kGateEnvelope, 10, 11000);
    p.edit(kGateEnvelope, 15, 3000);
    p.play(30);
    for (int k = 0; k < keys; k += 2) p.kernel->sendMidiNote(0x80, 40 + k, 0);
    p.edit(kReleaseEnvelope, 11, 7000);
    p.play(25);
    for (int k = 0; k < keys; k += 3) p.kernel->sendMidiNote(0x90, 40 + k, 127); // retriggers, and steals
    for (int s : {1, 2}) p.program->setConnectionAmount(s, kSecondOscillator, 0, 0, kMixer, 2, 16384);
    p.play(40);
    for (int k = 0; k < keys; ++k) p.kernel->sendMidiNote(0x80, 40 + k, 0);
    p.play(120); // every release runs out
}

struct Case {
    bool dual;
    int keys;
};

class VoicesTogetherMix : public ::testing::TestWithParam<Case> {};

TEST_P(VoicesTogetherMix, PlayTheSameSamplesAsVoicesOneAtATime) {
    const Case c = GetParam();
    Performer alone(false, c.dual), together(true, c.dual);
    perform(alone, c.keys);
    perform(together, c.keys);
    double peak = 0.0;
    for (float v : alone.left) peak = std::max(peak, double(std::fabs(v)));
    ASSERT_GT(peak, 0.01) << "the performance must be heard for the comparison to mean anything";
    ASSERT_EQ(alone.left.size(), together.left.size());
    for (size_t i = 0; i < alone.left.size(); ++i) {
        ASSERT_EQ(0, std::memcmp(&alone.left[i], &together.left[i], sizeof(float)))
            << "block " << i / kBlockFrames << ": " << alone.left[i] << " against " << together.left[i];
        ASSERT_EQ(0, std::memcmp(&alone.right[i], &together.right[i], sizeof(float))) << "block " << i / kBlockFrames;
    }
}

std::string caseName(const ::testing::TestParamInfo<Case>& info) {
    return std::string(info.param.dual ? "Dual" : "Whole") + std::to_string(info.param.keys) + "Keys";
}

// From one voice to more keys than voices, so that notes are stolen while others release.
INSTANTIATE_TEST_SUITE_P(InitialProgram, VoicesTogetherMix,
                         ::testing::Values(Case{false, 1}, Case{false, 2}, Case{false, 9}, Case{false, 32},
                                           Case{false, 37}, Case{true, 1}, Case{true, 5}, Case{true, 19}),
                         caseName);

} // namespace
} // namespace corvex::testing
