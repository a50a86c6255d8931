// The notification FIFO: where records go, the wrap rule, publication, dispatch and a two-thread stress.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>

#include "engine/kernel/NotificationQueue.h"
#include "tests/engine/KernelTestHelpers.h"

namespace corvex {

// Places the FIFO offsets where a case needs them, as if earlier records had come and gone.
struct NotificationQueueProbe {
    static void place(NotificationQueue& q, int read, int write) {
        q.read_.store(read);
        q.write_ = write;
    }
    static std::vector<int> pending(const NotificationQueue& q) {
        std::vector<int> out;
        for (int i = q.pendingRead_; i != q.pendingWrite_; i = (i + 1) % NotificationQueue::kLengthSlots)
            out.push_back(q.pending_[i]);
        return out;
    }
};

namespace testing {
namespace {

uint8_t* reserveEcho(NotificationQueue& q, uint8_t parameter, float value) {
    uint8_t* r = q.reserve(kParameterNotificationBytes);
    if (r == nullptr) return nullptr;
    const uint8_t head[8] = {19, 1, 0, 3, 0, parameter, 7, 0};
    std::memcpy(r, head, sizeof(head));
    std::memcpy(r + 8, &value, sizeof(value));
    return r;
}

TEST(NotificationQueue, ReserveAndWrapRule) {
    struct Case {
        const char* name;
        int read, write, bytes;
        int offset; // -1: refused
        std::vector<int> lengths;
    };
    const std::vector<Case> cases = {
        {"fits before the end", 0, 100, 12, 100, {12}},
        {"write behind read, room left", 500, 100, 12, 100, {12}},
        {"write behind read, would reach it", 112, 100, 12, -1, {}},
        {"tail too short, head still being read", 0, 2040, 12, -1, {}},
        {"tail too short, wraps to 0", 100, 2040, 12, 0, {-1, 12}},
        {"last byte used only when the record fits strictly", 100, 2036, 12, 0, {-1, 12}},
        {"wrap that would reach the read offset", 12, 2040, 12, -1, {}},
    };
    for (const auto& c : cases) {
        NotificationQueue q;
        NotificationQueueProbe::place(q, c.read, c.write);
        uint8_t* base = q.reserve(0); // a zero-byte reservation is refused and changes nothing
        EXPECT_EQ(base, nullptr);
        uint8_t* r = q.reserve(c.bytes);
        if (c.offset < 0) {
            EXPECT_EQ(r, nullptr) << c.name;
            EXPECT_EQ(q.fifoWriteOffset(), c.write) << c.name;
        } else {
            ASSERT_NE(r, nullptr) << c.name;
            EXPECT_EQ(q.fifoWriteOffset(), c.offset + c.bytes) << c.name;
        }
        EXPECT_EQ(NotificationQueueProbe::pending(q), c.lengths) << c.name;
    }
}

TEST(NotificationQueue, DrainFollowsTheWrapMarker) {
    NotificationQueue q;
    NotificationQueueProbe::place(q, 100, 2040);
    ASSERT_NE(reserveEcho(q, 9, 0.5f), nullptr);
    q.publish();
    RecordingListener listener;
    std::vector<SoftwareKernelListener*> listeners{&listener};
    NotificationQueueProbe::place(q, 2040, 12); // the drain had caught up with the old records
    q.drain(listeners);
    ASSERT_EQ(listener.echoes.size(), 1u);
    EXPECT_EQ(listener.echoes[0].parameter, 9);
    EXPECT_FLOAT_EQ(listener.echoes[0].value, 0.5f);
    EXPECT_EQ(q.fifoReadOffset(), 12);
}

TEST(NotificationQueue, RecordsAreUnseenUntilPublished) {
    NotificationQueue q;
    RecordingListener listener;
    std::vector<SoftwareKernelListener*> listeners{&listener};
    reserveEcho(q, 1, 1.0f);
    q.drain(listeners);
    EXPECT_TRUE(listener.echoes.empty());
    q.publish();
    q.drain(listeners);
    EXPECT_EQ(listener.echoes.size(), 1u);
    q.drain(listeners);
    EXPECT_EQ(listener.echoes.size(), 1u);
}

TEST(NotificationQueue, UnknownAndShortRecordsAreReportedAndSkipped) {
    NotificationQueue q;
    RecordingListener listener;
    std::vector<SoftwareKernelListener*> listeners{&listener};
    uint8_t* unknown = q.reserve(8);
    std::memset(unknown, 0, 8);
    unknown[0] = 5;
    uint8_t* shortEcho = q.reserve(4); // a type-19 record too short to hold its value
    std::memset(shortEcho, 19, 4);
    reserveEcho(q, 3, 0.25f);
    q.publish();
    ::testing::internal::CaptureStderr();
    q.drain(listeners);
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("Unknown kernel message : 5\n"), std::string::npos);
    EXPECT_NE(err.find("Unknown kernel message : 19\n"), std::string::npos);
    ASSERT_EQ(listener.echoes.size(), 1u);
    EXPECT_EQ(listener.echoes[0].parameter, 3);
}

TEST(NotificationQueue, NoListenerStillConsumes) {
    NotificationQueue q;
    for (int i = 0; i < 100; ++i) ASSERT_NE(reserveEcho(q, 1, 0.0f), nullptr);
    q.publish();
    q.drain({});
    EXPECT_EQ(q.fifoReadOffset(), q.fifoWriteOffset());
}

// Records smaller than eight bytes could outnumber the 255 entries of the length rings.
TEST(NotificationQueue, LengthRingsNeverOverflow) {
    NotificationQueue q;
    int reserved = 0;
    while (uint8_t* r = q.reserve(2)) {
        r[0] = 5;
        r[1] = 0;
        ++reserved;
    }
    EXPECT_LE(reserved, NotificationQueue::kLengthSlots - 2);
    q.publish();
    ::testing::internal::CaptureStderr();
    q.drain({});
    const std::string err = ::testing::internal::GetCapturedStderr();
    size_t lines = 0;
    for (size_t p = err.find('\n'); p != std::string::npos; p = err.find('\n', p + 1)) ++lines;
    EXPECT_EQ(lines, static_cast<size_t>(reserved));
    EXPECT_NE(reserveEcho(q, 1, 0.0f), nullptr);
}

// The audio thread writes numbered data records as fast as the FIFO lets it; the message thread
// drains meanwhile. Every record must arrive, whole and in order.
TEST(NotificationQueue, TwoThreadStress) {
    NotificationQueue q;
    constexpr uint32_t kRecords = 50000;
    std::atomic<bool> done{false};

    class Checker : public SoftwareKernelListener {
    public:
        void kernelDataReceived(int, int, int, const uint8_t* payload, uint16_t size) override {
            uint32_t seq = 0;
            std::memcpy(&seq, payload, sizeof(seq));
            if (size != 4 + (seq % 40) || seq != next) ++faults;
            for (uint16_t i = 4; i < size; ++i)
                if (payload[i] != static_cast<uint8_t>(seq)) ++faults;
            next = seq + 1;
        }
        void kernelParameterChanged(int, int, int, int, float) override { ++faults; }
        uint32_t next = 0;
        int faults = 0;
    } checker;

    std::thread audio([&] {
        for (uint32_t seq = 0; seq < kRecords;) {
            const int size = 4 + static_cast<int>(seq % 40);
            uint8_t* r = q.reserve(kDataNotificationHeadBytes + size);
            if (r == nullptr) {
                q.publish();
                std::this_thread::yield();
                continue;
            }
            const uint8_t headBytes[6] = {37, 1, 1, 42, 0, 0};
            std::memcpy(r, headBytes, sizeof(headBytes));
            const uint16_t size16 = static_cast<uint16_t>(size);
            std::memcpy(r + 6, &size16, 2);
            std::memcpy(r + 8, &seq, 4);
            std::memset(r + 12, static_cast<uint8_t>(seq), static_cast<size_t>(size - 4));
            if (++seq % 7 == 0) q.publish();
        }
        q.publish();
        done = true;
    });
    std::vector<SoftwareKernelListener*> listeners{&checker};
    while (!done.load()) q.drain(listeners);
    audio.join();
    q.drain(listeners);
    EXPECT_EQ(checker.faults, 0);
    EXPECT_EQ(checker.next, kRecords);
}

} // namespace
} // namespace testing
} // namespace corvex
