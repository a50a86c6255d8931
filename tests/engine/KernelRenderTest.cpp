// The kernel object: its context after construction and rate changes, detune and tuning, the output
// stage with 0, 1 and 2 channels, the test tone, and notifications reaching listeners after a block.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/dsp/ScopedNoDenormals.h"
#include "engine/modules/BlockBufferStore.h"
#include "engine/program/CorvanKernelProgram.h"
#include "tests/engine/KernelTestHelpers.h"
#include "tests/support/SignalChecks.h"

namespace corvex::testing {
namespace {

// A kernel whose graph writes a known signal into its two final buffers, standing in for the effects.
class SignalKernel : public CorvexKernel {
public:
    void runModuleGraph() override {
        CorvexKernel::runModuleGraph();
        ++graphRuns;
        for (int i = 0; i < 32; ++i) {
            outputLeft_[i] = 1.0f;
            outputRight_[i] = -0.5f;
        }
    }
    int graphRuns = 0;
};

// Reads the floating-point mode in the middle of a render, where the modules run.
class ModeProbeKernel : public CorvexKernel {
public:
    void runModuleGraph() override {
        CorvexKernel::runModuleGraph();
#if CORVEX_HAS_MXCSR
        modeDuringRender = _mm_getcsr();
#endif
    }
    unsigned modeDuringRender = 0;
};

// Whoever calls the kernel (the device callback, the renderer, a benchmark) gets flush-to-zero while
// it renders, and finds its own mode again afterwards.
TEST(KernelRender, FlushesDenormalsWhileRenderingAndRestoresTheCallersMode) {
#if !CORVEX_HAS_MXCSR
    GTEST_SKIP() << "no MXCSR on this machine";
#else
    ModeProbeKernel kernel;
    kernel.initialise();
    kernel.setSampleRate(44100.0);
    ScopedDenormalsAllowed callersMode;
    const unsigned before = _mm_getcsr();
    Block block;
    render(kernel, block);
    EXPECT_EQ(kernel.modeDuringRender & ScopedNoDenormals::kFlushBits, ScopedNoDenormals::kFlushBits);
    EXPECT_EQ(_mm_getcsr(), before);
#endif
}

TEST(KernelRender, ContextFollowsTheRateAndKeepsTheTuning) {
    for (double rate : {44100.0, 48000.0}) {
        auto kernel = makeKernel(rate);
        kernel->setTuning(442.0f);
        kernel->setSampleRate(rate);
        const EngineContext& c = kernel->context();
        EXPECT_FLOAT_EQ(c.sampleRate, static_cast<float>(rate));
        EXPECT_FLOAT_EQ(c.inverseRate, 1.0f / static_cast<float>(rate));
        EXPECT_FLOAT_EQ(c.doubleRate, 2.0f * static_cast<float>(rate));
        EXPECT_FLOAT_EQ(c.ratePerMillisecond, static_cast<float>(rate) * 0.001f);
        EXPECT_FLOAT_EQ(c.blockPeriod, 32.0f / static_cast<float>(rate));
        EXPECT_FLOAT_EQ(c.blockFrames, 32.0f);
        EXPECT_FLOAT_EQ(kernel->getTuning(), 442.0f);
        Block block;
        render(*kernel, block);
        EXPECT_FLOAT_EQ(kernel->context().tuning, 442.0f);
    }
}

TEST(KernelRender, InitialiseSetsUpPartsAndVoices) {
    auto kernel = makeKernel();
    for (int p = 0; p < 4; ++p) {
        const CorvexProgram* program = kernel->program(p);
        ASSERT_NE(program, nullptr);
        EXPECT_EQ(program->partNumber, p);
        EXPECT_EQ(program->keyLow, 0);
        EXPECT_EQ(program->keyHigh, 127);
        EXPECT_EQ(program->voiceLimit, 32);
        EXPECT_FALSE(program->running);
        EXPECT_EQ(program->records[0].phase, 1) << "value sources run after the voices";
        EXPECT_EQ(program->records[2].phase, 0);
    }
    for (int v = 0; v < kVoiceCount; ++v) {
        EXPECT_EQ(kernel->voice(v).index, v);
        EXPECT_EQ(kernel->voice(v).ownerPart, VoiceRecord::kFreeOwner);
        EXPECT_EQ(kernel->voice(v).state, VoiceRecord::Free);
    }
}

TEST(KernelRender, DetuneFollowsTheLevelCurve) {
    auto kernel = makeKernel();
    struct Case {
        float v, amount;
    };
    for (const Case c : {Case{0.75f, 1.0f}, Case{0.0f, 1e-5f}, Case{0.05f, 1e-4f}, Case{1.0f, 3.981072f}}) {
        kernel->setDetune(c.v);
        EXPECT_NEAR(kernel->getDetune() / c.amount, 1.0f, 1e-4f) << c.v;
    }
    Block block;
    render(*kernel, block);
    EXPECT_NEAR(kernel->context().detuneAmount, 3.981072f, 1e-4f);
}

TEST(KernelRender, OutputIsScaledAndCopiedPerChannelCount) {
    const float gain = std::pow(10.0f, 0.45f);
    for (int channels : {0, 1, 2}) {
        auto kernel = std::make_unique<SignalKernel>();
        kernel->initialise();
        kernel->setSampleRate(44100.0);
        Block block;
        std::fill(std::begin(block.left), std::end(block.left), 7.0f);
        std::fill(std::begin(block.right), std::end(block.right), 7.0f);
        render(*kernel, block, channels);
        EXPECT_EQ(kernel->graphRuns, 1) << channels;
        for (int i = 0; i < 32; ++i) {
            EXPECT_FLOAT_EQ(block.left[i], channels >= 1 ? gain : 7.0f) << channels;
            EXPECT_FLOAT_EQ(block.right[i], channels >= 2 ? -0.5f * gain : 7.0f) << channels;
        }
    }
}

// The modules render exactly 32 frames per call: any other count is refused, not played at a wrong
// pitch, and the refusal is counted where the instrument can see it.
TEST(KernelRender, RefusesEveryFrameCountButThirtyTwo) {
    auto kernel = makeKernel();
    CorvanKernelProgram program(*kernel);
    program.initialise();
    Block block;
    render(*kernel, block);
    kernel->sendMidiNote(0x90, 69, 100);
    float wide[2][64];
    float* channels[2] = {wide[0], wide[1]};
    int refused = 0;
    for (int frames : {16, 0, 31, 33, 64, -5}) {
        for (float* c : channels) std::fill(c, c + 64, 7.0f);
        EXPECT_DEBUG_DEATH(kernel->processBlock(2, channels, frames), "32 frames") << frames;
#ifdef NDEBUG
        ++refused;
        EXPECT_EQ(kernel->refusedBlockCount(), refused) << frames;
        for (float* c : channels)
            for (int i = 0; i < 64; ++i) EXPECT_EQ(c[i], i < frames ? 0.0f : 7.0f) << frames << " at " << i;
#endif
    }
    // Refused calls leave the note where it was: it still plays A4 at 440 Hz.
    std::vector<float> left;
    for (int b = 0; b < 44100 / 32; ++b) {
        render(*kernel, block);
        left.insert(left.end(), block.left, block.left + 32);
    }
    EXPECT_EQ(kernel->refusedBlockCount(), refused);
    const std::vector<float> held(left.begin() + 4410, left.end());
    EXPECT_NEAR(autocorrelationFrequency(held, 44100.0, 300.0, 1000.0), 440.0, 440.0 * 0.01);
}

TEST(KernelRender, SilentWithoutPartsAndTestToneAt440Hz) {
    for (double rate : {44100.0, 48000.0}) {
        auto kernel = makeKernel(rate);
        Block block;
        render(*kernel, block);
        for (float s : block.left) EXPECT_EQ(s, 0.0f);

        kernel->setTestTone(true);
        std::vector<float> left, right;
        for (int b = 0; b < static_cast<int>(rate) / 32; ++b) { // one second
            render(*kernel, block);
            left.insert(left.end(), block.left, block.left + 32);
            right.insert(right.end(), block.right, block.right + 32);
        }
        EXPECT_NEAR(zeroCrossingFrequency(left, rate), 440.0, 0.1) << rate;
        EXPECT_NEAR(rms(left), 0.2 / std::sqrt(2.0), 1e-3) << rate;
        EXPECT_EQ(left, right);
    }
}

TEST(KernelRender, EachKernelKeepsItsOwnTonePhase) {
    auto a = makeKernel();
    auto b = makeKernel();
    a->setTestTone(true);
    b->setTestTone(true);
    Block blockA, blockB;
    for (int i = 0; i < 10; ++i) render(*a, blockA);
    render(*b, blockB);
    EXPECT_EQ(blockB.left[0], 0.0f);
    EXPECT_GT(std::fabs(blockB.left[1]), 0.0f);
    render(*a, blockA);
    EXPECT_NE(blockA.left[0], 0.0f);
}

TEST(KernelRender, DataRecordsReachEveryListenerAfterTheBlock) {
    auto kernel = makeKernel();
    RecordingListener first, second;
    kernel->addListener(&first);
    kernel->addListener(&second);
    uint8_t* payload = kernel->allocDataNotification(1, 1, 42, 0, 3, 4);
    ASSERT_NE(payload, nullptr);
    const uint8_t bytes[4] = {1, 2, 3, 4};
    std::memcpy(payload, bytes, 4);
    kernel->drainNotifications();
    EXPECT_TRUE(first.data.empty());

    Block block;
    render(*kernel, block);
    kernel->drainNotifications();
    for (const RecordingListener* l : {&first, &second}) {
        ASSERT_EQ(l->data.size(), 1u);
        EXPECT_EQ(l->data[0].section, 1);
        EXPECT_EQ(l->data[0].slot, 25);
        EXPECT_EQ(l->data[0].writerByte, 3);
        EXPECT_EQ(l->data[0].payload, std::vector<uint8_t>(bytes, bytes + 4));
    }
    kernel->removeListener(&second);
    kernel->startTransport();
    render(*kernel, block);
    kernel->drainNotifications();
    EXPECT_EQ(first.echoes.size(), 1u);
    EXPECT_TRUE(second.echoes.empty());
}

} // namespace
} // namespace corvex::testing
