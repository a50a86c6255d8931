// The kernel renders without allocating and without NaN, infinity or denormals in its output, while
// the message thread posts parameter words, bends and transport changes and drains notifications.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <limits>
#include <mutex>
#include <thread>

#include "engine/kernel/RenderExclusion.h"
#include "engine/program/CorvanKernelProgram.h"
#include "tests/engine/KernelTestHelpers.h"
#include "tests/support/RealTimeChecks.h"

namespace corvex::testing {
namespace {

// The audio callback's lock, held around every block; a full ring's overflow step takes it too.
class CallbackLock : public RenderExclusion {
public:
    void enterExclusion() override { mutex.lock(); }
    void exitExclusion() override { mutex.unlock(); }
    std::mutex mutex;
};

TEST(RealTime, KernelRendersWithoutAllocatingOrBadSamples) {
    auto kernel = makeKernel();
    RecordingListener listener;
    kernel->addListener(&listener);
    kernel->setTestTone(true);
    CallbackLock callbackLock;
    kernel->setRenderExclusion(&callbackLock);
    std::atomic<int> rendered{0};

    RealTimeRun run(4000, [&](int block, float* left, float* right) {
        float* channels[2] = {left, right};
        std::lock_guard<std::mutex> lock(callbackLock.mutex);
        if (block % 100 == 0) kernel->startTransport();
        if (block % 100 == 50) kernel->stopTransport();
        const uint16_t pressure[2] = {head(block & 1, MessageType::Pressure), pair(block & 127, 255)};
        kernel->processMessage(pressure, 2);
        kernel->allocDataNotification(1, 1, 42, 0, 0, 16);
        kernel->processBlock(2, channels, 32);
        rendered.store(block + 1);
    });
    for (int i = 0; rendered.load() < 4000; ++i) {
        // A message thread never outruns the renderer by a whole ring; one that did would make the audio
        // thread wait while it ran the oldest message itself (the overflow has tests of its own).
        if (kernel->pendingMessageCount() >= 128) {
            std::this_thread::yield();
            continue;
        }
        const auto bend = bendWords(1 + (i & 1), static_cast<uint16_t>(i & 0x7FFF));
        kernel->postMessage(makeMessage({bend[0], bend[1]}));
        const auto t = transportWords(static_cast<uint16_t>(i & 1) * 16384);
        kernel->postMessage(makeMessage({t[0], t[1], t[2], t[3]}));
        if (i % 16 == 0) {
            kernel->setDetune(static_cast<float>(i % 100) / 100.0f);
            kernel->setTuning(430.0f + static_cast<float>(i % 20));
        }
        if (i % 64 == 0) kernel->drainNotifications();
        if (i % 32 == 0) std::this_thread::yield();
    }
    const RealTimeReport report = run.finish();
    kernel->drainNotifications();

    expectRealTimeSafe(report, Expect::Sound);
    EXPECT_FALSE(listener.echoes.empty());
    EXPECT_FALSE(listener.data.empty());
}

// The same with the initial program playing: notes, bend and pressure on the audio thread, parameter
// words, connection edits and multi changes from the message thread.
TEST(RealTime, PlayingKernelRendersWithoutAllocatingOrBadSamples) {
    auto kernel = makeKernel();
    CallbackLock callbackLock;
    kernel->setRenderExclusion(&callbackLock);
    auto program = std::make_unique<CorvanKernelProgram>(*kernel);
    program->initialise();
    program->startPart(2);
    program->setKeyMode(CorvanKernelProgram::Dual);
    std::atomic<int> rendered{0};
    constexpr int kBlocks = 3000;

    RealTimeRun run(kBlocks, [&](int block, float* left, float* right) {
        float* channels[2] = {left, right};
        std::lock_guard<std::mutex> lock(callbackLock.mutex);
        const int note = 36 + (block * 7) % 60;
        if (block % 3 == 0) kernel->sendMidiNote(0x90, note, 1 + block % 127);
        if (block % 5 == 0) kernel->sendMidiNote(0x80, 36 + ((block - 40) * 7 % 60 + 60) % 60, 0);
        if (block % 7 == 0) kernel->sendPitchBend(block % 128, (block * 3) % 128);
        if (block % 11 == 0) kernel->sendPressure(block % 2 ? 0xD0 : 0xA0, note, block % 128);
        if (block % 500 == 499) kernel->allNotesOff();
        if (block % 97 == 0) kernel->startTransport();
        if (block % 97 == 50) kernel->stopTransport();
        kernel->processBlock(2, channels, 32);
        rendered.store(block + 1);
    });
    for (int i = 0; rendered.load() < kBlocks; ++i) {
        if (kernel->pendingMessageCount() >= 128) {
            std::this_thread::yield();
            continue;
        }
        program->setParameter(1 + (i & 1), 6, 10 + i % 4, static_cast<float>(i % 100) / 100.0f);
        if (i % 8 == 0) program->connect(1, 7, 0, 0, 5, 2, 8000, 0);
        if (i % 8 == 4) program->disconnect(1, 7, 0, 0, 5, 2);
        if (i % 16 == 0) program->setLayerBalance(static_cast<float>(i % 10) / 10.0f);
        if (i % 32 == 0) program->setHold(0, (i / 32) % 2 == 1);
        if (i % 64 == 0) kernel->drainNotifications();
        std::this_thread::yield();
    }
    expectRealTimeSafe(run.finish(), Expect::Sound);
}

// The checks must bite: each is shown a run that breaks what it guards.
TEST(RealTimeChecks, SilenceFailsTheSoundCheck) {
    // The initial program with no note played renders silence.
    auto kernel = makeKernel();
    auto program = std::make_unique<CorvanKernelProgram>(*kernel);
    program->initialise();
    RealTimeRun quiet(300, [&](int, float* left, float* right) {
        float* channels[2] = {left, right};
        kernel->processBlock(2, channels, 32);
    });
    const RealTimeReport silent = quiet.finish();
    expectCleanSamples(silent);
    EXPECT_NONFATAL_FAILURE(expectSound(silent), "silent render where sound was expected");

    // A render that sounds at first and then dies is not a sounding render either.
    RealTimeRun dying(1000, [](int block, float* left, float* right) {
        if (block >= 100) return;
        for (int i = 0; i < 32; ++i) left[i] = right[i] = 0.5f * std::sin(0.3f * static_cast<float>(block * 32 + i));
    });
    const RealTimeReport died = dying.finish();
    EXPECT_EQ(died.soundingBlocks, 100);
    EXPECT_NONFATAL_FAILURE(expectSound(died), "silent render where sound was expected");
}

TEST(RealTimeChecks, ABadSampleFailsTheSampleCheck) {
    for (const float bad : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                            std::numeric_limits<float>::denorm_min()}) {
        RealTimeRun run(10, [bad](int block, float* left, float*) {
            if (block == 7) left[31] = bad;
        });
        const RealTimeReport report = run.finish();
        EXPECT_EQ(report.badSamples, 1) << bad;
        EXPECT_NONFATAL_FAILURE(expectCleanSamples(report), "NaN, infinite or denormal samples");
    }
}

TEST(RealTimeChecks, AnAllocationAfterTheFirstBlockFailsTheAllocationCheck) {
    if (!allocationCountingAvailable())
        GTEST_SKIP() << "allocation counting is unavailable in sanitizer builds";
    // The first block may set things up; the one in block 5 is the fault.
    RealTimeRun run(10, [](int block, float*, float*) {
        if (block != 0 && block != 5) return;
        static float* volatile kept = nullptr;
        kept = new float[64];
        delete[] kept;
    });
    const RealTimeReport report = run.finish();
    EXPECT_EQ(report.allocationsAfterFirstBlock, 1);
    EXPECT_NONFATAL_FAILURE(expectNoAllocations(report), "allocations on the audio thread after the first block");
}

TEST(RealTimeChecks, AMutexHeldByAnotherThreadFailsTheLockCheck) {
    if (!lockWaitCountingAvailable())
        GTEST_SKIP() << "lock-wait counting is unavailable in sanitizer builds";
    std::mutex shared;
    std::recursive_mutex reentered;
    std::atomic<bool> holding{false}, asked{false};
    std::thread other([&] {
        std::lock_guard<std::mutex> hold(shared);
        holding = true;
        while (!asked) std::this_thread::yield();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    });
    while (!holding) std::this_thread::yield();

    RealTimeRun run(10, [&](int block, float*, float*) {
        // Free locks, a lock taken twice by its own thread and a try-lock that fails are no waits.
        std::lock_guard<std::recursive_mutex> outer(reentered);
        std::lock_guard<std::recursive_mutex> inner(reentered);
        if (block == 3) {
            std::unique_lock<std::mutex> attempt(shared, std::try_to_lock);
            EXPECT_FALSE(attempt.owns_lock());
        }
        if (block == 5) {
            asked = true;
            std::lock_guard<std::mutex> wait(shared);
        }
    });
    const RealTimeReport report = run.finish();
    other.join();
    EXPECT_EQ(report.lockWaits, 1);
    EXPECT_NONFATAL_FAILURE(expectNoLockWaits(report), "times the audio thread waited for a mutex");
}

} // namespace
} // namespace corvex::testing
