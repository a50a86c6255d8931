// The listeners of one filter manager, told of its posted messages.
#include "presets/PresetFilterListeners.h"

namespace corvex {

void PresetFilterListeners::add(MorvanePresetFilterManagerListener* listener) {
    if (listener != nullptr)
        listeners_.insert(listener);
}

void PresetFilterListeners::remove(MorvanePresetFilterManagerListener* listener) { listeners_.erase(listener); }

void PresetFilterListeners::tell(int id, int value, int value2, void* pointer) const {
    // Walks a copy: the set itself may change under a call.
    const std::set<MorvanePresetFilterManagerListener*> listeners = listeners_;
    for (MorvanePresetFilterManagerListener* listener : listeners)
        if (listeners_.count(listener) != 0)
            listener->presetFilterChanged(id, value, value2, pointer);
}

} // namespace corvex
