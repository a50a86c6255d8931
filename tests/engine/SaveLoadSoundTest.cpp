// A layer edited into a sound of its own, written out and read into a second instrument, plays
// there exactly as it played where it was made.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "engine/modules/KernelClock.h"
#include "engine/program/CorvanKernelProgram.h"
#include "tests/engine/KernelTestHelpers.h"
#include "tests/support/SignalChecks.h"

namespace corvex::testing {
namespace {

// Both instruments see the same time, whenever they render.
class FixedClock final : public KernelClock {
public:
    int64_t ticks() const override { return 1000; }
    int64_t ticksPerSecond() const override { return 1000000; }
};

struct Instrument {
    FixedClock clock;
    std::unique_ptr<CorvexKernel> kernel = makeKernel(48000.0);
    CorvanKernelProgram program{*kernel};

    Instrument() {
        kernel->setClock(&clock);
        kernel->setRandomSeed(1234);
        program.initialise();
    }
    ~Instrument() { kernel->setClock(nullptr); }

    // A two-note chord held, then released into its tail.
    std::vector<float> play() {
        Block b;
        render(*kernel, b);
        kernel->sendMidiNote(0x90, 57, 100);
        kernel->sendMidiNote(0x90, 64, 70);
        std::vector<float> take;
        for (int i = 0; i < 600; ++i) {
            if (i == 450) {
                kernel->sendMidiNote(0x80, 57, 0);
                kernel->sendMidiNote(0x80, 64, 0);
            }
            render(*kernel, b);
            take.insert(take.end(), b.left, b.left + 32);
            take.insert(take.end(), b.right, b.right + 32);
        }
        return take;
    }
};

// Parameter words, connection amounts, a new route and a removed one: every kind of edit a layer
// keeps in its stream.
void makeASoundOfItsOwn(CorvanKernelProgram& p) {
    p.setParameterWord(1, 3, 9, -1, 12000);       // second oscillator tuned further off
    p.setParameterWord(1, 4, 7, -1, 5000);        // first filter word
    p.setParameterWord(1, 6, 10, -1, 12000);      // first envelope word
    p.setParameterWord(1, 9, 8, -1, 6000);        // mixer's second input
    p.setParameterWord(1, 29, 7, -1, 12000);      // part modulator rate word
    p.setConnectionAmount(1, 30, 0, 0, 2, 0, 3000); // modulator into the first oscillator's pitch
    ASSERT_GE(p.connect(1, 7, 0, 0, 4, 1, 9000, 0), 0);
    ASSERT_GE(p.disconnect(1, 3, 0, 0, 2, 0), 0);
}

TEST(SaveLoadSound, ALayerReadBackPlaysTheSameSamples) {
    Instrument made;
    makeASoundOfItsOwn(made.program);
    if (::testing::Test::HasFatalFailure()) return;
    MemoryWordOutput stored;
    ASSERT_TRUE(made.program.writePart(1, stored));

    Instrument loaded;
    MemoryWordInput in(stored.bytes);
    ASSERT_TRUE(loaded.program.readPart(1, in));

    const std::vector<float> original = made.play();
    const std::vector<float> reread = loaded.play();
    ASSERT_EQ(reread.size(), original.size());
    double worst = 0.0;
    size_t at = 0;
    for (size_t i = 0; i < original.size(); ++i) {
        const double d = std::fabs(static_cast<double>(reread[i]) - original[i]);
        if (d > worst) {
            worst = d;
            at = i;
        }
    }
    EXPECT_LE(worst, 1e-6) << "first worst difference at sample " << at / 64 * 32 + at % 32;
    EXPECT_GT(rms(original), 0.01) << "the layer makes a sound";
    EXPECT_EQ(badSamples(original.data(), original.size()), 0);

    // The edits must be audible, or the comparison above would prove nothing about them.
    Instrument initial;
    const std::vector<float> plain = initial.play();
    double difference = 0.0;
    for (size_t i = 0; i < plain.size(); ++i) difference += std::pow(static_cast<double>(plain[i]) - original[i], 2);
    EXPECT_GT(std::sqrt(difference / static_cast<double>(plain.size())), 0.1 * rms(original));
}

} // namespace
} // namespace corvex::testing
