// A part's voices rendered together, their filters side by side in vector lanes, play exactly what
// voices rendered one at a time play: the initial program, Whole and Dual, through notes, bends,
// releases and live edits of parameters and connections.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "engine/program/CorvanKernelProgram.h"
#include "tests/engine/KernelTestHelpers.h"

namespace corvex::testing {
namespace {

constexpr int kLowPass = 5;
constexpr int kHighPass = 4;

struct Player {
    std::unique_ptr<CorvexKernel> kernel;
    std::unique_ptr<CorvanKernelProgram> program;
    Block block;
    std::vector<float> left, right;
    int heldVoices = 0;

    Player(bool together, bool dual) {
        kernel = makeKernel();
        kernel->setRandomSeed(20261210);
        kernel->setVoicesTogether(together);
        program = std::make_unique<CorvanKernelProgram>(*kernel);
        program->initialise();
        program->setAssignParameters(32, 2, 2);
        program->setPartAssignMode(0, 0);
        program->setPartAssignMode(1, 0);
        if (dual) {
            program->startPart(2);
            program->setKeyMode(CorvanKernelProgram::Dual);
        }
    }
    void play(int blocks) {
        for (int b = 0; b < blocks; ++b) {
            render(*kernel, block);
            left.insert(left.end(), block.left, block.left + kBlockFrames);
            right.insert(right.end(), block.right, block.right + kBlockFrames);
        }
    }
};

// The same performance for both players: every step goes to each in turn between the same blocks.
void perform(Player& p, int keys) {
    auto sections = {1, 2};
    p.play(2);
    for (int k = 0; k < keys; ++k) p.kernel->sendMidiNote(0x90, 36 + 2 * k, 60 + k);
    p.play(60);
    p.heldVoices = p.kernel->soundingVoiceCount();
    p.kernel->sendPitchBend(0x7F, 0x40); // up, then down through the middle
    p.play(20);
    p.kernel->sendPitchBend(0x10, 0x00);
    p.play(20);
    for (int s : sections) {
        p.program->setParameterWord(s, kLowPass, 7, -1, 6000); // cutoff down
        p.program->setParameterWord(s, kLowPass, 8, -1, 14000); // resonance up
        p.program->setParameterWord(s, kHighPass, 7, -1, 9000);
    }
    p.play(40);
    for (int s : sections) {
        // The LFO onto the low-pass cutoff, turned up; a new route into the high-pass cutoff.
        p.program->setConnectionAmount(s, 29, 0, 0, kLowPass, 1, 12000);
        p.program->connect(s, 30, 0, 0, kHighPass, 1, 9000, 0x41);
    }
    p.play(40);
    for (int k = 0; k < keys; k += 2) p.kernel->sendMidiNote(0x80, 36 + 2 * k, 0); // half of them released
    p.kernel->postPitchBend(0.0f);
    p.play(40);
    for (int s : sections) p.program->setConnectionAmount(s, 29, 0, 0, kLowPass, 1, 0);
    for (int k = 0; k < keys; k += 3) p.kernel->sendMidiNote(0x90, 37 + 2 * k, 127);
    p.play(60);
}

struct Case {
    bool dual;
    int voices;
};

class VoicesTogether : public ::testing::TestWithParam<Case> {};

TEST_P(VoicesTogether, PlayTheSameSamplesAsVoicesOneAtATime) {
    const Case c = GetParam();
    const int keys = c.dual ? std::max(c.voices / 2, 1) : c.voices;
    Player alone(false, c.dual), together(true, c.dual);
    perform(alone, keys);
    perform(together, keys);
    // Before the first release every key holds its voices, so the run really renders them.
    ASSERT_EQ(alone.heldVoices, c.dual ? 2 * keys : keys);
    ASSERT_EQ(together.heldVoices, alone.heldVoices);

    double peak = 0.0;
    for (float v : alone.left) peak = std::max(peak, double(std::fabs(v)));
    ASSERT_GT(peak, 0.01) << "the performance must be heard for the comparison to mean anything";
    ASSERT_EQ(alone.left.size(), together.left.size());
    // Bit for bit: the lanes run each voice's operations in the voice's own order.
    size_t firstDifference = alone.left.size();
    for (size_t i = 0; i < alone.left.size(); ++i) {
        if (std::memcmp(&alone.left[i], &together.left[i], sizeof(float)) != 0 ||
            std::memcmp(&alone.right[i], &together.right[i], sizeof(float)) != 0) {
            firstDifference = i;
            break;
        }
    }
    EXPECT_EQ(firstDifference, alone.left.size())
        << "block " << firstDifference / kBlockFrames << ": " << alone.left[firstDifference] << " against "
        << together.left[firstDifference];
}

INSTANTIATE_TEST_SUITE_P(InitialProgram, VoicesTogether,
                         ::testing::Values(Case{false, 1}, Case{false, 8}, Case{false, 32}, Case{true, 1},
                                           Case{true, 8}, Case{true, 32}),
                         [](const ::testing::TestParamInfo<Case>& info) {
                             return std::string(info.param.dual ? "Dual" : "Whole") +
                                    std::to_string(info.param.voices);
                         });

} // namespace
} // namespace corvex::testing
