// A note played through noise, mixer, "Env 2" and the voice output: it sounds on both channels, its
// envelope follows the attack, decay, sustain and release curves, and it stops after its release.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/program/CorvanKernelProgram.h"
#include "tests/engine/KernelTestHelpers.h"
#include "tests/support/SignalChecks.h"

namespace corvex::testing {
namespace {

constexpr double kRate = 44100.0;
constexpr int kNoiseSlot = 26, kMixerSlot = 9, kOutputSlot = 8, kEnv2Slot = 6;
constexpr float kTopSustain = 0.98253f; // the sustain curve's last point

// A layer wired gate -> "Env 2" -> voice output level, and white noise -> mixer -> voice output.
struct NoiseLayer {
    explicit NoiseLayer(uint16_t attack, uint16_t decay, uint16_t sustain, uint16_t release) {
        kernel = makeKernel(kRate);
        program = std::make_unique<CorvanKernelProgram>(*kernel);
        program->initialise();
        ConnectionRecord records[] = {
            packConnection(0, 0, 0, 0, 0, kEnv2Slot, 16384, 0),
            packConnection(0, 0, 0, kNoiseSlot, 3, kMixerSlot, 16384, 0),
            packConnection(0, 0, 0, kMixerSlot, 0, kOutputSlot, 16384, 0),
            packConnection(0, 4, 0, kEnv2Slot, 0, kOutputSlot, 16384, 0),
        };
        sortConnections(records, 4);
        program->stopPart(1);
        program->sendConnections(1, records, 4);
        program->setParameterWord(1, kNoiseSlot, 10, -1, 8192); // output 3: white noise at level 0.5
        program->setParameterWord(1, kNoiseSlot, 15, -1, 2);
        program->setParameterWord(1, kMixerSlot, 7, -1, 6000);
        program->setParameterWord(1, kEnv2Slot, 8, -1, attack);
        program->setParameterWord(1, kEnv2Slot, 10, -1, decay);
        program->setParameterWord(1, kEnv2Slot, 15, -1, sustain);
        program->setParameterWord(1, kEnv2Slot, 11, -1, release);
        program->startPart(1);
        Block b;
        render(*kernel, b);
    }
    void play(int blocks, std::vector<float>& left, std::vector<float>& right) {
        Block b;
        for (int i = 0; i < blocks; ++i) {
            render(*kernel, b);
            left.insert(left.end(), b.left, b.left + 32);
            right.insert(right.end(), b.right, b.right + 32);
        }
    }
    std::unique_ptr<CorvexKernel> kernel;
    std::unique_ptr<CorvanKernelProgram> program;
};

// The envelope of the first layer, block by block: the same noise through a layer whose level
// stands at the top sustain gives the ratio at the first sample of every block, where the voice
// output's ramp holds the previous block's gain exactly.
struct MeasuredEnvelope {
    std::vector<float> level; // per block
    std::vector<float> left, right;
    int releaseBlock;
};

MeasuredEnvelope measure(uint16_t attack, uint16_t decay, uint16_t sustain, uint16_t release, int holdBlocks,
                         int tailBlocks) {
    NoiseLayer shaped(attack, decay, sustain, release);
    NoiseLayer flat(0, 0, 16384, 16384);
    MeasuredEnvelope m;
    std::vector<float> flatLeft, flatRight;
    shaped.kernel->sendMidiNote(0x90, 60, 100);
    flat.kernel->sendMidiNote(0x90, 60, 100);
    shaped.play(holdBlocks, m.left, m.right);
    flat.play(holdBlocks, flatLeft, flatRight);
    shaped.kernel->sendMidiNote(0x80, 60, 0);
    m.releaseBlock = holdBlocks;
    shaped.play(tailBlocks, m.left, m.right);
    flat.play(tailBlocks, flatLeft, flatRight);
    for (size_t b = 1; b + 1 < m.left.size() / 32; ++b) {
        const float reference = flatLeft[32 * (b + 1)];
        m.level.push_back(reference > 0.0f ? kTopSustain * m.left[32 * (b + 1)] / reference : 0.0f);
    }
    return m;
}

double blocksToMs(double blocks) { return blocks * 32.0 * 1000.0 / kRate; }

TEST(VoiceSound, NoteFollowsTheEnvelopeOnBothChannelsAndStops) {
    // Attack 51 ms, decay 115.03 ms, sustain 0.571, release 62 ms (points of the curves).
    const MeasuredEnvelope m = measure(4096, 4096, 8192, 2731, 600, 300);
    ASSERT_GT(m.level.size(), 800u);

    EXPECT_GT(rms(m.left), 0.01);
    EXPECT_EQ(m.left, m.right) << "one voice output feeds both channels";

    // Attack: the level passes 1.0 (and the decay begins) after Na = 51 ms.
    size_t peak = 0;
    while (peak < m.level.size() && m.level[peak] < 0.999f) ++peak;
    EXPECT_NEAR(blocksToMs(static_cast<double>(peak) + 1.0), 51.0, 51.0 * 0.04);
    // Decay: S + (1 - S) x 0.01 is reached after half of Nd = 115.03 ms.
    const float sustain = 0.571f;
    size_t decayed = peak;
    while (decayed < m.level.size() && m.level[decayed] > sustain + (1.0f - sustain) * 0.01f) ++decayed;
    EXPECT_NEAR(blocksToMs(static_cast<double>(decayed - peak)), 115.03 / 2.0, 115.03 / 2.0 * 0.05);
    // Sustain.
    EXPECT_NEAR(m.level[static_cast<size_t>(m.releaseBlock) - 10], sustain, 0.005f);
    // Release: 1% of the start level after half of Nr = 62 ms; then silence once the voice is freed.
    size_t released = static_cast<size_t>(m.releaseBlock) - 1;
    while (released < m.level.size() && m.level[released] > sustain * 0.01f) ++released;
    EXPECT_NEAR(blocksToMs(static_cast<double>(released - (m.releaseBlock - 1))), 31.0, 31.0 * 0.08);
    const size_t silentFrom = 32 * static_cast<size_t>(m.releaseBlock + 100);
    for (size_t i = silentFrom; i < m.left.size(); ++i) ASSERT_EQ(m.left[i], 0.0f) << i;
}

TEST(VoiceSound, FastestAttackEndsInItsThirdBlock) {
    const MeasuredEnvelope m = measure(0, 8192, 16384, 8192, 20, 2);
    // 0.79 ms is less than one block: the first blocks start from the full ratio and rise at once.
    EXPECT_GT(m.level[2], 0.97f);
    EXPECT_LE(m.level[5], 1.0f);
}

} // namespace
} // namespace corvex::testing
