// Listeners by key, several per key and the same pair as often as it was added, safe to change while its
// listeners are being called.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

namespace corvex {

template <typename Listener>
class MVListenerRegistry {
public:
    void add(int key, Listener* listener) {
        if (listener != nullptr) entries_.emplace(key, Entry{listener, ++lastSerial_});
    }

    // Every registration of the pair goes, however often it was added.
    void remove(int key, Listener* listener) {
        const auto range = entries_.equal_range(key);
        for (auto it = range.first; it != range.second;)
            it = it->second.listener == listener ? entries_.erase(it) : std::next(it);
    }

    void clear() { entries_.clear(); }

    int count(int key) const { return static_cast<int>(entries_.count(key)); }

    // Calls call(listener) once per registration of the key that exists when the walk starts and still exists
    // when its turn comes: a listener may add, remove or dispatch again from inside its call. Registrations
    // made during the walk wait for the next one.
    template <typename Call>
    void forEach(int key, Call&& call) {
        std::vector<uint64_t> serials;
        const auto range = entries_.equal_range(key);
        for (auto it = range.first; it != range.second; ++it) serials.push_back(it->second.serial);
        for (const uint64_t serial : serials)
            if (Listener* listener = find(key, serial)) call(*listener);
    }

private:
    struct Entry {
        Listener* listener;
        uint64_t serial; // tells a registration apart from a later one of the same pair
    };

    Listener* find(int key, uint64_t serial) const {
        const auto range = entries_.equal_range(key);
        for (auto it = range.first; it != range.second; ++it)
            if (it->second.serial == serial) return it->second.listener;
        return nullptr;
    }

    std::multimap<int, Entry> entries_;
    uint64_t lastSerial_ = 0;
};

} // namespace corvex
