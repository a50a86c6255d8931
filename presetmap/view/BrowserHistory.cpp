#include "presetmap/view/BrowserHistory.h"

namespace corvex {

bool BrowserHistory::select(const PresetMapRecord* record) {
    if (record == current_) return false;
    if (current_ != nullptr) back_.push_back(current_);
    forward_.clear();
    current_ = record;
    return true;
}

const PresetMapRecord* BrowserHistory::step(std::vector<const PresetMapRecord*>& from,
                                            std::vector<const PresetMapRecord*>& to, const PresetMapRecord*& current) {
    if (from.empty()) return nullptr;
    if (current != nullptr) to.push_back(current);
    current = from.back();
    from.pop_back();
    return current;
}

const PresetMapRecord* BrowserHistory::back() { return step(back_, forward_, current_); }

const PresetMapRecord* BrowserHistory::forward() { return step(forward_, back_, current_); }

} // namespace corvex
