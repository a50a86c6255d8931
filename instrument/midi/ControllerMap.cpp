// Controller code -> parameter indices, one controller driving several indices in assignment order.
#include "instrument/midi/ControllerMap.h"

#include <algorithm>

#include "instrument/midi/ControllerCodes.h"

namespace corvex {

bool ControllerMap::add(int32_t code, int index) {
    if (!isValidControllerCode(code) || !isValidParameterIndex(index) ||
        entries_.size() >= static_cast<size_t>(kCapacity))
        return false;
    entries_.push_back({code, static_cast<int16_t>(index)});
    return true;
}

void ControllerMap::removeIndex(int index) {
    entries_.erase(std::remove_if(entries_.begin(), entries_.end(),
                                  [index](const ControllerEntry& e) { return e.index == index; }),
                   entries_.end());
}

int ControllerMap::controllerOf(int index) const {
    for (const ControllerEntry& e : entries_)
        if (e.index == index)
            return e.code;
    return -1;
}

} // namespace corvex
