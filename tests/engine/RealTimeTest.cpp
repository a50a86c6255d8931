// The kernel renders without allocating and without NaN, infinity or denormals in its output, while
// the message thread posts parameter words, bends and transport changes and drains notifications.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>

#include "engine/kernel/RenderExclusion.h"
#include "tests/engine/KernelTestHelpers.h"
#include "tests/support/RealTimeRun.h"

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
        const uint16_t pressure[2] = {head(block & 1, 40), pair(block & 127, 255)};
        kernel->processMessage(pressure, 2);
        kernel->allocDataNotification(1, 1, 42, 0, 0, 16);
        kernel->processBlock(2, channels, 32);
        rendered.store(block + 1);
    });
    for (int i = 0; rendered.load() < 4000; ++i) {
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

    EXPECT_EQ(report.blocks, 4000);
    EXPECT_EQ(report.badSamples, 0);
    if (allocationCountingAvailable())
        EXPECT_EQ(report.allocationsAfterFirstBlock, 0);
    EXPECT_FALSE(listener.echoes.empty());
    EXPECT_FALSE(listener.data.empty());
}

} // namespace
} // namespace corvex::testing
