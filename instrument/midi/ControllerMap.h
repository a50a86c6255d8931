// Controller code -> parameter indices, one controller driving several indices in assignment order.
#pragma once

#include <cstdint>
#include <vector>

namespace corvex {

struct ControllerEntry {
    int32_t code = 0;
    int16_t index = 0;

    bool operator==(const ControllerEntry& other) const { return code == other.code && index == other.index; }
    bool operator!=(const ControllerEntry& other) const { return !(*this == other); }
};

class ControllerMap {
public:
    // Learning adds entries on the audio thread, so the storage is reserved once and never grows.
    static constexpr int kCapacity = 2048;

    ControllerMap() { entries_.reserve(kCapacity); }

    bool add(int32_t code, int index);
    void removeIndex(int index);
    void clear() { entries_.clear(); }
    int controllerOf(int index) const;
    const std::vector<ControllerEntry>& entries() const { return entries_; }

    template <typename F>
    void forEachIndexOf(int32_t code, F&& f) const {
        for (const ControllerEntry& e : entries_)
            if (e.code == code)
                f(static_cast<int>(e.index));
    }

private:
    std::vector<ControllerEntry> entries_;
};

} // namespace corvex
