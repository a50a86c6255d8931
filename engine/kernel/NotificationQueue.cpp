#include "engine/kernel/NotificationQueue.h"

#include <cstdio>
#include <cstring>

#include "engine/kernel/SoftwareKernelListener.h"
#include "engine/modules/ModuleSlots.h"

namespace corvex {

namespace {
int wrapLength(int i) { return i & (NotificationQueue::kLengthSlots - 1); }
} // namespace

// Entries in the two length rings that the drain has not consumed yet.
int NotificationQueue::outstandingLengths() const {
    const int pending = wrapLength(pendingWrite_ - pendingRead_);
    const int published = wrapLength(publishedWrite_.load(std::memory_order_relaxed) -
                                     publishedRead_.load(std::memory_order_acquire));
    return pending + published;
}

void NotificationQueue::appendPending(int32_t length) {
    pending_[pendingWrite_] = length;
    pendingWrite_ = wrapLength(pendingWrite_ + 1);
}

uint8_t* NotificationQueue::reserve(int n) {
    if (n <= 0 || n >= kFifoBytes) return nullptr;
    const int r = read_.load(std::memory_order_acquire);
    const int w = write_;
    // A record and a possible wrap marker must both fit in the length rings, which hold 255 entries.
    if (outstandingLengths() + 2 > kLengthSlots - 1) return nullptr;
    if (w < r) {
        if (w + n >= r) return nullptr;
        write_ = w + n;
        appendPending(n);
        return fifo_ + w;
    }
    if (w + n < kFifoBytes) {
        write_ = w + n;
        appendPending(n);
        return fifo_ + w;
    }
    if (n >= r) return nullptr; // the tail is too short and the head is still being read
    appendPending(kWrapMarker);
    appendPending(n);
    write_ = n;
    return fifo_;
}

void NotificationQueue::publish() {
    int w = publishedWrite_.load(std::memory_order_relaxed);
    while (pendingRead_ != pendingWrite_) {
        published_[w] = pending_[pendingRead_];
        pendingRead_ = wrapLength(pendingRead_ + 1);
        w = wrapLength(w + 1);
    }
    publishedWrite_.store(w, std::memory_order_release);
}

void NotificationQueue::drain(const std::vector<SoftwareKernelListener*>& listeners) {
    const int end = publishedWrite_.load(std::memory_order_acquire);
    int index = publishedRead_.load(std::memory_order_relaxed);
    int offset = read_.load(std::memory_order_relaxed);
    while (index != end) {
        const int32_t length = published_[index];
        index = wrapLength(index + 1);
        if (length < 0) {
            offset = 0;
        } else {
            dispatch(fifo_ + offset, length, listeners);
            offset += length;
        }
        // Give the space back record by record so the audio thread can reuse it at once.
        read_.store(offset, std::memory_order_release);
        publishedRead_.store(index, std::memory_order_release);
    }
}

void NotificationQueue::dispatch(const uint8_t* record, int length,
                                 const std::vector<SoftwareKernelListener*>& listeners) const {
    if (length < NotificationHeader::kBytes) {
        std::fprintf(stderr, "Unknown kernel message : %d\n", length > 0 ? record[0] : -1);
        return;
    }
    const NotificationHeader h = NotificationHeader::read(record);
    const int slot = moduleSlotIndex(h.instance, h.group, h.moduleType);
    // A record shorter than its type needs is reported, never read past its end.
    if (h.type == NotificationType::ParameterValue && length >= kParameterNotificationBytes) {
        float value = 0.0f;
        std::memcpy(&value, record + NotificationHeader::kBytes, sizeof(value));
        for (SoftwareKernelListener* l : listeners) l->kernelParameterChanged(h.section, slot, h.detail, h.tail & 0xFF, value);
    } else if (h.type == NotificationType::DataBlock && length >= kDataNotificationHeadBytes + h.tail) {
        for (SoftwareKernelListener* l : listeners)
            l->kernelDataReceived(h.section, slot, h.detail, record + kDataNotificationHeadBytes, h.tail);
    } else {
        std::fprintf(stderr, "Unknown kernel message : %d\n", h.type);
    }
}

} // namespace corvex
