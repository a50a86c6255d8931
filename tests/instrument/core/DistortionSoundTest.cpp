// The distortion heard through the effect rows of a layer: chosen for chain 1 it shapes every voice,
// its bypass passes them untouched, and a layer saved and read back keeps that bypass.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "engine/modules/KernelClock.h"
#include "engine/program/WordStream.h"
#include "tests/instrument/core/ParameterRig.h"
#include "tests/support/SignalChecks.h"

namespace corvex::testing {
namespace {

// Rows of the Upper layer's first chain.
constexpr int kSelectorRow = 249;
constexpr int kDryWetRow = 48;
constexpr int kDriveRow = 49;
constexpr int kOutputRow = 69;
constexpr int kBypassRow = 332;
constexpr float kDistortionChoice = 2.5f / 6.0f;
constexpr float kUnityOutput = 0.75f; // 0 dB
constexpr float kSwitchOn = 0.75f;    // the second of two steps

// Every instrument sees the same time and draws the same numbers, so two of them play alike.
class FixedClock final : public KernelClock {
public:
    int64_t ticks() const override { return 1000; }
    int64_t ticksPerSecond() const override { return 1000000; }
};

struct Instrument : ParameterRig {
    FixedClock clock;

    Instrument() {
        build();
        kernel->setClock(&clock);
        kernel->setRandomSeed(4321);
    }
    ~Instrument() { kernel->setClock(nullptr); }

    void row(int index, float value) { table->setParameter(index, value); }

    // A four-note chord, so that several voices must pass the effect.
    std::vector<float> playChord() {
        float left[32], right[32];
        float* outs[2] = {left, right};
        kernel->processBlock(2, outs, 32);
        for (int key : {48, 55, 60, 64}) kernel->sendMidiNote(0x90, key, 100);
        std::vector<float> taken;
        for (int b = 0; b < 200; ++b) {
            kernel->processBlock(2, outs, 32);
            taken.insert(taken.end(), left, left + 32);
        }
        EXPECT_EQ(kernel->soundingVoiceCount(), 4);
        return taken;
    }
};

TEST(DistortionSound, TheSameInstrumentTwicePlaysTheSameSamples) {
    Instrument a, b;
    const std::vector<float> first = a.playChord();
    EXPECT_GT(rms(first), 1e-3);
    EXPECT_EQ(first, b.playChord()) << "the comparisons below rest on this";
}

TEST(DistortionSound, EveryVoicePassesTheDistortion) {
    Instrument plain, distorted;
    distorted.row(kSelectorRow, kDistortionChoice);
    distorted.row(kDryWetRow, 1.0f);
    distorted.row(kDriveRow, 1.0f);
    distorted.row(kOutputRow, kUnityOutput);
    const std::vector<float> reference = plain.playChord();
    const std::vector<float> shaped = distorted.playChord();
    EXPECT_EQ(badSamples(shaped.data(), shaped.size()), 0);
    EXPECT_GT(rms(shaped), 1e-3);
    EXPECT_NE(shaped, reference);

    // At -100 dB out and no dry share, a voice that went around the effect would still be heard.
    Instrument muted;
    muted.row(kSelectorRow, kDistortionChoice);
    muted.row(kDryWetRow, 1.0f);
    muted.row(kOutputRow, 0.0f);
    EXPECT_LT(rms(muted.playChord()), rms(reference) * 1e-3);
}

// The effect sits in the voice path one block late (the part's module order runs it before the mixer
// it reads), so its dry share is compared with itself, not with a chain without the effect.
TEST(DistortionSound, BypassPassesTheDryVoicesAndSurvivesASavedLayer) {
    Instrument dry, bypassed;
    for (Instrument* i : {&dry, &bypassed}) {
        i->row(kSelectorRow, kDistortionChoice);
        i->row(kDriveRow, 1.0f);
        i->row(kOutputRow, kUnityOutput);
    }
    dry.row(kDryWetRow, 0.0f);
    bypassed.row(kDryWetRow, 1.0f);
    bypassed.row(kBypassRow, kSwitchOn);
    MemoryWordOutput stored;
    ASSERT_TRUE(bypassed.program->writePart(1, stored));

    const std::vector<float> reference = dry.playChord();
    EXPECT_GT(rms(reference), 1e-3);
    EXPECT_EQ(bypassed.playChord(), reference) << "bypass leaves only the dry path";

    Instrument reloaded;
    MemoryWordInput in(stored.bytes);
    ASSERT_TRUE(reloaded.program->readPart(1, in));
    EXPECT_EQ(reloaded.playChord(), reference) << "the stored bypass word reads back as a bypass";
}

} // namespace
} // namespace corvex::testing
