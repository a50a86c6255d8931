#include "presetmap/view/BrowserSnapshots.h"

namespace corvex {

namespace {
constexpr std::array<const char*, BrowserSnapshots::kSlots> kRecallMessages{"FN", "FE", "FS", "FW"};
constexpr std::array<const char*, BrowserSnapshots::kSlots> kStoreMessages{"fn", "fe", "fs", "fw"};
} // namespace

std::optional<BrowserSnapshots::Request> BrowserSnapshots::parse(std::string_view message) {
    for (int slot = 0; slot < kSlots; ++slot) {
        if (message == kRecallMessages[static_cast<size_t>(slot)]) return Request{slot, false};
        if (message == kStoreMessages[static_cast<size_t>(slot)]) return Request{slot, true};
    }
    return std::nullopt;
}

const char* BrowserSnapshots::recallMessage(int slot) { return kRecallMessages[static_cast<size_t>(slot)]; }

bool BrowserSnapshots::store(int slot, const PresetMapRecord* current) {
    if (current == nullptr || slot < 0 || slot >= kSlots) return false;
    records_[static_cast<size_t>(slot)] = current;
    return true;
}

int BrowserSnapshots::count() const {
    int n = 0;
    for (const PresetMapRecord* record : records_) n += record != nullptr ? 1 : 0;
    return n;
}

} // namespace corvex
