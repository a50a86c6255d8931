// Fixed-capacity ring with one producer thread and one consumer thread and no lock.
#pragma once

#include <array>
#include <atomic>

namespace corvex {

template <typename T, int Capacity>
class SpscRing {
public:
    static constexpr int kCapacity = Capacity;

    // Producer side; false when full, and the value is dropped.
    bool push(const T& value) {
        const int w = write_.load(std::memory_order_relaxed);
        const int n = next(w);
        if (n == read_.load(std::memory_order_acquire))
            return false;
        slots_[w] = value;
        write_.store(n, std::memory_order_release);
        return true;
    }

    // Consumer side; false when empty.
    bool pop(T& out) {
        const int r = read_.load(std::memory_order_relaxed);
        if (r == write_.load(std::memory_order_acquire))
            return false;
        out = slots_[r];
        read_.store(next(r), std::memory_order_release);
        return true;
    }

private:
    // One slot stays free so that full and empty differ without a shared counter.
    static constexpr int kSlots = Capacity + 1;
    static int next(int i) { return i + 1 == kSlots ? 0 : i + 1; }

    std::array<T, kSlots> slots_{};
    std::atomic<int> read_{0};
    std::atomic<int> write_{0};
};

} // namespace corvex
