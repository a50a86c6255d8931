// The kernel's notifications: the queue the audio thread fills and the listeners the message thread hands them to.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/kernel/NotificationQueue.h"

namespace corvex {

class SoftwareKernelListener;

class KernelNotifications {
public:
    KernelNotifications() { listeners_.reserve(4); }

    // Audio thread: `bytes` of a record, or null when there is no room.
    uint8_t* reserve(int bytes) { return queue_.reserve(bytes); }
    // Audio thread, end of block.
    void publish() { queue_.publish(); }

    // Message thread. A listener is added once however often it is given.
    void addListener(SoftwareKernelListener* listener);
    void removeListener(SoftwareKernelListener* listener);
    void drain() { queue_.drain(listeners_); }

private:
    NotificationQueue queue_;
    std::vector<SoftwareKernelListener*> listeners_;
};

} // namespace corvex
