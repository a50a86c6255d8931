// The 256-slot ring of posted kernel messages: any serialised producer, one lock-free consumer.
#pragma once

#include <atomic>
#include <cstdint>

#include "engine/kernel/KernelMessage.h"

namespace corvex {

class MessageRing {
public:
    static constexpr int kSlots = 256; // holds 255: a push that would meet the read index means full

    bool empty() const {
        return read_.load(std::memory_order_acquire) == write_.load(std::memory_order_acquire);
    }
    // Producer side.
    bool full() const { return next(write_.load(std::memory_order_relaxed)) == read_.load(std::memory_order_acquire); }
    int size() const {
        const int w = write_.load(std::memory_order_acquire);
        const int r = read_.load(std::memory_order_acquire);
        return (w - r + kSlots) % kSlots;
    }

    // The i-th oldest queued message, for the producer side to inspect; i < size().
    const KernelMessage& peek(int i) const { return slots_[(read_.load(std::memory_order_acquire) + i) % kSlots]; }

    // Neither checks for room or content: the callers do.
    void push(const KernelMessage& message) {
        const int w = write_.load(std::memory_order_relaxed);
        slots_[w].copyFrom(message);
        write_.store(next(w), std::memory_order_release);
    }
    void pop(KernelMessage& out) {
        const int r = read_.load(std::memory_order_relaxed);
        out.copyFrom(slots_[r]);
        read_.store(next(r), std::memory_order_release);
    }

private:
    static int next(int i) { return (i + 1) % kSlots; }

    std::atomic<int32_t> read_{0};
    std::atomic<int32_t> write_{0};
    KernelMessage slots_[kSlots];
};

} // namespace corvex
