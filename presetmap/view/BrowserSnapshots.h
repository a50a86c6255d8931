// The browser's four snapshot memories: the patches the morpher blends, slots 0 to 3 for North, East, South
// and West. A memory is only ever overwritten, never emptied.
#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "presetmap/PresetMapRecord.h"

namespace corvex {

class BrowserSnapshots {
public:
    static constexpr int kSlots = 4;

    // What a memory message asks: "FN" ... "FW" recall slot 0 ... 3 (or store into it while it is empty),
    // "fn" ... "fw" always store.
    struct Request {
        int slot;
        bool store;
    };
    static std::optional<Request> parse(std::string_view message);
    // The message that recalls a slot, "FN" ... "FW".
    static const char* recallMessage(int slot);

    // False, changing nothing, while no patch is current.
    bool store(int slot, const PresetMapRecord* current);
    const PresetMapRecord* get(int slot) const { return records_[static_cast<size_t>(slot)]; }
    int count() const;
    const std::array<const PresetMapRecord*, kSlots>& records() const { return records_; }

private:
    std::array<const PresetMapRecord*, kSlots> records_{};
};

} // namespace corvex
