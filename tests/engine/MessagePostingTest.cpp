// Posting: messages wait for the next block, a full ring runs its oldest message inside the render
// exclusion, and one poster and one renderer on two threads lose and reorder nothing.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>

#include "engine/kernel/RenderExclusion.h"
#include "tests/engine/KernelTestHelpers.h"

namespace corvex::testing {
namespace {

KernelMessage bendMessage(int section, uint16_t word) {
    const auto w = bendWords(section, word);
    return makeMessage({w[0], w[1]});
}

class MutexExclusion : public RenderExclusion {
public:
    void enterExclusion() override {
        mutex.lock();
        ++entries;
    }
    void exitExclusion() override { mutex.unlock(); }
    std::mutex mutex;
    std::atomic<int> entries{0};
};

TEST(MessagePosting, PostedMessagesRunAtTheStartOfTheNextBlock) {
    auto kernel = makeKernel();
    std::thread poster([&] { kernel->postMessage(makeMessage({head(1, MessageType::EnablePart), 0})); });
    poster.join();
    EXPECT_FALSE(kernel->program(0)->enabled);
    Block block;
    render(*kernel, block);
    EXPECT_TRUE(kernel->program(0)->enabled);
    EXPECT_EQ(kernel->pendingMessageCount(), 0);
}

TEST(MessagePosting, FullRingRunsTheOldestMessageInsideTheExclusion) {
    auto kernel = makeKernel();
    MutexExclusion exclusion;
    kernel->setRenderExclusion(&exclusion);
    kernel->postMessage(makeMessage({head(1, MessageType::EnablePart), 0})); // message 1 enables the first part
    for (int i = 2; i <= 255; ++i) kernel->postMessage(bendMessage(2, static_cast<uint16_t>(i)));
    EXPECT_EQ(kernel->pendingMessageCount(), 255);
    EXPECT_FALSE(kernel->program(0)->enabled);
    EXPECT_EQ(exclusion.entries, 0);

    kernel->postMessage(bendMessage(2, 256));
    EXPECT_TRUE(kernel->program(0)->enabled);
    EXPECT_EQ(exclusion.entries, 1);
    EXPECT_EQ(kernel->pendingMessageCount(), 255);

    Block block;
    render(*kernel, block); // all 255 left run in one block, oldest first
    EXPECT_EQ(kernel->pendingMessageCount(), 0);
    EXPECT_NEAR(kernel->program(1)->bend, 256.0f / 16384.0f - 1.0f, 1e-6f);
}

TEST(MessagePosting, PendingRunsAtMostTheGivenCountOldestFirst) {
    auto kernel = makeKernel();
    for (uint16_t i = 1; i <= 5; ++i) kernel->postMessage(bendMessage(1, static_cast<uint16_t>(1000 * i)));
    kernel->processPendingMessages(2);
    EXPECT_EQ(kernel->pendingMessageCount(), 3);
    EXPECT_NEAR(kernel->program(0)->bend, 2000.0f / 16384.0f - 1.0f, 1e-6f);
    kernel->processPendingMessages(0);
    EXPECT_EQ(kernel->pendingMessageCount(), 3);
}

// One thread posts a rising series of bend words (all above the centre a part starts from) while
// another renders under the exclusion lock, as the audio callback does. Every block must see the
// series in order and the last one must win.
TEST(MessagePosting, TwoThreadStress) {
    auto kernel = makeKernel();
    MutexExclusion exclusion;
    kernel->setRenderExclusion(&exclusion);
    constexpr int kMessages = 20000;
    std::atomic<bool> done{false};
    std::atomic<int> orderFaults{0};

    std::thread renderer([&] {
        Block block;
        float last = -2.0f;
        while (!done.load()) {
            std::lock_guard<std::mutex> callbackLock(exclusion.mutex);
            render(*kernel, block);
            const float bend = kernel->program(0)->bend;
            if (bend < last) orderFaults.fetch_add(1);
            last = bend;
        }
    });
    for (int i = 1; i <= kMessages; ++i) kernel->postMessage(bendMessage(1, static_cast<uint16_t>(16384 + i)));
    done = true;
    renderer.join();

    Block block;
    render(*kernel, block);
    EXPECT_EQ(orderFaults.load(), 0);
    EXPECT_NEAR(kernel->program(0)->bend, static_cast<float>(kMessages) / 16384.0f, 1e-6f);
    EXPECT_EQ(kernel->pendingMessageCount(), 0);
}

} // namespace
} // namespace corvex::testing
