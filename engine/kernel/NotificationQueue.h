// Typed byte records from the audio thread to the message thread, published once per block.
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "engine/kernel/NotificationHeader.h"

namespace corvex {

class SoftwareKernelListener;

class NotificationQueue {
public:
    static constexpr int kFifoBytes = 2048;
    static constexpr int kLengthSlots = 256;
    static constexpr int32_t kWrapMarker = -1;

    // Audio thread. Reserves n bytes, or answers null when the FIFO or the length rings lack room.
    uint8_t* reserve(int n);
    // Audio thread, end of block: what was reserved becomes visible to the drain.
    void publish();
    // Message thread: hands every published record to the listeners, in order.
    void drain(const std::vector<SoftwareKernelListener*>& listeners);

    int fifoReadOffset() const { return read_.load(std::memory_order_acquire); }
    int fifoWriteOffset() const { return write_; }

private:
    void dispatch(const uint8_t* record, int length, const std::vector<SoftwareKernelListener*>& listeners) const;
    void appendPending(int32_t length);
    int outstandingLengths() const;

    uint8_t fifo_[kFifoBytes] = {};
    std::atomic<int32_t> read_{0}; // FIFO read offset, moved by the drain
    int32_t write_ = 0;            // FIFO write offset, audio thread only

    int32_t pending_[kLengthSlots] = {};
    int32_t pendingRead_ = 0;
    int32_t pendingWrite_ = 0;

    int32_t published_[kLengthSlots] = {};
    std::atomic<int32_t> publishedRead_{0};
    std::atomic<int32_t> publishedWrite_{0};

    friend struct NotificationQueueProbe;
};

} // namespace corvex
