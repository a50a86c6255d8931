#include "engine/kernel/KernelNotifications.h"

#include <algorithm>

namespace corvex {

void KernelNotifications::addListener(SoftwareKernelListener* listener) {
    if (listener && std::find(listeners_.begin(), listeners_.end(), listener) == listeners_.end())
        listeners_.push_back(listener);
}

void KernelNotifications::removeListener(SoftwareKernelListener* listener) {
    listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), listener), listeners_.end());
}

} // namespace corvex
