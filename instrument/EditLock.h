// The instrument-wide edit lock as the message thread takes it: a read of the parameter table from inside
// an edit (an editor refreshing its widgets after a state load) must not lock it a second time.
#pragma once

#include <atomic>
#include <mutex>
#include <thread>

namespace corvex {

class EditLock {
public:
    // The audio thread only try-locks this mutex, directly: it never enters through a Scope.
    std::mutex& mutex() { return mutex_; }

    class Scope {
    public:
        explicit Scope(EditLock& lock) : lock_(lock), owns_(lock.owner_.load() != std::this_thread::get_id()) {
            if (!owns_) return;
            lock_.mutex_.lock();
            lock_.owner_.store(std::this_thread::get_id());
        }
        ~Scope() {
            if (!owns_) return;
            lock_.owner_.store(std::thread::id());
            lock_.mutex_.unlock();
        }
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        EditLock& lock_;
        const bool owns_;
    };

private:
    std::mutex mutex_;
    std::atomic<std::thread::id> owner_{};
};

} // namespace corvex
