// The browser's walk through the patches the player selected: "<" goes back to the one before, ">" forward
// again, and a new selection drops what lay ahead. Records are the map's; the history only points at them.
#pragma once

#include <vector>

#include "presetmap/PresetMapRecord.h"

namespace corvex {

class BrowserHistory {
public:
    const PresetMapRecord* current() const { return current_; }
    // Makes the record current without touching either list.
    void setCurrent(const PresetMapRecord* record) { current_ = record; }

    // A selection by the player: the record before it can be gone back to, nothing lies ahead any more.
    // False, changing nothing, when the record is current already.
    bool select(const PresetMapRecord* record);
    // The record that becomes current, or null, changing nothing, when there is none to go to.
    const PresetMapRecord* back();
    const PresetMapRecord* forward();

    bool canGoBack() const { return !back_.empty(); }
    bool canGoForward() const { return !forward_.empty(); }

private:
    static const PresetMapRecord* step(std::vector<const PresetMapRecord*>& from,
                                       std::vector<const PresetMapRecord*>& to, const PresetMapRecord*& current);

    std::vector<const PresetMapRecord*> back_;
    std::vector<const PresetMapRecord*> forward_;
    const PresetMapRecord* current_ = nullptr;
};

} // namespace corvex
