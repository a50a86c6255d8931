// The map code's nesting counter.
#include <chrono>
#include <thread>

#include "presetmap/ISoundmapSupportBase.h"

namespace corvex {

void ProcessLockImpl::enter() {
    const int32_t before = count_;
    count_ = before + 1;
    if (before == 0) std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

} // namespace corvex
